#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include "convert/CNotesConverter.h"
#include "notes/dxl/DxlStore.h"

using namespace store;

namespace {

const QString kDemo = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");

std::unique_ptr<dxl::DxlStore> openDemo() {
    StoreError e;
    auto s = dxl::DxlStore::open(kDemo, e);
    EXPECT_TRUE(e.ok()) << e.message().toStdString();
    return s;
}

size_t folderIndex(dxl::DxlStore& s, const QString& name) {
    const auto infos = s.folders();
    for (size_t i = 0; i < infos.size(); ++i)
        if (infos[i].name == name) return i;
    ADD_FAILURE() << "no folder " << name.toStdString();
    return 0;
}

StoreNote load(dxl::DxlStore& s, uint32_t id) {
    StoreNote n;
    const StoreError e = s.loadNote(id, n);
    EXPECT_TRUE(e.ok()) << e.message().toStdString();
    return n;
}

QString textOf(const StoreNote& n, const QString& item) {
    const StoreItem* it = n.item(item);
    return it ? it->texts.join(QLatin1Char(';')) : QStringLiteral("<missing>");
}

}  // namespace

TEST(DemoDatabase, ListsTheMailFoldersAndViewsWithTheirCounts) {
    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    QStringList names;
    ASSERT_EQ(c.EnumerateFolders(kDemo, QString(), names, 1), 1) << c.GetLastErrorText().toStdString();
    const QStringList expected = {"($Inbox)\\",       "($Sent)\\",        "($Drafts)\\",     "($All)\\",
                                  "($Trash)\\",       "($JunkMail)\\",    "($Meetings)\\",   "($ToDo)\\",
                                  "($Follow-Up)\\",   "My Contacts\\",    "By Diary Date\\", "Projects\\",
                                  "Projects\\2012\\", "Projects\\2013\\", "Archive\\"};
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(c.folderProblems().isEmpty());
}

TEST(DemoDatabase, ReadsAMailWithAttachmentTableAndCopies) {
    auto s = openDemo();
    ASSERT_TRUE(s);
    std::vector<uint32_t> ids;
    ASSERT_TRUE(s->folderEntries(folderIndex(*s, "Projects\\2012"), ids).ok());
    ASSERT_EQ(ids.size(), 3u);
    // Sorted by PostedDate, newest first.
    const StoreNote first = load(*s, ids[0]);
    EXPECT_EQ(textOf(first, "Subject"), "Status update");
    const StoreNote report = load(*s, ids[2]);
    EXPECT_EQ(textOf(report, "Subject"), "Quarterly report Q1");
    EXPECT_EQ(textOf(report, "From"), "CN=Chen Wei/OU=R&D/O=Acme");
    EXPECT_EQ(textOf(report, "CopyTo"), QString::fromUtf8("CN=Dora Müller/O=Acme"));
    EXPECT_EQ(textOf(report, "Form"), "Memo");
    const StoreItem* posted = report.item("PostedDate");
    ASSERT_TRUE(posted);
    ASSERT_EQ(posted->type, TypeTime);
    EXPECT_EQ(posted->times.front().text(), "03/04/2012 17:42:00");
    const StoreItem* body = report.item("Body");
    ASSERT_TRUE(body && body->richText);
    EXPECT_EQ(body->type, TypeComposite);
    const QString plain = body->richText->plainText();
    EXPECT_TRUE(plain.contains("Revenue\t1.2 M EUR")) << plain.toStdString();
    ASSERT_EQ(report.attachments.size(), 1u);
    EXPECT_EQ(report.attachments[0].name, "report.pdf");
    EXPECT_GT(report.attachments[0].size, 300);
    EXPECT_GT(report.size, report.attachments[0].size);

    QTemporaryDir dir;
    const QString target = dir.filePath("report.pdf");
    ASSERT_TRUE(s->detachAttachment(report.noteId, report.attachments[0], target).ok());
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-1.4"));
    EXPECT_EQ(pdf.size(), report.attachments[0].size);
    // Never overwrites.
    EXPECT_EQ(s->detachAttachment(report.noteId, report.attachments[0], target).status, StatusTargetExists);
}

TEST(DemoDatabase, ContactPhotoIsARealJpegAndBodiesHavePictures) {
    auto s = openDemo();
    ASSERT_TRUE(s);
    std::vector<uint32_t> contacts;
    ASSERT_TRUE(s->folderEntries(folderIndex(*s, "My Contacts"), contacts).ok());
    ASSERT_EQ(contacts.size(), 5u);
    int photos = 0;
    QTemporaryDir dir;
    for (uint32_t id : contacts) {
        const StoreNote n = load(*s, id);
        EXPECT_TRUE(n.item("LastName"));
        for (const StoreAttachment& a : n.attachments) {
            if (a.name != "ContactPhoto") continue;
            ++photos;
            ASSERT_TRUE(s->detachAttachment(id, a, dir.filePath("photo.jpg")).ok());
            QFile f(dir.filePath("photo.jpg"));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray jpeg = f.readAll();
            EXPECT_TRUE(jpeg.startsWith("\xFF\xD8\xFF"));
            EXPECT_TRUE(jpeg.endsWith("\xFF\xD9"));
        }
    }
    EXPECT_EQ(photos, 1);

    std::vector<uint32_t> inbox;
    ASSERT_TRUE(s->folderEntries(folderIndex(*s, "($Inbox)"), inbox).ok());
    int pictures = 0;
    for (uint32_t id : inbox) {
        const StoreNote n = load(*s, id);
        const StoreItem* body = n.item("Body");
        ASSERT_TRUE(body && body->richText);
        for (const RtBlock& b : body->richText->blocks)
            for (const RtRun& r : b.runs)
                if (r.kind == RtRun::Kind::Picture && !r.picture.data.isEmpty()) ++pictures;
    }
    EXPECT_EQ(pictures, 2);  // the chart (png) and the logo (gif)
}
