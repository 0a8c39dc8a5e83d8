// The campaign's report pages: one name each, rendered once, rendered again
// only when the report changed, and a missing stylesheet said.

#include "campaign/report_page_set.h"
#include "campaign/report_links.h"
#include "campaign/report_reader.h"
#include "tests/campaign/campaign_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kStylesheet = std::string(QUILLON_STAGE_DIR) + "/lib/reports/testreq_report.xsl";

Campaign campaign_of(const std::vector<std::string>& paths) {
    std::vector<ReportResult> reports;
    for (const std::string& path : paths) {
        ReportResult report;
        QString error;
        EXPECT_TRUE(read_report_file(path, &report, &error)) << error.toStdString();
        reports.push_back(std::move(report));
    }
    return build_campaign(std::move(reports), std::nullopt, {});
}

TEST(ReportPageSet, NamesAreUniqueAndRenderingKeepsWhatIsUpToDate) {
    qtest::TempDir dir;
    std::filesystem::create_directories(dir.file("a"));
    std::filesystem::create_directories(dir.file("b"));
    qtest::write_file(dir.file("a/x.req.xml"), ctest::report_xml("X", "OK", {{"t", "OK", ""}}));
    qtest::write_file(dir.file("b/x.req.xml"), ctest::report_xml("X", "KO", {{"t", "KO", ""}}));
    qtest::write_file(dir.file("y.req.xml"), qtest::read_file(ctest::kData + "alpha.req.xml"));
    const Campaign campaign =
        campaign_of({dir.file("a/x.req.xml"), dir.file("b/x.req.xml"), dir.file("y.req.xml")});
    const std::vector<std::string> names = report_page_names(campaign);
    EXPECT_EQ(names[2], "y.html");
    EXPECT_TRUE(names[0].starts_with("x~") && names[1].starts_with("x~") && names[0] != names[1])
        << names[0] << " " << names[1];

    const std::string folder = dir.file("pages");
    ReportPageSet set = render_report_pages(campaign, folder, kStylesheet, 2);
    EXPECT_TRUE(set.problems.isEmpty()) << set.problems.join("\n").toStdString();
    ASSERT_EQ(set.pages[2], folder + "/y.html");
    EXPECT_NE(qtest::read_file(set.pages[2]).find("id=\"test-nav/t1\""), std::string::npos);

    // An up-to-date page is kept; a report that changed is rendered again.
    qtest::write_file(set.pages[2], "kept");
    qtest::write_file(set.pages[0], "kept");
    qtest::write_file(dir.file("a/x.req.xml"), ctest::report_xml("X", "OK", {{"t", "OK", ""}}));
    set = render_report_pages(campaign, folder, kStylesheet, 1);
    EXPECT_EQ(qtest::read_file(set.pages[2]), "kept");
    EXPECT_NE(qtest::read_file(set.pages[0]), "kept");

    set = render_report_pages(campaign, dir.file("other"), dir.file("none.xsl"), 1);
    EXPECT_EQ(set.problems, QStringList{QString::fromStdString(dir.file("none.xsl")) +
                                        ": cannot read: No such file or directory"});
    EXPECT_EQ(default_pages_folder("out/campaign.html"), "out/campaign.pages");
    EXPECT_EQ(default_pages_folder("out.d/page"), "out.d/page.pages");
}

// The campaign links into report pages by the ids the stylesheet gives:
// names with characters to encode, and namesakes, find their element.
TEST(ReportPageSet, AnchorsAreTheIdsOfTheReportPage) {
    qtest::TempDir dir;
    const std::string service =
        "\t<SERVICE NAME=\"a b\" TYPE=\"unit\" STATUS=\"KO\" NB_VALID=\"0\" NB_INVALID=\"2\" "
        "NB_TEST=\"2\" >\n\t\t<TEST NAME=\"t/1 é\" STATUS=\"KO\" >\n\t\t</TEST>\n"
        "\t\t<TEST NAME=\"t/1 é\" STATUS=\"KO\" >\n\t\t</TEST>\n\t</SERVICE>\n";
    qtest::write_file(dir.file("n.req.xml"),
                      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<RUN TESTSUITE_PATH=\"\" "
                      "AUTHOR=\"a\" STATUS=\"KO\">\n\t<REPORT_INFO REPORT_NAME=\"N\">\n\t"
                      "</REPORT_INFO>\n" +
                          service + service + "</RUN>");
    const Campaign campaign = campaign_of({dir.file("n.req.xml")});
    const ReportPageSet set = render_report_pages(campaign, dir.file("pages"), kStylesheet, 1);
    ASSERT_TRUE(set.problems.isEmpty()) << set.problems.join("\n").toStdString();
    const std::string page = qtest::read_file(set.pages[0]);
    const ReportPageAnchors anchors(campaign);
    EXPECT_EQ(anchors.test(0, 3), "test-a.20b~2/t.2F1.20é~2");
    for (int t = 0; t < 4; ++t) {
        EXPECT_NE(page.find("id=\"" + anchors.test(0, t) + "\""), std::string::npos) << t;
    }
    EXPECT_NE(page.find("id=\"" + anchors.service(0, 1) + "\""), std::string::npos);
}

}  // namespace
