#include "NsfSampleReading.h"

#include "notes/nsf/CdTextExtractor.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/NotesBitmap.h"
#include "richtext/RtfImageInfo.h"
#include "notes/store/NoteStore.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray le16(uint32_t v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); }
QByteArray le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// A CD record with a 6-byte (LSIG) header, padded to an even length.
QByteArray lsig(uint8_t sig, const QByteArray& payload) {
    QByteArray r = QByteArray(1, char(sig)) + char(0) + le32(uint32_t(6 + payload.size())) + payload;
    if (r.size() % 2) r += char(0);
    return r;
}
QByteArray graphic(int wTwips, int hTwips) { return lsig(0x99, le16(wTwips) + le16(hTwips) + QByteArray(16, 0)); }
QByteArray imageHeader(uint16_t type, uint32_t size, uint32_t segments) {
    return lsig(0x7D, le16(type) + le16(1) + le16(1) + le32(size) + le32(segments) + QByteArray(8, 0));
}
QByteArray segment(const QByteArray& data, int saySize = -1) {
    const uint32_t said = saySize < 0 ? uint32_t(data.size()) : uint32_t(saySize);
    return lsig(0x7C, le16(said) + le16(uint32_t(data.size())) + data);
}
QByteArray paragraph() { return QByteArray("\x81\x02", 2); }

const QByteArray kGif = QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACwAAAAAAQABAAACAkQBADs=");

std::vector<store::RtBlock> extract(const std::vector<QByteArray>& parts, QStringList* problems = nullptr) {
    nsf::LmbcsConverter lmbcs;
    nsf::CdTextExtractor x(lmbcs, {});
    for (const QByteArray& p : parts) x.addPart(nsf::ByteView(p.constData(), size_t(p.size())));
    auto blocks = x.finish();
    if (problems) *problems = x.problems();
    return blocks;
}

std::unique_ptr<store::NoteStore> openSample(const QString& name) {
    const QString path = NsfSamples::dir() + "/domino-c-api-samples/" + name;
    if (!QFile::exists(path)) return nullptr;
    store::StoreError e;
    return store::openStore(path, QString(), e);
}

int countPictures(const std::vector<store::RtBlock>& blocks, QStringList& formats) {
    int n = 0;
    for (const store::RtBlock& b : blocks) {
        if (b.table)
            for (const auto& row : b.table->rows)
                for (const auto& cell : row.cells) n += countPictures(cell.blocks, formats);
        for (const store::RtRun& r : b.runs)
            if (r.kind == store::RtRun::Kind::Picture) {
                ++n;
                formats << r.picture.format;
            }
    }
    return n;
}

}  // namespace

TEST(CdPictures, ImageSegmentsAcrossPartsMakeOnePicture) {
    const QByteArray first = kGif.left(20), second = kGif.mid(20);
    QStringList problems;
    const auto blocks = extract({graphic(300, 150) + imageHeader(1, uint32_t(kGif.size()), 2) + segment(first),
                                 segment(second) + paragraph()},
                                &problems);
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].runs.size(), 1u);
    const store::RtRun& pic = blocks[0].runs[0];
    EXPECT_EQ(pic.kind, store::RtRun::Kind::Picture);
    EXPECT_EQ(pic.picture.format, "gif");
    EXPECT_EQ(pic.picture.data, kGif);
    EXPECT_EQ(pic.picture.widthPx, 20);
    EXPECT_EQ(pic.picture.heightPx, 10);
    EXPECT_TRUE(problems.isEmpty());
}

TEST(CdPictures, LyingOrShortPicturesLeaveANoteAndTheTextGoesOn) {
    const QByteArray text = QByteArray("\x85\xFF", 2) + le16(12) + QByteArray("\x01\x00\x00\x0A", 4) + "next";
    QStringList problems;
    // A segment that claims more bytes than it holds.
    auto blocks = extract({graphic(0, 0) + imageHeader(1, 5000, 1) + segment(kGif, 4000) + text}, &problems);
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].runs.size(), 2u);
    EXPECT_TRUE(blocks[0].runs[0].text.startsWith("[picture not shown"));
    EXPECT_EQ(blocks[0].runs[1].text, "next");
    EXPECT_EQ(problems.size(), 1);
    // Cut short: fewer bytes than declared.
    blocks = extract({graphic(0, 0) + imageHeader(1, uint32_t(kGif.size()) + 10, 1) + segment(kGif)}, &problems);
    EXPECT_TRUE(blocks.at(0).runs.at(0).text.contains("cut short"));
    // A header declaring gigabytes is not believed.
    blocks = extract({graphic(0, 0) + imageHeader(2, 0xFFFFFFF0u, 1) + segment(kGif)}, &problems);
    EXPECT_TRUE(blocks.at(0).runs.at(0).text.startsWith("[picture not shown"));
    // Data that is not what the header says.
    blocks = extract({graphic(0, 0) + imageHeader(2, uint32_t(kGif.size()), 1) + segment(kGif)}, &problems);
    EXPECT_TRUE(blocks.at(0).runs.at(0).text.contains("JPEG"));
}

