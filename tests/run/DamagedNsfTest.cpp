// Damaged NSF files lose nothing silently: with any one 4 KB page of a sample
// zeroed, what the program shows and converts (the folder listing, the item
// rows of every folder, every document's header and body, the documents a run
// writes) is either what the intact file gives, or the difference comes with
// a named loss (a listing warning, an item-list warning, a failed item or a
// refused database) that the intact file does not have.
#include "FakeExporter.h"

#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "items/ItemListRow.h"
#include "items/ItemRecordReaders.h"
#include "items/NotesItemKind.h"
#include "notes/store/NoteStore.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

namespace {

struct Rows : IItemList {
    QStringList lines;
    std::vector<std::array<QString, 5>> rows;
    int addRow(int kind, const QString& column0) override {
        rows.push_back({column0});
        lines << QString::number(kind);
        return int(rows.size()) - 1;
    }
    void setColumn(int row, int column, const QString& text) override { rows[size_t(row)][size_t(column)] = text; }
    void setRowNoteId(int row, quint32 noteId) override { lines[row] += QLatin1Char(' ') + QString::number(noteId, 16); }
    QStringList text() const {
        QStringList out;
        for (size_t i = 0; i < rows.size(); ++i)
            out << lines[qsizetype(i)] + QLatin1Char('|') + QStringList(rows[i].begin(), rows[i].end()).join(QLatin1Char('|'));
        return out;
    }
};

// What a user gets from a file, and every loss the program names.
struct Outcome {
    QStringList output;
    QSet<QString> named;
};

QString headerText(LNDocument& document) {
    switch (DetectItemKind(document)) {
        case Mail: return ReadMailRecord(document).BuildHeaderText();
        case Calendar: return ReadCalendarRecord(document).BuildHeaderText();
        case Task: return ReadTaskRecord(document).BuildHeaderText();
        case Journal: return ReadJournalRecord(document).BuildHeaderText();
        default: return QStringLiteral("contact");
    }
}

Outcome describe(const QString& path, const std::vector<uint32_t>& documents, const QString& destination) {
    Outcome o;
    CNotesConverter conv;
    if (!conv.Initialize()) {
        o.named << QStringLiteral("session: ") + conv.GetLastErrorText();
        return o;
    }
    QStringList folders;
    if (!conv.EnumerateFolders(path, QString(), folders, 1)) {
        o.named << QStringLiteral("refused: ") + conv.GetLastErrorText();
        return o;
    }
    for (const QString& p : conv.folderProblems()) o.named << p;
    for (const QString& p : conv.databaseProblems()) o.named << p;
    o.output << QStringLiteral("folders: ") + folders.join(QLatin1Char(';'));
    for (const QString& f : folders) {
        Rows rows;
        conv.OpenFolder(&rows, f);
        o.output << QStringLiteral("items of ") + f << rows.text();
        for (const QString& p : conv.itemListProblems()) o.named << p;
    }
    // Every document of the intact file, by note ID, as the header command reads it.
    for (uint32_t id : documents) {
        const QString tag = QStringLiteral("note %1: ").arg(id, 0, 16);
        LNDocument document;
        try {
            conv.database().GetDocument(id, &document);
            document.Open(0);
        } catch (LNSTATUS status) {
            o.named << tag + CNotesConverter::ErrorTextFor(status);
            continue;
        }
        o.output << tag + headerText(document);
        const ItemListRow row = conv.ReadItemListRow(document);
        o.output << tag + QStringList(row.columns.begin(), row.columns.end()).join(QLatin1Char('|'));
        for (const QString& p : CNotesConverter::UnreadableItems(document)) o.named << tag + p;
        document.Close();
    }
    // A run over every listed folder, with the office replaced.
    FakeExporter exporter;
    exporter.SetRootFolder(destination);
    CFolderExportRun run;
    run.converter = &conv;
    run.exporter = &exporter;
    conv.exportReport.reset();
    for (const QString& f : folders) run.SaveFolder(f);
    // Default names ("EmailName12") count on across runs of one process.
    static const QRegularExpression counted(QStringLiteral("Name\\d+"));
    for (const FakeExporter::Call& c : exporter.calls)
        o.output << QStringLiteral("written: ") + c.path.mid(destination.size()).replace(counted, QStringLiteral("Name#")) +
                        QLatin1Char('|') + c.block +
                        QLatin1Char('|') + QString::fromLatin1(c.body.toBase64());
    o.output << QStringLiteral("found %1, written %2").arg(conv.exportReport.found()).arg(conv.exportReport.written());
    for (const ExportFailure& f : conv.exportReport.failures())
        o.named << QStringLiteral("failed: %1 %2 %3").arg(f.folder).arg(f.noteId, 0, 16).arg(f.reason);
    return o;
}

QString samplePath(const char* relative) {
    return QStringLiteral(TESSELDOC_SHARED_DIR "/nsf-samples/") + QString::fromLatin1(relative);
}

// Zeroes pages of `relative` in turn (every page, or every `stride`th after
// the first 16 for big files) and checks the property for each.
void checkPages(const char* relative, int stride) {
    QFile in(samplePath(relative));
    if (!in.open(QIODevice::ReadOnly)) GTEST_SKIP() << "sample absent: " << relative;
    const QByteArray intact = in.readAll();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    std::vector<uint32_t> documents;
    {
        store::StoreError e;
        auto s = store::openStore(samplePath(relative), QString(), e);
        ASSERT_TRUE(s) << e.message().toStdString();
        documents = s->allDocumentIds();
        ASSERT_TRUE(s->problems().isEmpty()) << s->problems().join('\n').toStdString();
    }
    ASSERT_FALSE(documents.empty());
    const Outcome reference = describe(samplePath(relative), documents, dir.filePath(QStringLiteral("ref")));
    ASSERT_GT(reference.output.size(), 2);

    const qsizetype pages = (intact.size() + 4095) / 4096;
    int identical = 0, named = 0;
    QStringList silent;
    for (qsizetype page = 0; page < pages; ++page) {
        if (page >= 16 && page % stride != 0) continue;
        QByteArray damaged = intact;
        const qsizetype from = page * 4096;
        std::fill(damaged.begin() + from, damaged.begin() + std::min(from + 4096, damaged.size()), '\0');
        const QString path = dir.filePath(QStringLiteral("page%1.nsf").arg(page));
        {
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(damaged);
        }
        const Outcome o = describe(path, documents, dir.filePath(QStringLiteral("out%1").arg(page)));
        QFile::remove(path);
        if (o.output == reference.output) {
            ++identical;
            continue;
        }
        QSet<QString> added = o.named;
        added.subtract(reference.named);
        if (!added.isEmpty()) {
            ++named;
            continue;
        }
        QString first;
        for (qsizetype i = 0; i < std::max(o.output.size(), reference.output.size()); ++i)
            if (o.output.value(i) != reference.output.value(i)) {
                first = QStringLiteral("intact \"%1\", damaged \"%2\"")
                            .arg(reference.output.value(i).left(160), o.output.value(i).left(160));
                break;
            }
        silent << QStringLiteral("page %1 (offset 0x%2): %3").arg(page).arg(from, 0, 16).arg(first);
    }
    std::printf("%s: %d pages identical, %d with a named loss, %lld silent\n", relative, identical, named,
                static_cast<long long>(silent.size()));
    EXPECT_TRUE(silent.isEmpty()) << silent.join('\n').toStdString();
}

}  // namespace

TEST(DamagedNsf, EveryZeroedPageOfAMimeSampleIsIdenticalOrNamed) {
    checkPages("domino-c-api-samples/notedata_MIMEMsg.nsf", 1);
}

TEST(DamagedNsf, EveryZeroedPageOfAMailSampleWithTenViewsIsIdenticalOrNamed) {
    checkPages("domino-c-api-samples/notedata_hfinn.nsf", 1);
}

TEST(DamagedNsf, ZeroedPagesOfASampleWithAFolderAreIdenticalOrNamed) {
    checkPages("domino-jnx/sample.nsf", 4);
}
