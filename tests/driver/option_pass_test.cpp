#include "driver/option_pass.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// What the whole option pass gives, as main runs it: the command line read,
// then the -h and -l files checked. The strings are copies: the arguments
// do not outlive the call.
struct Parsed {
    bool ok = true;
    std::optional<std::string> output;
    RunOptions options;
    std::vector<std::string> inputs;
    std::string err;
};

Parsed parse(std::vector<std::string> arguments) {
    qtest::CommandLine argv(std::move(arguments));
    Parsed parsed;
    parsed.err = qtest::capture_stderr([&] {
        const CommandLine line = read_command_line(argv.argc(), argv.argv());
        parsed.ok = check_option_files(line);
        if (line.output) {
            parsed.output = line.output;
        }
        parsed.options = line.options;
        parsed.inputs.assign(line.inputs.begin(), line.inputs.end());
    });
    return parsed;
}

TEST(OptionPassTest, LettersSelectOptionsAndTheLastRepeatedOneWins) {
    const Parsed parsed = parse({"-verbose", "a.rod", "-oa.xml", "-eb", "-ob.xml", "x"});
    EXPECT_TRUE(parsed.ok);
    EXPECT_TRUE(parsed.options.verbose);
    EXPECT_TRUE(parsed.options.element_mode);
    EXPECT_EQ(parsed.output, "b.xml");
    EXPECT_EQ(parsed.inputs, (std::vector<std::string>{"a.rod", "x"}));
    EXPECT_EQ(parsed.err, "");
}

TEST(OptionPassTest, ValueIsGluedToItsLetter) {
    // "-o out.xml" sets an empty value; out.xml stays an input.
    const Parsed parsed = parse({"-o", "out.xml"});
    EXPECT_EQ(parsed.output, "");
    EXPECT_EQ(parsed.inputs, std::vector<std::string>{"out.xml"});
    EXPECT_EQ(parse({"a.rod"}).output, std::nullopt);
}

TEST(OptionPassTest, UnknownOptionsAreIgnored) {
    const Parsed parsed = parse({"-", "--", "-x", "-Z"});
    EXPECT_TRUE(parsed.ok);
    EXPECT_TRUE(parsed.inputs.empty());
    EXPECT_FALSE(parsed.options.verbose);
    EXPECT_FALSE(parsed.options.element_mode);
    EXPECT_EQ(parsed.options.header_file, nullptr);
    EXPECT_EQ(parsed.err, "");
}

TEST(OptionPassTest, HeaderAndLogFilesAreCheckedInOrder) {
    qtest::TempDir dir;
    const std::string header = dir.file("header.txt");
    qtest::write_file(header, "A=1\n");
    const std::string log = dir.file("run.log");

    const Parsed good = parse({"-h" + header, "-l" + log});
    EXPECT_TRUE(good.ok);
    EXPECT_TRUE(qtest::file_exists(log));

    // The failing -h stops the pass before the -l file is created.
    const std::string later_log = dir.file("later.log");
    const Parsed bad = parse({"-h" + dir.file("missing"), "-l" + later_log});
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.err, "kvwxrd: Unable to open file \"" + dir.file("missing") + "\".\n");
    EXPECT_FALSE(qtest::file_exists(later_log));

    const Parsed bad_log = parse({"-l" + dir.file("no/dir/run.log")});
    EXPECT_FALSE(bad_log.ok);
    EXPECT_EQ(bad_log.err, "kvwxrd: Unable to open file \"" + dir.file("no/dir/run.log") + "\".\n");
}

}  // namespace
