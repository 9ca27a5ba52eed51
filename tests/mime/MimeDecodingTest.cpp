#include "notes/mime/CharsetDecoder.h"
#include "notes/mime/MimeParser.h"

#include <gtest/gtest.h>

using mime::CharsetDecoder;
using mime::MimeEntity;
using mime::MimeParser;

namespace {

// mixed -> related -> alternative, as Notes stores Internet mail with a
// picture in the HTML and a file attached.
const QByteArray kNested =
    "From: =?ISO-8859-1?Q?J=F6rg_M=FCller?= <jm@example.com>\r\n"
    "Subject: =?utf-8?B?R3LDvMOfZQ==?= and more\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"=_mixed 0031255B_=\"\r\n"
    "\r\n"
    "This is a multipart message in MIME format.\r\n"
    "--=_mixed 0031255B_=\r\n"
    "Content-Type: multipart/related; boundary=\"=_related 0031255B_=\"\r\n"
    "\r\n"
    "--=_related 0031255B_=\r\n"
    "Content-Type: multipart/alternative; boundary=\"=_alternative 0031255B_=\"\r\n"
    "\r\n"
    "--=_alternative 0031255B_=\r\n"
    "Content-Type: text/plain; charset=\"ISO-8859-1\"\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "Gr=FC=DFe aus K=F6ln, a long line that is soft=\r\n"
    " broken.\r\n"
    "--=_alternative 0031255B_=\r\n"
    "Content-Type: text/html; charset=\"ISO-8859-1\"\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "<b>Gr=FC=DFe</b> <img src=3D\"cid:_1_0A1B@example\">\r\n"
    "--=_alternative 0031255B_=--\r\n"
    "--=_related 0031255B_=\r\n"
    "Content-Type: image/gif\r\n"
    "Content-ID: <_1_0A1B@example>\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "R0lGODlhAQABAIAAAP///wAAACwAAAAAAQABAAACAkQBADs=\r\n"
    "--=_related 0031255B_=--\r\n"
    "--=_mixed 0031255B_=\r\n"
    "Content-Type: application/octet-stream; name=\"report.bin\"\r\n"
    "Content-Disposition: attachment; filename*=utf-8''r%C3%A9sum%C3%A9.bin\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "AAECAwQ=\r\n"
    "--=_mixed 0031255B_=--\r\n";

}  // namespace

TEST(MimeDecoding, NestedMultipartWithEncodingsCharsetsAndParts) {
    const MimeEntity msg = MimeParser::parse(kNested);
    EXPECT_TRUE(msg.allProblems().isEmpty()) << msg.allProblems().join('\n').toStdString();
    EXPECT_EQ(msg.mimeType(), "multipart/mixed");
    EXPECT_EQ(msg.header("Subject"), QString::fromUtf8("Grüße and more"));
    EXPECT_EQ(msg.header("From"), QString::fromUtf8("Jörg Müller <jm@example.com>"));
    ASSERT_EQ(msg.children.size(), 2u);
    EXPECT_EQ(msg.children[0].mimeType(), "multipart/related");

    const MimeEntity* plain = msg.findText("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->text().trimmed(), QString::fromUtf8("Grüße aus Köln, a long line that is soft broken."));
    const MimeEntity* html = msg.findText("html");
    ASSERT_NE(html, nullptr);
    EXPECT_TRUE(html->text().contains(QString::fromUtf8("<b>Grüße</b> <img src=\"cid:_1_0A1B@example\">")));

    const MimeEntity* gif = msg.findContentId("<_1_0A1B@EXAMPLE>");
    ASSERT_NE(gif, nullptr);
    EXPECT_TRUE(gif->body.startsWith("GIF89a"));
    EXPECT_FALSE(gif->isAttachment());
    ASSERT_EQ(msg.inlineParts().size(), 1u);

    const auto files = msg.attachments();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0]->fileName, QString::fromUtf8("résumé.bin"));
    EXPECT_EQ(files[0]->body, QByteArray("\x00\x01\x02\x03\x04", 5));
}

