// Lines read in blocks: a line comes out whole whether it sits inside one
// block or spans many, and line ends are trimmed.

#include "rod/reader_lines.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
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

// Lines are found 64 bytes at a time: lines of every length around that
// window, in blocks of sizes around it, still come out whole and in order.
TEST(ReaderLinesSourceTest, LinesAcrossScanWindowsAndBlocks) {
    std::string bytes;
    std::vector<std::string> expected;
    for (std::size_t length = 0; length < 140; length += (length < 70 ? 1 : 13)) {
        expected.emplace_back(length, static_cast<char>('a' + length % 26));
        bytes += expected.back() + "\n";
    }
    for (const std::size_t block : {1u, 5u, 63u, 64u, 65u, 129u, 4096u}) {
        SCOPED_TRACE(block);
        EXPECT_EQ(lines_of(bytes, block), expected);
    }
}

// A file past 8 MiB is read a block ahead on a second thread: its lines,
// short, spanning blocks or longer than several, still come out whole and
// in order, whatever the block size.
TEST(ReaderLinesSourceTest, LinesOfALargeFileReadAhead) {
    std::string bytes;
    std::vector<std::string> expected;
    for (std::size_t i = 0; bytes.size() < (std::size_t{9} << 20); ++i) {
        const std::size_t length = i % 1000 == 0 ? 20000 + i % 7 : i % 97;
        expected.emplace_back(length, static_cast<char>('a' + i % 26));
        bytes += expected.back() + "\n";
    }
    for (const std::size_t block : {4096u, 65536u + 3u}) {
        SCOPED_TRACE(block);
        EXPECT_TRUE(lines_of(bytes, block) == expected);
    }
}

TEST(ReaderLinesSourceTest, AFinalLineEndAddsNoLine) {
    EXPECT_EQ(lines_of("a\n", 1), std::vector<std::string>{"a"});
    EXPECT_EQ(lines_of("a\n\n", 2), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(lines_of("", 4), std::vector<std::string>{});
    EXPECT_EQ(lines_of("\n", 4), std::vector<std::string>{""});
}

// The head of the first line cut at limit, "+" when the line goes on, then
// every further line after "/", once the rest is dropped (or read as a line).
std::string head_then_lines(const std::string& bytes, std::size_t block_size, std::size_t limit,
                            bool read_rest) {
    qtest::TempDir dir;
    qtest::write_file(dir.file("head.rod"), bytes);
    RodLineSource source;
    EXPECT_TRUE(rod_open_lines(source, dir.file("head.rod").c_str(), block_size));
    std::string_view line;
    bool whole = false;
    if (!rod_next_line_head(source, limit, line, whole)) {
        return "(none)";
    }
    std::string out(line);
    if (!whole) {
        out += '+';
        if (!read_rest) {
            rod_skip_line(source);
        }
    }
    while (rod_next_line(source, line)) {
        out += "/" + std::string(line);
    }
    return out;
}

TEST(ReaderLinesSourceTest, TheHeadOfALineIsCutAtItsLimitAndTheRestDroppedOrRead) {
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"abc\nd\n", false, "abc/d"},
        {"abcdef\nd\n", false, "abc+/d"},
        {"abcdef\nd", true, "abc+/def/d"},
        {"abcdef", false, "abc+"},
        {"ab", false, "ab"},
        {"", false, "(none)"},
    };
    for (const auto& [bytes, read_rest, expected] : cases) {
        for (const std::size_t block : {1u, 2u, 3u, 4u, 64u}) {
            EXPECT_EQ(head_then_lines(bytes, block, 3, read_rest), expected)
                << bytes << " " << block;
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
