#include "report/coverage_match.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The captures as one text, or "-" for no match.
std::string describe(std::string_view line) {
    const auto count = match_coverage_count(line);
    if (!count) {
        return "-";
    }
    return std::string(count->code) + "|" + std::string(count->covered) + "|" +
           std::string(count->branches);
}

// The same through a backtracking engine with the pattern as written, '.'
// matching every character as the toolkit's old engine did.
std::string describe_by_regex(const std::string& line) {
    static const QRegularExpression pattern("(.+)\t.*\\((\\d+)/(\\d+)\\)",
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match =
        pattern.match(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    if (!match.hasMatch()) {
        return "-";
    }
    return (match.captured(1) + "|" + match.captured(2) + "|" + match.captured(3))
        .toLatin1()
        .toStdString();
}

TEST(CoverageMatch, GreedyCaptures) {
    EXPECT_EQ(describe("x\t(3/4)"), "x|3|4");
    EXPECT_EQ(describe("f \t taken (03/10)"), "f |03|10");
    EXPECT_EQ(describe("a\tb (1/2)\tc (3/4)"), "a\tb (1/2)|3|4");
    EXPECT_EQ(describe("a\tb (1/2) c (3/4)"), "a|3|4");
    EXPECT_EQ(describe("a\t(1/2)\t(3/x)"), "a|1|2");
    EXPECT_EQ(describe("a\tb\t((12/345))"), "a\tb|12|345");
    EXPECT_EQ(describe("a\n\tb (1/2)"), "a\n|1|2");
}

TEST(CoverageMatch, NoMatch) {
    EXPECT_EQ(describe("\t(3/4)"), "-");  // nothing before the TAB
    EXPECT_EQ(describe("x (3/4)"), "-");
    EXPECT_EQ(describe("x\t(3/4"), "-");
    EXPECT_EQ(describe("x\t(/4)"), "-");
    EXPECT_EQ(describe("x\t(3/)"), "-");
    EXPECT_EQ(describe("x\t( 3/4)"), "-");
    EXPECT_EQ(describe("(3/4)\tx"), "-");
    EXPECT_EQ(describe(""), "-");
}

TEST(CoverageMatch, AgreesWithBacktrackingEngineOnShortLines) {
    std::mt19937 random(20240611);
    // Single bytes and pieces of counts, so that matches, near misses and
    // several candidate TABs and counts in one line are all common.
    const std::vector<std::string> pieces = {"a",     "b",   "\t",  "\t",   "(",  ")",
                                             "/",     "0",   "12",  " ",    "\n", "\xE9",
                                             "(1/2)", "(3/", "45)", "(0/0)"};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 10);
    int matches = 0;
    for (int i = 0; i < 50000; ++i) {
        std::string line;
        for (int n = length(random); n > 0; --n) {
            line += pieces[pick(random)];
        }
        const std::string expected = describe_by_regex(line);
        ASSERT_EQ(describe(line), expected) << "line: " << line;
        matches += expected != "-";
    }
    EXPECT_GT(matches, 5000);  // the generator must reach the matching cases
}

TEST(CoverageMatch, LongLinesWithManyTabsAndParentheses) {
    // A backtracking engine takes quadratic time on these.
    std::string tabs = "a";
    for (int i = 0; i < 200000; ++i) {
        tabs += "\t(1/";
    }
    EXPECT_EQ(describe(tabs), "-");
    tabs += "\t(5/6)";
    const auto count = match_coverage_count(tabs);
    ASSERT_TRUE(count);
    EXPECT_EQ(count->code.size(), tabs.size() - 6);
    EXPECT_EQ(count->covered, "5");

    std::string parentheses = "x";
    for (int i = 0; i < 200000; ++i) {
        parentheses += "((1/2)\t";
    }
    const auto last = match_coverage_count(parentheses);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->code.size(), parentheses.size() - 8);
}

}  // namespace