TEST(MimeDecoding, AlternativePrefersTheLastMatchAndSkipsTextAttachments) {
    const QByteArray body =
        "--b\r\nContent-Type: text/plain\r\nContent-Disposition: attachment; filename=notes.txt\r\n\r\nfile\r\n"
        "--b\r\nContent-Type: multipart/alternative; boundary=a\r\n\r\n"
        "--a\r\nContent-Type: text/plain\r\n\r\nfirst\r\n"
        "--a\r\nContent-Type: text/plain\r\n\r\nsecond\r\n--a--\r\n"
        "--b--\r\n";
    const MimeEntity root = MimeParser::parseMultipart(body, "b");
    const MimeEntity* plain = root.findText("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->text().trimmed(), "second");
    ASSERT_EQ(root.attachments().size(), 1u);
    EXPECT_EQ(root.attachments()[0]->fileName, "notes.txt");
    EXPECT_EQ(root.findText("html"), nullptr);
}

TEST(MimeDecoding, ParseBodyWithTypeAndEncodingGiven) {
    const MimeEntity e = MimeParser::parseBody("text/plain; charset=windows-1251", "\xcf\xf0\xe8\xe2\xe5\xf2",
                                               "8bit");
    EXPECT_EQ(e.text(), QString::fromUtf8("Привет"));
    EXPECT_TRUE(e.headers.empty());
    const MimeEntity b64 = MimeParser::parseBody("text/plain; charset=utf-8", "SGVsbG8gd29ybGQ=", "base64");
    EXPECT_EQ(b64.text(), "Hello world");
}

TEST(MimeDecoding, HeaderTextAndParameters) {
    EXPECT_EQ(MimeParser::decodeHeaderText("=?iso-8859-1?q?caf=E9?= =?iso-8859-1?q?_cr=E8me?="),
              QString::fromUtf8("café crème"));
    EXPECT_EQ(MimeParser::decodeHeaderText("plain\r\n folded"), "plain folded");
    EXPECT_EQ(MimeParser::headerParameter("attachment; filename=\"a b.txt\"", "filename"), "a b.txt");
    EXPECT_EQ(MimeParser::headerParameter("text/plain; charset=UTF-8", "charset"), "UTF-8");
    EXPECT_EQ(MimeParser::headerParameter("attachment; filename*0=\"lo\"; filename*1=\"ng.txt\"", "filename"),
              "long.txt");
    EXPECT_TRUE(MimeParser::headerParameter("text/plain", "charset").isEmpty());
}

TEST(MimeDecoding, CharsetsThroughIcuWithFallbacks) {
    EXPECT_EQ(CharsetDecoder::decode("\x93quoted\x94", "us-ascii"), QString::fromUtf8("“quoted”"));
    EXPECT_EQ(CharsetDecoder::decode("\xe4\xb8\xad\xe6\x96\x87", "UTF-8"), QString::fromUtf8("中文"));
    EXPECT_EQ(CharsetDecoder::decode("\xa4\xa4\xa4\xe5", "big5"), QString::fromUtf8("中文"));
    EXPECT_EQ(CharsetDecoder::decode("\x1b$B$3$s\x1b(B", "iso-2022-jp"), QString::fromUtf8("こん"));

    QString problem;
    EXPECT_EQ(CharsetDecoder::decode("caf\xe9", "x-no-such-charset", &problem), QString::fromUtf8("café"));
    EXPECT_TRUE(problem.contains("x-no-such-charset"));
    problem.clear();
    EXPECT_EQ(CharsetDecoder::decode("caf\xe9", "utf-8", &problem), QString::fromUtf8("café"));
    EXPECT_TRUE(problem.contains("UTF-8"));
    // No charset named: UTF-8 when it is valid, else Windows-1252, silently.
    problem.clear();
    EXPECT_EQ(CharsetDecoder::decode("caf\xc3\xa9", "", &problem), QString::fromUtf8("café"));
    EXPECT_EQ(CharsetDecoder::decode("caf\xe9", "", &problem), QString::fromUtf8("café"));
    EXPECT_TRUE(problem.isEmpty());
}

TEST(MimeDecoding, BrokenInputKeepsWhatCanBeReadAndSaysWhy) {
    // A boundary that never occurs: the text stays, with a message.
    const MimeEntity noParts = MimeParser::parseMultipart("just some text\r\nand more\r\n", "missing");
    EXPECT_FALSE(noParts.allProblems().isEmpty());
    const MimeEntity* text = noParts.findText("plain");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->text().contains("and more"));

    // Base64 cut short: what was there is decoded, and the part says so.
    const MimeEntity cut = MimeParser::parseBody("image/gif; name=a.gif", "R0lGODlhAQABAIAAAP///wAAACwAAA", "base64");
    EXPECT_TRUE(cut.body.startsWith("GIF89a"));
    ASSERT_FALSE(cut.problems.isEmpty());
    EXPECT_TRUE(cut.problems.join(' ').contains("cut short"));

    // A closing boundary missing at the end of the data.
    const MimeEntity open = MimeParser::parseMultipart("--b\r\nContent-Type: text/plain\r\n\r\nhello", "b");
    const MimeEntity* hello = open.findText("plain");
    ASSERT_NE(hello, nullptr);
    EXPECT_EQ(hello->text().trimmed(), "hello");

    // Unknown charset on a part: text read as Windows-1252, with the reason.
    const MimeEntity odd = MimeParser::parseBody("text/plain; charset=klingon", "caf\xe9");
    QString problem;
    EXPECT_EQ(odd.text(&problem), QString::fromUtf8("café"));
    EXPECT_FALSE(problem.isEmpty());
}

TEST(MimeDecoding, DeepNestingIsBounded) {
    QByteArray body;
    const int depth = 200;
    for (int i = 0; i < depth; ++i)
        body += "--b" + QByteArray::number(i) + "\r\nContent-Type: multipart/mixed; boundary=b" +
                QByteArray::number(i + 1) + "\r\n\r\n";
    body += "--b" + QByteArray::number(depth) + "\r\nContent-Type: text/plain\r\n\r\ndeep\r\n";
    const MimeEntity root = MimeParser::parseMultipart(body, "b0");
    int levels = 0;
    for (const MimeEntity* e = &root; !e->children.empty(); e = &e->children.front()) ++levels;
    EXPECT_LE(levels, MimeParser::MaxDepth + 2);
    EXPECT_FALSE(root.allProblems().isEmpty());
}
