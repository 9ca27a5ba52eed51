#include "notes/dxl/DxlIndexer.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <utility>

#include "notes/dxl/Base64Decoder.h"
#include "notes/dxl/DxlByteOffsets.h"
#include "notes/dxl/DxlFormReader.h"
#include "notes/dxl/DxlItemReader.h"
#include "notes/dxl/DxlSkippingFile.h"

namespace store::dxl {
namespace {

bool isBase64Element(QStringView name) {
    static const char* const names[] = {"gif", "jpeg",        "png",         "bmp",
                                        "cgm", "notesbitmap", "rawitemdata", "userdata"};
    for (const char* n : names)
        if (name == QLatin1String(n)) return true;
    return false;
}

// Encodings whose characters are single bytes, so that offsets map one to one.
bool isSingleByte(const QString& enc) {
    return enc == QLatin1String("us-ascii") || enc == QLatin1String("ascii") ||
           enc.startsWith(QLatin1String("iso-8859-")) || enc.startsWith(QLatin1String("windows-125")) ||
           enc == QLatin1String("latin1");
}

QString oneLine(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    while (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text;
}

// Reads base64 to the end of the current element, only counting.
bool checkBase64(QXmlStreamReader& xml, qint64* size = nullptr) {
    Base64Decoder counter(true);
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::Characters)
            counter.feed(xml.text());
        else if (t == QXmlStreamReader::EndElement)
            break;
        else if (t == QXmlStreamReader::StartElement)
            xml.skipCurrentElement();
    }
    const bool ok = counter.finish();
    if (size) *size = counter.decodedSize();
    return ok;
}

}  // namespace

FormulaValue DxlIndexer::formulaValue(const StoreItem& item) { return FormulaValue::fromItem(item); }

namespace {

// How many damaged documents a file may have before it is refused whole.
constexpr int kMaxDamagedDocuments = 200;

// The offset of the next document's start tag ("<document", or "<note" with
// attributes) at or after `from`; else of the root's closing tag; else the
// file's size.
qint64 nextDocumentStart(const QString& path, qint64 from) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression tag(QStringLiteral("<(document|note)[\\s>/]"));
    static const QRegularExpression rootEnd(QStringLiteral("</database\\s*>"));
    qint64 rootEndAt = -1;
    constexpr qint64 kChunk = 1 << 20;
    for (qint64 pos = from; pos < file.size(); pos += kChunk) {
        if (!file.seek(pos)) return -1;
        const QString text = QString::fromLatin1(file.read(kChunk + 16));
        const QRegularExpressionMatch m = tag.match(text);
        if (m.hasMatch() && m.capturedStart() < kChunk) return pos + m.capturedStart();
        const QRegularExpressionMatch r = rootEnd.match(text);
        if (rootEndAt < 0 && r.hasMatch() && r.capturedStart() < kChunk) rootEndAt = pos + r.capturedStart();
    }
    return rootEndAt >= 0 ? rootEndAt : file.size();
}

// What the start of a child of the root element says about it.
struct UnitTag {
    QString element;  // its name
    bool isDocument = false;
    QString name;  // a view's or folder's name attribute
    QString noteId, unid;
};

QString attributeIn(const QString& tag, const char* name) {
    const QRegularExpression re(
        QStringLiteral("\\s%1\\s*=\\s*(?:'([^'<]*)'|\"([^\"<]*)\")").arg(QLatin1String(name)));
    const QRegularExpressionMatch m = re.match(tag);
    return m.captured(1) + m.captured(2);
}

UnitTag readUnit(const QString& path, qint64 start, qint64 end) {
    UnitTag u;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(start)) return u;
    const QString text =
        QString::fromUtf8(file.read(std::min<qint64>(std::max<qint64>(end - start, 0), 16384)));
    static const QRegularExpression startTag(QStringLiteral("^<([^\\s/>]*)[^>]*>"));
    const QRegularExpressionMatch m = startTag.match(text);
    if (!m.hasMatch()) return u;
    u.element = m.captured(1);
    const QString tag = m.captured(0);
    // A name the damage is in: each damaged character stands for one or no
    // character of the name.
    QString pattern;
    for (const QChar c : std::as_const(u.element))
        pattern += c == QChar::ReplacementCharacter || c.unicode() < 0x20 ? QStringLiteral(".?")
                                                                          : QRegularExpression::escape(c);
    const auto named = [&](const char* name) {
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern))
            .match(QLatin1String(name))
            .hasMatch();
    };
    u.isDocument =
        named("document") || (named("note") && attributeIn(tag, "class") == QLatin1String("document"));
    u.name = attributeIn(tag, "name");
    if (u.isDocument) {
        static const QRegularExpression noteInfo(QStringLiteral("<noteinfo\\s[^>]*>"));
        const QString info = noteInfo.match(text).captured(0);
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
        static const QRegularExpression unid(QStringLiteral("^[0-9A-Fa-f]{32}$"));
        const QString id = attributeIn(info, "noteid");
        if (hex.match(id).hasMatch()) u.noteId = id.toLower();
        const QString un = attributeIn(info, "unid");
        if (unid.match(un).hasMatch()) u.unid = un.toUpper();
    }
    return u;
}

