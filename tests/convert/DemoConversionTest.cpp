#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "office/CWordExporter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kDemo = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesUnder(const QString& root, const QString& suffix) {
    QStringList out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        if (p.endsWith(suffix)) out << p;
    }
    out.sort();
    return out;
}

QString catdoc(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("catdoc"), {QStringLiteral("-d"), QStringLiteral("utf-8"), path});
    if (!p.waitForFinished(60000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Converts every listed folder but "$All" of the demo database in one mode.
struct Conversion {
    QTemporaryDir dir;
    int found = 0, written = 0, failed = 0;
    QString root() const { return dir.path() + QStringLiteral("/out"); }

    bool run(int mode) {
        CNotesConverter converter;
        if (!converter.Initialize()) return false;
        QStringList names;
        if (!converter.EnumerateFolders(kDemo, QString(), names, 1)) return false;
        CWordExporter exporter;
        QDir().mkpath(root());
        exporter.SetRootFolder(root());
        if (!exporter.StartWord()) return false;
        converter.savingMode = mode;
        CFolderExportRun run;
        run.converter = &converter;
        run.exporter = &exporter;
        for (const QString& n : names)
            if (!n.contains(QLatin1String("$All"))) run.SaveFolder(n);
        exporter.ShutdownWord();
        found = converter.exportReport.found();
        written = converter.exportReport.written();
        failed = converter.exportReport.failedCount();
        for (const auto& f : converter.exportReport.failures())
            ADD_FAILURE() << f.folder.toStdString() << " " << f.noteId << " " << f.reason.toStdString();
        return true;
    }
};

// Every attachment of the demo database, as the store holds it: name -> bytes.
QMultiMap<QString, QByteArray> sourceAttachments() {
    QMultiMap<QString, QByteArray> out;
    CNotesConverter converter;
    converter.Initialize();
    converter.showViewFolders = 1;
    QStringList names;
    converter.EnumerateFolders(kDemo, QString(), names, 1);
    QTemporaryDir tmp;
    QSet<NOTEID> seen;
    int fileNo = 0;
    for (QString name : names) {
        name.chop(1);
        LNViewFolder folder;
        converter.database().GetViewFolder(CNotesConverter::WideToLNString(name), &folder);
        folder.Open();
        for (int i = 0; i < folder.GetEntryCount(); ++i) {
            if (seen.contains(folder[i].GetNoteID())) continue;
            seen.insert(folder[i].GetNoteID());
            LNDocument doc;
            folder[i].GetDocument(&doc);
            doc.Open();
            LNAttachmentArray atts;
            doc.GetAttachments(&atts);
            for (int k = 0; k < atts.GetCount(); ++k) {
                const QString target = tmp.filePath(QString::number(fileNo++));
                atts[k].Detach(CNotesConverter::WideToLNString(target));
                out.insert(CNotesConverter::LNStringToWide(atts[k].GetAttachmentName()), fileBytes(target));
            }
        }
    }
    return out;
}

}  // namespace

TEST(DemoConversion, TextModeWritesEveryItemWithItsAttachmentsByteForByte) {
    Conversion c;
    ASSERT_TRUE(c.run(Text));
    EXPECT_GT(c.found, 30);
    EXPECT_EQ(c.written, c.found);
    EXPECT_EQ(c.failed, 0);
    EXPECT_EQ(filesUnder(c.root(), ".doc").size(), c.written);

    // Each written attachment is byte-identical to one of the source's.
    const auto sources = sourceAttachments();
    ASSERT_FALSE(sources.isEmpty());
    QDirIterator it(c.root(), QDir::Files, QDirIterator::Subdirectories);
    int attachments = 0;
    while (it.hasNext()) {
        const QString p = it.next();
        if (!p.contains("Attachments/")) continue;
        ++attachments;
        QString name = QFileInfo(p).fileName();
        if (name == "ContactPhoto.jpg") name = "ContactPhoto";
        const QByteArray bytes = fileBytes(p);
        EXPECT_TRUE(sources.values(name).contains(bytes)) << p.toStdString();
    }
    EXPECT_GT(attachments, 3);

    // A mail reads back with its header table values and its body.
    const QString inboxDoc = filesUnder(c.root() + "/Inbox", ".doc").value(0);
    const QString text = catdoc(inboxDoc);
    EXPECT_TRUE(text.contains("Subject:")) << text.toStdString();
    EXPECT_TRUE(text.contains("From:")) << text.toStdString();
}

TEST(DemoConversion, BestModePutsTheContactPhotoIntoTheDocumentAndKeepsTheBody) {
    Conversion c;
    ASSERT_TRUE(c.run(RtfBestQuality));
    EXPECT_EQ(c.written, c.found);
    // The contact with a photo: its JPEG bytes are inside its document.
    const QStringList photos = filesUnder(c.root() + "/My Contacts", "ContactPhoto.jpg");
    ASSERT_EQ(photos.size(), 1);
    const QByteArray jpeg = fileBytes(photos.front());
    const QString docPath = photos.front().section('/', 0, -3) + "/" +
                            photos.front().section('/', -2, -2).chopped(int(strlen("Attachments"))) + ".doc";
    const QByteArray doc = fileBytes(docPath);
    ASSERT_FALSE(doc.isEmpty()) << docPath.toStdString();
    EXPECT_TRUE(doc.contains(jpeg.left(64))) << "photo not embedded in " << docPath.toStdString();

    // A rich body with a table keeps its text after the header.
    const QString q1 = catdoc(c.root() + "/Projects/2012/Quarterly report Q1.doc");
    EXPECT_TRUE(q1.contains("Key figures")) << q1.toStdString();
    EXPECT_TRUE(q1.contains("Revenue")) << q1.toStdString();
    EXPECT_LT(q1.indexOf("Subject:"), q1.indexOf("Key figures"));
}
