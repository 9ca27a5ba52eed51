#include "notes/mime/HtmlToRichText.h"

#include "notes/mime/CharsetDecoder.h"
#include "notes/mime/CssStyle.h"
#include "notes/mime/MimeEntity.h"
#include "richtext/RtfImageInfo.h"

#include <QRegularExpression>
#include <QUrl>

#include <gumbo.h>

#include <algorithm>
#include <memory>

namespace mime {

using store::RtAlign;
using store::RtBlock;
using store::RtFont;
using store::RtParagraphStyle;
using store::RtRun;
using store::RtTable;

namespace {

constexpr qsizetype kMaxHtmlBytes = 32 * 1024 * 1024;  // larger pages are read as plain text
constexpr int kListIndent = 360;
constexpr int kQuoteIndent = 720;
constexpr int kParagraphSpace = 200;

bool sameFont(const RtFont& a, const RtFont& b) {
    return a.face == b.face && a.sizePt == b.sizePt && a.bold == b.bold && a.italic == b.italic &&
           a.underline == b.underline && a.strike == b.strike && a.superscript == b.superscript &&
           a.subscript == b.subscript && a.hasColor == b.hasColor && a.rgb == b.rgb;
}

QString attr(const GumboNode* node, const char* name) {
    const GumboAttribute* a = gumbo_get_attribute(&node->v.element.attributes, name);
    return a ? QString::fromUtf8(a->value) : QString();
}

bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\f');
}

bool isBlockTag(GumboTag t) {
    switch (t) {
        case GUMBO_TAG_ADDRESS: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_ASIDE: case GUMBO_TAG_BLOCKQUOTE:
        case GUMBO_TAG_CENTER: case GUMBO_TAG_DD: case GUMBO_TAG_DETAILS: case GUMBO_TAG_DIV:
        case GUMBO_TAG_DL: case GUMBO_TAG_DT: case GUMBO_TAG_FIELDSET: case GUMBO_TAG_FIGCAPTION:
        case GUMBO_TAG_FIGURE: case GUMBO_TAG_FOOTER: case GUMBO_TAG_FORM: case GUMBO_TAG_H1:
        case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5: case GUMBO_TAG_H6:
        case GUMBO_TAG_HEADER: case GUMBO_TAG_HR: case GUMBO_TAG_LI: case GUMBO_TAG_MAIN: case GUMBO_TAG_NAV:
        case GUMBO_TAG_OL: case GUMBO_TAG_P: case GUMBO_TAG_PRE: case GUMBO_TAG_SECTION: case GUMBO_TAG_SUMMARY:
        case GUMBO_TAG_UL: case GUMBO_TAG_CAPTION: case GUMBO_TAG_BODY: case GUMBO_TAG_LISTING:
        case GUMBO_TAG_PLAINTEXT: case GUMBO_TAG_XMP: case GUMBO_TAG_MENU: case GUMBO_TAG_DIR:
            return true;
        default: return false;
    }
}

bool isSkippedTag(GumboTag t) {
    switch (t) {
        case GUMBO_TAG_HEAD: case GUMBO_TAG_TITLE: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE:
        case GUMBO_TAG_TEMPLATE: case GUMBO_TAG_NOSCRIPT: case GUMBO_TAG_IFRAME: case GUMBO_TAG_OBJECT:
        case GUMBO_TAG_APPLET: case GUMBO_TAG_SELECT: case GUMBO_TAG_SVG: case GUMBO_TAG_MATH:
        case GUMBO_TAG_NOFRAMES: case GUMBO_TAG_NOEMBED: case GUMBO_TAG_META: case GUMBO_TAG_LINK:
        case GUMBO_TAG_BASE: case GUMBO_TAG_COLGROUP: case GUMBO_TAG_COL:
            return true;
        default: return false;
    }
}

// Decodes "data:image/png;base64,...." URLs.
bool decodeDataUrl(const QString& src, HtmlToRichText::Picture& pic) {
    if (!src.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) return false;
    const qsizetype comma = src.indexOf(QLatin1Char(','));
    if (comma < 0) return false;
    const QString meta = src.mid(5, comma - 5).toLower();
    const QByteArray payload = src.mid(comma + 1).toLatin1();
    if (meta.endsWith(QLatin1String(";base64")))
        pic.data = QByteArray::fromBase64(payload);
    else
        pic.data = QByteArray::fromPercentEncoding(payload);
    return !pic.data.isEmpty();
}

// HTML nested deeper than the converter walks is read as text: tags dropped,
// the common entities decoded.
QString strippedText(const QString& html) {
    QString text = html;
    static const QRegularExpression skip(
        QStringLiteral("<(script|style|head)\\b.*?</\\1\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    text.remove(skip);
    static const QRegularExpression breaks(QStringLiteral("<(br|/p|/div|/li|/tr|/h[1-6])\\b[^>]*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    text.replace(breaks, QStringLiteral("\n"));
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    text.remove(tags);
    text.replace(QLatin1String("&nbsp;"), QString(QChar(0xA0)))
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

// Upper bound of the element nesting the parser would build: start tags of
// elements that need an end tag, less end tags. Cheap, and conservative.
int nestingEstimate(const QByteArray& html) {
    static const char* selfClosing[] = {"p",   "li",  "td",   "th",   "tr",   "dt",    "dd",   "option", "br",
                                        "img", "hr",  "meta", "link", "input", "col",  "area", "base",   "wbr",
                                        "param", "source", "track", "embed", "!", "?", "tbody", "thead"};
    int depth = 0, peak = 0;
    const qsizetype n = html.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (html[i] != '<') continue;
        const bool end = html[i + 1] == '/';
        qsizetype j = i + (end ? 2 : 1);
        qsizetype k = j;
        while (k < n && (std::isalnum(static_cast<unsigned char>(html[k])) || html[k] == '!' || html[k] == '?')) ++k;
        if (k == j) continue;
        const QByteArray name = html.mid(j, std::min<qsizetype>(k - j, 10)).toLower();
        bool simple = false;
        for (const char* s : selfClosing)
            if (name == s || (name.startsWith('!') && s[0] == '!') || (name.startsWith('?') && s[0] == '?'))
                simple = true;
        if (simple) continue;
        depth += end ? -1 : 1;
        depth = std::max(depth, 0);
        peak = std::max(peak, depth);
    }
    return peak;
}

class Builder {
public:
    Builder(const HtmlToRichText::PictureResolver& resolver, QStringList& problems)
        : m_resolver(resolver), m_problems(problems) {}

    void walk(const GumboNode* root);
    std::vector<RtBlock> take() {
        flush();
        return std::move(m_root);
    }
    void addPlainText(const QString& text) {
        m_state.pre = true;
        addText(text);
    }

private:
    struct ListLevel {
        bool ordered = false;
    };
    struct State {
        RtFont font;
        QString link;
        bool pre = false;
        bool inCell = false;
        RtParagraphStyle block;
        size_t lists = 0;  // depth of m_lists when the element was entered
    };
    struct TableLevel {
        std::shared_ptr<RtTable> table;
        int row = -1;
        int cell = -1;
    };
    struct Frame {
        const GumboNode* node;
        unsigned next = 0;
        State saved;
        int tableDepth = 0;
    };

    std::vector<RtBlock>& container();
    void enter(const GumboNode* node);
    void leave(const GumboNode* node, const Frame& frame);
    void applyCss(const QString& style, bool block);
    void applyAlign(const QString& value);
    void flush();
    void startParagraphIfNeeded();
    void addText(QStringView text);
    void addRun(RtRun run);
    void addImage(const GumboNode* node);
    void addLineBreak();

    const HtmlToRichText::PictureResolver& m_resolver;
    QStringList& m_problems;
    std::vector<RtBlock> m_root;
    std::vector<TableLevel> m_tables;
    std::vector<ListLevel> m_lists;
    State m_state;
    RtBlock m_para;
    bool m_paraStarted = false;
    bool m_lastSpace = true;  // the line so far ends in a blank (or is empty)
    bool m_liPending = false;
    std::vector<Frame> m_stack;
};

std::vector<RtBlock>& Builder::container() {
    if (m_tables.empty()) return m_root;
    TableLevel& t = m_tables.back();
    if (t.row < 0) {
        t.table->rows.emplace_back();
        t.row = int(t.table->rows.size()) - 1;
    }
    auto& cells = t.table->rows[size_t(t.row)].cells;
    if (t.cell < 0 || t.cell >= int(cells.size())) {
        cells.emplace_back();
        t.cell = int(cells.size()) - 1;
    }
    return cells[size_t(t.cell)].blocks;
}

void Builder::startParagraphIfNeeded() {
    if (m_paraStarted) return;
    m_paraStarted = true;
    m_para = RtBlock();
    m_para.style = m_state.block;
    if (m_liPending) {
        m_liPending = false;
    } else {
        m_para.style.bullet = false;
        m_para.style.numbered = false;
    }
}

void Builder::flush() {
    m_lastSpace = true;
    if (!m_paraStarted) return;
    m_paraStarted = false;
    auto& runs = m_para.runs;
    // A break that ends a block adds no line; a block holding only a break is one empty line.
    if (runs.size() == 1 && runs.back().kind == RtRun::Kind::LineBreak) runs.clear();
    else if (!runs.empty() && runs.back().kind == RtRun::Kind::LineBreak) runs.pop_back();
    while (!runs.empty() && runs.back().kind == RtRun::Kind::Text) {
        QString& t = runs.back().text;
        while (!t.isEmpty() && t.back() == QLatin1Char(' ')) t.chop(1);
        if (!t.isEmpty()) break;
        runs.pop_back();
    }
    container().push_back(std::move(m_para));
    m_para = RtBlock();
}

void Builder::addRun(RtRun run) {
    startParagraphIfNeeded();
    auto& runs = m_para.runs;
    if (!runs.empty() && (run.kind == RtRun::Kind::Text || run.kind == RtRun::Kind::Url)) {
        RtRun& last = runs.back();
        if (last.kind == run.kind && last.target == run.target && sameFont(last.font, run.font)) {
            last.text += run.text;
            return;
        }
    }
    runs.push_back(std::move(run));
}

void Builder::addLineBreak() {
    m_lastSpace = true;
    RtRun run;
    run.kind = RtRun::Kind::LineBreak;
    run.font = m_state.font;
    addRun(std::move(run));
}

void Builder::addText(QStringView text) {
    QString piece;
    auto flushPiece = [&] {
        if (piece.isEmpty()) return;
        RtRun run;
        run.kind = m_state.link.isEmpty() ? RtRun::Kind::Text : RtRun::Kind::Url;
        run.target = m_state.link;
        run.text = piece;
        run.font = m_state.font;
        addRun(std::move(run));
        piece.clear();
    };
    for (QChar c : text) {
        if (m_state.pre) {
            if (c == QLatin1Char('\r')) continue;
            if (c == QLatin1Char('\n') || c == QLatin1Char('\t')) {
                flushPiece();
                if (c == QLatin1Char('\n')) {
                    addLineBreak();
                } else {
                    RtRun tab;
                    tab.kind = RtRun::Kind::Tab;
                    addRun(std::move(tab));
                }
                continue;
            }
            piece += c;
            continue;
        }
        if (isSpace(c)) {
            // A run of blanks is one space, none at the start of a line.
            if (!m_lastSpace) piece += QLatin1Char(' ');
            m_lastSpace = true;
            continue;
        }
        m_lastSpace = false;
        piece += c;
    }
    flushPiece();
}

void Builder::addImage(const GumboNode* node) {
    const QString src = attr(node, "src").trimmed();
    const QString alt = attr(node, "alt");
    HtmlToRichText::Picture pic;
    bool found = decodeDataUrl(src, pic);
    if (!found && !src.isEmpty() && m_resolver) found = m_resolver(src, pic);
    if (found) {
        const rtf::RtfImageInfo info = rtf::RtfImageInfo::probe(pic.data);
        if (info.format != rtf::RtfImageInfo::Format::Unknown) pic.format = rtf::RtfImageInfo::formatName(info.format);
        if (pic.format.isEmpty()) {
            m_problems << QStringLiteral("The picture \"%1\" is in a format that cannot be shown.").arg(src.left(100));
            found = false;
        } else {
            RtRun run;
            run.kind = RtRun::Kind::Picture;
            run.picture.data = pic.data;
            run.picture.format = pic.format;
            bool okW = false, okH = false;
            const int w = attr(node, "width").toInt(&okW), h = attr(node, "height").toInt(&okH);
            if (okW && okH && w > 0 && h > 0 && w < 20000 && h < 20000) {
                run.picture.widthPx = w;
                run.picture.heightPx = h;
            } else {
                run.picture.widthPx = info.widthPx;
                run.picture.heightPx = info.heightPx;
            }
            m_lastSpace = false;
            addRun(std::move(run));
            return;
        }
    } else if (src.startsWith(QLatin1String("cid:"), Qt::CaseInsensitive)) {
        m_problems << QStringLiteral("The inline picture \"%1\" is not in the message.").arg(src.left(100));
    }
    if (!alt.trimmed().isEmpty()) addText(alt);
}

void Builder::applyAlign(const QString& value) {
    const QString v = value.trimmed().toLower();
    if (v == QLatin1String("center") || v == QLatin1String("middle")) m_state.block.align = RtAlign::Center;
    else if (v == QLatin1String("right")) m_state.block.align = RtAlign::Right;
    else if (v == QLatin1String("justify")) m_state.block.align = RtAlign::Justify;
    else if (v == QLatin1String("left")) m_state.block.align = RtAlign::Left;
}

void Builder::applyCss(const QString& style, bool block) {
    if (style.isEmpty()) return;
    RtFont& f = m_state.font;
    for (const QString& decl : style.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype colon = decl.indexOf(QLatin1Char(':'));
        if (colon <= 0) continue;
        const QString prop = decl.left(colon).trimmed().toLower();
        QString value = decl.mid(colon + 1).trimmed();
        value.remove(QStringLiteral("!important"), Qt::CaseInsensitive);
        value = value.trimmed();
        const QString lower = value.toLower();
        if (prop == QLatin1String("font-weight")) {
            bool ok = false;
            const int w = lower.toInt(&ok);
            f.bold = lower == QLatin1String("bold") || lower == QLatin1String("bolder") || (ok && w >= 600);
        } else if (prop == QLatin1String("font-style")) {
            f.italic = lower == QLatin1String("italic") || lower == QLatin1String("oblique");
        } else if (prop == QLatin1String("text-decoration") || prop == QLatin1String("text-decoration-line")) {
            if (lower.contains(QLatin1String("none"))) f.underline = f.strike = false;
            if (lower.contains(QLatin1String("underline"))) f.underline = true;
            if (lower.contains(QLatin1String("line-through"))) f.strike = true;
        } else if (prop == QLatin1String("color")) {
            if (auto c = CssStyle::color(value)) {
                f.hasColor = true;
                f.rgb = *c;
            }
        } else if (prop == QLatin1String("font-family")) {
            const QString face = CssStyle::fontFace(value);
            if (!face.isEmpty()) f.face = face;
        } else if (prop == QLatin1String("font-size")) {
            if (auto s = CssStyle::fontSize(value, f.sizePt)) f.sizePt = *s;
        } else if (prop == QLatin1String("font")) {
            // Shorthand: pick out weight, style, size and the family list.
            if (lower.contains(QLatin1String("bold"))) f.bold = true;
            if (lower.contains(QLatin1String("italic"))) f.italic = true;
            const QStringList words = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (int i = 0; i < words.size(); ++i) {
                const QString size = words[i].section(QLatin1Char('/'), 0, 0);
                if (auto s = CssStyle::fontSize(size, f.sizePt); s && size.at(0).isDigit()) {
                    f.sizePt = *s;
                    const QString family = words.mid(i + 1).join(QLatin1Char(' '));
                    const QString face = CssStyle::fontFace(family);
                    if (!face.isEmpty()) f.face = face;
                    break;
                }
            }
        } else if (prop == QLatin1String("vertical-align")) {
            f.superscript = lower == QLatin1String("super");
            f.subscript = lower == QLatin1String("sub");
        } else if (block && prop == QLatin1String("text-align")) {
            applyAlign(lower);
        } else if (block && (prop == QLatin1String("margin-left") || prop == QLatin1String("padding-left"))) {
            if (auto t = CssStyle::lengthTwips(value, f.sizePt); t && *t > 0)
                m_state.block.leftIndent = std::min(m_state.block.leftIndent + *t, 14400);
            else if (auto p = CssStyle::percentage(value); p && *p > 0)
                m_state.block.leftIndentPercent = std::min(m_state.block.leftIndentPercent + *p, 100);
        } else if (block && (prop == QLatin1String("margin-right") || prop == QLatin1String("padding-right"))) {
            if (auto t = CssStyle::lengthTwips(value, f.sizePt); t && *t > 0)
                m_state.block.rightIndent = std::min(m_state.block.rightIndent + *t, 14400);
            else if (auto p = CssStyle::percentage(value); p && *p > 0)
                m_state.block.rightIndentPercent = std::min(m_state.block.rightIndentPercent + *p, 100);
        }
    }
}

void Builder::enter(const GumboNode* node) {
    const GumboTag tag = node->v.element.tag;
    RtFont& f = m_state.font;
    const bool block = isBlockTag(tag);
    if (block) {
        flush();
        m_state.block.spaceBefore = 0;
        m_state.block.spaceAfter = 0;
        applyAlign(attr(node, "align"));
    }
    switch (tag) {
        case GUMBO_TAG_B: case GUMBO_TAG_STRONG: f.bold = true; break;
        case GUMBO_TAG_I: case GUMBO_TAG_EM: case GUMBO_TAG_CITE: case GUMBO_TAG_VAR: case GUMBO_TAG_DFN:
        case GUMBO_TAG_ADDRESS:
            f.italic = true;
            break;
        case GUMBO_TAG_U: case GUMBO_TAG_INS: f.underline = true; break;
        case GUMBO_TAG_S: case GUMBO_TAG_STRIKE: case GUMBO_TAG_DEL: f.strike = true; break;
        case GUMBO_TAG_SUP: f.superscript = true; f.subscript = false; break;
        case GUMBO_TAG_SUB: f.subscript = true; f.superscript = false; break;
        case GUMBO_TAG_CODE: case GUMBO_TAG_TT: case GUMBO_TAG_KBD: case GUMBO_TAG_SAMP:
            f.face = QStringLiteral("Courier New");
            break;
        case GUMBO_TAG_BIG: f.sizePt = std::min(1638.0, f.sizePt * 1.2); break;
        case GUMBO_TAG_SMALL: f.sizePt = std::max(1.0, f.sizePt / 1.2); break;
        case GUMBO_TAG_FONT: {
            const QString face = attr(node, "face");
            if (!face.trimmed().isEmpty()) f.face = CssStyle::fontFace(face);
            if (auto c = CssStyle::color(attr(node, "color"))) {
                f.hasColor = true;
                f.rgb = *c;
            }
            if (auto s = CssStyle::fontTagSize(attr(node, "size"))) f.sizePt = *s;
            break;
        }
        case GUMBO_TAG_A: {
            const QString href = attr(node, "href").trimmed();
            if (!href.isEmpty() && !href.startsWith(QLatin1Char('#')) &&
                !href.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive)) {
                m_state.link = href;
                f.underline = true;
                if (!f.hasColor) {
                    f.hasColor = true;
                    f.rgb = 0x0000FF;
                }
            }
            break;
        }
        case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5:
        case GUMBO_TAG_H6: {
            static const double sizes[] = {24, 18, 14, 12, 10, 8};
            f.bold = true;
            f.sizePt = sizes[tag - GUMBO_TAG_H1];
            m_state.block.spaceBefore = m_state.block.spaceAfter = m_state.inCell ? 0 : kParagraphSpace;
            break;
        }
        case GUMBO_TAG_P:
            if (!m_state.inCell) m_state.block.spaceAfter = kParagraphSpace;
            break;
        case GUMBO_TAG_CENTER: m_state.block.align = RtAlign::Center; break;
        case GUMBO_TAG_BLOCKQUOTE: case GUMBO_TAG_DD:
            m_state.block.leftIndent = std::min(m_state.block.leftIndent + kQuoteIndent, 14400);
            break;
        case GUMBO_TAG_PRE: case GUMBO_TAG_LISTING: case GUMBO_TAG_XMP: case GUMBO_TAG_PLAINTEXT:
            m_state.pre = true;
            f.face = QStringLiteral("Courier New");
            break;
        case GUMBO_TAG_UL: case GUMBO_TAG_OL: case GUMBO_TAG_MENU: case GUMBO_TAG_DIR:
            if (!m_lists.empty()) m_state.block.leftIndent = std::min(m_state.block.leftIndent + kListIndent, 14400);
            m_lists.push_back(ListLevel{tag == GUMBO_TAG_OL});
            break;
        case GUMBO_TAG_LI: {
            const bool ordered = !m_lists.empty() && m_lists.back().ordered;
            m_state.block.bullet = !ordered;
            m_state.block.numbered = ordered;
            m_liPending = true;
            break;
        }
        case GUMBO_TAG_BR: addLineBreak(); break;
        case GUMBO_TAG_IMG: addImage(node); break;
        case GUMBO_TAG_HR: {
            RtRun run;
            run.kind = RtRun::Kind::Text;
            run.text = QString(40, QChar(0x2014));
            run.font = f;
            run.font.hasColor = true;
            run.font.rgb = 0x808080;
            addRun(std::move(run));
            flush();
            break;
        }
        case GUMBO_TAG_TABLE: {
            flush();
            auto table = std::make_shared<RtTable>();
            const QString border = attr(node, "border").trimmed();
            table->borders = !(border.isEmpty() || border == QLatin1String("0"));
            RtBlock holder;
            holder.table = table;
            container().push_back(std::move(holder));
            m_tables.push_back(TableLevel{table});
            break;
        }
        case GUMBO_TAG_TR:
            if (!m_tables.empty()) {
                flush();
                TableLevel& t = m_tables.back();
                t.table->rows.emplace_back();
                t.row = int(t.table->rows.size()) - 1;
                t.cell = -1;
            }
            break;
        case GUMBO_TAG_TD: case GUMBO_TAG_TH:
            if (!m_tables.empty()) {
                flush();
                TableLevel& t = m_tables.back();
                if (t.row < 0) {
                    t.table->rows.emplace_back();
                    t.row = int(t.table->rows.size()) - 1;
                }
                auto& cells = t.table->rows[size_t(t.row)].cells;
                cells.emplace_back();
                t.cell = int(cells.size()) - 1;
                store::RtTableCell& cell = cells.back();
                const auto setWidth = [&](const QString& value) {
                    if (auto w = CssStyle::lengthTwips(value, f.sizePt); w && *w > 0) {
                        cell.widthTwips = *w;
                        cell.widthPercent = 0;
                    } else if (auto p = CssStyle::percentage(value); p && *p > 0) {
                        cell.widthTwips = 0;
                        cell.widthPercent = *p;
                    }
                };
                setWidth(attr(node, "width"));
                QString bg = attr(node, "bgcolor");
                const QString style = attr(node, "style");
                static const QRegularExpression bgRe(QStringLiteral("background(?:-color)?\\s*:\\s*([^;]+)"),
                                                     QRegularExpression::CaseInsensitiveOption);
                if (auto m = bgRe.match(style); m.hasMatch()) bg = m.captured(1);
                static const QRegularExpression widthRe(QStringLiteral("(?:^|;)\\s*width\\s*:\\s*([^;]+)"),
                                                        QRegularExpression::CaseInsensitiveOption);
                if (auto m = widthRe.match(style); m.hasMatch())
                    setWidth(m.captured(1).trimmed());
                if (auto c = CssStyle::color(bg)) {
                    cell.hasBackground = true;
                    cell.backgroundRgb = *c;
                }
                m_state.inCell = true;
                m_state.block = RtParagraphStyle();
                applyAlign(attr(node, "align"));
                if (tag == GUMBO_TAG_TH) {
                    f.bold = true;
                    if (attr(node, "align").isEmpty()) m_state.block.align = RtAlign::Center;
                }
            }
            break;
        default: break;
    }
    applyCss(attr(node, "style"), block || tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH);
}

void Builder::leave(const GumboNode* node, const Frame& frame) {
    const GumboTag tag = node->v.element.tag;
    if (isBlockTag(tag) || tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH) flush();
    if (tag == GUMBO_TAG_TABLE && !m_tables.empty()) {
        flush();
        std::shared_ptr<RtTable> done = m_tables.back().table;
        m_tables.pop_back();
        if (done->rows.empty()) {
            auto& blocks = container();
            auto it = std::find_if(blocks.begin(), blocks.end(), [&](const RtBlock& b) { return b.table == done; });
            if (it != blocks.end()) blocks.erase(it);
        } else {
            // Rows without cells would make an empty line of the table.
            auto& rows = done->rows;
            rows.erase(std::remove_if(rows.begin(), rows.end(), [](const auto& r) { return r.cells.empty(); }),
                       rows.end());
        }
    }
    if (tag == GUMBO_TAG_LI) m_liPending = false;
    if (m_lists.size() > frame.saved.lists) m_lists.resize(frame.saved.lists);
    m_state = frame.saved;
}

void Builder::walk(const GumboNode* root) {
    m_stack.push_back(Frame{root, 0, m_state});
    while (!m_stack.empty()) {
        Frame& frame = m_stack.back();
        const GumboNode* node = frame.node;
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT &&
            node->type != GUMBO_NODE_TEMPLATE) {
            if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA ||
                (node->type == GUMBO_NODE_WHITESPACE && (m_tables.empty() || m_tables.back().cell >= 0 || m_state.pre)))
                addText(QString::fromUtf8(node->v.text.text));
            m_stack.pop_back();
            continue;
        }
        const GumboVector& children =
            node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
        if (frame.next == 0 && node->type == GUMBO_NODE_ELEMENT) {
            if (isSkippedTag(node->v.element.tag)) {
                m_stack.pop_back();
                continue;
            }
            frame.saved = m_state;
            frame.saved.lists = m_lists.size();
            enter(node);
        }
        if (frame.next < children.length) {
            const auto* child = static_cast<const GumboNode*>(children.data[frame.next++]);
            m_stack.push_back(Frame{child, 0, m_state});
            continue;
        }
        if (node->type == GUMBO_NODE_ELEMENT) {
            const Frame done = frame;
            m_stack.pop_back();
            leave(node, done);
        } else {
            m_stack.pop_back();
        }
    }
}

}  // namespace

QString HtmlToRichText::declaredCharset(const QByteArray& html) {
    const QByteArray head = html.left(4096);
    static const QRegularExpression re(QStringLiteral("<meta[^>]+charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_:.+-]+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(QString::fromLatin1(head));
    return m.hasMatch() ? m.captured(1) : QString();
}

store::RichTextDoc HtmlToRichText::convert(const QByteArray& html, const QString& charset,
                                           const PictureResolver& resolver, QStringList* problems) {
    QString cs = charset.trimmed();
    if (cs.isEmpty()) cs = declaredCharset(html);
    QString problem;
    const QString text = CharsetDecoder::decode(html, cs, &problem);
    QStringList local;
    QStringList& out = problems ? *problems : local;
    if (!problem.isEmpty()) out << problem;
    return convert(text, resolver, &out);
}

store::RichTextDoc HtmlToRichText::convert(const QString& html, const PictureResolver& resolver,
                                           QStringList* problems) {
    QStringList local;
    QStringList& out = problems ? *problems : local;
    store::RichTextDoc doc;
    Builder builder(resolver, out);
    const QByteArray utf8 = html.toUtf8();
    if (utf8.size() > kMaxHtmlBytes || nestingEstimate(utf8) > MaxNesting) {
        out << QStringLiteral("The HTML is too large or too deeply nested to keep its formatting; "
                              "its text is given without it.");
        builder.addPlainText(strippedText(html));
        doc.blocks = builder.take();
        return doc;
    }
    GumboOutput* parsed = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), size_t(utf8.size()));
    if (!parsed) {
        out << QStringLiteral("The HTML could not be read.");
        return doc;
    }
    builder.walk(parsed->document);
    gumbo_destroy_output(&kGumboDefaultOptions, parsed);
    doc.blocks = builder.take();
    // Drop trailing empty paragraphs (signature padding and the like).
    while (!doc.blocks.empty() && !doc.blocks.back().table && doc.blocks.back().runs.empty()) doc.blocks.pop_back();
    return doc;
}

HtmlToRichText::PictureResolver HtmlToRichText::resolverFor(const MimeEntity& message) {
    return [&message](const QString& src, Picture& pic) {
        const MimeEntity* part = nullptr;
        if (src.startsWith(QLatin1String("cid:"), Qt::CaseInsensitive))
            part = message.findContentId(QUrl::fromPercentEncoding(src.mid(4).toUtf8()));
        if (!part) part = message.findContentLocation(src);
        if (!part || part->body.isEmpty()) return false;
        pic.data = part->body;
        pic.format = part->mediaType == QLatin1String("image") ? part->subType : QString();
        if (pic.format == QLatin1String("jpg") || pic.format == QLatin1String("pjpeg")) pic.format = "jpeg";
        return true;
    };
}

}  // namespace mime
