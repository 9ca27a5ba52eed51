// The shared samples' documents through the real office as PDF in the three
// saving modes, read back with poppler's pdftotext: no line of any document is
// a lone letter (text broken one letter a line by indents or columns with no
// room), and the words of the best-quality document follow the words of the
// text-mode document in the same order.
//
// Each document is saved as the item save of Step 2 saves it (its header and
// its body file), a bounded number per sample, all through one office.
#include "convert/CNotesConverter.h"
#include "export/HeaderTemplates.h"
#include "notes/store/NoteStore.h"
#include "office/CWordExporter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>

namespace {

const QString kShared = QStringLiteral(TESSELDOC_SHARED_DIR);
// Documents per sample, spread over the sample's documents
// (TESSELDOC_LAYOUT_DOCUMENTS=N for more).
constexpr int kDocumentsPerSample = 8;
constexpr double kMinimumRecall = 0.99;

struct Mode {
    int saving;
    const char* name;
};
const Mode kModes[] = {{Text, "text"}, {RtfLowQuality, "rtf-low"}, {RtfBestQuality, "rtf-best"}};

QStringList samplePaths() {
    QStringList paths;
    QFile manifest(kShared + QStringLiteral("/nsf-samples/MANIFEST.tsv"));
    if (manifest.open(QIODevice::ReadOnly)) {
        QTextStream in(&manifest);
        while (!in.atEnd()) {
            const QString path = in.readLine().section(QLatin1Char('\t'), 0, 0).trimmed();
            if (!path.isEmpty()) paths << kShared + QStringLiteral("/nsf-samples/") + path;
        }
    }
    QDirIterator dxl(kShared + QStringLiteral("/dxl-samples"), {QStringLiteral("*.xml"), QStringLiteral("*.dxl")},
                     QDir::Files);
    QStringList dxlPaths;
    while (dxl.hasNext()) dxlPaths << dxl.next();
    dxlPaths.sort();
    return paths + dxlPaths;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

int loneLetterLines(const QString& layoutText) {
    static const QRegularExpression lone(QStringLiteral("^\\s*\\p{L}\\s*$"));
    int n = 0;
    for (const QString& line : layoutText.split(QLatin1Char('\n')))
        if (lone.match(line).hasMatch()) ++n;
    return n;
}

// The words in reading order, lower case, split at every character that is
// neither letter nor digit: the best quality writes "[Attachment: a.pdf]"
// where the text has "a.pdf", and a line may break a path after a backslash.
// A doclink's notes:// address follows its text in text mode and is the
// hyperlink's target in best quality: it is not a word of the page.
QStringList words(const QString& rawText) {
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    static const QRegularExpression notesAddress(QStringLiteral("<?notes:///[^\\s>]*>?"));
    QString text = rawText;
    text.remove(notesAddress);
    QStringList out;
    for (const QString& w : text.split(separators, Qt::SkipEmptyParts)) out << w.toLower();
    return out;
}

// `best` with each word that is not one of `text`'s but two of them run
// together split into those two: a space set small (a superscript one) leaves
// too narrow a gap on the page for pdftotext to see a word end there.
QStringList splitJoinedWords(const QStringList& best, const QStringList& text) {
    const QSet<QString> known(text.begin(), text.end());
    QStringList out;
    for (const QString& w : best) {
        bool split = false;
        for (qsizetype i = 1; !known.contains(w) && i < w.size() && !split; ++i) {
            if (known.contains(w.left(i)) && known.contains(w.mid(i))) {
                out << w.left(i) << w.mid(i);
                split = true;
            }
        }
        if (!split) out << w;
    }
    return out;
}

// The words the note's rich text sets in a symbol face: the page shows that
// face's pictures (Greek letters, arrows) for them, as Notes does, and text
// mode shows the letters.
QSet<QString> symbolFaceWords(store::NoteStore& store, uint32_t noteId) {
    QSet<QString> out;
    store::StoreNote note;
    if (!store.loadNote(noteId, note).ok()) return out;
    std::function<void(const std::vector<store::RtBlock>&)> collect = [&](const std::vector<store::RtBlock>& blocks) {
        for (const store::RtBlock& b : blocks) {
            if (b.table)
                for (const auto& row : b.table->rows)
                    for (const auto& cell : row.cells) collect(cell.blocks);
            for (const store::RtRun& r : b.runs) {
                const QString face = r.font.face.toLower();
                if (face == QLatin1String("symbol") || face.startsWith(QLatin1String("wingdings")) ||
                    face.startsWith(QLatin1String("webdings")))
                    for (const QString& w : words(r.text)) out.insert(w);
            }
        }
    };
    for (const store::StoreItem& item : note.items)
        if (item.richText) collect(item.richText->blocks);
    return out;
}

// Length of the longest common subsequence (Myers' greedy diff: fast when the
// sequences are alike).
int commonSubsequence(const QStringList& a, const QStringList& b) {
    const int n = int(a.size()), m = int(b.size()), max = n + m;
    if (max == 0) return 0;
    std::vector<int> v(size_t(2 * max + 2), 0);
    const auto at = [&](int k) -> int& { return v[size_t(k + max + 1)]; };
    for (int d = 0; d <= max; ++d) {
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
            int y = x - k;
            while (x < n && y < m && a[x] == b[y]) ++x, ++y;
            at(k) = x;
            if (x >= n && y >= m) return (n + m - d) / 2;
        }
    }
    return 0;
}

// The words of `a` that `b` has fewer of (a failure's first clue).
QStringList missingWords(const QStringList& a, const QStringList& b) {
    QHash<QString, int> count;
    for (const QString& w : b) ++count[w];
    QStringList missing;
    for (const QString& w : a)
        if (count[w]-- <= 0 && missing.size() < 20) missing << w;
    return missing;
}

struct Rendered {
    QString layout;  // pdftotext -layout: the lines as on the page
    QString raw;     // pdftotext -raw: the text in the order it was written (text and best quality)
};

// One document of the open database saved as PDF in `mode` by `exporter`;
// empty `failure` when it was written.
Rendered save(CNotesConverter& notes, CWordExporter& exporter, uint32_t noteId, const Mode& mode,
              const QString& pdfPath, QString& failure) {
    notes.savingMode = mode.saving;
    const bool textMode = mode.saving == Text;
    QString result, plain;
    int type = 5;
    QStringList names, sizes;
    if (!notes.RenderItem(noteId, textMode ? 0 : 1,
                          textMode ? CNotesConverter::RenderTextSave : CNotesConverter::RenderRtfSave, result, type,
                          names, sizes, &plain)) {
        failure = QStringLiteral("not rendered: ") + notes.lastErrorText;
        return {};
    }
    const QString temp = CNotesConverter::TempFolder();
    QString bodyFile = temp + QStringLiteral("ch111.rtf");
    if (textMode || !QFile::exists(bodyFile)) {
        // Text as the item save writes it: UTF-16LE with its byte-order mark.
        bodyFile = temp + QStringLiteral("SampleLayout.txt");
        const QString text = textMode ? result : plain;
        QByteArray bytes("\xFF\xFE", 2);
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        QFile f(bodyFile);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            failure = QStringLiteral("body file not written");
            return {};
        }
    }
    const QString block = notes.m_strPreviewHeaderText;
    if (!notes.m_strPreviewHeaderTable.isEmpty()) {
        // A document of another form: its table of fields comes filled.
        exporter.SetTemplate(notes.m_strPreviewHeaderTable);
        exporter.SetHeaderInputs(QString(), QString(), QString(), QString(), QString());
    } else {
        exporter.SetTemplate(LoadRtfTemplate(TemplateIdForRows(exporter.CountHeaderLabels(block))));
        exporter.SetHeaderInputs(QString(), QString(), QString(), QString(), block);
    }
    exporter.SetPhotoPath(QString());
    const bool ok = exporter.ExportTo(type == 3, bodyFile, pdfPath);
    QFile::remove(bodyFile);
    if (!ok) {
        failure = exporter.LastFailure().isEmpty() ? exporter.LastError() : exporter.LastFailure();
        return {};
    }
    // The word order is compared between text mode and best quality only.
    const QString raw = mode.saving == RtfLowQuality
                            ? QString()
                            : run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdfPath, QStringLiteral("-")});
    return {run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")}), raw};
}

