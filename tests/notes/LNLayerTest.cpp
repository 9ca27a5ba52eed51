#include "convert/CNotesConverter.h"
#include "notes/store/MemoryStore.h"

#include <gtest/gtest.h>

using namespace store;

namespace {

StoreItem textItem(const QString& name, const QStringList& values) {
    StoreItem it;
    it.name = name;
    it.type = values.size() > 1 ? TypeTextList : TypeText;
    it.texts = values;
    return it;
}

std::shared_ptr<MemoryStore> smallStore() {
    auto s = std::make_shared<MemoryStore>();
    StoreNote n;
    n.items.push_back(textItem("Subject", {"Hello"}));
    n.items.push_back(textItem("SendTo", {"a", "b"}));
    const uint32_t id = s->addNote(n);
    s->addFolder("($Inbox)", true, {id});
    s->addFolder("($Calendar)", false, {});
    s->addFolder("Projects\\2012", true, {id});
    return s;
}

}  // namespace

TEST(LNLayer, ThrowsStatusInThrowAllModeAndGivesText) {
    LNSetThrowAllErrorsGlobal(TRUE);
    LNNotesSession session;
    ASSERT_EQ(session.Initialize(), 0u);
    LNDatabase db;
    session.GetDatabase("/nonexistent/file.dxl", &db);
    try {
        db.Open();
        FAIL() << "no throw";
    } catch (LNSTATUS st) {
        char buf[512];
        LNGetErrorMessageText(st, buf, 512, 0);
        EXPECT_STREQ(buf, "File does not exist: /nonexistent/file.dxl");
    }
    session.Term();
}

TEST(LNLayer, TextItemsJoinWithSeparatorAndWrongTypeThrows) {
    MemoryStore::registerStore("t1", smallStore());
    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    QStringList names;
    ASSERT_EQ(c.EnumerateFolders("memory:t1", "", names, 1), 1) << c.GetLastErrorText().toStdString();
    EXPECT_EQ(names, QStringList({"($Inbox)\\", "Projects\\2012\\"}));
    LNViewFolder f;
    c.database().GetViewFolder("($Inbox)", &f);
    f.Open();
    ASSERT_EQ(f.GetEntryCount(), 1);
    LNDocument doc;
    f[0].GetDocument(&doc);
    doc.Open();
    LNItem item;
    doc.GetItem("SendTo", &item);
    LNString s;
    LNText(item).GetText(&s, ";");
    EXPECT_STREQ(s.GetBuf(), "a;b");
    EXPECT_THROW(LNDatetimes{item}, LNSTATUS);
    MemoryStore::unregisterStore("t1");
}

TEST(LNLayer, StringConversionsRoundTripAndBound) {
    const QString text = QStringLiteral("Grüße Ωμέγα 日本 \U0001F600");
    EXPECT_EQ(CNotesConverter::LNStringToWide(CNotesConverter::WideToLNString(text)), text);
    EXPECT_TRUE(CNotesConverter::WideToLNString(QString()).IsNull());
    // Invalid UTF-8 falls back to a lossy read instead of failing.
    LNString bad(std::string("ab\xff", 3));
    EXPECT_EQ(CNotesConverter::LNStringToWide(bad).left(2), QStringLiteral("ab"));
}
