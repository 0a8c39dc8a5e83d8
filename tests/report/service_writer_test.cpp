#include "report/section_writers.h"
#include "report_test_trees.h"

#include <gtest/gtest.h>

namespace {

using rtest::TreeBuilder;

std::string service_text(const RodNode* service) {
    XmlStream out;
    xrd_service_write(out, service, RunOptions{}, nullptr);
    return out.text();
}

TEST(ServiceWriter, CountsAndStatusFromTheTests) {
    TreeBuilder tree;
    RodServiceNode* service = tree.service("S&1", "unit");
    tree.test(service, "ok");
    tree.fail(tree.element(tree.test(service, "ko"), "e"));
    tree.note(service->notes, 'R', "R1");
    tree.note(service->notes, 'C', "c");
    tree.note(service->coverage_notes, 'K', "m");
    tree.note(service->coverage_notes, 'K', "x\t(0/1)");
    EXPECT_EQ(service_text(service),
              "\t<SERVICE NAME=\"S&amp;1\" TYPE=\"unit\" STATUS=\"KO\" NB_VALID=\"1\" "
              "NB_INVALID=\"1\" NB_TEST=\"2\" >\n"
              "\t\t<COMMENT>c</COMMENT>\n"
              "\t\t<REQUIREMENTS>\n"
              "\t\t\t<REQUIREMENT NAME=\"R1\" STATUS=\"KO\" VALUE=\"\">\n"
              "\t\t\t</REQUIREMENT>\n"
              "\t\t</REQUIREMENTS>\n"
              "\t\t<TEST NAME=\"ok\" STATUS=\"OK\" >\n"
              "\t\t</TEST>\n"
              "\t\t<TEST NAME=\"ko\" STATUS=\"KO\" >\n"
              "\t\t</TEST>\n"
              "\t\t<COVERAGE_RESULT MODULE=\"m\">\n"
              "\t\t\t<COVERAGE_DETAILS BRANCH_NUMBER=\"1\" COVERED_BRANCH=\"0\" CODE=\"x\">\n"
              "\t\t\t</COVERAGE_DETAILS>\n"
              "\t\t</COVERAGE_RESULT>\n"
              "\t</SERVICE>\n");
}

TEST(ServiceWriter, OwnVerdictTextDoesNotMakeTheServiceKo) {
    TreeBuilder tree;
    RodServiceNode* service = tree.service("S", "");
    service->status_text = tree.text("INCORRECT");
    tree.test(service, "t");
    tree.note(service->notes, 'R', "R1");
    const std::string document = rtest::write_document(tree.run_node());
    EXPECT_NE(document.find("STATUS=\"KO\">\n\t<REPORT_INFO>"), std::string::npos) << document;
    EXPECT_EQ(service_text(service),
              "\t<SERVICE NAME=\"S\" TYPE=\"\" STATUS=\"OK\" NB_VALID=\"1\" NB_INVALID=\"0\" "
              "NB_TEST=\"1\" >\n"
              "\t\t<REQUIREMENTS>\n"
              "\t\t\t<REQUIREMENT NAME=\"R1\" STATUS=\"OK\" VALUE=\"\">\n"
              "\t\t\t</REQUIREMENT>\n"
              "\t\t</REQUIREMENTS>\n"
              "\t\t<TEST NAME=\"t\" STATUS=\"OK\" >\n"
              "\t\t</TEST>\n"
              "\t</SERVICE>\n");
}

TEST(ServiceWriter, AbsentNameAndTypeAreEmpty) {
    TreeBuilder tree;
    RodServiceNode* service = tree.service("", "");
    service->name = nullptr;
    service->type = nullptr;
    EXPECT_EQ(service_text(service),
              "\t<SERVICE NAME=\"\" TYPE=\"\" STATUS=\"OK\" NB_VALID=\"0\" NB_INVALID=\"0\" "
              "NB_TEST=\"0\" >\n"
              "\t</SERVICE>\n");
}

}  // namespace
