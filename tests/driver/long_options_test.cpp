#include "driver/long_options.h"
#include "driver/option_pass.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

LongOption find(std::vector<std::string> arguments) {
    qtest::CommandLine line(std::move(arguments));
    return read_command_line(line.argc(), line.argv()).long_option;
}

TEST(LongOptionsTest, OnlyTheWholeArgumentsCount) {
    const struct {
        std::vector<std::string> arguments;
        LongOption expected;
    } cases[] = {
        {{}, LongOption::None},
        {{"--help"}, LongOption::Help},
        {{"--version"}, LongOption::Version},
        {{"a.rod", "-v", "--help"}, LongOption::Help},
        {{"--version", "--help"}, LongOption::Version},
        {{"--help", "--version"}, LongOption::Help},
        {{"-help", "-version", "--", "-", "--helpx", "---help", "--HELP", "--vers"},
         LongOption::None},
        {{"-o--help", "--help=1", " --help"}, LongOption::None},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& a : c.arguments) {
            joined += a + " ";
        }
        EXPECT_EQ(find(c.arguments), c.expected) << joined;
    }
}

}  // namespace
