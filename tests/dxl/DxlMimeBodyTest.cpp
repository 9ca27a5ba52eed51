#include <gtest/gtest.h>

#include <QDir>

#include "notes/dxl/DxlStore.h"

using namespace store;

// An Internet mail exported as Notes XML: its Body is one MIME part
// (<rawitemdata type='19'>) holding quoted-printable UTF-8 HTML.
TEST(DxlMimeBody, InternetMailBodyIsReadThroughTheMimeDecoder) {
    const QString path = QStringLiteral(TESSELDOC_SHARED_DIR "/dxl-samples/document_mail-memo_mime-raw_spam.xml");
    if (!QFile::exists(path)) GTEST_SKIP() << "sample not found: " << path.toStdString();
    StoreError e;
    auto s = dxl::DxlStore::open(path, e);
    ASSERT_TRUE(s) << e.message().toStdString();
    StoreNote n;
    ASSERT_TRUE(s->loadNote(s->allDocumentIds().at(0), n).ok());
    const StoreItem* body = n.item("Body");
    ASSERT_TRUE(body);
    EXPECT_EQ(body->type, TypeComposite);
    ASSERT_TRUE(body->richText);
    EXPECT_TRUE(body->problem.isEmpty()) << body->problem.toStdString();
    const QString text = body->richText->plainText();
    EXPECT_TRUE(text.contains("Wow Sale valid through auguest 10, 2014")) << text.left(400).toStdString();
    EXPECT_FALSE(text.contains("=3D"));
    EXPECT_FALSE(text.contains("<td"));
    int links = 0;
    for (const RtBlock& b : body->richText->blocks) {
        std::function<void(const RtBlock&)> count = [&](const RtBlock& blk) {
            for (const RtRun& r : blk.runs) links += r.kind == RtRun::Kind::Url;
            if (blk.table)
                for (const auto& row : blk.table->rows)
                    for (const auto& cell : row.cells)
                        for (const RtBlock& inner : cell.blocks) count(inner);
        };
        count(b);
    }
    EXPECT_GT(links, 0);
    // Only one Body item remains: the parts were joined into it.
    int bodies = 0;
    for (const StoreItem& it : n.items) bodies += it.name.compare("Body", Qt::CaseInsensitive) == 0;
    EXPECT_EQ(bodies, 1);
}