// `count` of `ids`, spread evenly over them.
std::vector<uint32_t> spread(const std::vector<uint32_t>& ids, size_t count) {
    if (ids.size() <= count) return ids;
    std::vector<uint32_t> out;
    for (size_t i = 0; i < count; ++i) out.push_back(ids[i * ids.size() / count]);
    return out;
}

}  // namespace

TEST(SampleLayout, NoLoneLetterLinesAndBestQualityKeepsTheWordsOfTextMode) {
    if (!QFile::exists(kShared + QStringLiteral("/nsf-samples/MANIFEST.tsv")))
        GTEST_SKIP() << "the shared samples are not at " << kShared.toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext is missing";
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) GTEST_SKIP() << "no office";
    CWordExporter exporter;
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    exporter.SetRootFolder(out.path());
    OutputOptions pdf;
    pdf.format = OutputFormat::Pdf;
    exporter.SetOutputOptions(pdf);
    ASSERT_TRUE(exporter.StartWord()) << exporter.LastError().toStdString();

    // TESSELDOC_LAYOUT_SAMPLES=text: only the samples whose path holds it.
    const QString only = qEnvironmentVariable("TESSELDOC_LAYOUT_SAMPLES");
    int documents = 0;
    for (const QString& path : samplePaths()) {
        const QString sample = QDir(kShared).relativeFilePath(path);
        if (!only.isEmpty() && !sample.contains(only)) continue;
        store::StoreError error;
        const auto store = store::openStore(path, QString(), error);
        if (!store) continue;  // a format not read (yet): nothing to lay out
        const int perSample = qEnvironmentVariableIsSet("TESSELDOC_LAYOUT_DOCUMENTS")
                                  ? qEnvironmentVariableIntValue("TESSELDOC_LAYOUT_DOCUMENTS")
                                  : kDocumentsPerSample;
        const std::vector<uint32_t> ids = spread(store->allDocumentIds(), size_t(std::max(perSample, 1)));
        if (ids.empty()) continue;
        CNotesConverter notes;
        ASSERT_TRUE(notes.Initialize());
        QStringList folders;
        if (!notes.EnumerateFolders(path, QString(), folders, 1)) {
            ADD_FAILURE() << sample.toStdString() << ": " << notes.GetLastErrorText().toStdString();
            continue;
        }
        int lone[3] = {0, 0, 0};
        double lowestRecall = 1.0;
        int written = 0;
        for (uint32_t id : ids) {
            QStringList text[3];
            bool complete = true;
            for (int m = 0; m < 3; ++m) {
                const QString pdfPath = out.path() + QStringLiteral("/%1-%2.pdf").arg(id, 0, 16).arg(kModes[m].name);
                QString failure;
                const Rendered r = save(notes, exporter, id, kModes[m], pdfPath, failure);
                if (!failure.isEmpty()) {
                    ADD_FAILURE() << sample.toStdString() << " note " << std::hex << id << std::dec << " in "
                                  << kModes[m].name << ": " << failure.toStdString();
                    complete = false;
                    continue;
                }
                const int n = loneLetterLines(r.layout);
                lone[m] += n;
                EXPECT_EQ(n, 0) << sample.toStdString() << " note " << std::hex << id << std::dec << " in "
                                << kModes[m].name << ":\n"
                                << r.layout.left(3000).toStdString();
                text[m] = words(r.raw);
                QFile::remove(pdfPath);
            }
            if (!complete) continue;
            ++written;
            const QSet<QString> symbols = symbolFaceWords(*store, id);
            text[0].removeIf([&](const QString& w) { return symbols.contains(w); });
            if (text[0].isEmpty()) continue;  // a blank document: no words to follow
            text[2] = splitJoinedWords(text[2], text[0]);
            const double recall = double(commonSubsequence(text[0], text[2])) / double(text[0].size());
            lowestRecall = std::min(lowestRecall, recall);
            EXPECT_GE(recall, kMinimumRecall) << sample.toStdString() << " note " << std::hex << id << std::dec
                                              << ": " << text[0].size() << " words in text mode, "
                                              << text[2].size() << " in rtf-best; missing: "
                                              << missingWords(text[0], text[2]).join(QLatin1Char(' ')).toStdString();
        }
        documents += written;
        std::cout << sample.toStdString() << ": " << written << " documents; lone-letter lines text " << lone[0]
                  << ", rtf-low " << lone[1] << ", rtf-best " << lone[2] << "; lowest word recall of rtf-best "
                  << lowestRecall << std::endl;
    }
    exporter.ShutdownWord();
    EXPECT_GT(documents, 0);
}
