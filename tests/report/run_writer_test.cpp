#include "i18n/local8bit.h"
#include "project/expand_variables.h"
#include "report/section_writers.h"
#include "report_test_trees.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

using qtest::ScopedEnv;
using rtest::TreeBuilder;
using rtest::write_document;

constexpr std::string_view kProlog =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<?xml-stylesheet type=\"text/xsl\" href=\"testreq_report.xsl\" ?>\n"
    "<!-- Qarvoline/lib/reports/testreq_report.xsl -->\n";

std::string run_start_tag(const RodNode* run) {
    XmlStream out;
    xrd_run_write(out, run, rod_status(run) != 0);
    return out.text().substr(kProlog.size());
}

std::string report_info(const RodNode* run) {
    XmlStream out;
    xrd_report_info_write(out, run);
    return out.text();
}

TEST(RunWriter, EmptyRunDocument) {
    ScopedEnv env{{"USERNAME", nullptr}, {"USER", "tester"}};
    TreeBuilder tree;
    const std::string document = write_document(tree.run_node());
    EXPECT_EQ(document,
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
              "<?xml-stylesheet type=\"text/xsl\" href=\"testreq_report.xsl\" ?>\n"
              "<!-- Qarvoline/lib/reports/testreq_report.xsl -->\n"
              "<RUN TESTSUITE_PATH=\"\" AUTHOR=\"tester\" STATUS=\"OK\">\n"
              "\t<REPORT_INFO>\n"
              "\t</REPORT_INFO>\n"
              "</RUN>");
    EXPECT_TRUE(qtest::parses_as_xml(document));
}

TEST(RunWriter, AuthorFromUsernameThenUserThenUnknown) {
    TreeBuilder tree;
    {
        ScopedEnv env{{"USERNAME", "win"}, {"USER", "unix"}};
        EXPECT_EQ(run_start_tag(tree.run_node()),
                  "<RUN TESTSUITE_PATH=\"\" AUTHOR=\"win\" STATUS=\"OK\">\n");
    }
    {
        ScopedEnv env{{"USERNAME", ""}, {"USER", "unix"}};
        EXPECT_EQ(run_start_tag(tree.run_node()),
                  "<RUN TESTSUITE_PATH=\"\" AUTHOR=\"unix\" STATUS=\"OK\">\n");
    }
    {
        ScopedEnv env{{"USERNAME", nullptr}, {"USER", ""}};
        EXPECT_EQ(run_start_tag(tree.run_node()),
                  "<RUN TESTSUITE_PATH=\"\" AUTHOR=\"Unknown\" STATUS=\"OK\">\n");
    }
    {
        ScopedEnv env{{"USERNAME", "a&<\"b\""}, {"USER", nullptr}};
        EXPECT_EQ(run_start_tag(tree.run_node()),
                  "<RUN TESTSUITE_PATH=\"\" AUTHOR=\"a&amp;&lt;&quot;b&quot;\" STATUS=\"OK\">\n");
    }
}

TEST(RunWriter, TestsuitePathAndStatus) {
    ScopedEnv env{{"USERNAME", "u"}};
    TreeBuilder tree;
    tree.run().file_table[0] = tree.text("/s/t&1.ptu");
    tree.run().file_table[3] = tree.text("/other.c");
    tree.fail(tree.element(tree.test(tree.service("S", "T"), "t"), "e"));
    EXPECT_EQ(run_start_tag(tree.run_node()),
              "<RUN TESTSUITE_PATH=\"/s/t&amp;1.ptu\" AUTHOR=\"u\" STATUS=\"KO\">\n");
}

TEST(RunWriter, AbsentFieldsGiveNoAttributeEmptyOnesAnEmptyValue) {
    TreeBuilder tree;
    tree.run().version = tree.text("");
    tree.run().target = tree.text("x86");
    EXPECT_EQ(report_info(tree.run_node()),
              "\t<REPORT_INFO VERSION=\"\" TARGET=\"x86\">\n"
              "\t</REPORT_INFO>\n");
}

TEST(RunWriter, ReportInfoFieldsInTheirOrder) {
    TreeBuilder tree;
    RodRunNode& run = tree.run();
    run.postpro_date = tree.text("k");
    run.run_date = tree.text("j");
    run.prepro_date = tree.text("i");
    run.src_version = tree.text("h");
    run.src_file_name = tree.text("g");
    run.ptu_version = tree.text("f");
    run.ptu_file_name = tree.text("e");
    run.target = tree.text("d");
    run.tool_version = tree.text("c");
    run.version = tree.text("b");
    run.report_name = tree.text("a<\t>");
    EXPECT_EQ(report_info(tree.run_node()),
              "\t<REPORT_INFO REPORT_NAME=\"a&lt;&#9;&gt;\" VERSION=\"b\" TOOL_VERSION=\"c\" "
              "TARGET=\"d\" PTU_FILE_NAME=\"e\" PTU_VERSION=\"f\" SRC_FILE_NAME=\"g\" "
              "SRC_VERSION=\"h\" PREPRO_DATE=\"i\" RUN_DATE=\"j\" POSTPRO_DATE=\"k\">\n"
              "\t</REPORT_INFO>\n");
}

