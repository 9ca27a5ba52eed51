// Whatever the server sends, the mapping neither crashes nor grows without
// bound: damaged copies of a documented answer and hostile part lists.

#include "notes/das/DasDocumentMapper.h"
#include "notes/das/DasMultipart.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRandomGenerator>

TEST(DasRobustness, DamagedDocumentsMapWithoutCrashing) {
    QFile f(QStringLiteral(TESSELDOC_TEST_DATA "/document.json"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray original = f.readAll();
    QRandomGenerator random(20261207);
    int mapped = 0;
    for (int round = 0; round < 1500; ++round) {
        QByteArray damaged = original;
        const int edits = 1 + int(random.bounded(8));
        for (int e = 0; e < edits; ++e) {
            const int at = int(random.bounded(damaged.size()));
            switch (random.bounded(4)) {
                case 0: damaged[at] = char(random.bounded(256)); break;
                case 1: damaged.truncate(at); break;
                case 2: damaged.insert(at, damaged.mid(int(random.bounded(damaged.size())), 40)); break;
                default: damaged.remove(at, int(random.bounded(20))); break;
            }
            if (damaged.isEmpty()) damaged = "{";
        }
        store::StoreNote note;
        std::vector<das::AttachmentSource> files;
        if (das::DasDocumentMapper::map(damaged, note, files)) ++mapped;
        for (const auto& item : note.items)
            if (item.richText) (void)item.richText->plainText();
    }
    EXPECT_GT(mapped, 0);
}

TEST(DasRobustness, HostilePartListsStayBounded) {
    // A chain of multiparts each inside the one before, far deeper than allowed.
    QJsonArray deep;
    for (int i = 0; i < 500; ++i) {
        QJsonObject p;
        p.insert(QStringLiteral("contentType"), QStringLiteral("multipart/mixed; boundary=\"b%1\"").arg(i));
        if (i > 0) p.insert(QStringLiteral("boundary"), QStringLiteral("--b%1").arg(i - 1));
        deep.append(p);
    }
    QJsonObject leaf;
    leaf.insert(QStringLiteral("contentType"), QStringLiteral("text/plain"));
    leaf.insert(QStringLiteral("data"), QStringLiteral("deep text"));
    leaf.insert(QStringLiteral("boundary"), QStringLiteral("--b499"));
    deep.append(leaf);
    QStringList problems;
    const QByteArray raw = das::DasMultipart::rebuild(deep, &problems);
    EXPECT_FALSE(raw.isEmpty());
    EXPECT_LT(raw.size(), 200000);
    QJsonObject item;
    item.insert(QStringLiteral("type"), QStringLiteral("multipart"));
    item.insert(QStringLiteral("content"), deep);
    std::vector<das::AttachmentSource> files;
    (void)das::DasDocumentMapper::richText(item, files, &problems);

    // Far too many parts; parts naming boundaries nobody has; a part claiming
    // its own boundary; header values with line breaks.
    QJsonArray many;
    QJsonObject root;
    root.insert(QStringLiteral("contentType"), QStringLiteral("multipart/mixed; boundary=\"r\""));
    many.append(root);
    for (int i = 0; i < das::DasMultipart::MaxParts + 50; ++i) {
        QJsonObject p;
        p.insert(QStringLiteral("contentType"), i % 3 == 0 ? QStringLiteral("multipart/related; boundary=\"self\"")
                                                            : QStringLiteral("text/plain\r\nX-Injected: yes"));
        p.insert(QStringLiteral("boundary"), i % 2 ? QStringLiteral("--nobody") : QStringLiteral("--self"));
        p.insert(QStringLiteral("data"), QStringLiteral("x"));
        many.append(p);
    }
    problems.clear();
    const QByteArray big = das::DasMultipart::rebuild(many, &problems);
    EXPECT_FALSE(problems.isEmpty());
    EXPECT_FALSE(big.contains("\r\nX-Injected"));
    EXPECT_LT(big.size(), 4 * 1024 * 1024);
    EXPECT_TRUE(das::DasMultipart::rebuild(QJsonArray{}, &problems).isEmpty());
    EXPECT_TRUE(das::DasMultipart::rebuild(QJsonArray{1, QStringLiteral("x"), QJsonArray{}}, &problems).isEmpty());
}

TEST(DasRobustness, UnreadableDatesAndStrangeValues) {
    EXPECT_FALSE(das::DasDocumentMapper::parseTime(QStringLiteral("2014-13-45T99:99:99Z")));
    EXPECT_FALSE(das::DasDocumentMapper::parseTime(QString()));
    EXPECT_TRUE(das::DasDocumentMapper::parseTime(QStringLiteral("2014-08-08")));
    EXPECT_TRUE(das::DasDocumentMapper::parseTime(QStringLiteral("17:18:33")));
    store::StoreNote note;
    std::vector<das::AttachmentSource> files;
    ASSERT_TRUE(das::DasDocumentMapper::map(
        QByteArray("{\"@unid\":\"X\",\"@noteid\":\"zz\",\"D\":{\"type\":\"datetime\",\"data\":[\"bad\",5]},"
                   "\"E\":[],\"F\":[true,null,{}],\"G\":{\"type\":\"multipart\",\"content\":\"no\"}}"),
        note, files));
    EXPECT_EQ(note.noteId, 0u);
    ASSERT_TRUE(note.item(QStringLiteral("D")));
    EXPECT_TRUE(note.item(QStringLiteral("D"))->unreadable);
    EXPECT_FALSE(das::DasDocumentMapper::map(QByteArray("[1,2]"), note, files));
    EXPECT_FALSE(das::DasDocumentMapper::map(QByteArray("{\"a\":1}"), note, files));
}