// "the document at line 12 (note ID 8, UNID ...)": as much of it as can be read.
QString documentLabel(const UnitTag& u, qint64 line) {
    QString label = QStringLiteral("the document at line %1").arg(line);
    QStringList ids;
    if (!u.noteId.isEmpty()) ids << QStringLiteral("note ID ") + u.noteId;
    if (!u.unid.isEmpty()) ids << QStringLiteral("UNID ") + u.unid;
    if (!ids.isEmpty()) label += QStringLiteral(" (") + ids.join(QStringLiteral(", ")) + QLatin1Char(')');
    return label;
}

// Sorted, with overlapping or touching ranges joined.
void normalizeRanges(std::vector<std::pair<qint64, qint64>>& ranges) {
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<qint64, qint64>> out;
    for (const auto& r : ranges) {
        if (!out.empty() && r.first <= out.back().second)
            out.back().second = std::max(out.back().second, r.second);
        else
            out.push_back(r);
    }
    ranges = std::move(out);
}

// Whether the XML declaration at the start of `head` names UTF-8 or no encoding.
bool declaresUtf8(const QByteArray& head) {
    static const QRegularExpression decl(
        QStringLiteral("^<\\?xml\\s[^?>]*encoding\\s*=\\s*['\"]([A-Za-z0-9._-]+)['\"]"));
    const QString enc = decl.match(QString::fromLatin1(head)).captured(1).toLower();
    return enc.isEmpty() || enc == QLatin1String("utf-8") || enc == QLatin1String("utf8");
}

}  // namespace

StoreError DxlIndexer::build(const QString& path, DxlIndex& index) {
    // A document whose XML is damaged is left out and the file read again
    // without it, so that the documents after it are still read; each one
    // left out is named. A file of which no document can be read is refused
    // with its first error, as is one with XML damage outside its documents.
    // (Bytes XML does not allow are set aside before parsing, element by
    // element: see confineTextDamage().)
    std::vector<std::pair<qint64, qint64>> damaged;
    std::vector<std::pair<qint64, QString>> named;
    StoreError first;
    for (int attempt = 0;; ++attempt) {
        index = DxlIndex();
        StoreError e;
        qint64 failedStart = -1, failedAt = -1, failedLine = 0;
        std::vector<std::pair<qint64, QString>> textProblems;
        int textLost = 0;
        QString textFirstLost;
        {
            auto runOnce = [&](bool skipData, bool& again) {
                DxlIndexer indexer(index);
                indexer.m_damagedRanges = damaged;
                e = indexer.run(path, skipData);
                again = indexer.m_skipMismatch;
                failedStart = indexer.m_failedDocStart;
                failedAt = indexer.m_failedAt;
                failedLine = indexer.m_failedLine;
                textProblems = std::move(indexer.m_textProblems);
                textLost = indexer.m_textLostDocuments;
                textFirstLost = indexer.m_textFirstLost;
            };
            bool again = false;
            runOnce(true, again);
            if (again) {
                index = DxlIndex();
                runOnce(false, again);
            }
        }
        if (e.ok()) {
            if ((!named.empty() || textLost > 0) && index.docs.empty()) {
                index = DxlIndex();
                return !first.ok() ? first : StoreError{StatusDamaged, textFirstLost};
            }
            named.insert(named.end(), textProblems.begin(), textProblems.end());
            std::stable_sort(named.begin(), named.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& n : named) index.damagedDocuments << n.second;
            return e;
        }
        if (first.ok()) first = e;
        if (failedStart < 0 || attempt >= kMaxDamagedDocuments) {
            // Damage outside a document, or too many damaged ones.
            index = DxlIndex();
            return e;
        }
        const qint64 end = nextDocumentStart(path, std::max(failedStart + 1, failedAt));
        if (end <= failedStart) {
            index = DxlIndex();
            return first;
        }
        damaged.emplace_back(failedStart, end);
        std::sort(damaged.begin(), damaged.end());
        named.emplace_back(failedStart, QStringLiteral("%1 is not read: %2")
                                            .arg(documentLabel(readUnit(path, failedStart, end), failedLine))
                                            .arg(e.detail));
    }
}

