// Every sample database against the independent reading in ground-truth.tsv.
#include "NsfSampleReading.h"

#include "notes/store/NoteStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace {

std::vector<GroundTruthRow> rowsOrSkip() {
    auto rows = NsfSamples::groundTruth();
    return rows;
}

#define SAMPLES_OR_SKIP(rows)                                                                     \
    const auto rows = rowsOrSkip();                                                               \
    if (rows.empty()) GTEST_SKIP() << "NSF samples not found at " << NsfSamples::dir().toStdString()

QString classCountsText(const QMap<int, int>& counts) {
    QStringList parts;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        parts << QStringLiteral("0x%1=%2").arg(it.key(), 0, 16).arg(it.value());
    return parts.join(QLatin1Char(';'));
}

QMap<QString, int> formsFromCell(const QString& cell) {
    QMap<QString, int> m;
    for (const QString& part : NsfSamples::splitCell(cell)) {
        const int eq = part.lastIndexOf(QLatin1Char('='));
        m[part.left(eq)] = part.mid(eq + 1).toInt();
    }
    return m;
}

}  // namespace

TEST(NsfSamples, AllManifestFilesArePresentAndOpen) {
    SAMPLES_OR_SKIP(rows);
    EXPECT_EQ(rows.size(), 74u);
    for (const GroundTruthRow& row : rows) {
        const NsfSampleReading& r = NsfSamples::reading(row["file"]);
        EXPECT_TRUE(r.openError.isEmpty()) << row["file"].toStdString() << ": " << r.openError.toStdString();
        EXPECT_EQ(QString::number(r.ods), row["ods"]) << row["file"].toStdString();
        EXPECT_EQ(QString::number(r.headerSize), row["header_size"]) << row["file"].toStdString();
        EXPECT_TRUE(r.noteErrors.isEmpty()) << row["file"].toStdString() << ": " << r.noteErrors.join("; ").toStdString();
    }
}

TEST(NsfSamples, NoteCountsStubsAndClasses) {
    SAMPLES_OR_SKIP(rows);
    for (const GroundTruthRow& row : rows) {
        const NsfSampleReading& r = NsfSamples::reading(row["file"]);
        const std::string f = row["file"].toStdString();
        EXPECT_EQ(QString::number(r.notesResolved), row["notes_resolved"]) << f;
        EXPECT_EQ(QString::number(r.deletionStubs), row["deletion_stubs_64byte"]) << f;
        EXPECT_EQ(QString::number(r.reserved), row["rrv_7fffffff_entries"]) << f;
        EXPECT_EQ(classCountsText(r.classCounts), row["class_counts"]) << f;
        EXPECT_EQ(QString::number(r.docsClass1), row["docs_class1"]) << f;
        EXPECT_EQ(QString::number(r.profileDocs), row["profile_docs"]) << f;
        const QString idTable = QStringLiteral("%1 IDs; %2 non-profile class-1 notes")
                                    .arg(r.sbIdTableSize)
                                    .arg(r.sbIdTableEqual ? QStringLiteral("equal to") : QStringLiteral("differs from"));
        EXPECT_EQ(idTable, row["sb_data_idtable"]) << f;
    }
}

// The store's documents are the document notes without the profile documents.
TEST(NsfSamples, AllDocumentsLeaveOutProfileDocuments) {
    SAMPLES_OR_SKIP(rows);
    for (const GroundTruthRow& row : rows) {
        store::StoreError e;
        auto s = store::openStore(NsfSamples::dir() + QLatin1Char('/') + row["file"], QString(), e);
        ASSERT_TRUE(s) << row["file"].toStdString() << ": " << e.message().toStdString();
        EXPECT_EQ(int(s->allDocumentIds().size()), row["docs_class1"].toInt() - row["profile_docs"].toInt())
            << row["file"].toStdString();
    }
}

TEST(NsfSamples, FormNames) {
    SAMPLES_OR_SKIP(rows);
    for (const GroundTruthRow& row : rows) {
        const NsfSampleReading& r = NsfSamples::reading(row["file"]);
        EXPECT_EQ(r.forms, formsFromCell(row["forms"])) << row["file"].toStdString();
    }
}

