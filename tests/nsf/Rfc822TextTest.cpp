// RFC 822 header items: the Notes value first, the header's own text as the fallback.
#include "MiniNsf.h"

#include "notes/nsf/ItemValueDecoder.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/Rfc822Text.h"

#include <gtest/gtest.h>

using namespace nsf;

namespace {

QByteArray rfc822(uint32_t flags, const QByteArray& native, const QByteArray& name, const QByteArray& body) {
    QByteArray v(14, 0);
    MiniNsf::put16(v, 0, 14);
    MiniNsf::put32(v, 2, flags);
    MiniNsf::put16(v, 6, uint16_t(native.size()));
    MiniNsf::put16(v, 8, uint16_t(name.size()));
    MiniNsf::put16(v, 10, 2);
    MiniNsf::put16(v, 12, uint16_t(body.size()));
    return v + native + name + ": " + body;
}

store::StoreItem decode(const QByteArray& value) {
    LmbcsConverter lmbcs;
    RawItem raw;
    raw.name = QStringLiteral("Subject");
    raw.type = Rfc822Text::kType;
    raw.value = ByteView(value.constData(), size_t(value.size()));
    store::StoreItem item;
    ItemValueDecoder(lmbcs).decode(raw, item);
    return item;
}

}  // namespace

TEST(Rfc822Text, NotesValueFirstThenTheHeaderText) {
    // Text: the Notes value, not the header.
    store::StoreItem i = decode(rfc822(0x0A, "Notes subject", "Subject", "=?utf-8?q?Header?=\r\n"));
    EXPECT_EQ(i.type, store::TypeText);
    EXPECT_EQ(i.texts, QStringList{"Notes subject"});
    EXPECT_FALSE(i.unreadable);
    // No Notes value: the header body, unfolded.
    i = decode(rfc822(0x08, "", "To", "ann@example.com,\r\n bob@example.com\r\n"));
    EXPECT_EQ(i.texts, QStringList{"ann@example.com, bob@example.com"});
    // A text list.
    i = decode(rfc822(0x18, MiniNsf::textList({"ann@example.com", "bob@example.com"}), "To", "x\r\n"));
    EXPECT_EQ(i.type, store::TypeTextList);
    EXPECT_EQ(i.texts, QStringList({"ann@example.com", "bob@example.com"}));
    // A date: the TIMEDATE; without one, the header's date; else its text.
    i = decode(rfc822(0x09, MiniNsf::timeDate(0x005F1504, 0x04257D2E), "Date", "whatever\r\n"));
    ASSERT_EQ(i.type, store::TypeTime);
    ASSERT_EQ(i.times.size(), 1u);
    i = decode(rfc822(0x09, "", "Date", "Fri, 8 Aug 2014 13:18:33 -0400 (EDT)\r\n"));
    ASSERT_EQ(i.type, store::TypeTime);
    ASSERT_EQ(i.times.size(), 1u);
    EXPECT_EQ(i.times[0].text(), "08/08/2014 13:18:33");
    EXPECT_EQ(i.times[0].utcOffsetSeconds, -4 * 3600);
    i = decode(rfc822(0x09, "", "Date", "sometime soon\r\n"));
    EXPECT_EQ(i.type, store::TypeText);
    EXPECT_EQ(i.texts, QStringList{"sometime soon"});
    // A descriptor whose lengths run past the value is unreadable, not read past.
    QByteArray cut = rfc822(0x0A, "Notes subject", "Subject", "Header\r\n");
    cut.chop(3);
    i = decode(cut);
    EXPECT_TRUE(i.unreadable);
    EXPECT_EQ(i.problem, "the RFC 822 header item does not fit its descriptor");
    i = decode(QByteArray("\x0E\x00", 2));
    EXPECT_TRUE(i.unreadable);
}