void DxlIndexer::confineTextDamage(const QString& path, bool utf8) {
    m_textRanges.clear();
    m_textProblems.clear();
    m_textLostDocuments = 0;
    m_textFirstLost.clear();
    // Only the children of a <database> can be left out; a file that is one
    // document or view is refused whole, as is one damaged all over.
    m_textConfined = m_prescan.rootIsDatabase && !m_prescan.damageOverflow;
    if (!m_textConfined) return;
    qint64 lastUnit = -1;
    for (const DxlPrescan::Damage& d : m_prescan.damage) {
        if (d.kind == DxlPrescan::Damage::NotUtf8 && !utf8) continue;  // characters of a single-byte encoding
        const QString where = QStringLiteral("%1: XML error at line %2, column %3: %4")
                                  .arg(m_fileName)
                                  .arg(d.line)
                                  .arg(d.column)
                                  .arg(d.what());
        if (d.unitStart < 0) {
            // In the XML declaration, the <database> tag or between elements:
            // only those bytes are left out.
            m_textRanges.emplace_back(d.at, d.at + d.length);
            m_textProblems.emplace_back(
                d.at, QStringLiteral("%1; %2 left out there")
                          .arg(where, d.length == 1 ? QStringLiteral("the byte is")
                                                    : QStringLiteral("%1 bytes are").arg(d.length)));
            continue;
        }
        if (d.unitStart == lastUnit) continue;  // the element is left out already
        lastUnit = d.unitStart;
        // Up to the element's end, or to the next document's start if that
        // comes first (the element's end tag may be what was damaged).
        const qint64 end = std::min(d.unitEnd, nextDocumentStart(path, d.at + d.length));
        const UnitTag u = readUnit(path, d.unitStart, end);
        m_textRanges.emplace_back(d.unitStart, std::max(end, d.at + d.length));
        QString what;
        if (u.isDocument) {
            what = documentLabel(u, d.unitLine);
            if (m_textLostDocuments++ == 0) m_textFirstLost = where;
        } else if (!u.name.isEmpty()) {
            what = QStringLiteral("the %1 \"%2\" at line %3").arg(u.element, u.name).arg(d.unitLine);
        } else {
            what = QStringLiteral("the <%1> element at line %2")
                       .arg(u.element.isEmpty() ? QStringLiteral("?") : u.element)
                       .arg(d.unitLine);
        }
        m_textProblems.emplace_back(d.unitStart, QStringLiteral("%1 is not read: %2").arg(what, where));
    }
}

bool DxlIndexer::documentBytes(QFile& file, const DxlIndex& index, const DxlDocEntry& doc, QByteArray& bytes) {
    bytes.clear();
    if (!index.encoding.isEmpty()) bytes = "<?xml version='1.0' encoding='" + index.encoding + "'?>";
    qint64 pos = doc.start;
    auto copy = [&](qint64 from, qint64 to) {
        if (to <= from) return true;
        if (!file.seek(from)) return false;
        const QByteArray part = file.read(to - from);
        if (part.size() != to - from) return false;
        bytes += part;
        return true;
    };
    if (doc.attachments >= 0 && size_t(doc.attachments) < index.attachments.size()) {
        for (const DxlAttachmentSpan& span : index.attachments[size_t(doc.attachments)]) {
            if (span.dataEnd <= span.dataStart || span.dataStart < pos) continue;
            if (!copy(pos, span.dataStart)) return false;
            pos = span.dataEnd;
        }
    }
    return copy(pos, doc.end());
}

StoreError DxlIndexer::textError(bool utf8) const {
    // The first of them in the file.
    const DxlPrescan::Finding* f = nullptr;
    for (const DxlPrescan::Finding* c : {&m_prescan.firstNul, &m_prescan.firstControlInName,
                                         utf8 ? &m_prescan.firstNonUtf8 : nullptr})
        if (c && c->found && (!f || c->line < f->line || (c->line == f->line && c->column < f->column))) f = c;
    if (!f) return {};
    return {StatusDamaged, QStringLiteral("%1: XML error at line %2, column %3: %4")
                               .arg(m_fileName)
                               .arg(f->line)
                               .arg(f->column)
                               .arg(f->what)};
}

QString DxlIndexer::where(const QXmlStreamReader& xml) const {
    return QStringLiteral("line %1").arg(xml.lineNumber());
}

