#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "export/HeaderTemplates.h"
#include "files/PrivateTempDir.h"

TEST(HeaderTemplates, RowCountsMapToTheirIdsAndOtherCountsPassThrough) {
    const int expected[] = {249, 254, 250, 251, 252, 253, 248, 255, 256};
    for (int rows = 1; rows <= 9; ++rows) EXPECT_EQ(TemplateIdForRows(rows), expected[rows - 1]) << rows;
    EXPECT_EQ(TemplateIdForRows(0), 0);
    EXPECT_EQ(TemplateIdForRows(10), 10);
    EXPECT_EQ(TemplateIdForRows(13), 13);
    EXPECT_EQ(TemplateIdForRows(-1), -1);
}

TEST(HeaderTemplates, EachTemplateHoldsExactlyItsRowsOfPlaceholders) {
    for (int rows = 1; rows <= 9; ++rows) {
        const QString rtf = LoadRtfTemplate(TemplateIdForRows(rows));
        ASSERT_FALSE(rtf.isEmpty()) << rows;
        EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg1252"))) << rows;
        EXPECT_EQ(rtf.count(QStringLiteral("\\row")), rows);
        EXPECT_EQ(rtf.count(QStringLiteral("\\cellx1440")), rows);
        EXPECT_EQ(rtf.count(QStringLiteral("\\cellx8748")), rows);
        for (int n = 1; n <= rows; ++n) {
            EXPECT_TRUE(rtf.contains(QStringLiteral("\\b\\cf17 Col1Row%1}").arg(n))) << rows << n;
            EXPECT_TRUE(rtf.contains(QStringLiteral("{\\f1\\fs22 Col2Row%1}").arg(n))) << rows << n;
        }
        EXPECT_FALSE(rtf.contains(QStringLiteral("Col1Row%1").arg(rows + 1)));
        EXPECT_TRUE(rtf.contains(QStringLiteral("{\\info{\\title <ColRow>}}")));
        EXPECT_TRUE(rtf.contains(QStringLiteral("\\red255\\green255\\blue255;\\red0\\green0\\blue128;")));
        EXPECT_TRUE(rtf.contains(QStringLiteral("\\red0\\green51\\blue102;}")));
        // Balanced groups: a broken template would swallow the body on insertion.
        int depth = 0;
        for (QChar c : rtf) {
            if (c == QLatin1Char('{')) ++depth;
            if (c == QLatin1Char('}')) --depth;
            ASSERT_GE(depth, 0);
        }
        EXPECT_EQ(depth, 0);
    }
}

TEST(HeaderTemplates, UnknownIdsGiveAnEmptyTemplate) {
    EXPECT_TRUE(LoadRtfTemplate(0).isEmpty());
    EXPECT_TRUE(LoadRtfTemplate(10).isEmpty());
    EXPECT_TRUE(LoadRtfTemplate(247).isEmpty());
    EXPECT_TRUE(LoadRtfTemplate(257).isEmpty());
}

TEST(PrivateTempDir, IsOneOwnerOnlyDirectoryPerProcess) {
    const QString dir = PrivateTempDir::path();
    ASSERT_FALSE(dir.isEmpty());
    EXPECT_EQ(dir, PrivateTempDir::path());
    const QFileInfo info(dir);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                    QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());
    EXPECT_EQ(PrivateTempDir::filePath(QStringLiteral("RtfTable.rtf")),
              dir + QStringLiteral("/RtfTable.rtf"));
}
