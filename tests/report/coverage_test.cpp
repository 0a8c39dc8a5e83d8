#include "report/section_writers.h"
#include "report_test_trees.h"
#include "tests/support/scoped_state.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

using rtest::TreeBuilder;

std::string coverage(const std::vector<std::optional<std::string_view>>& lines,
                     std::string_view indent = "") {
    TreeBuilder tree;
    for (const auto& line : lines) {
        tree.note(tree.run().coverage_notes, 'K', line);
    }
    XmlStream out;
    xrd_coverage_write(out, rod_list_first(tree.run().coverage_notes), indent);
    return out.text();
}

TEST(Coverage, NothingForEmptyOrIgnoredLists) {
    EXPECT_EQ(coverage({}), "");
    EXPECT_EQ(coverage({std::nullopt, "", "a\tb\tnone", "x Hit\ty", "File a.c"}), "");
}

TEST(Coverage, ModuleLineThenCountedLine) {
    EXPECT_EQ(coverage({"File a.c", "x\t(3/4)"}, "\t"),
              "\t<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t\t<COVERAGE_DETAILS BRANCH_NUMBER=\"4\" COVERED_BRANCH=\"3\" CODE=\"x\">\n"
              "\t\t</COVERAGE_DETAILS>\n"
              "\t</COVERAGE_RESULT>\n");
}

TEST(Coverage, CountedLinesBeforeAnyModuleAreDropped) {
    EXPECT_EQ(coverage({"x\t(3/4)", "File a.c", "y\t(1/2)"}),
              "<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"y\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, CountedLineStartingWithFileIsCounted) {
    EXPECT_EQ(coverage({"File a.c", "File b.c\t(1/2)"}),
              "<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"File b.c\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, BlocksOpenAtTheFirstCountedLineOfAModule) {
    EXPECT_EQ(coverage({"File a.c", "File b.c", "y\t(1/2)"}),
              "<COVERAGE_RESULT MODULE=\"b.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"y\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, ReturningModuleOpensANewBlock) {
    EXPECT_EQ(coverage({"File a.c", "p\t(1/1)", "File b.c", "q\t(2/2)", "File a.c", "r\t(3/3)"}),
              "<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"1\" COVERED_BRANCH=\"1\" CODE=\"p\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n"
              "<COVERAGE_RESULT MODULE=\"b.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"2\" CODE=\"q\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n"
              "<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"3\" COVERED_BRANCH=\"3\" CODE=\"r\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, SameModuleTwiceIsOneBlock) {
    EXPECT_EQ(coverage({"File a.c", "p\t(1/1)", "a.c", "q\t(2/2)"}),
              "<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"1\" COVERED_BRANCH=\"1\" CODE=\"p\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"2\" CODE=\"q\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, CapturesAreGreedyAndCodeIsTrimmed) {
    EXPECT_EQ(coverage({"m", "f \t taken (03/10)", "a\tb (1/2)\tc (3/4)"}),
              "<COVERAGE_RESULT MODULE=\"m\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"10\" COVERED_BRANCH=\"03\" CODE=\"f\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"4\" COVERED_BRANCH=\"3\" "
              "CODE=\"a&#9;b (1/2)\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, LineWithNothingBeforeTheTabIsAModuleLine) {
    EXPECT_EQ(coverage({"\t(3/4)", "x\t(1/2)"}),
              "<COVERAGE_RESULT MODULE=\"(3/4)\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, NoneEndingTheLineIgnoresItNoneInsideDoesNot) {
    EXPECT_EQ(coverage({"File a.c", "b\tnone", "x\t(1/2)"}),
              "<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
    // Only the first "\tnone" counts, and here it does not end the line.
    EXPECT_EQ(coverage({"File a.c", "b\tnone c\tnone", "x\t(1/2)"}),
              "<COVERAGE_RESULT MODULE=\"b&#9;none c&#9;none\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, BlankLineNamesAnEmptyModule) {
    EXPECT_EQ(coverage({"   ", "x\t(1/2)"}),
              "<COVERAGE_RESULT MODULE=\"\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

TEST(Coverage, FileLaterInTheLineIntroducesTheName) {
    EXPECT_EQ(coverage({" File a.c", "x\t(1/2)", "see File  b.c ", "y\t(1/2)"}),
              "<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n"
              "<COVERAGE_RESULT MODULE=\"b.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"y\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
}

// Lines are in the locale's encoding, and the no-break space trimmed with the
// other white space is the character U+00A0 of that encoding: in UTF-8 a
// lone 0xA0 byte is the tail of a character such as "\xC3\xA0" and stays.
TEST(Coverage, TextsAreInTheLocaleEncodingWithTheirOwnWhiteSpace) {
    struct Case {
        const char* locale;
        std::string module_line, counted_line;
    };
    const Case cases[] = {
        {"fr_FR.ISO-8859-1", "File \xA0\xE9t\xE0\x85\xA0\t\r", "\xA0x\xE0\xA0\v\t(1/2)"},
        {"C.UTF-8", "File \xC2\xA0\xC3\xA9t\xC3\xA0\xC2\x85\xC2\xA0\t\r",
         "\xC2\xA0x\xC3\xA0\xC2\xA0\v\t(1/2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        qtest::ScopedLocale locale(c.locale);
        ASSERT_TRUE(locale.ok()) << "locale " << c.locale << " is not generated";
        // U+0085 is not white space.
        EXPECT_EQ(
            coverage({c.module_line, c.counted_line}),
            "<COVERAGE_RESULT MODULE=\"\xC3\xA9t\xC3\xA0\xC2\x85\">\n"
            "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\xC3\xA0\">\n"
            "\t</COVERAGE_DETAILS>\n"
            "</COVERAGE_RESULT>\n");
    }
}

TEST(Coverage, MarkupInLinesIsEscaped) {
    const std::string text = coverage({"File <a&\"b>.c", "if (a<b && c>\"d\")\t(1/2)"});
    EXPECT_EQ(text,
              "<COVERAGE_RESULT MODULE=\"&lt;a&amp;&quot;b&gt;.c\">\n"
              "\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" "
              "CODE=\"if (a&lt;b &amp;&amp; c&gt;&quot;d&quot;)\">\n"
              "\t</COVERAGE_DETAILS>\n"
              "</COVERAGE_RESULT>\n");
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml("<R>" + text + "</R>", &error)) << error;
}

}  // namespace
