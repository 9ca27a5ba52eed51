#include "export/PdfAttachmentEmbedder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <cstdio>

#include <algorithm>
#include <optional>

namespace {

constexpr qint64 kMaxPdfBytes = qint64(512) * 1024 * 1024;

bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

bool isWhite(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c) {
    return isWhite(c) || c == '/' || c == '<' || c == '>' || c == '[' || c == ']' || c == '(' || c == ')' ||
           c == '{' || c == '}' || c == '%';
}

// The end (one past ">>") of the dictionary starting at `at` ("<<"), skipping
// strings and hex strings; -1 when it does not close.
qsizetype dictionaryEnd(const QByteArray& data, qsizetype at) {
    int depth = 0;
    for (qsizetype i = at; i < data.size(); ++i) {
        const char c = data.at(i);
        if (c == '(') {
            int nest = 1;
            for (++i; i < data.size() && nest > 0; ++i) {
                if (data.at(i) == '\\')
                    ++i;
                else if (data.at(i) == '(')
                    ++nest;
                else if (data.at(i) == ')')
                    --nest;
            }
            --i;
        } else if (c == '<' && i + 1 < data.size() && data.at(i + 1) == '<') {
            ++depth;
            ++i;
        } else if (c == '>' && i + 1 < data.size() && data.at(i + 1) == '>') {
            --depth;
            ++i;
            if (depth == 0) return i + 1;
        } else if (c == '<') {
            const qsizetype close = data.indexOf('>', i);
            if (close < 0) return -1;
            i = close;
        }
    }
    return -1;
}

// The top-level value of `/key` in a dictionary's text, as written (up to the
// next key or the end); empty when absent.
QByteArray topLevelValue(const QByteArray& dict, const QByteArray& key) {
    int depth = 0;
    for (qsizetype i = 0; i < dict.size(); ++i) {
        const char c = dict.at(i);
        if (c == '(') {
            int nest = 1;
            for (++i; i < dict.size() && nest > 0; ++i) {
                if (dict.at(i) == '\\')
                    ++i;
                else if (dict.at(i) == '(')
                    ++nest;
                else if (dict.at(i) == ')')
                    --nest;
            }
            --i;
            continue;
        }
        if ((c == '<' && i + 1 < dict.size() && dict.at(i + 1) == '<') || c == '[') {
            depth += 1;
            if (c == '<') ++i;
            continue;
        }
        if ((c == '>' && i + 1 < dict.size() && dict.at(i + 1) == '>') || c == ']') {
            depth -= 1;
            if (c == '>') ++i;
            continue;
        }
        if (depth == 1 && c == '/' && dict.mid(i + 1, key.size()) == key &&
            (i + 1 + key.size() >= dict.size() || isDelimiter(dict.at(i + 1 + key.size())))) {
            qsizetype start = i + 1 + key.size();
            while (start < dict.size() && isWhite(dict.at(start))) ++start;
            // The value runs to the next top-level key or the dictionary's end.
            int d = 0;
            qsizetype j = start;
            for (; j < dict.size(); ++j) {
                const char v = dict.at(j);
                if ((v == '<' && j + 1 < dict.size() && dict.at(j + 1) == '<') || v == '[') {
                    ++d;
                    if (v == '<') ++j;
                } else if ((v == '>' && j + 1 < dict.size() && dict.at(j + 1) == '>') || v == ']') {
                    if (d == 0) break;
                    --d;
                    if (v == '>') ++j;
                } else if (v == '/' && d == 0 && j > start) {
                    break;
                }
            }
            return dict.mid(start, j - start).trimmed();
        }
    }
    return {};
}

// "12 0 R" -> (12, 0).
std::optional<std::pair<int, int>> reference(const QByteArray& value) {
    const QList<QByteArray> parts = value.simplified().split(' ');
    if (parts.size() < 3 || parts.at(2) != "R") return std::nullopt;
    bool a = false, b = false;
    const int number = parts.at(0).toInt(&a);
    const int generation = parts.at(1).toInt(&b);
    if (!a || !b || number <= 0 || generation < 0) return std::nullopt;
    return std::make_pair(number, generation);
}

// The byte offset of object `number` from the cross-reference table at `at`
// (and the tables it continues); -1 when not found.
qint64 objectOffset(const QByteArray& data, qint64 at, int number) {
    qsizetype i = at + 4;  // past "xref"
    while (i < data.size()) {
        while (i < data.size() && isWhite(data.at(i))) ++i;
        if (data.mid(i, 7) == "trailer") return -1;
        const qsizetype eol = data.indexOf('\n', i);
        if (eol < 0) return -1;
        const QList<QByteArray> head = data.mid(i, eol - i).simplified().split(' ');
        if (head.size() != 2) return -1;
        bool ok1 = false, ok2 = false;
        const int first = head.at(0).toInt(&ok1);
        const int count = head.at(1).toInt(&ok2);
        if (!ok1 || !ok2 || count < 0) return -1;
        i = eol + 1;
        if (number >= first && number < first + count) {
            const qsizetype entry = i + qsizetype(number - first) * 20;
            if (entry + 18 > data.size()) return -1;
            const QByteArray line = data.mid(entry, 18);
            if (line.at(17) != 'n') return -1;
            bool ok = false;
            const qint64 offset = line.left(10).toLongLong(&ok);
            return ok ? offset : -1;
        }
        i += qsizetype(count) * 20;
    }
    return -1;
}

QByteArray utf16Hex(const QString& text) {
    QByteArray bytes("\xFE\xFF", 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    return '<' + bytes.toHex().toUpper() + '>';
}

// A PDF literal string of printable ASCII: other characters become "_".
QByteArray asciiLiteral(const QString& text) {
    QByteArray out("(");
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || u > 0x7E) {
            out.append('_');
        } else {
            if (u == '(' || u == ')' || u == '\\') out.append('\\');
            out.append(char(u));
        }
    }
    return out + ')';
}

