// The field header table's columns: a label as long as Notes item names get
// stays on one line.
#include "rtf/HeaderTableRtf.h"
#include "rtf/TextWidthEstimate.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

std::vector<int> cellRights(const QString& rtf) {
    std::vector<int> rights;
    static const QRegularExpression cellx(QStringLiteral("\\\\cellx(-?\\d+)"));
    for (auto it = cellx.globalMatch(rtf); it.hasNext();) rights.push_back(it.next().captured(1).toInt());
    return rights;
}

}  // namespace

// notedata_na_test.nsf's account documents: "OriginalAccountProtocol" broke as
// "OriginalAccountProtoco" / "l" in a label column of 2700 twips.
TEST(HeaderTableLayout, TheLabelColumnFitsTheLongestLabel) {
    const auto rights = [](const std::vector<FieldRow>& rows) { return cellRights(rtf::HeaderTableRtf(rows)); };
    const std::vector<int> shortLabels = rights({{QStringLiteral("Type"), QStringLiteral("Account")}});
    ASSERT_EQ(shortLabels.size(), 2u);
    EXPECT_EQ(shortLabels[0], 2700);

    const QString longName = QStringLiteral("OriginalAccountProtocol");
    const std::vector<int> longLabels =
        rights({{QStringLiteral("Type"), QStringLiteral("Account")}, {longName, QStringLiteral("5")}});
    ASSERT_EQ(longLabels.size(), 4u);
    EXPECT_EQ(longLabels[0], longLabels[2]);  // one column for all rows
    // The label's text area (from the table's edge at -108, less the gaps) holds the name.
    EXPECT_GE(longLabels[0] - 108, rtf::TextWidthEstimate::twips(longName, 11, true, false));
    EXPECT_EQ(longLabels[1], shortLabels[1]);  // the table keeps its width

    // A label longer than any item name does not squeeze the values away.
    const std::vector<int> huge = rights({{QString(200, QLatin1Char('W')), QStringLiteral("v")}});
    EXPECT_GE(huge[1] - huge[0], 4000);
}

// The estimate orders text as the page does: capitals and m/w wider than
// lower-case letters, those wider than i and l; bold and larger wider still;
// monospaced letters all alike.
TEST(HeaderTableLayout, WidthEstimateFollowsLetterShapes) {
    using rtf::TextWidthEstimate;
    EXPECT_GT(TextWidthEstimate::twips(u"MMMM", 10, false, false), TextWidthEstimate::twips(u"nnnn", 10, false, false));
    EXPECT_GT(TextWidthEstimate::twips(u"nnnn", 10, false, false), TextWidthEstimate::twips(u"iiii", 10, false, false));
    EXPECT_GT(TextWidthEstimate::twips(u"name", 10, true, false), TextWidthEstimate::twips(u"name", 10, false, false));
    EXPECT_EQ(TextWidthEstimate::twips(u"name", 20, false, false), 2 * TextWidthEstimate::twips(u"name", 10, false, false));
    EXPECT_EQ(TextWidthEstimate::twips(u"iiii", 10, false, true), TextWidthEstimate::twips(u"MMMM", 10, false, true));
    EXPECT_EQ(TextWidthEstimate::twips(u"abc", 10, false, true), 3 * 120);
}