StoreError DxlIndexer::xmlError(const QXmlStreamReader& xml) const {
    const QString what = oneLine(xml.errorString());
    if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        return {StatusDamaged, QStringLiteral("%1: the XML ends early at line %2 (truncated file?)")
                                   .arg(m_fileName)
                                   .arg(xml.lineNumber())};
    return {StatusDamaged, QStringLiteral("%1: XML error at line %2, column %3: %4")
                               .arg(m_fileName)
                               .arg(xml.lineNumber())
                               .arg(xml.columnNumber())
                               .arg(what)};
}

StoreError DxlIndexer::run(const QString& path, bool skipData) {
    m_fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {StatusAccessDenied, path};
    const QByteArray head = file.peek(4);
    if (head.startsWith("\xFE\xFF") || head.startsWith("\xFF\xFE") ||
        (head.size() >= 2 && (head.at(0) == 0 || head.at(1) == 0)))
        return {StatusUnsupportedFormat,
                QStringLiteral("%1 is UTF-16 or UTF-32 text; Notes XML is read as UTF-8").arg(m_fileName)};
    const qint64 bom = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    // Text that does not start with "<" is not XML at all; anything else is
    // XML, damaged where the parser says.
    const QByteArray start = file.peek(bom + 64).mid(bom).trimmed();
    const bool looksLikeXml = start.startsWith('<');

    // The bytes the parser lets pass or places wrong, and the large
    // attachment data it is not given (read later straight from the file).
    std::vector<std::pair<qint64, qint64>> skipped;
    m_sniffedUtf8 = declaresUtf8(file.peek(bom + 256).mid(bom));
    if (looksLikeXml) {
        if (!m_prescan.run(path, bom)) return {StatusReadError, path};
        if (skipData)
            for (const DxlPrescan::DataSpan& span : m_prescan.spans) skipped.emplace_back(span.start, span.end);
        confineTextDamage(path, m_sniffedUtf8);
    }
    m_skipping = !skipped.empty();
    m_fileSize = file.size();
    if (!m_damagedRanges.empty() || !m_textRanges.empty()) {
        // Damaged documents are not seen at all; data inside them is in their range.
        std::vector<std::pair<qint64, qint64>> merged = m_damagedRanges;
        merged.insert(merged.end(), m_textRanges.begin(), m_textRanges.end());
        const size_t blocked = merged.size();
        for (const auto& span : skipped) {
            bool inside = false;
            for (size_t i = 0; i < blocked; ++i)
                if (span.first < merged[i].second && span.second > merged[i].first) inside = true;
            if (!inside) merged.push_back(span);
        }
        normalizeRanges(merged);
        skipped = std::move(merged);
    }
    // The last document was damaged and cut out up to the end of the file.
    const bool cutAtEnd = !skipped.empty() && skipped.back().second >= m_fileSize;

    DxlByteOffsets offsets;
    offsets.setSkipped(skipped);
    if (!offsets.open(path, bom, true)) return {StatusReadError, path};
    m_offsets = &offsets;

    DxlSkippingFile input(path, std::move(skipped));
    if (!input.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return {StatusAccessDenied, path};
    QXmlStreamReader xml(&input);
    int depth = 0;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartDocument) {
            const QString enc = xml.documentEncoding().toString().toLower();
            if (!enc.isEmpty() && enc != QLatin1String("utf-8") && enc != QLatin1String("utf8")) {
                if (!isSingleByte(enc))
                    return {StatusUnsupportedFormat,
                            QStringLiteral("%1: the encoding %2 is not read; export the database as UTF-8")
                                .arg(m_fileName, enc)};
                m_index.encoding = enc.toLatin1();
                if (!offsets.open(path, bom, false)) return {StatusReadError, path};
            }
            if (!m_textConfined || m_index.encoding.isEmpty() != m_sniffedUtf8) {
                const StoreError e = textError(m_index.encoding.isEmpty());
                if (!e.ok()) return e;
            }
        } else if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = xml.name();
            if (m_inDoc) {
                const StoreError e = readDocumentChild(xml, depth);
                if (!e.ok()) return failInDocument(e, xml);
                continue;
            }
            const bool isDocument =
                name == QLatin1String("document") ||
                (name == QLatin1String("note") &&
                 xml.attributes().value(QLatin1String("class")) == QLatin1String("document"));
            if (depth == 1) {
                sawRoot = true;
                if (name == QLatin1String("database")) {
                    m_index.title = xml.attributes().value(QLatin1String("title")).toString();
                } else if (isDocument) {
                    m_docDepth = 1;
                    const StoreError e = startDocument(xml);
                    if (!e.ok()) return e;
                } else if (name == QLatin1String("view") || name == QLatin1String("folder")) {
                    readDesign(xml, name == QLatin1String("folder"));
                    --depth;
                } else if (name == QLatin1String("note")) {
                    xml.skipCurrentElement();  // a single design note: a database without documents
                    --depth;
                } else {
                    return {StatusUnsupportedFormat,
                            QStringLiteral("%1: the root element <%2> is not a Notes database or document")
                                .arg(m_fileName, name.toString())};
                }
            } else if (isDocument) {
                m_docDepth = depth;
                const StoreError e = startDocument(xml);
                if (!e.ok()) return e;
            } else if (name == QLatin1String("view") || name == QLatin1String("folder")) {
                readDesign(xml, name == QLatin1String("folder"));
                --depth;
            } else if (name == QLatin1String("form") || name == QLatin1String("subform")) {
                if (auto form = DxlFormReader::read(xml, name == QLatin1String("subform")))
                    m_forms.push_back(std::move(form));
                --depth;
            } else {
                xml.skipCurrentElement();  // agents, database information, ...
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (m_inDoc && depth == m_docDepth + 1) {
                // End of an item of the document.
                if (m_inFileItem && m_fileSeen && !m_spans.empty() && m_spans.back().dataEnd == 0 &&
                    m_spans.back().readable) {
                    m_spans.back().readable = false;
                    m_spans.back().problem = QStringLiteral("the attachment has no data");
                }
                m_inFileItem = false;
            }
            if (m_inDoc && depth == m_docDepth) {
                const StoreError e = finishDocument(xml);
                if (!e.ok()) return failInDocument(e, xml);
            }
            --depth;
        }
    }
    // The documents before a last one cut out are what the file holds.
    if (xml.hasError() && cutAtEnd && !m_inDoc && xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
        xml.clear();
    } else if (xml.hasError()) {
        // A NUL byte or bytes that are not UTF-8 are named where they are.
        const StoreError e = m_textConfined ? StoreError() : textError(m_index.encoding.isEmpty());
        if (!e.ok() && looksLikeXml) return e;
        if (m_inDoc && sawRoot) return failInDocument(xmlError(xml), xml);
        if (!sawRoot && !looksLikeXml && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            return {StatusUnsupportedFormat,
                    QStringLiteral("%1 is not an XML file (%2)").arg(m_fileName, oneLine(xml.errorString()))};
        if (!sawRoot && !looksLikeXml)
            return {StatusUnsupportedFormat, QStringLiteral("%1 holds no XML element").arg(m_fileName)};
        return xmlError(xml);
    }
    if (!sawRoot) return {StatusUnsupportedFormat, QStringLiteral("%1 holds no XML element").arg(m_fileName)};
    m_offsets = nullptr;
    ExpandSubforms(m_forms);
    m_index.forms.assign(m_forms.begin(), m_forms.end());
    const StoreError late = fillLateValues(path);
    if (!late.ok()) return late;
    assignMissingNoteIds();
    if (m_index.folderMembers.isEmpty() && !m_index.docs.empty()) {
        // Folders know their documents only through the documents' folder
        // references; without any, say why the folders are empty.
        for (DxlDesignEntry& d : m_index.designs)
            if (d.info.isFolder && d.info.problem.isEmpty())
                d.info.problem = QStringLiteral(
                    "folder contents unknown: no document of the file has folder references ($FolderRefs)");
    }
    return {};
}

