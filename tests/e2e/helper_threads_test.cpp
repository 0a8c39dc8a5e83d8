// A run large enough for every helper thread: the input read a block ahead
// into chunks populated ahead, the report written behind with early
// write-back over the one it replaces, the tree freed during the rename.
// What lands is what a small run gives, repeated.

#include "tests/e2e/tool_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qtest::ProcessResult;

using HelperThreadsTest = qtest::ToolRunTest;

// Service i, named by its number in five digits, holds a test with a
// requirement long enough that a few thousand services make megabytes.
std::string service_name(int i) {
    std::string digits = std::to_string(100000 + i);
    return "s" + digits.substr(1);
}

std::string rod_of(int services) {
    std::string rod = "KOVIN Merovia ROD: 1.1.0\nMO big\n";
    const std::string requirement = "NT t\nRQ R1 a=" + std::string(1000, 'v') + "\nRT CORRECT\n";
    for (int i = 0; i < services; ++i) {
        rod += "NS " + service_name(i) + "\n" + requirement;
    }
    return rod;
}

TEST_F(HelperThreadsTest, ALargeRunLandsWhatASmallRunGives) {
    // A small run starts no helper but the tree's: its report gives the
    // head, the block of a service and the tail.
    write("small.rod", rod_of(1));
    ASSERT_EQ(run({"small.rod"}).exit_status, 0);
    const std::string small = read("small.req.xml");
    const std::size_t block_start = small.find("\t<SERVICE ");
    const std::size_t tail_start = small.rfind("</RUN>");
    ASSERT_NE(block_start, std::string::npos);
    const std::string block = small.substr(block_start, tail_start - block_start);
    const std::size_t name_at = block.find(service_name(0));

    constexpr int kServices = 10000;  // 10 MB in, 11 MB out
    std::string expected = small.substr(0, block_start);
    for (int i = 0; i < kServices; ++i) {
        expected += block;
        expected.replace(expected.size() - block.size() + name_at, 6, service_name(i));
    }
    expected += small.substr(tail_start);
    write("big.rod", rod_of(kServices));
    for (int pass = 0; pass < 2; ++pass) {  // the second replaces the first
        const ProcessResult result = run({"big.rod"});
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(read("big.req.xml") == expected) << pass;
    }
    expect_xml("big.req.xml");
}

}  // namespace
