#include "worddoc/WordDocWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(WordDocSmoke, WritesSomething) {
    worddoc::WordDocument doc;
    store::RtBlock b;
    store::RtRun r;
    r.text = QStringLiteral("Hello world");
    b.runs.push_back(r);
    doc.body.blocks.push_back(b);
    worddoc::WordDocWriter w;
    const QByteArray bytes = w.toBytes(doc);
    EXPECT_FALSE(bytes.isEmpty());
    QTemporaryDir dir;
    ASSERT_TRUE(w.write(doc, dir.filePath(QStringLiteral("smoke.doc"))));
}