TEST(NsfSamples, ViewAndFolderTitlesAndMembers) {
    SAMPLES_OR_SKIP(rows);
    for (const GroundTruthRow& row : rows) {
        const NsfSampleReading& r = NsfSamples::reading(row["file"]);
        const std::string f = row["file"].toStdString();
        EXPECT_EQ(QString::number(r.viewTitles.size()), row["views_n"]) << f;
        EXPECT_EQ(r.viewTitles, NsfSamples::splitCell(row["view_titles"])) << f;
        EXPECT_EQ(QString::number(r.folderTitles.size()), row["folders_n"]) << f;
        EXPECT_EQ(r.folderTitles, NsfSamples::splitCell(row["folder_titles"])) << f;
        EXPECT_EQ(r.folderMembers, NsfSamples::splitCell(row["folder_members_from_FolderIDTable"])) << f;
    }
}

TEST(NsfSamples, AttachmentsExtractWithTheirSizesAndChecksums) {
    SAMPLES_OR_SKIP(rows);
    int total = 0;
    for (const GroundTruthRow& row : rows) {
        const NsfSampleReading& r = NsfSamples::reading(row["file"]);
        EXPECT_EQ(r.attachments, NsfSamples::splitCell(row["attachments"])) << row["file"].toStdString();
        total += int(r.attachments.size());
    }
    EXPECT_EQ(total, 16);  // the format notes say 15 but list 16 (notesflo holds five)
}

#include "notes/store/NoteStore.h"

TEST(NsfSamples, DriverServesTitleFoldersDocumentsAndRichText) {
    SAMPLES_OR_SKIP(rows);
    store::StoreError e;
    auto st = store::openStore(NsfSamples::dir() + "/domino-jnx/sample.nsf", QString(), e);
    ASSERT_TRUE(st) << e.message().toStdString();
    const auto folders = st->folders();
    int folderCount = 0;
    for (size_t i = 0; i < folders.size(); ++i) {
        std::vector<uint32_t> ids;
        const store::StoreError e = st->folderEntries(i, ids);
        if (!folders[i].isFolder) {
            // Views list what their selection or stored index gives (tests of their own).
            EXPECT_TRUE(e.ok() || e.status == store::StatusUnsupportedFormula) << folders[i].name.toStdString();
            continue;
        }
        ASSERT_TRUE(e.ok());
        ++folderCount;
        EXPECT_EQ(folders[i].name, "Backup Role for Student");
        EXPECT_TRUE(folders[i].problem.isEmpty());
        ASSERT_EQ(ids, std::vector<uint32_t>{0x926});
        store::StoreNote note;
        ASSERT_TRUE(st->loadNote(0x926, note).ok());
        EXPECT_EQ(note.noteClass, 1);
        EXPECT_GT(note.size, 100);
        EXPECT_EQ(note.unid.size(), 32);
    }
    EXPECT_EQ(folderCount, 1);
    EXPECT_TRUE(std::find_if(folders.begin(), folders.end(), [](const store::StoreFolderInfo& f) {
                    return f.name == "By Role\\Teacher";
                }) != folders.end());

    // Rich text: the user guide's chapters read as paragraphs of text.
    auto guide = store::openStore(NsfSamples::dir() + "/domino-c-api-docs/apiug.nsf", QString(), e);
    ASSERT_TRUE(guide) << e.message().toStdString();
    EXPECT_EQ(guide->title(), "HCL C API Notes/Domino 14.5 User Guide");
    const std::vector<uint32_t> docs = guide->allDocumentIds();
    EXPECT_EQ(docs.size(), 96u);  // 98 document notes, 2 of them profile documents
    int withBody = 0;
    for (uint32_t id : docs) {
        store::StoreNote note;
        ASSERT_TRUE(guide->loadNote(id, note).ok());
        for (const store::StoreItem& item : note.items) {
            if (item.type != store::TypeComposite || !item.richText || item.name.startsWith('$')) continue;
            EXPECT_FALSE(item.richText->rawRecords.isEmpty());
            if (item.richText->plainText().contains("Domino executable directory")) ++withBody;
        }
    }
    EXPECT_GE(withBody, 1);
}
