// Replays every kept fuzz and damage input: each must be read without a
// crash (under the sanitizers: without a memory error).
#include "MiniNsf.h"
#include "NsfWalk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

TEST(NsfRegressions, EveryKeptInputIsHandled) {
    const QDir dir(QStringLiteral(TESSELDOC_TEST_DATA "/nsf-regressions"));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    if (files.isEmpty()) GTEST_SKIP() << "no regression inputs in " << dir.path().toStdString();
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = f.readAll();
        SCOPED_TRACE(name.toStdString());
        decodeFuzzInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
}

// Writes fuzz seeds (small databases) when NSF_FUZZ_SEED_DIR is set.
TEST(NsfRegressions, WriteFuzzSeeds) {
    const QByteArray target = qgetenv("NSF_FUZZ_SEED_DIR");
    if (target.isEmpty()) GTEST_SKIP() << "NSF_FUZZ_SEED_DIR not set";
    MiniNsf mini;
    for (uint32_t k = 0; k < 3; ++k) {
        MiniNsf::Note n;
        n.id = MiniNsf::kFirstId + 4 * k;
        n.placement = k == 1 ? MiniNsf::NonSummary::Inline : MiniNsf::NonSummary::Separate;
        MiniNsf::Item form;
        form.name = "Form";
        form.value = "Memo";
        n.items.push_back(form);
        MiniNsf::Item body;
        body.name = "Body";
        body.type = body.nameType = 0x0001;
        body.flags = 0;
        body.value = QByteArray("\x81\x02\x85\xFF\x0D\x00\x00\x00\x00\x0A" "Hello\x00", 14);
        n.items.push_back(body);
        MiniNsf::Item list;
        list.name = "List";
        list.type = list.nameType = 0x0501;
        list.value = MiniNsf::textList({"a", "bc"});
        n.items.push_back(list);
        mini.notes.push_back(n);
    }
    QFile f(QDir(QString::fromLocal8Bit(target)).filePath("mini.nsf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(mini.build());
    // The same notes in the Notes Release 4 layout.
    QFile r4(QDir(QString::fromLocal8Bit(target)).filePath("release4.nsf"));
    ASSERT_TRUE(r4.open(QIODevice::WriteOnly));
    r4.write(mini.buildRelease4());
}

TEST(NsfRegressions, PatchModeBaseDatabaseIsValid) {
    // Patches only find faults if the database they start from reads fully.
    EXPECT_EQ(walkAllBytes(fuzzBaseDatabase()), 3);
}
