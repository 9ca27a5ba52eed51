#include "../../fuzz/MimeFuzzOne.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// Every kept fuzz crash input, and every fuzz seed, goes through the decoder
// again without a crash.
TEST(MimeRegressions, KeptInputsAndSeedsRunClean) {
    int files = 0;
    for (const QString& dirPath : {QStringLiteral(TESSELDOC_TEST_DATA "/mime-regressions"),
                                   QStringLiteral(TESSELDOC_SOURCE_DIR "/fuzz/seeds/mime")}) {
        const QDir dir(dirPath);
        for (const QString& name : dir.entryList(QDir::Files)) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
            const QByteArray input = f.readAll();
            SCOPED_TRACE(name.toStdString());
            mimeFuzzOne(input);
            // Each entry point on the same bytes, too.
            for (char mode = 0; mode < 4; ++mode) mimeFuzzOne(QByteArray(1, mode) + input.mid(1));
            ++files;
        }
    }
    EXPECT_GE(files, 4);
}
