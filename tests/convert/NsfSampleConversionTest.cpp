// An NSF sample through the real office: every document its views reach is
// written, with the text kept outside Body as its body.
#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "office/CWordExporter.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString catdocText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("catdoc"), {QStringLiteral("-d"), QStringLiteral("utf-8"), path});
    if (!p.waitForFinished(60000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

// notedata_hierarch.nsf: 13 documents and responses in one view, their text
// in rich-text items other than Body.
TEST(NsfSampleConversion, EveryDocumentOfTheViewsIsWrittenWithItsText) {
    const QString sample = QStringLiteral(TESSELDOC_SHARED_DIR "/nsf-samples/domino-c-api-samples/notedata_hierarch.nsf");
    if (!QFile::exists(sample)) GTEST_SKIP() << "NSF samples not found";
    CNotesConverter converter;
    ASSERT_TRUE(converter.Initialize());
    converter.showViewFolders = 1;
    QStringList names;
    ASSERT_TRUE(converter.EnumerateFolders(sample, QString(), names, 1)) << converter.GetLastErrorText().toStdString();
    EXPECT_TRUE(converter.folderProblems().isEmpty()) << converter.folderProblems().join("; ").toStdString();
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/out");
    QDir().mkpath(root);
    CWordExporter exporter;
    exporter.SetRootFolder(root);
    ASSERT_TRUE(exporter.StartWord());
    converter.savingMode = Text;
    CFolderExportRun run;
    run.converter = &converter;
    run.exporter = &exporter;
    for (const QString& n : names) run.SaveFolder(n);
    exporter.ShutdownWord();
    EXPECT_EQ(converter.exportReport.found(), 13);
    EXPECT_EQ(converter.exportReport.written(), 13);
    EXPECT_EQ(converter.exportReport.failedCount(), 0);
    int docs = 0, withText = 0;
    QDirIterator it(root, {QStringLiteral("*.doc")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        ++docs;
        if (!catdocText(it.next()).trimmed().isEmpty()) ++withText;
    }
    EXPECT_EQ(docs, 13);
    EXPECT_EQ(withText, 13);
}