TEST(RunWriter, RunNotesAndCoverageFollowReportInfo) {
    TreeBuilder tree;
    RodList& notes = tree.run().notes;
    tree.note(notes, 'R', "R1");
    tree.note(notes, 'C', "first");
    tree.note(notes, 'C', "second");
    tree.note(tree.run().coverage_notes, 'K', "File a.c");
    tree.note(tree.run().coverage_notes, 'K', "x\t(1/2)");
    tree.fail(tree.element(tree.test(tree.service("S", "T"), "t"), "e"));
    XmlStream out;
    xrd_run_info_write(out, tree.run_node(), false, RunOptions{}, nullptr);
    EXPECT_EQ(out.text(),
              "\t<REPORT_INFO>\n"
              "\t</REPORT_INFO>\n"
              "\t<COMMENT>first</COMMENT>\n"
              "\t<COMMENT>second</COMMENT>\n"
              "\t<REQUIREMENTS>\n"
              "\t\t<REQUIREMENT NAME=\"R1\" STATUS=\"KO\" VALUE=\"\">\n"
              "\t\t</REQUIREMENT>\n"
              "\t</REQUIREMENTS>\n"
              "\t<COVERAGE_RESULT MODULE=\"a.c\">\n"
              "\t\t<COVERAGE_DETAILS BRANCH_NUMBER=\"2\" COVERED_BRANCH=\"1\" CODE=\"x\">\n"
              "\t\t</COVERAGE_DETAILS>\n"
              "\t</COVERAGE_RESULT>\n");
}

TEST(RunWriter, HeaderSectionComesRightAfterReportInfo) {
    TreeBuilder tree;
    tree.note(tree.run().notes, 'C', "c");
    XmlStream out;
    const char* section = "\t<ENV_INFO TARGET=\"x86\">\n\t</ENV_INFO>\n";
    xrd_run_info_write(out, tree.run_node(), true, {.header_section = section}, nullptr);
    EXPECT_EQ(out.text(), std::string("\t<REPORT_INFO>\n\t</REPORT_INFO>\n") + section +
                              "\t<COMMENT>c</COMMENT>\n");
}

TEST(RunWriter, WritersIgnoreOtherKinds) {
    TreeBuilder tree;
    RodServiceNode* service = tree.service("S", "T");
    XmlStream out;
    xrd_run_write(out, service, true);
    xrd_run_info_write(out, nullptr, true, RunOptions{}, nullptr);
    xrd_report_info_write(out, service);
    xrd_service_write(out, tree.run_node(), RunOptions{}, nullptr);
    EnvironmentCache environment;
    xrd_test_write(out, service, true, RunOptions{}, environment, nullptr);
    xrd_element_write(out, nullptr, environment, nullptr);
    xrd_comment_write(out, nullptr, "\t");
    xrd_flush_comment(out, nullptr, true, "\t", environment, nullptr);
    xrd_coverage_write(out, nullptr, "\t");
    EXPECT_EQ(out.text(), "");
}

TEST(RunWriter, Latin1LocaleTextsBecomeUtf8) {
    qtest::ScopedLocale locale("fr_FR.ISO-8859-1");
    if (!locale.ok()) {
        GTEST_SKIP() << "no Latin-1 locale";
    }
    ScopedEnv env{{"USERNAME", "Jos\xE9"}};
    TreeBuilder tree;
    tree.run().file_table[0] = tree.text("/\xE9t\xE9.ptu");
    tree.run().target = tree.text("\xB5P");
    tree.note(tree.run().notes, 'C', "d\xE9j\xE0");
    EXPECT_EQ(
        write_document(tree.run_node()).substr(kProlog.size()),
        "<RUN TESTSUITE_PATH=\"/\xC3\xA9t\xC3\xA9.ptu\" AUTHOR=\"Jos\xC3\xA9\" STATUS=\"OK\">\n"
        "\t<REPORT_INFO TARGET=\"\xC2\xB5P\">\n"
        "\t</REPORT_INFO>\n"
        "\t<COMMENT>d\xC3\xA9j\xC3\xA0</COMMENT>\n"
        "</RUN>");
}

TEST(RunWriter, DocumentWithHostileTextsParses) {
    ScopedEnv env{{"USERNAME", "\x01<x>&\xE9"}, {"QT_RUN_VALUE", "\"<&\x02\xFF>"}};
    TreeBuilder tree;
    using namespace std::string_view_literals;
    const std::string_view hostile = "a&b<c>d\"e'f\tg\rh\x01i\x1Fj\0k\xE9l\xC3m\xEF\xBF\xBFn"sv;
    tree.run().file_table[0] = tree.text(hostile);
    tree.run().report_name = tree.text(hostile);
    tree.run().version = tree.text(hostile);
    tree.note(tree.run().notes, 'C', hostile);
    tree.note(tree.run().notes, 'R', hostile);
    tree.note(tree.run().notes, 'R', "R]]>; <a>=$QT_RUN_VALUE; \"=\"; &:&amp;");
    tree.note(tree.run().coverage_notes, 'K', hostile);
    tree.note(tree.run().coverage_notes, 'K', std::string(hostile) + "\t(1/2)");
    RodServiceNode* service = tree.service(hostile, hostile);
    tree.note(service->notes, 'C', "-->");
    tree.note(service->notes, 'C', "<!-- x");
    RodTestNode* test = tree.test(service, hostile);
    RodElementNode* element = tree.element(test, hostile);
    tree.note(element->notes, 'R', hostile);
    tree.note(element->notes, 'C', hostile);

    const std::string document = write_document(tree.run_node(), {.element_mode = true});
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml(document, &error)) << error << "\n" << document;
    if (local8bit_kind() == Local8BitKind::Utf8) {
        // Every invalid byte is replaced; nothing else is lost.
        EXPECT_NE(document.find("<COMMENT>a&amp;b&lt;c&gt;d\"e'f\tg&#13;h\xEF\xBF\xBDi\xEF\xBF\xBD"
                                "j\xEF\xBF\xBDk\xEF\xBF\xBDl\xEF\xBF\xBDm\xEF\xBF\xBDn</COMMENT>"),
                  std::string::npos)
            << document;
    }
}

}  // namespace
