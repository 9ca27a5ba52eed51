#include "richtext/RichTextModel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using store::PictureData;

TEST(PictureData, GivenBytesReadAsTheyAre) {
    store::RtRun run;
    run.picture.data = QByteArray("GIF89a");
    EXPECT_FALSE(run.picture.data.isDeferred());
    EXPECT_EQ(run.picture.data, QByteArray("GIF89a"));
    EXPECT_TRUE(run.picture.data.startsWith("GIF"));
    const QByteArray copy = run.picture.data;
    EXPECT_EQ(copy.size(), 6);
    run.picture.data.clear();
    EXPECT_TRUE(run.picture.data.isEmpty());
}

// A deferred picture is made once, on first read, whichever copy or thread
// reads it first; every reader sees the same bytes.
TEST(PictureData, DeferredBytesAreMadeOnceForEveryCopyAndThread) {
    auto made = std::make_shared<std::atomic<int>>(0);
    const PictureData original = PictureData::deferred([made] {
        ++*made;
        return QByteArray("\x89PNG\r\n\x1a\n made", 13);
    });
    store::RtRun run;
    run.picture.data = original;  // copies share what is made
    EXPECT_TRUE(run.picture.data.isDeferred());
    EXPECT_EQ(made->load(), 0);

    std::vector<std::thread> readers;
    std::atomic<int> right{0};
    for (int i = 0; i < 8; ++i)
        readers.emplace_back([&run, &original, &right, i] {
            const QByteArray& bytes = (i % 2 ? run.picture.data : original).bytes();
            if (bytes.startsWith("\x89PNG") && bytes.size() == 13) ++right;
        });
    for (std::thread& t : readers) t.join();
    EXPECT_EQ(right.load(), 8);
    EXPECT_EQ(made->load(), 1);
    EXPECT_FALSE(original.isDeferred());
    EXPECT_EQ(original, run.picture.data);
}
