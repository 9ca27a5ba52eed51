#include "FodtDigest.h"

#include "richtext/RtfImageInfo.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

// Character properties; -1: not set here (inherited).
struct Props {
    int bold = -1, italic = -1, underline = -1, strike = -1;
    double size = -1;
    Props over(const Props& base) const {
        Props p = *this;
        if (p.bold < 0) p.bold = base.bold;
        if (p.italic < 0) p.italic = base.italic;
        if (p.underline < 0) p.underline = base.underline;
        if (p.strike < 0) p.strike = base.strike;
        if (p.size < 0) p.size = base.size;
        return p;
    }
};

struct StyleDef {
    QString parent;
    Props props;
};

double toMm(QStringView length) {
    QString s = length.toString().trimmed();
    double factor = 1;
    if (s.endsWith(QLatin1String("mm"))) factor = 1, s.chop(2);
    else if (s.endsWith(QLatin1String("cm"))) factor = 10, s.chop(2);
    else if (s.endsWith(QLatin1String("in"))) factor = 25.4, s.chop(2);
    else if (s.endsWith(QLatin1String("pt"))) factor = 25.4 / 72, s.chop(2);
    return s.toDouble() * factor;
}

Props textProps(const QXmlStreamAttributes& a) {
    Props p;
    if (a.hasAttribute(QLatin1String("fo:font-weight")))
        p.bold = a.value(QLatin1String("fo:font-weight")) == QLatin1String("bold") ||
                 a.value(QLatin1String("fo:font-weight")).toInt() >= 600;
    if (a.hasAttribute(QLatin1String("fo:font-style")))
        p.italic = a.value(QLatin1String("fo:font-style")) == QLatin1String("italic");
    if (a.hasAttribute(QLatin1String("style:text-underline-style")))
        p.underline = a.value(QLatin1String("style:text-underline-style")) != QLatin1String("none");
    if (a.hasAttribute(QLatin1String("style:text-line-through-style")))
        p.strike = a.value(QLatin1String("style:text-line-through-style")) != QLatin1String("none");
    if (a.hasAttribute(QLatin1String("fo:font-size"))) {
        const QStringView v = a.value(QLatin1String("fo:font-size"));
        if (v.endsWith(QLatin1String("pt"))) p.size = v.chopped(2).toDouble();
    }
    return p;
}

class Reader {
public:
    FodtDigest digest;

    void read(QXmlStreamReader& x) {
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) start(x);
            else if (x.isEndElement()) end(x);
            else if (x.isCharacters() && m_inBinary) m_binary += x.text().toString();
            else if (x.isCharacters() && !m_props.empty() && m_paragraphDepth > 0) text(x.text().toString());
        }
        digest.valid = !x.hasError();
        QStringList runs;
        for (const auto& [size, count] : m_sizes) runs << QStringLiteral("%1:%2").arg(size).arg(count);
        digest.sizes = runs;
    }

