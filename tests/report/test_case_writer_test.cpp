#include "project/expand_variables.h"
#include "report/section_writers.h"
#include "report_test_trees.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

using rtest::TreeBuilder;

// A KO Test with one requirement of its own and two Elements with one each,
// the first Element OK, the second KO.
struct ThreeBlocks {
    TreeBuilder tree;
    RodTestNode* test = nullptr;

    ThreeBlocks() {
        test = tree.test(tree.service("S", "T"), "T1");
        tree.note(test->notes, 'R', "RT");
        tree.note(test->notes, 'C', "test comment");
        RodElementNode* first = tree.element(test, "E1");
        tree.note(first->notes, 'R', "R1 a=1");
        tree.note(first->notes, 'C', "first comment");
        RodElementNode* second = tree.element(test, "E2");
        tree.note(second->notes, 'R', "R2");
        tree.fail(second);
        tree.note(test->coverage_notes, 'K', "m");
        tree.note(test->coverage_notes, 'K', "x\t(1/2)");
    }

    std::string write(const RunOptions& options = {}) const {
        XmlStream out;
        EnvironmentCache environment;
        xrd_test_write(out, test, rod_status(test) != 0, options, environment, nullptr);
        return out.text();
    }
};

TEST(TestWriter, ElementModeOffFoldsElementsIntoTheTest) {
    ThreeBlocks blocks;
    const std::string text = blocks.write();
    EXPECT_EQ(text,
              "\t\t<TEST NAME=\"T1\" STATUS=\"KO\" >\n"
              "\t\t\t<COMMENT>test comment</COMMENT>\n"
              "\t\t\t<COMMENT>first comment</COMMENT>\n"
              "\t\t\t<REQUIREMENTS>\n"
              "\t\t\t\t<REQUIREMENT NAME=\"RT\" STATUS=\"KO\" VALUE=\"\">\n"
              "\t\t\t\t</REQUIREMENT>\n"
              "\t\t\t</REQUIREMENTS>\n"
              "\t\t\t<REQUIREMENTS>\n"
              "\t\t\t\t<REQUIREMENT NAME=\"R1\" STATUS=\"KO\" VALUE=\"a=1\">\n"
              "\t\t\t\t\t<ATTRIBUTE NAME=\"a\" VALUE=\"1\">\n"
              "\t\t\t\t\t</ATTRIBUTE>\n"
              "\t\t\t\t</REQUIREMENT>\n"
              "\t\t\t</REQUIREMENTS>\n"
              "\t\t\t<REQUIREMENTS>\n"
              "\t\t\t\t<REQUIREMENT NAME=\"R2\" STATUS=\"KO\" VALUE=\"\">\n"
              "\t\t\t\t</REQUIREMENT>\n"
              "\t\t\t</REQUIREMENTS>\n"
              "\t\t\t<COVERAGE_RESULT MODULE=\"m\">\n"
              "\t\t\t\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\">\n"
              "\t\t\t\t</COVERAGE_DETAILS>\n"
              "\t\t\t</COVERAGE_RESULT>\n"
              "\t\t</TEST>\n");
    EXPECT_TRUE(qtest::parses_as_xml(text));
}

TEST(TestWriter, ElementModeOnWritesElements) {
    ThreeBlocks blocks;
    const std::string text = blocks.write({.element_mode = true});
    EXPECT_EQ(text,
              "\t\t<TEST NAME=\"T1\" STATUS=\"KO\" >\n"
              "\t\t\t<COMMENT>test comment</COMMENT>\n"
              "\t\t\t<REQUIREMENTS>\n"
              "\t\t\t\t<REQUIREMENT NAME=\"RT\" STATUS=\"KO\" VALUE=\"\">\n"
              "\t\t\t\t</REQUIREMENT>\n"
              "\t\t\t</REQUIREMENTS>\n"
              "\t\t\t<ELEMENT NAME=\"E1\" STATUS=\"OK\" >\n"
              "\t\t\t\t<COMMENT>first comment</COMMENT>\n"
              "\t\t\t\t<REQUIREMENTS>\n"
              "\t\t\t\t\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"a=1\">\n"
              "\t\t\t\t\t\t<ATTRIBUTE NAME=\"a\" VALUE=\"1\">\n"
              "\t\t\t\t\t\t</ATTRIBUTE>\n"
              "\t\t\t\t\t</REQUIREMENT>\n"
              "\t\t\t\t</REQUIREMENTS>\n"
              "\t\t\t</ELEMENT>\n"
              "\t\t\t<ELEMENT NAME=\"E2\" STATUS=\"KO\" >\n"
              "\t\t\t\t<REQUIREMENTS>\n"
              "\t\t\t\t\t<REQUIREMENT NAME=\"R2\" STATUS=\"KO\" VALUE=\"\">\n"
              "\t\t\t\t\t</REQUIREMENT>\n"
              "\t\t\t\t</REQUIREMENTS>\n"
              "\t\t\t</ELEMENT>\n"
              "\t\t\t<COVERAGE_RESULT MODULE=\"m\">\n"
              "\t\t\t\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\">\n"
              "\t\t\t\t</COVERAGE_DETAILS>\n"
              "\t\t\t</COVERAGE_RESULT>\n"
              "\t\t</TEST>\n");
    EXPECT_TRUE(qtest::parses_as_xml(text));
}

}  // namespace