void DxlIndexer::readDesign(QXmlStreamReader& xml, bool isFolder) {
    DxlDesignEntry d;
    d.info.name = xml.attributes().value(QLatin1String("name")).toString();
    d.info.isFolder = isFolder;
    bool hasSelection = false, hasFormula = false;
    QString formulaText;
    struct Column {
        QString sort, item;
        bool valueCode = false;
    };
    std::vector<Column> columns;
    bool sortChosen = false;
    QString sortItem;
    int depth = 1;
    while (!xml.atEnd() && depth > 0) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView n = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (n == QLatin1String("noteinfo")) {
                d.info.unid = a.value(QLatin1String("unid")).toString();
                d.info.noteId = a.value(QLatin1String("noteid")).toUInt(nullptr, 16);
                xml.skipCurrentElement();
                --depth;
            } else if (n == QLatin1String("code")) {
                const QStringView event = a.value(QLatin1String("event"));
                if (event == QLatin1String("selection") && !hasSelection) {
                    hasSelection = true;
                    while (!xml.atEnd()) {
                        const auto t = xml.readNext();
                        if (t == QXmlStreamReader::EndElement) break;
                        if (t != QXmlStreamReader::StartElement) continue;
                        if (xml.name() == QLatin1String("formula") && !hasFormula) {
                            hasFormula = true;
                            formulaText = DxlItemReader::elementText(xml);
                        } else {
                            xml.skipCurrentElement();
                        }
                    }
                } else {
                    if (event == QLatin1String("value") && !columns.empty()) columns.back().valueCode = true;
                    xml.skipCurrentElement();
                }
                --depth;
            } else if (n == QLatin1String("column")) {
                columns.push_back({a.value(QLatin1String("sort")).toString(),
                                   a.value(QLatin1String("itemname")).toString()});
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (xml.name() == QLatin1String("column") && !columns.empty()) {
                const Column c = columns.back();
                columns.pop_back();
                if (d.info.titleItem.isEmpty() && !c.item.isEmpty() && !c.valueCode) d.info.titleItem = c.item;
                if (!sortChosen &&
                    (c.sort == QLatin1String("ascending") || c.sort == QLatin1String("descending")) &&
                    !c.item.isEmpty() && !c.valueCode) {
                    sortChosen = true;
                    sortItem = c.item;
                    d.descending = c.sort == QLatin1String("descending");
                }
            }
        }
    }
    if (xml.hasError()) return;  // the main loop reports it

    QStringList names;
    if (!isFolder) {
        QString problem;
        if (!hasSelection)
            formulaText = QStringLiteral("SELECT @All");  // a view without selection shows every document
        if (hasSelection && !hasFormula) {
            d.info.problem = QStringLiteral("selection formula not supported: simple search conditions");
        } else {
            auto formula = SelectionFormula::parse(formulaText, problem);
            if (formula) {
                names = formula->itemNames();
                d.formula = std::move(formula);
            } else {
                d.info.problem = QStringLiteral("selection formula not supported: ") + problem;
            }
        }
    }
    if (sortChosen) names << sortItem.toLower();
    for (const QString& name : names) {
        const bool known = m_index.nameIds.contains(name);
        m_index.addName(name);
        if (!known && m_seenDocument && !m_lateNames.contains(name)) m_lateNames << name;
    }
    if (sortChosen) d.sortNameId = m_index.nameId(sortItem.toLower());
    m_index.designs.push_back(std::move(d));
}

