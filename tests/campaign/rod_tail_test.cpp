// Whether a ROD file ends inside a Test that has no verdict, by the same rule
// as quillon's reader (tests/rod/reader_records_test.cpp has the same cases).

#include "campaign/rod_tail.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string shown(const RodTail& tail) {
    if (tail.error_number != 0) {
        return "unreadable";
    }
    if (tail.not_rod) {
        return "not rod";
    }
    if (tail.unfinished) {
        return tail.test_name + " at " + std::to_string(tail.test_line);
    }
    return "finished";
}

TEST(RodTail, FindsTheTestTheFileEndsInsideOfAsQuillonDoes) {
    const std::string header = "KOVIN Merovia ROD: 1.1.0\n";
    // Longer than the pass's block: the lines span blocks.
    const std::string long_name(70000, 'n');
    const std::string blanks(70000, ' ');
    const struct {
        const char* what;
        std::string bytes;
        std::string tail;
    } cases[] = {
        {"cut after VA", header + "NS s\nNT t\nNB e\nNV v\nVA 1\n", "t at 3"},
        {"cut after V1", header + "NS s\nNT t\nNB e\nNV v\nVA 1\nV1 2", "t at 3"},
        {"cut after NT", header + "NS s\nNT t\n", "t at 3"},
        {"an RT without a text", header + "NS s\nNT t\nRT  \r\n", "t at 3"},
        {"blank and CRLF lines count", header + "\r\nNS s\r\n\nNT u\r\n", "u at 5"},
        {"a name's blanks and returns", header + "NS s\nNT  a \r b\r\r\n", "a \r b at 3"},
        {"a headerless file", "MO r\nNS s\nNT t\n", "t at 3"},
        {"names and texts across blocks",
         header + "NS s\nNT " + long_name + "\nRT" + blanks + "\r\r\nVA" + blanks + "x\n",
         long_name + " at 3"},
        {"not cut", header + "NS s\nNT t\nRT OK\nNS s2\nRS OK\n", "finished"},
        {"the last Test has its verdict", header + "NS s\nNT t\nRT INCORRECT\n", "finished"},
        {"an RT whose text is a return", header + "NS s\nNT t\nRT \r x\n", "finished"},
        {"an abort is a verdict", header + "NS s\nNT t\nAT boom\n", "finished"},
        {"a Test in the middle without a verdict", header + "NS s\nNT a\nNT b\nRT OK\n",
         "finished"},
        {"BG closes the Test", header + "NS s\nNT t\nBG\n", "finished"},
        {"MO closes the Service", header + "NS s\nMO\nNT t\n", "finished"},
        {"no Test outside a Service", header + "NT t\n", "finished"},
        {"a version quillon warns about", "KOVIN Merovia ROD: +01.3.0\nNS s\nNT t\n", "t at 3"},
        {"a version quillon turns down", "KOVIN Merovia ROD: 2.1.0\nNS s\nNT t\n", "not rod"},
        {"no version", "KOVIN Merovia ROD: 1.1\nNS s\nNT t\n", "not rod"},
        {"no header", "Segmentation fault\nNS s\nNT t\n", "not rod"},
        {"an empty file", "", "not rod"},
    };
    qtest::TempDir dir;
    const std::string path = dir.file("t.rod");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qtest::write_file(path, c.bytes);
        EXPECT_EQ(shown(read_rod_tail(path)), c.tail);
    }
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_EQ(shown(read_rod_tail(dir.file("missing.rod"))), "unreadable");
    EXPECT_EQ(shown(read_rod_tail(dir.file("folder"))), "unreadable");
}

}  // namespace