private:
    Props resolved(const QString& name) const {
        Props p;
        QString n = name;
        for (int depth = 0; depth < 16 && !n.isEmpty(); ++depth) {
            const auto it = m_styles.find(n);
            if (it == m_styles.end()) break;
            p = p.over(it->props);
            n = it->parent;
        }
        return p.over(m_defaults);
    }

    void start(QXmlStreamReader& x) {
        const QStringView name = x.qualifiedName();
        const QXmlStreamAttributes a = x.attributes();
        if (name == QLatin1String("style:style")) {
            m_styleName = a.value(QLatin1String("style:name")).toString();
            m_styles[m_styleName].parent = a.value(QLatin1String("style:parent-style-name")).toString();
            m_inDefault = false;
        } else if (name == QLatin1String("style:default-style")) {
            m_inDefault = a.value(QLatin1String("style:family")) == QLatin1String("paragraph");
            m_styleName.clear();
        } else if (name == QLatin1String("style:text-properties") && m_paragraphDepth == 0) {
            if (m_inDefault) m_defaults = textProps(a).over(m_defaults);
            else if (!m_styleName.isEmpty()) m_styles[m_styleName].props = textProps(a);
        } else if (name == QLatin1String("style:page-layout")) {
            m_layoutName = a.value(QLatin1String("style:name")).toString();
        } else if (name == QLatin1String("style:page-layout-properties")) {
            m_layouts[m_layoutName] = {toMm(a.value(QLatin1String("fo:page-width"))),
                                       toMm(a.value(QLatin1String("fo:page-height")))};
        } else if (name == QLatin1String("style:master-page") && digest.pageWidthMm == 0) {
            const auto size = m_layouts.value(a.value(QLatin1String("style:page-layout-name")).toString());
            digest.pageWidthMm = size.first;
            digest.pageHeightMm = size.second;
        } else if (name == QLatin1String("text:p") || name == QLatin1String("text:h")) {
            ++m_paragraphDepth;
            m_props.push_back(resolved(a.value(QLatin1String("text:style-name")).toString()));
            m_paragraph.clear();
        } else if (name == QLatin1String("text:span") || name == QLatin1String("text:a")) {
            const Props base = m_props.empty() ? m_defaults : m_props.back();
            const QString style = a.value(QLatin1String("text:style-name")).toString();
            m_props.push_back(style.isEmpty() ? base : resolvedOver(style, base));
        } else if (name == QLatin1String("text:s")) {
            const int c = a.hasAttribute(QLatin1String("text:c")) ? a.value(QLatin1String("text:c")).toInt() : 1;
            m_paragraph += QString(std::max(1, c), QLatin1Char(' '));
        } else if (name == QLatin1String("text:tab")) {
            m_paragraph += QLatin1Char('\t');
        } else if (name == QLatin1String("text:line-break")) {
            m_paragraph += QLatin1Char('\n');
        } else if (name == QLatin1String("table:table")) {
            digest.tableShapes.emplace_back();
            m_tables.push_back(int(digest.tableShapes.size()) - 1);
        } else if (name == QLatin1String("table:table-row") && !m_tables.empty()) {
            digest.tableShapes[size_t(m_tables.back())].push_back(0);
        } else if ((name == QLatin1String("table:table-cell") || name == QLatin1String("table:covered-table-cell")) &&
                   !m_tables.empty()) {
            auto& shape = digest.tableShapes[size_t(m_tables.back())];
            if (!shape.empty()) ++shape.back();
            if (m_tables.back() == 0 && m_tables.size() == 1) m_cellText.clear();
        } else if (name == QLatin1String("office:binary-data")) {
            m_inBinary = true;
            m_binary.clear();
        } else if (name == QLatin1String("draw:image")) {
            m_imageOpen = true;
        }
    }

    Props resolvedOver(const QString& style, const Props& base) const {
        Props p;
        QString n = style;
        for (int depth = 0; depth < 16 && !n.isEmpty(); ++depth) {
            const auto it = m_styles.find(n);
            if (it == m_styles.end()) break;
            p = p.over(it->props);
            n = it->parent;
        }
        return p.over(base);
    }

    void end(QXmlStreamReader& x) {
        const QStringView name = x.qualifiedName();
        if (name == QLatin1String("style:style") || name == QLatin1String("style:default-style")) {
            m_styleName.clear();
            m_inDefault = false;
        } else if (name == QLatin1String("text:p") || name == QLatin1String("text:h")) {
            --m_paragraphDepth;
            if (!m_props.empty()) m_props.pop_back();
            const QString simple = m_paragraph.simplified();
            if (!simple.isEmpty()) {
                digest.paragraphs << simple;
                if (m_tables.size() == 1 && m_tables.back() == 0)
                    m_cellText += (m_cellText.isEmpty() ? QString() : QStringLiteral(" ")) + simple;
            }
            m_paragraph.clear();
        } else if (name == QLatin1String("text:span") || name == QLatin1String("text:a")) {
            if (!m_props.empty()) m_props.pop_back();
        } else if (name == QLatin1String("table:table")) {
            if (!m_tables.empty()) m_tables.pop_back();
        } else if (name == QLatin1String("table:table-cell") && m_tables.size() == 1 && m_tables.back() == 0) {
            digest.headerCells << m_cellText;
            m_cellText.clear();
        } else if (name == QLatin1String("office:binary-data")) {
            m_inBinary = false;
            if (m_imageOpen) {
                const QByteArray data = QByteArray::fromBase64(m_binary.toLatin1());
                const rtf::RtfImageInfo info = rtf::RtfImageInfo::probe(data);
                digest.pictures << QSize(info.widthPx, info.heightPx);
            }
            m_binary.clear();
        } else if (name == QLatin1String("draw:image")) {
            m_imageOpen = false;
        }
    }

    void text(const QString& t) {
        // LibreOffice keeps the characters of symbol fonts read from RTF in
        // the private use area (U+F020-U+F0FF); the same character codes in
        // the same face as the other engine's.
        QString plain = t;
        for (QChar& c : plain)
            if (c.unicode() >= 0xF020 && c.unicode() <= 0xF0FF) c = QChar(char16_t(c.unicode() - 0xF000));
        if (m_paragraph.trimmed().isEmpty()) {
            // A list label at the start of a paragraph: text to the native
            // writers, a numbering label (not text) to the office's import.
            static const QRegularExpression label(QStringLiteral("^\\s*(\u2022|\\d{1,3}\\.)\\s*$"));
            if (label.match(plain).hasMatch()) return;
        }
        m_paragraph += plain;
        const Props& p = m_props.back();
        // Only what shows: white space (the read-back's own indentation too) is no character.
        QString visible = plain;
        visible.removeIf([](QChar c) { return c.isSpace(); });
        if (visible.isEmpty()) return;
        if (p.bold > 0) digest.bold += visible;
        if (p.italic > 0) digest.italic += visible;
        if (p.underline > 0) digest.underline += visible;
        if (p.strike > 0) digest.strike += visible;
        const double size = p.size;
        if (!m_sizes.empty() && m_sizes.back().first == size) m_sizes.back().second += int(visible.size());
        else m_sizes.emplace_back(size, int(visible.size()));
    }

    QHash<QString, StyleDef> m_styles;
    Props m_defaults{0, 0, 0, 0, 12.0};
    QString m_styleName;
    bool m_inDefault = false;
    QString m_layoutName;
    QHash<QString, std::pair<double, double>> m_layouts;
    std::vector<Props> m_props;
    int m_paragraphDepth = 0;
    QString m_paragraph;
    std::vector<int> m_tables;
    QString m_cellText;
    bool m_inBinary = false;
    bool m_imageOpen = false;
    QString m_binary;
    std::vector<std::pair<double, int>> m_sizes;
};

}  // namespace

FodtDigest FodtDigest::read(const QString& fodtPath) {
    QFile file(fodtPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QXmlStreamReader x(&file);
    Reader r;
    r.read(x);
    return r.digest;
}