StoreError DxlIndexer::failInDocument(const StoreError& e, const QXmlStreamReader& xml) {
    if (m_doc.start >= 0) {
        m_failedDocStart = m_doc.start;
        m_failedAt = m_offsets ? m_offsets->byteAt(xml.characterOffset()) : -1;
        m_failedLine = m_docLine;
    }
    return e;
}

StoreError DxlIndexer::startDocument(QXmlStreamReader& xml) {
    m_inDoc = true;
    m_seenDocument = true;
    m_doc = DxlDocEntry();
    m_values.clear();
    m_docLine = xml.lineNumber();
    const qint64 tagEnd = m_offsets->byteAt(xml.characterOffset());
    m_doc.start = tagEnd < 0 ? -1 : m_offsets->tagStart(tagEnd);
    if (m_doc.start < 0)
        return {StatusReadError,
                QStringLiteral("%1: cannot locate the document at %2").arg(m_fileName, where(xml))};
    m_formAttribute = xml.attributes().value(QLatin1String("form")).toString();
    m_hasFormItem = false;
    m_hasNoteId = false;
    m_inFileItem = false;
    m_spans.clear();
    return {};
}

StoreError DxlIndexer::readDocumentChild(QXmlStreamReader& xml, int& depth) {
    const QStringView name = xml.name();
    if (depth == m_docDepth + 1) {
        const QXmlStreamAttributes a = xml.attributes();
        if (name == QLatin1String("noteinfo")) {
            const QString id = a.value(QLatin1String("noteid")).toString();
            if (!id.isEmpty()) {
                bool ok = false;
                const uint v = id.toUInt(&ok, 16);
                if (!ok)
                    return {StatusDamaged,
                            QStringLiteral("%1: note ID \"%2\" at %3 is not a hexadecimal number")
                                .arg(m_fileName, id, where(xml))};
                if (v != 0) {
                    m_doc.noteId = v;
                    m_hasNoteId = true;
                }
            }
            xml.skipCurrentElement();
            --depth;
            return {};
        }
        if (name != QLatin1String("item")) return {};
        // The name in lower case, in a buffer kept from item to item.
        const QStringView itemName = a.value(QLatin1String("name"));
        if (std::all_of(itemName.begin(), itemName.end(), [](QChar c) { return c.unicode() < 0x80; })) {
            m_lowerName.resize(itemName.size());
            QChar* out = m_lowerName.data();
            for (const QChar c : itemName)
                *out++ = c.unicode() >= 'A' && c.unicode() <= 'Z' ? QChar(c.unicode() + ('a' - 'A')) : c;
        } else {
            m_lowerName = itemName.toString().toLower();
        }
        const QString& lower = m_lowerName;
        if (lower == QLatin1String("form")) m_hasFormItem = true;
        const int id = m_index.nameId(lower);
        if (lower == QLatin1String("$file")) {
            m_inFileItem = true;
            m_fileSeen = false;
            if (id >= 0 && !hasValue(id)) m_values.emplace_back(id, FormulaValue::text(QString()));
            return {};
        }
        const bool folderRefs = lower == QLatin1String("$folderrefs");
        const bool noteName = lower == QLatin1String("$name");  // a profile document's name
        if (!folderRefs && !noteName && id < 0) return {};  // read through for its base64 data only
        StoreItem item;
        QString error;
        if (!DxlItemReader::read(xml, item, nullptr, error))
            return {StatusDamaged, QStringLiteral("%1: %2").arg(m_fileName, error)};
        --depth;
        if (noteName && !item.texts.isEmpty() &&
            item.texts.front().startsWith(QLatin1String("$profile"), Qt::CaseInsensitive))
            m_doc.profile = 1;
        if (folderRefs) {
            const int docIndex = int(m_index.docs.size());
            for (const QString& unid : item.texts) {
                std::vector<int>& members = m_index.folderMembers[unid.trimmed().toUpper()];
                if (members.empty() || members.back() != docIndex) members.push_back(docIndex);
            }
        }
        if (id >= 0 && !hasValue(id)) m_values.emplace_back(id, formulaValue(item));
        return {};
    }
    if (m_inFileItem && name == QLatin1String("file") && !m_fileSeen) {
        m_fileSeen = true;
        const QXmlStreamAttributes a = xml.attributes();
        DxlAttachmentSpan span;
        span.name = a.value(QLatin1String("name")).toString();
        const QString compression = a.value(QLatin1String("compression")).toString();
        if (!compression.isEmpty() && compression != QLatin1String("none")) {
            span.readable = false;
            span.problem = QStringLiteral("the attachment is stored compressed (%1)").arg(compression);
        }
        m_spans.push_back(span);
        return {};
    }
    if (m_inFileItem && name == QLatin1String("filedata") && m_fileSeen && !m_spans.empty() &&
        m_spans.back().dataEnd == 0) {
        DxlAttachmentSpan& span = m_spans.back();
        const qint64 start = m_offsets->byteAt(xml.characterOffset());
        const DxlPrescan::DataSpan* skipped = m_skipping ? m_prescan.spanAt(start) : nullptr;
        qint64 size = 0;
        bool ok = true;
        if (skipped) {
            // The data was checked and measured by the prescan; the parser
            // must see the element end right where the data ended.
            size = skipped->decodedSize;
            ok = skipped->valid;
            if (xml.readNext() != QXmlStreamReader::EndElement) m_skipMismatch = true;
        } else {
            ok = checkBase64(xml, &size);
        }
        --depth;
        if (xml.hasError()) return {};  // reported by the main loop
        if (!ok) {
            // The attachment is lost, not the document.
            span.readable = false;
            span.problem = QStringLiteral("its data is not valid base64 (%1)").arg(where(xml));
        }
        const qint64 end = m_offsets->byteAt(xml.characterOffset());
        span.dataStart = start;
        span.dataEnd = end < 0 ? -1 : m_offsets->tagStart(end);
        span.size = size;
        if (skipped && span.dataEnd != skipped->end) m_skipMismatch = true;
        if (start < 0 || span.dataEnd < start)
            return {StatusReadError,
                    QStringLiteral("%1: cannot locate attachment data at %2").arg(m_fileName, where(xml))};
        return {};
    }
    if (isBase64Element(name)) {
        const QString element = name.toString();
        const bool ok = checkBase64(xml);
        --depth;
        if (!xml.hasError() && !ok)
            return {StatusDamaged, QStringLiteral("%1: <%2> data is not valid base64 (%3)")
                                       .arg(m_fileName, element, where(xml))};
    }
    return {};
}

