#include "convert/CNotesConverter.h"
#include "notes/store/MemoryStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace store;

namespace {

struct Bar : IProgressBar {
    QList<int> positions;
    void setPosition(int p) override { positions.append(p); }
    void setText(const QString&) override {}
};

class BodyFixture : public ::testing::Test {
protected:
    void open(const StoreNote& note) {
        auto s = std::make_shared<MemoryStore>();
        id = s->addNote(note);
        s->addFolder("F", true, {id});
        MemoryStore::registerStore("body", s);
        ASSERT_EQ(conv.Initialize(), 1);
        QStringList names;
        ASSERT_EQ(conv.EnumerateFolders("memory:body", "", names, 1), 1);
        conv.database().GetDocument(id, &doc);
        doc.Open();
    }
    void TearDown() override { MemoryStore::unregisterStore("body"); }
    CNotesConverter conv;
    LNDocument doc;
    uint32_t id = 0;
};

StoreItem rich(const QString& text, const char* name = "Body") {
    auto d = std::make_shared<RichTextDoc>();
    RtBlock b;
    RtRun r;
    r.text = text;
    b.runs.push_back(r);
    d->blocks.push_back(b);
    StoreItem it;
    it.name = QString::fromLatin1(name);
    it.type = TypeComposite;
    it.richText = d;
    return it;
}

}  // namespace

TEST_F(BodyFixture, LongRichTextComesBackWholeFromChunks) {
    QString big;
    for (int i = 0; i < 5000; ++i) big += QStringLiteral("line %1 Grüße 日本\U0001F600 ").arg(i);
    ASSERT_GT(big.size(), 3 * LNRichText::ChunkCharacters);
    StoreNote n;
    n.items.push_back(rich(big));
    open(n);
    int ready = 0;
    QString rtf, plain;
    ASSERT_EQ(conv.ExportBody(doc, ready, rtf, plain, 0), 1);
    EXPECT_EQ(plain, big);
    EXPECT_EQ(ready, 0);  // Text mode makes no RTF
    EXPECT_FALSE(QFile::exists(CNotesConverter::TempFolder() + "ch111.rtf"));
}

TEST_F(BodyFixture, TextBodyNeverGivesRtfAndCommentIsTheFallback) {
    StoreNote n;
    StoreItem body;
    body.name = "Body";
    body.type = TypeTextList;
    body.texts = {"a", "b"};
    n.items.push_back(body);
    open(n);
    for (int mode : {RtfLowQuality, RtfBestQuality}) {
        conv.savingMode = mode;
        int ready = 0;
        QString rtf, plain;
        conv.ExportBody(doc, ready, rtf, plain, 1);
        EXPECT_EQ(ready, 0);
        EXPECT_EQ(plain, "a;b");
    }
}

TEST_F(BodyFixture, RichCommentIsUsedWhenBodyIsNotRichAndPreviewWritesTheFile) {
    StoreNote n;
    n.items.push_back(rich("from comment", "Comment"));
    open(n);
    int ready = 0;
    QString rtf, plain;
    conv.ExportBody(doc, ready, rtf, plain, 1);
    EXPECT_EQ(plain, "from comment");
    EXPECT_EQ(ready, 1);
    EXPECT_TRUE(rtf.isEmpty());
    EXPECT_TRUE(QFile::exists(CNotesConverter::TempFolder() + "ch111.rtf"));
}

// Text in neither Body nor Comment is not lost: the other rich-text items,
// in item order, make the body; Notes' own $ items and text items do not.
TEST_F(BodyFixture, OtherRichTextItemsMakeTheBodyWhenNeitherBodyNorCommentHoldsText) {
    StoreNote n;
    n.items.push_back(rich("   ", "Body"));  // present but blank
    StoreItem title;
    title.name = "title";
    title.texts = {"Chapter title"};
    n.items.push_back(title);
    n.items.push_back(rich("font table", "$Fonts"));
    n.items.push_back(rich("First part", "Intro"));
    n.items.push_back(rich("Second part", "text"));
    open(n);
    for (int mode : {int(Text), int(RtfBestQuality)}) {
        conv.savingMode = mode;
        int ready = 0;
        QString rtf, plain;
        ASSERT_EQ(conv.ExportBody(doc, ready, rtf, plain, 0), 1);
        EXPECT_EQ(plain, "First part\r\nSecond part");
        EXPECT_EQ(ready, mode == RtfBestQuality ? 1 : 0);
        if (mode == RtfBestQuality) {
            EXPECT_TRUE(rtf.contains("Second part"));
        }
    }
}

TEST_F(BodyFixture, ABodyWithTextKeepsTheOtherRichTextItemsOut) {
    StoreNote n;
    n.items.push_back(rich("the message"));
    n.items.push_back(rich("a signature block", "Signature"));
    open(n);
    int ready = 0;
    QString rtf, plain;
    ASSERT_EQ(conv.ExportBody(doc, ready, rtf, plain, 0), 1);
    EXPECT_EQ(plain, "the message");
}

TEST_F(BodyFixture, ReadBackAdvancesTheItemBarPerLine) {
    open(StoreNote());
    QTemporaryDir dir;
    QFile f(dir.filePath("x.rtf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 90; ++i) f.write("{\\b line}\n");
    f.close();
    Bar bar;
    conv.itemProgressBar = &bar;
    const QString text = conv.ReadTextFileWithProgress(f.fileName());
    ASSERT_EQ(bar.positions.size(), 90);
    EXPECT_EQ(bar.positions.first(), 1);
    EXPECT_EQ(bar.positions.last(), 90);
    EXPECT_EQ(text.count('\n'), 90);  // line breaks kept
    EXPECT_TRUE(conv.ReadTextFileWithProgress(dir.filePath("missing")).isEmpty());
}

TEST(UniqueAttachmentPath, NumbersCollisionsAndKeepsThePhotoName) {
    QTemporaryDir dir;
    const QString p = dir.path() + "/a.txt";
    EXPECT_EQ(CNotesConverter::UniqueAttachmentPath(p), p);
    QFile(p).open(QIODevice::WriteOnly);
    EXPECT_EQ(CNotesConverter::UniqueAttachmentPath(p), dir.path() + "/a0.txt");
    QFile(dir.path() + "/a0.txt").open(QIODevice::WriteOnly);
    EXPECT_EQ(CNotesConverter::UniqueAttachmentPath(p), dir.path() + "/a1.txt");
    const QString photo = dir.path() + "/ContactPhoto.jpg";
    QFile(photo).open(QIODevice::WriteOnly);
    EXPECT_EQ(CNotesConverter::UniqueAttachmentPath(photo), dir.path() + "/ContactPhoto0.jpg");
    const QString bare = dir.path() + "/README";
    QFile(bare).open(QIODevice::WriteOnly);
    EXPECT_EQ(CNotesConverter::UniqueAttachmentPath(bare), dir.path() + "/README0");
}