// An 8-bit Notes bitmap, 20 x 2 pixels, using every run kind, its colour and
// pattern tables after the segments (as Notes writes them).
TEST(CdPictures, NotesBitmapRunsDecodeToPng) {
    const QByteArray header = lsig(0x95, QByteArray(16, 0) + le16(20) + le16(2) + le16(8) + le16(1) + le16(8) +
                                             le16(1) + le16(3) + le16(1));
    // Line 1: 3 raw pixels (0,1,2), a 6-bit repeat of 5 x colour 1, a pattern run of 1 x pattern 0,
    // then a 14-bit repeat of 4 x colour 2. Line 2: a 14-bit repeat of 20 x colour 0.
    const QByteArray line1 = QByteArray::fromHex("030001 02 C501 400100 800402");
    const QByteArray line2 = QByteArray::fromHex("801400");
    const QByteArray data = line1 + line2;
    const QByteArray seg = lsig(0x96, QByteArray(8, 0) + le16(2) + le16(uint32_t(data.size())) + data);
    const QByteArray colors = lsig(0x97, QByteArray::fromHex("000000 FF0000 0000FF"));
    const QByteArray patterns = lsig(0x98, QByteArray::fromHex("0201020102010201") + QByteArray(16, 0));
    QStringList problems;
    const auto blocks = extract({graphic(0, 0) + header + seg, colors + patterns + paragraph()}, &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(' ').toStdString();
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].runs.size(), 1u);
    const store::RtRun& pic = blocks[0].runs[0];
    ASSERT_EQ(pic.kind, store::RtRun::Kind::Picture);
    EXPECT_EQ(pic.picture.format, "png");
    // Checked while read, made into PNG only when asked for.
    EXPECT_TRUE(pic.picture.data.isDeferred());
    EXPECT_EQ(pic.picture.widthPx, 20);
    const auto info = rtf::RtfImageInfo::probe(pic.picture.data);
    EXPECT_FALSE(pic.picture.data.isDeferred());
    EXPECT_EQ(info.format, rtf::RtfImageInfo::Format::Png);
    EXPECT_EQ(info.widthPx, 20);
    EXPECT_EQ(info.heightPx, 2);

    // Runs past the width, a missing pattern, too few lines: a note instead of a picture.
    const struct {
        const char* hex;
        int lines;
    } bad[] = {{"801500", 2}, {"400107", 2}, {"801400", 1}};
    for (const auto& b : bad) {
        const QByteArray d = QByteArray::fromHex(b.hex);
        const QByteArray badSeg = lsig(0x96, QByteArray(8, 0) + le16(uint32_t(b.lines)) + le16(uint32_t(d.size())) + d);
        const auto out = extract({graphic(0, 0) + header + badSeg + colors + patterns}, &problems);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_TRUE(out[0].runs.at(0).text.startsWith("[picture not shown")) << b.hex;
    }
}

TEST(CdPictures, AttachmentIconsAreNotPictures) {
    const QByteArray hotspot = QByteArray("\xA9\xFF", 2) + le16(24) + le16(4) + le32(0) + le16(12) +
                               QByteArray("a.txt\0a.txt\0", 12);
    const auto blocks = extract({hotspot + graphic(0, 0) + imageHeader(1, uint32_t(kGif.size()), 1) + segment(kGif) +
                                 QByteArray("\xAA\x02", 2)});
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].runs.size(), 1u);
    EXPECT_EQ(blocks[0].runs[0].kind, store::RtRun::Kind::AttachmentRef);
}

TEST(NsfMime, TheThreeMimeMemosHaveTheirBodiesPicturesAndAttachmentsOnce) {
    auto db = openSample("notedata_MIMEMsg.nsf");
    if (!db) GTEST_SKIP() << "notedata_MIMEMsg.nsf not found";
    std::map<uint32_t, store::StoreNote> notes;
    for (uint32_t id : db->allDocumentIds()) ASSERT_TRUE(db->loadNote(id, notes[id]).ok());
    ASSERT_EQ(notes.size(), 3u);

    auto body = [](const store::StoreNote& n) {
        const store::StoreItem* b = n.item("Body");
        EXPECT_TRUE(b && b->type == store::TypeComposite && b->richText);
        EXPECT_TRUE(!b || b->problem.isEmpty()) << b->problem.toStdString();
        return b ? b->richText : nullptr;
    };
    const auto simple = body(notes.at(0x8F6));
    EXPECT_EQ(simple->plainText(), "This is a test message.");
    bool blueBold = false;
    for (const auto& blk : simple->blocks)
        for (const auto& r : blk.runs)
            if (r.text == "message." && r.font.bold && r.font.rgb == 0x0000FF) blueBold = true;
    EXPECT_TRUE(blueBold);

    const auto withFile = body(notes.at(0x8FA));
    EXPECT_TRUE(withFile->plainText().startsWith("This is a text message, with a txt file attached."));
    ASSERT_EQ(notes.at(0x8FA).attachments.size(), 1u);

    const auto rich = body(notes.at(0x8FE));
    EXPECT_TRUE(rich->plainText().startsWith("You can get two types of Help in Notes:"));
    QStringList formats;
    EXPECT_EQ(countPictures(rich->blocks, formats), 3);
    EXPECT_EQ(formats, QStringList({"gif", "gif", "gif"}));
    bool bullet = false;
    for (const auto& blk : rich->blocks) bullet = bullet || blk.style.bullet;
    EXPECT_TRUE(bullet);
    EXPECT_EQ(notes.at(0x8FE).attachments.size(), 4u);
}

TEST(NsfPictures, PictureDatabaseShowsItsPictures) {
    auto db = openSample("notedata_picture.nsf");
    if (!db) GTEST_SKIP() << "notedata_picture.nsf not found";
    int pictures = 0;
    QStringList formats;
    for (uint32_t id : db->allDocumentIds()) {
        store::StoreNote note;
        ASSERT_TRUE(db->loadNote(id, note).ok());
        for (const store::StoreItem& item : note.items)
            if (item.type == store::TypeComposite && item.richText)
                pictures += countPictures(item.richText->blocks, formats);
    }
    EXPECT_GT(pictures, 0);
    for (const QString& f : formats) EXPECT_TRUE(f == "gif" || f == "jpeg" || f == "png" || f == "bmp") << f.toStdString();
}