// A PDF name: characters outside the regular ASCII set as #xx.
QByteArray pdfName(const QByteArray& text) {
    QByteArray out("/");
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || isDelimiter(c) || c == '#')
            out.append('#').append(QByteArray::number(u, 16).rightJustified(2, '0').toUpper());
        else
            out.append(c);
    }
    return out;
}

QByteArray pdfDate(const QDateTime& when) {
    return "(D:" + when.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z)";
}

class Writer {
  public:
    explicit Writer(QFile& file, qint64 base) : m_file(file), m_offset(base) {}
    bool write(const QByteArray& bytes) {
        if (m_file.write(bytes) != bytes.size()) return false;
        m_offset += bytes.size();
        return true;
    }
    qint64 offset() const { return m_offset; }

  private:
    QFile& m_file;
    qint64 m_offset;
};

}  // namespace

bool PdfAttachmentEmbedder::Embed(const QString& pdfPath, const QList<File>& files, QString* error) {
    if (files.isEmpty()) return true;
    QFile pdf(pdfPath);
    if (!pdf.open(QIODevice::ReadOnly)) return fail(error, pdf.errorString());
    if (pdf.size() > kMaxPdfBytes) return fail(error, QStringLiteral("the PDF is too large to update"));
    const QByteArray data = pdf.readAll();
    pdf.close();

    // The last cross-reference table and its trailer.
    const qsizetype sx = data.lastIndexOf("startxref");
    if (sx < 0) return fail(error, QStringLiteral("the PDF has no cross-reference table"));
    bool ok = false;
    const qint64 prevXref = data.mid(sx + 9, 32).simplified().split(' ').value(0).toLongLong(&ok);
    if (!ok || prevXref < 0 || prevXref >= data.size() || data.mid(prevXref, 4) != "xref")
        return fail(error, QStringLiteral("the PDF's cross-reference data is not a classic table"));
    const qsizetype trailerAt = data.indexOf("trailer", prevXref);
    const qsizetype trailerDictAt = trailerAt < 0 ? -1 : data.indexOf("<<", trailerAt);
    const qsizetype trailerEnd = trailerDictAt < 0 ? -1 : dictionaryEnd(data, trailerDictAt);
    if (trailerEnd < 0) return fail(error, QStringLiteral("the PDF has no readable trailer"));
    const QByteArray trailer = data.mid(trailerDictAt, trailerEnd - trailerDictAt);
    const int size = topLevelValue(trailer, "Size").toInt(&ok);
    const auto root = reference(topLevelValue(trailer, "Root"));
    if (!ok || size <= 0 || !root) return fail(error, QStringLiteral("the PDF's trailer has no /Size or /Root"));
    const QByteArray info = topLevelValue(trailer, "Info");
    const QByteArray id = topLevelValue(trailer, "ID");

    // The catalogue.
    const qint64 catalogAt = objectOffset(data, prevXref, root->first);
    if (catalogAt < 0 || catalogAt >= data.size()) return fail(error, QStringLiteral("the PDF's catalogue is missing"));
    const qsizetype catalogDictAt = data.indexOf("<<", catalogAt);
    const qsizetype catalogEnd = catalogDictAt < 0 ? -1 : dictionaryEnd(data, catalogDictAt);
    if (catalogEnd < 0 || data.indexOf("obj", catalogAt) > catalogDictAt)
        return fail(error, QStringLiteral("the PDF's catalogue cannot be read"));
    const QByteArray catalog = data.mid(catalogDictAt, catalogEnd - catalogDictAt);
    if (!topLevelValue(catalog, "Names").isEmpty() || !topLevelValue(catalog, "AF").isEmpty())
        return fail(error, QStringLiteral("the PDF already has a name tree"));

    // Written beside the PDF, then renamed over it.
    const QFileInfo target(pdfPath);
    const QString temp = target.absolutePath() + QStringLiteral("/.~tesseldoc-%1.pdf.part")
                                                     .arg(QRandomGenerator::global()->generate64(), 16, 16,
                                                          QLatin1Char('0'));
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return fail(error, out.errorString());
    auto abandon = [&](const QString& why) {
        out.close();
        QFile::remove(temp);
        return fail(error, why);
    };
    if (out.write(data) != data.size()) return abandon(out.errorString());
    Writer w(out, data.size());
    if (!data.endsWith('\n') && !w.write("\n")) return abandon(out.errorString());

    struct Entry {
        QByteArray key;  // UTF-16BE hex name, the name tree's sort key
        int fileSpec = 0;
    };
    QList<Entry> entries;
    QList<std::pair<int, qint64>> offsets;  // object number, offset
    int next = size;
    QMimeDatabase mimes;
    for (const File& f : files) {
        QFile in(f.path);
        if (!in.open(QIODevice::ReadOnly)) return abandon(f.name + QStringLiteral(": ") + in.errorString());
        const qint64 length = in.size();
        const QFileInfo about(f.path);
        const QByteArray mime = mimes.mimeTypeForFile(f.name, QMimeDatabase::MatchExtension).name().toLatin1();
        const int stream = next++;
        offsets.append({stream, w.offset()});
        bool good = w.write(QByteArray::number(stream) + " 0 obj\n<< /Type /EmbeddedFile /Subtype " +
                            pdfName(mime) + " /Params << /Size " + QByteArray::number(length) + " /ModDate " +
                            pdfDate(about.lastModified()) + " >> /Length " + QByteArray::number(length) +
                            " >>\nstream\n");
        qint64 copied = 0;
        while (good && copied < length) {
            const QByteArray chunk = in.read(1 << 20);
            if (chunk.isEmpty()) break;
            good = w.write(chunk);
            copied += chunk.size();
        }
        if (!good || copied != length) return abandon(f.name + QStringLiteral(": the file could not be copied"));
        if (!w.write("\nendstream\nendobj\n")) return abandon(out.errorString());
        const int fileSpec = next++;
        offsets.append({fileSpec, w.offset()});
        const QByteArray name = utf16Hex(f.name);
        if (!w.write(QByteArray::number(fileSpec) + " 0 obj\n<< /Type /Filespec /F " + asciiLiteral(f.name) + " /UF " +
                     name + " /Desc " + name + " /AFRelationship /Data /EF << /F " + QByteArray::number(stream) +
                     " 0 R /UF " + QByteArray::number(stream) + " 0 R >> >>\nendobj\n"))
            return abandon(out.errorString());
        entries.append({name, fileSpec});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return QByteArray::fromHex(a.key.mid(1, a.key.size() - 2)) < QByteArray::fromHex(b.key.mid(1, b.key.size() - 2));
    });
    QByteArray names, af;
    for (const Entry& e : entries) {
        names += e.key + ' ' + QByteArray::number(e.fileSpec) + " 0 R ";
        af += QByteArray::number(e.fileSpec) + " 0 R ";
    }
    const int tree = next++;
    offsets.append({tree, w.offset()});
    if (!w.write(QByteArray::number(tree) + " 0 obj\n<< /Names [ " + names + "] >>\nendobj\n"))
        return abandon(out.errorString());
    const int afArray = next++;
    offsets.append({afArray, w.offset()});
    if (!w.write(QByteArray::number(afArray) + " 0 obj\n[ " + af + "]\nendobj\n")) return abandon(out.errorString());

    // The catalogue again, under its own number, with the name tree and /AF.
    const qint64 newCatalogAt = w.offset();
    const QByteArray newCatalog = catalog.left(catalog.size() - 2) + " /Names << /EmbeddedFiles " +
                                  QByteArray::number(tree) + " 0 R >> /AF " + QByteArray::number(afArray) +
                                  " 0 R >>";
    if (!w.write(QByteArray::number(root->first) + ' ' + QByteArray::number(root->second) + " obj\n" + newCatalog +
                 "\nendobj\n"))
        return abandon(out.errorString());

    auto entryLine = [](qint64 offset, int generation) {
        return QByteArray::number(offset).rightJustified(10, '0') + ' ' +
               QByteArray::number(generation).rightJustified(5, '0') + " n\r\n";
    };
    const qint64 xrefAt = w.offset();
    QByteArray xref = "xref\n" + QByteArray::number(root->first) + " 1\n" + entryLine(newCatalogAt, root->second) +
                      QByteArray::number(size) + ' ' + QByteArray::number(next - size) + '\n';
    for (const auto& [number, offset] : offsets) {
        Q_UNUSED(number);
        xref += entryLine(offset, 0);
    }
    QByteArray newTrailer = "trailer\n<< /Size " + QByteArray::number(next) + " /Root " +
                            QByteArray::number(root->first) + ' ' + QByteArray::number(root->second) + " R";
    if (!info.isEmpty()) newTrailer += " /Info " + info;
    if (!id.isEmpty()) newTrailer += " /ID " + id;
    newTrailer += " /Prev " + QByteArray::number(prevXref) + " >>\nstartxref\n" + QByteArray::number(xrefAt) +
                  "\n%%EOF\n";
    if (!w.write(xref + newTrailer) || !out.flush()) return abandon(out.errorString());
    out.close();
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(pdfPath).constData()) != 0) {
        QFile::remove(temp);
        return fail(error, QStringLiteral("the PDF could not be replaced"));
    }
    return true;
}

bool PdfAttachmentEmbedder::EmbedDirectory(const QString& pdfPath, const QString& directory, QString* error) {
    QList<File> files;
    const QFileInfoList entries = QDir(directory).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& f : entries)
        if (!f.fileName().startsWith(QLatin1String(".~tesseldoc-"))) files.append({f.absoluteFilePath(), f.fileName()});
    return Embed(pdfPath, files, error);
}
