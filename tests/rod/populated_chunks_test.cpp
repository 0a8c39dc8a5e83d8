#include "rod/populated_chunks.h"

#include "rod/arena.h"

#include "tests/support/test_support.h"

#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

constexpr std::size_t kChunk = std::size_t{2} << 20;

// The first chunk is the caller's to map; after it the helper's chunks are
// whole, writable and never handed out twice, and stop() ends the thread.
TEST(PopulatedChunksTest, TheHelperHandsOutEachChunkOnceUntilStopped) {
    const int before = qtest::thread_count();
    std::vector<void*> taken;
    {
        PopulatedChunks chunks(kChunk);
        EXPECT_EQ(chunks.take(), nullptr);
        EXPECT_EQ(qtest::thread_count(), before + 1);
        for (int attempt = 0; attempt < 20000 && taken.size() < 4; ++attempt) {
            if (void* chunk = chunks.take()) {
                taken.push_back(chunk);
            } else {
                ::usleep(100);
            }
        }
        ASSERT_EQ(taken.size(), 4u);
        EXPECT_EQ(std::set<void*>(taken.begin(), taken.end()).size(), taken.size());
        chunks.stop();
        EXPECT_EQ(qtest::thread_count_after_joins(before), before);
        EXPECT_EQ(chunks.take(), nullptr);
        EXPECT_EQ(qtest::thread_count(), before);
    }
    for (void* chunk : taken) {
        std::memset(chunk, 0x5a, kChunk);
        EXPECT_EQ(::munmap(chunk, kChunk), 0);
    }
}

// An arena grown over many chunks, some from the helper, keeps every
// allocation apart, before finish_growing() and after it.
TEST(PopulatedChunksTest, ArenaAllocationsStayApartAcrossChunks) {
    RodArena arena;
    std::vector<unsigned char*> blocks;
    for (int i = 0; i < 3000; ++i) {
        if (i == 2500) {
            arena.finish_growing();
        }
        auto* block = static_cast<unsigned char*>(arena.allocate(10000, 8));
        std::memset(block, i & 0xff, 10000);
        blocks.push_back(block);
    }
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i][0], i & 0xff) << i;
        EXPECT_EQ(blocks[i][9999], i & 0xff) << i;
    }
    EXPECT_GE(arena.reserved_bytes(), 30000000u);
}

}  // namespace
