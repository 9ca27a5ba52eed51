#include "FakeExporter.h"

#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "notes/store/MemoryStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace store;

namespace {

StoreItem textItem(const QString& name, const QString& value) {
    StoreItem it;
    it.name = name;
    it.type = TypeText;
    it.texts = {value};
    return it;
}

// A date item from the stored form "20191231T233000,00-05".
StoreItem dateItem(const QString& name, const QString& dxl) {
    StoreItem it;
    it.name = name;
    it.type = TypeTime;
    it.times.push_back(*NotesTime::fromDxl(dxl));
    return it;
}

StoreNote note(const QString& subject, std::initializer_list<StoreItem> items) {
    StoreNote n;
    n.items.push_back(textItem("Subject", subject));
    for (const StoreItem& i : items) n.items.push_back(i);
    return n;
}

class DateRangeRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dest.isValid());
        store = std::make_shared<MemoryStore>();
        name = QStringLiteral("daterange%1").arg(++counter);
    }
    void TearDown() override { MemoryStore::unregisterStore(name); }

    // Saves one folder holding every note added, in the given range.
    QStringList run(const QString& since, const QString& until) {
        store->addFolder("F", true, ids);
        MemoryStore::registerStore(name, store);
        EXPECT_EQ(conv.Initialize(), 1);
        QStringList listed;
        EXPECT_EQ(conv.EnumerateFolders("memory:" + name, "", listed, 1), 1);
        conv.dateRange.since = ItemDateRange::ParseDay(since);
        conv.dateRange.until = ItemDateRange::ParseDay(until);
        exporter.SetRootFolder(dest.path());
        CFolderExportRun r;
        r.converter = &conv;
        r.exporter = &exporter;
        EXPECT_EQ(r.SaveFolder("F\\"), 1);
        QStringList names;
        for (const FakeExporter::Call& c : exporter.calls) names << c.name;
        return names;
    }
    void add(StoreNote n) { ids.push_back(store->addNote(std::move(n))); }

    static int counter;
    QTemporaryDir dest;
    std::shared_ptr<MemoryStore> store;
    std::vector<uint32_t> ids;
    QString name;
    CNotesConverter conv;
    FakeExporter exporter;
};
int DateRangeRun::counter = 0;

}  // namespace

TEST_F(DateRangeRun, BoundsAreInclusiveDaysInTheValuesOwnZone) {
    // 23:30 on the last day in New York is already the next day in UTC; 00:10 on
    // the first day at +02 is still the day before in UTC: both are inside, as
    // their headers show those days.
    add(note("last evening", {dateItem("PostedDate", "20191231T233000,00-05")}));
    add(note("first morning", {dateItem("PostedDate", "20150101T001000,00+02")}));
    add(note("day before", {dateItem("PostedDate", "20141231T235959,00+00")}));
    add(note("day after", {dateItem("PostedDate", "20200101T000000,00+00")}));
    add(note("date alone", {dateItem("PostedDate", "20170615")}));
    const QStringList written = run("2015-01-01", "2019-12-31");
    EXPECT_EQ(written, QStringList({"last evening", "first morning", "date alone"}));
    EXPECT_EQ(conv.exportReport.found(), 5);
    EXPECT_EQ(conv.exportReport.written(), 3);
    EXPECT_EQ(conv.exportReport.outsideDateRange(), 2);
    // Left out is not failed.
    EXPECT_EQ(conv.exportReport.failedCount(), 0);
    EXPECT_EQ(conv.exportReport.dateUnknown(), 0);
}

TEST_F(DateRangeRun, EachKindIsJudgedByItsOwnDate) {
    // Mail: the sent date wins over the delivered date; without it, delivered.
    add(note("sent inside", {dateItem("PostedDate", "20160301T100000,00+01"),
                             dateItem("DeliveredDate", "20230301T100000,00+01")}));
    add(note("delivered outside", {dateItem("DeliveredDate", "20230301T100000,00+01")}));
    // Calendar entry: its start.
    add(note("meeting inside", {textItem("Location", "Room 1"), dateItem("STARTDATETIME", "20161010T090000,00+01"),
                                dateItem("PostedDate", "20230101T090000,00+01")}));
    // Task: the due date, else the start.
    add(note("task due outside", {dateItem("DueDate", "20230101"), dateItem("STARTDATETIME", "20160101T090000,00+01")}));
    StoreItem noDue;
    noDue.name = "DueDate";
    noDue.type = TypeTime;
    add(note("task start inside", {noDue, dateItem("STARTDATETIME", "20160202T090000,00+01")}));
    // Journal entry: its diary date.
    add(note("journal inside", {dateItem("DiaryDate", "20170707")}));
    // Contacts are always converted.
    add(note("contact", {textItem("FirstName", "Ann"), textItem("LastName", "Lee"), textItem("Form", "Person")}));
    const QStringList written = run("2016-01-01", "2017-12-31");
    EXPECT_TRUE(written.contains("sent inside"));
    EXPECT_FALSE(written.contains("delivered outside"));
    EXPECT_TRUE(written.contains("meeting inside"));
    EXPECT_FALSE(written.contains("task due outside"));
    EXPECT_TRUE(written.contains("task start inside"));
    EXPECT_TRUE(written.contains("journal inside"));
    EXPECT_EQ(conv.exportReport.outsideDateRange(), 2);
    EXPECT_EQ(conv.exportReport.failedCount(), 0);
}

TEST_F(DateRangeRun, AnItemWithoutADateIsConvertedAndCountedAsUnknown) {
    add(note("no date", {}));
    StoreNote created = note("created inside", {});
    created.created = *NotesTime::fromDxl("20180505T120000,00+00");
    add(created);
    StoreNote createdOut = note("created outside", {});
    createdOut.created = *NotesTime::fromDxl("20100505T120000,00+00");
    add(createdOut);
    const QStringList written = run("2018-01-01", "");
    EXPECT_EQ(written, QStringList({"no date", "created inside"}));
    EXPECT_EQ(conv.exportReport.dateUnknown(), 1);
    EXPECT_EQ(conv.exportReport.outsideDateRange(), 1);
}

TEST(ItemDateRangeParse, OnlyIsoCalendarDates) {
    EXPECT_EQ(ItemDateRange::ParseDay("2019-02-28"), QDate(2019, 2, 28));
    for (const char* bad : {"2019-02-30", "2019-2-3", "20190203", "03/02/2019", "", "2019-02-28T00:00", " 2019-02-28"})
        EXPECT_FALSE(ItemDateRange::ParseDay(bad).isValid()) << bad;
}
