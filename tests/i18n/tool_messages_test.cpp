#include "i18n/tool_messages.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

std::string printed(int kind, const char* argument) {
    return qtest::capture_stderr([&] { tool_error(kind, argument, "test_place"); });
}

TEST(ToolMessagesTest, EachKindHasItsText) {
    EXPECT_EQ(printed(kToolErrorNoMemory, "kvw2req"), "kvwxrd: Not enought memory.\n");
    EXPECT_EQ(printed(kToolErrorOpenFile, "a.rod"), "kvwxrd: Unable to open file \"a.rod\".\n");
    EXPECT_EQ(printed(kToolErrorWriteFile, "a.req.xml.tmp"),
              "kvwxrd: Unable to write file \"a.req.xml.tmp\".\n");
    EXPECT_EQ(printed(kToolErrorReadFile, "a.rod"), "kvwxrd: Unable to read file \"a.rod\".\n");
    EXPECT_EQ(printed(kToolErrorEchoFailed, nullptr),
              "kvwxrd: Unable to write the requirement echo to standard output.\n");
    EXPECT_EQ(printed(kToolErrorInputOverwritten, "a.rod"),
              "kvwxrd: \"a.rod\" is an input file of this run; it is not overwritten.\n");
    EXPECT_EQ(printed(kToolErrorLogIsReport, "a.req.xml"),
              "kvwxrd: The log file \"a.req.xml\" is also a report of this run.\n");
    // Other kinds: no line break after the text.
    EXPECT_EQ(printed(99, "ignored"), "kvwxrd: Unknown error.");
    EXPECT_EQ(printed(-1, nullptr), "kvwxrd: Unknown error.");
}

TEST(ToolMessagesTest, FileNamesAreNotInterpreted) {
    EXPECT_EQ(printed(kToolErrorOpenFile, "50%2 %s \\n.rod"),
              "kvwxrd: Unable to open file \"50%2 %s \\n.rod\".\n");
}

TEST(ToolMessagesTest, PrintMessageWritesTheTextAsItIs) {
    EXPECT_EQ(qtest::capture_stdout([] { print_message("%d %s\\n", stdout); }), "%d %s\\n");
}

}  // namespace
