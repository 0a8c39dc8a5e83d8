// Lines read in blocks: a line comes out whole whether it sits inside one
// block or spans many, and line ends are trimmed.

#include "rod/reader_lines.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> lines_of(const std::string& bytes, std::size_t block_size) {
    qtest::TempDir dir;
    const std::string path = dir.file("lines.rod");
    qtest::write_file(path, bytes);
    RodLineSource source;
    EXPECT_TRUE(rod_open_lines(source, path.c_str(), block_size));
    std::vector<std::string> lines;
    std::string_view line;
    while (rod_next_line(source, line)) {
        lines.emplace_back(line);
    }
    return lines;
}

TEST(ReaderLinesSourceTest, LinesComeOutWholeForEveryBlockSize) {
    const std::string bytes = std::string("ab\ncdefghij\n\nk\0l\r\n", 18) + "last";
    const std::vector<std::string> expected = {"ab", "cdefghij", "", std::string("k\0l\r", 4),
                                               "last"};
    for (const std::size_t block : {1u, 2u, 3u, 4u, 7u, 64u, 1024u * 1024u}) {
        SCOPED_TRACE(block);
        EXPECT_EQ(lines_of(bytes, block), expected);
    }
}

TEST(ReaderLinesSourceTest, AFinalLineEndAddsNoLine) {
    EXPECT_EQ(lines_of("a\n", 1), std::vector<std::string>{"a"});
    EXPECT_EQ(lines_of("a\n\n", 2), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(lines_of("", 4), std::vector<std::string>{});
    EXPECT_EQ(lines_of("\n", 4), std::vector<std::string>{""});
}

// The head of the first line, at most `limit` bytes, then either the rest
// of that line dropped or read as a line, then every further line.
struct HeadOutcome {
    std::string head;
    bool whole = false;
    std::vector<std::string> after;
    bool operator==(const HeadOutcome&) const = default;
};

HeadOutcome head_of(const std::string& bytes, std::size_t block_size, std::size_t limit,
                    bool skip_rest) {
    qtest::TempDir dir;
    const std::string path = dir.file("head.rod");
    qtest::write_file(path, bytes);
    RodLineSource source;
    EXPECT_TRUE(rod_open_lines(source, path.c_str(), block_size));
    HeadOutcome outcome;
    std::string_view line;
    if (!rod_next_line_head(source, limit, line, outcome.whole)) {
        return {"(none)", false, {}};
    }
    outcome.head = line;
    if (skip_rest && !outcome.whole) {
        rod_skip_line(source);
    }
    while (rod_next_line(source, line)) {
        outcome.after.emplace_back(line);
    }
    EXPECT_FALSE(source.read_error);
    return outcome;
}

TEST(ReaderLinesSourceTest, TheHeadOfALineIsCutAtItsLimitAndTheRestDroppedOrRead) {
    struct Case {
        std::string bytes;
        std::size_t limit;
        bool skip_rest;
        HeadOutcome expected;
    };
    const Case cases[] = {
        {"abc\nd\n", 5, true, {"abc", true, {"d"}}},
        {"abc\nd\n", 3, true, {"abc", true, {"d"}}},
        {"abcdef\nd\n", 3, true, {"abc", false, {"d"}}},
        {"abcdef\nd\n", 3, false, {"abc", false, {"def", "d"}}},
        {"abcdef", 3, true, {"abc", false, {}}},
        {"ab", 3, true, {"ab", true, {}}},
        {"\nx", 3, true, {"", true, {"x"}}},
        {"", 3, true, {"(none)", false, {}}},
    };
    for (const Case& c : cases) {
        for (const std::size_t block : {1u, 2u, 3u, 4u, 64u}) {
            SCOPED_TRACE(c.bytes + " limit " + std::to_string(c.limit) + " block " +
                         std::to_string(block));
            EXPECT_EQ(head_of(c.bytes, block, c.limit, c.skip_rest), c.expected);
        }
    }
}

TEST(ReaderLinesSourceTest, MissingFileDoesNotOpen) {
    qtest::TempDir dir;
    RodLineSource source;
    EXPECT_FALSE(rod_open_lines(source, dir.file("absent").c_str()));
}

TEST(ReaderLinesSourceTest, TrailingCarriageReturnsAndLineFeedsAreTrimmed) {
    EXPECT_EQ(rod_trim_line_end("a\r\r\n\r"), "a");
    EXPECT_EQ(rod_trim_line_end("\r"), "");
    EXPECT_EQ(rod_trim_line_end("a\rb \t"), "a\rb \t");
}

}  // namespace
