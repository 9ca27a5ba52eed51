#include "notes/mime/NotesMimeBody.h"

#include <gtest/gtest.h>

using mime::NotesMimeBody;

namespace {

// One MIME part item value as Notes stores it.
QByteArray part(uint32_t flags, uint8_t type, const QByteArray& boundary, const QByteArray& headers,
                const QByteArray& body) {
    QByteArray v(NotesMimeBody::HeaderSize, '\0');
    const QByteArray data = boundary + headers + body;
    auto put16 = [&](int at, uint32_t x) {
        v[at] = char(x & 0xFF);
        v[at + 1] = char((x >> 8) & 0xFF);
    };
    put16(0, 2);
    put16(2, flags & 0xFFFF);
    put16(4, flags >> 16);
    v[6] = char(type);
    put16(8, uint32_t(data.size()));
    put16(10, uint32_t(boundary.size()));
    put16(12, uint32_t(headers.size()));
    return v + data;
}

const QByteArray kB = "--=_alt_=\r\n";
const QByteArray kEnd = "--=_alt_=--\r\n";

}  // namespace

TEST(NotesMimeBody, PartsJoinIntoTheMessageWithHtmlFormattingAndPlainText) {
    NotesMimeBody body;
    body.addPart(part(2, 1, {}, "Content-Type: multipart/alternative; boundary=\"=_alt_=\"\r\n\r\n",
                      "This is a multipart message in MIME format.\r\n"));
    body.addPart(part(3, 2, kB, "Content-Type: text/plain; charset=\"US-ASCII\"\r\n\r\n", "This is a test message.\r\n"));
    body.addPart(part(3, 2, kB, "Content-Type: text/html; charset=\"US-ASCII\"\r\n\r\n",
                      "\r\n<br><font size=2 face=\"sans-serif\">This is a test </font><font size=2 color=blue "
                      "face=\"sans-serif\"><b>message.</b></font>\r\n"));
    body.addPart(part(1, 3, kEnd, {}, {}));
    const NotesMimeBody::Result r = body.finish();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join('\n').toStdString();
    ASSERT_TRUE(r.body);
    EXPECT_EQ(r.body->plainText(), "This is a test message.");
    ASSERT_EQ(r.body->blocks.size(), 1u);
    const auto& runs = r.body->blocks[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].kind, store::RtRun::Kind::LineBreak);  // the leading <br>
    EXPECT_EQ(runs[1].text, "This is a test ");
    EXPECT_EQ(runs[1].font.face, "Arial");
    EXPECT_DOUBLE_EQ(runs[1].font.sizePt, 10.0);
    EXPECT_EQ(runs[2].text, "message.");
    EXPECT_TRUE(runs[2].font.bold);
    EXPECT_EQ(runs[2].font.rgb, 0x0000FFu);
}

TEST(NotesMimeBody, AttachmentsSharedWithFileItemsAndContentStoredApart) {
    int loads = 0;
    NotesMimeBody body([&](const QString& name, QByteArray& bytes, QString& problem) {
        ++loads;
        if (name == "big.html") {
            bytes = "<p>stored <i>apart</i></p>";
            return true;
        }
        problem = "no such object";
        return false;
    });
    const QByteArray b = "--m\r\n";
    body.addPart(part(2, 1, {}, "Content-Type: multipart/mixed; boundary=m\r\n\r\n", {}));
    body.addPart(part(0x7, 2, b, "Content-Type: text/html\r\n\r\n", "big.html"));
    // Shared with a $FILE attachment: the body is only the name, and it is not read.
    body.addPart(part(0xF, 2, b,
                      "Content-Type: application/octet-stream; name=\"a.bin\"\r\n"
                      "Content-Disposition: attachment; filename=\"a.bin\"\r\n\r\n",
                      "a.bin"));
    // Carried in the MIME data itself: offered as an attachment of its own.
    body.addPart(part(3, 2, b,
                      "Content-Type: application/pdf; name=\"own.pdf\"\r\n"
                      "Content-Disposition: attachment; filename=\"own.pdf\"\r\n"
                      "Content-Transfer-Encoding: base64\r\n\r\n",
                      "JVBERi0xLjQK\r\n"));
    body.addPart(part(1, 3, "--m--\r\n", {}, {}));
    const NotesMimeBody::Result r = body.finish();
    EXPECT_EQ(loads, 1);
    const auto own = r.ownAttachments();
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0]->fileName, "own.pdf");
    EXPECT_EQ(own[0]->body, "%PDF-1.4\n");
    EXPECT_EQ(r.bodyObjects, QStringList{"big.html"});
    EXPECT_EQ(r.body->plainText(), "stored apart");
    ASSERT_EQ(r.message.attachments().size(), 2u);
    EXPECT_EQ(r.message.attachments()[0]->fileName, "a.bin");
    EXPECT_TRUE(r.problems.isEmpty());
}

TEST(NotesMimeBody, DamagedPartsGiveAClearNoteAndKeepTheRest) {
    NotesMimeBody body;
    body.addPart(part(2, 1, {}, "Content-Type: multipart/mixed; boundary=\"=_alt_=\"\r\n\r\n", {}));
    body.addPart(part(3, 2, kB, "Content-Type: text/plain\r\n\r\n", "kept text\r\n"));
    QByteArray lying = part(3, 2, kB, "Content-Type: text/plain\r\n\r\n", "more");
    lying[8] = char(0xF0);  // says it holds far more than it does
    body.addPart(lying);
    body.addPart("short");
    QByteArray badLengths = part(3, 2, kB, "Content-Type: text/plain\r\n\r\n", "x");
    badLengths[12] = char(0x7F);  // headers longer than the part
    body.addPart(badLengths);
    const NotesMimeBody::Result r = body.finish();
    EXPECT_GE(r.problems.size(), 3);
    EXPECT_TRUE(r.body->plainText().startsWith("kept text"));
    EXPECT_TRUE(r.body->plainText().contains("could not be read"));
    ASSERT_FALSE(r.body->blocks.empty());
    EXPECT_TRUE(r.body->blocks.back().runs[0].text.startsWith("[Part of this message could not be read"));
}

TEST(NotesMimeBody, SinglePartWithoutMultipart) {
    NotesMimeBody body;
    body.addPart(part(2, 2, {},
                      "Content-Transfer-Encoding: quoted-printable\r\nContent-Type: text/html; charset=utf-8\r\n\r\n",
                      "<p>Gr=C3=BC=C3=9Fe</p>"));
    const NotesMimeBody::Result r = body.finish();
    EXPECT_EQ(r.body->plainText(), QString::fromUtf8("Grüße"));
}