bool DxlIndexer::hasValue(int nameId) const {
    for (const auto& v : m_values)
        if (v.first == nameId) return true;
    return false;
}

StoreError DxlIndexer::finishDocument(QXmlStreamReader& xml) {
    m_inDoc = false;
    const qint64 end = m_offsets->byteAt(xml.characterOffset());
    if (end <= m_doc.start)
        return {
            StatusReadError,
            QStringLiteral("%1: cannot locate the end of the document at %2").arg(m_fileName, where(xml))};
    if (end - m_doc.start > qint64(std::numeric_limits<quint32>::max()))
        return {StatusDamaged,
                QStringLiteral("%1: the document at line %2 is larger than 4 GB, which is not read")
                    .arg(m_fileName)
                    .arg(m_docLine)};
    m_doc.length = quint32(end - m_doc.start);
    if (!m_hasFormItem && !m_formAttribute.isEmpty()) {
        const int id = m_index.nameId(QStringLiteral("form"));
        if (id >= 0 && !hasValue(id)) m_values.emplace_back(id, FormulaValue::text(m_formAttribute));
    }
    if (!m_spans.empty()) {
        m_doc.attachments = int(m_index.attachments.size());
        m_index.attachments.push_back(std::move(m_spans));
        m_spans.clear();
    }
    const int index = int(m_index.docs.size());
    if (m_hasNoteId) {
        // Two documents under one note ID make every read by ID ambiguous (which
        // one does an entry mean?). A database export never does this; the file
        // was edited or joined by hand. Refuse it instead of hiding a document.
        if (m_index.docIndexOf(m_doc.noteId) >= 0)
            return {StatusDamaged, QStringLiteral("%1: two documents have note ID %2 (the second at line %3)")
                                       .arg(m_fileName)
                                       .arg(m_doc.noteId, 0, 16)
                                       .arg(m_docLine)};
    }
    m_index.setValues(m_doc, m_values);
    m_values.clear();
    m_index.docs.push_back(m_doc);
    m_index.noteIdAdded(size_t(index));
    m_doc = DxlDocEntry();
    return {};
}

