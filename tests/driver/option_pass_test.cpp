#include "driver/option_pass.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the whole option pass gives, as main runs it: the options read, then
// the -h and -l files checked.
struct OptionPassResult {
    bool ok = true;
    const char* output_name = nullptr;
};

struct Parsed {
    OptionPassResult result;
    RunOptions options;
    std::string err;
};

Parsed parse(std::vector<std::string> arguments) {
    qtest::CommandLine line(std::move(arguments));
    Parsed parsed;
    parsed.err = qtest::capture_stderr([&] {
        parsed.result.output_name = read_options(line.argc(), line.argv(), parsed.options);
        parsed.result.ok = check_option_files(line.argc(), line.argv());
    });
    // Pointers into the local vector do not outlive this call.
    if (parsed.result.output_name) {
        static std::string output_copy;
        output_copy = parsed.result.output_name;
        parsed.result.output_name = output_copy.c_str();
    }
    return parsed;
}

TEST(OptionPassTest, LettersSelectOptionsAndTheLastRepeatedOneWins) {
    const Parsed parsed = parse({"-verbose", "a.rod", "-oa.xml", "-eb", "-ob.xml", "x"});
    EXPECT_TRUE(parsed.result.ok);
    EXPECT_TRUE(parsed.options.verbose);
    EXPECT_TRUE(parsed.options.element_mode);
    EXPECT_STREQ(parsed.result.output_name, "b.xml");
    EXPECT_EQ(parsed.err, "");
}

TEST(OptionPassTest, ValueIsGluedToItsLetter) {
    // "-o out.xml" sets an empty value; out.xml stays an input.
    const Parsed parsed = parse({"-o", "out.xml"});
    ASSERT_NE(parsed.result.output_name, nullptr);
    EXPECT_STREQ(parsed.result.output_name, "");
    EXPECT_EQ(parse({"a.rod"}).result.output_name, nullptr);
}

TEST(OptionPassTest, UnknownOptionsAreIgnored) {
    const Parsed parsed = parse({"-", "--", "-x", "-Z"});
    EXPECT_TRUE(parsed.result.ok);
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
    EXPECT_TRUE(good.result.ok);
    EXPECT_TRUE(qtest::file_exists(log));

    // The failing -h stops the pass before the -l file is created.
    const std::string later_log = dir.file("later.log");
    const Parsed bad = parse({"-h" + dir.file("missing"), "-l" + later_log});
    EXPECT_FALSE(bad.result.ok);
    EXPECT_EQ(bad.err, "kvwxrd: Unable to open file \"" + dir.file("missing") + "\".\n");
    EXPECT_FALSE(qtest::file_exists(later_log));

    const Parsed bad_log = parse({"-l" + dir.file("no/dir/run.log")});
    EXPECT_FALSE(bad_log.result.ok);
    EXPECT_EQ(bad_log.err, "kvwxrd: Unable to open file \"" + dir.file("no/dir/run.log") + "\".\n");
}

}  // namespace
