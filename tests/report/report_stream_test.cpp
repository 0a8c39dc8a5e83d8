#include "report/report_stream.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// What a file stream writes, across many spills and with pieces larger than
// its buffer, is exactly what a memory stream collects.
TEST(ReportStreamTest, AFileGetsEveryByteInOrderAcrossSpills) {
    qtest::TempDir dir;
    const std::string path = dir.file("out.xml");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ReportStream to_file(file);
    ReportStream in_memory;
    const std::string large(700 * 1024, 'L');
    for (int i = 0; i < 60000; ++i) {
        for (ReportStream* out : {&to_file, &in_memory}) {
            out->put("<piece n=\"");
            out->put_int(i);
            out->put('"');
            if (i % 20000 == 7) {
                out->put(large);
            }
            out->pending().append("/>\n");
            out->spill_if_full();
        }
    }
    EXPECT_TRUE(to_file.flush());
    EXPECT_EQ(std::fclose(file), 0);
    EXPECT_GT(in_memory.text().size(), 2u * 1024 * 1024);
    EXPECT_EQ(qtest::read_file(path), in_memory.text());
}

TEST(ReportStreamTest, AFailedWriteIsReported) {
    std::FILE* file = std::fopen("/dev/full", "wb");
    if (!file) {
        GTEST_SKIP() << "no /dev/full here";
    }
    ReportStream out(file);
    out.put(std::string(3 * 1024 * 1024, 'x'));
    out.spill_if_full();
    EXPECT_TRUE(out.failed());
    EXPECT_FALSE(out.flush());
    std::fclose(file);
}

}  // namespace