StoreError DxlIndexer::fillLateValues(const QString& path) {
    if (m_lateNames.isEmpty() || m_index.docs.empty()) return {};
    // Views and folders that came after documents: read their items again.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {StatusReadError, path};
    const int formId =
        m_lateNames.contains(QStringLiteral("form")) ? m_index.nameId(QStringLiteral("form")) : -1;
    for (DxlDocEntry& doc : m_index.docs) {
        DxlPackedValues::Values values = DxlPackedValues::unpackAll(m_index.packedValues(doc));
        const size_t before = values.size();
        auto has = [&values](int id) {
            for (const auto& v : values)
                if (v.first == id) return true;
            return false;
        };
        QByteArray bytes;
        if (!documentBytes(file, m_index, doc, bytes)) return {StatusReadError, path};
        QXmlStreamReader xml(bytes);
        int depth = 0;
        QString form;
        bool hasForm = false;
        while (!xml.atEnd()) {
            const auto t = xml.readNext();
            if (t == QXmlStreamReader::StartElement) {
                ++depth;
                if (depth == 1) {
                    form = xml.attributes().value(QLatin1String("form")).toString();
                    continue;
                }
                if (depth == 2 && xml.name() == QLatin1String("item")) {
                    const QString lower = xml.attributes().value(QLatin1String("name")).toString().toLower();
                    if (lower == QLatin1String("form")) hasForm = true;
                    if (m_lateNames.contains(lower)) {
                        const int id = m_index.nameId(lower);
                        if (lower == QLatin1String("$file")) {
                            if (!has(id)) values.emplace_back(id, FormulaValue::text(QString()));
                            xml.skipCurrentElement();
                        } else {
                            StoreItem item;
                            QString error;
                            if (!DxlItemReader::read(xml, item, nullptr, error))
                                return {StatusDamaged, QStringLiteral("%1: %2").arg(m_fileName, error)};
                            if (!has(id)) values.emplace_back(id, formulaValue(item));
                        }
                        --depth;
                        continue;
                    }
                }
                xml.skipCurrentElement();
                --depth;
            } else if (t == QXmlStreamReader::EndElement) {
                --depth;
            }
        }
        if (xml.hasError())
            return {StatusReadError,
                    QStringLiteral("%1: the file changed while it was read").arg(m_fileName)};
        if (formId >= 0 && !hasForm && !form.isEmpty() && !has(formId))
            values.emplace_back(formId, FormulaValue::text(form));
        if (values.size() != before) m_index.setValues(doc, values);  // the old run is left unused
    }
    return {};
}

void DxlIndexer::assignMissingNoteIds() {
    uint32_t next = 0x8F6;
    for (const DxlDocEntry& d : m_index.docs)
        if (d.noteId >= next) next = d.noteId + 4;
    for (size_t i = 0; i < m_index.docs.size(); ++i) {
        DxlDocEntry& d = m_index.docs[i];
        if (d.noteId != 0) continue;
        d.noteId = next;
        next += 4;
        m_index.noteIdAdded(i);
    }
}

}  // namespace store::dxl
