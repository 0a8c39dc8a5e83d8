// The example campaign end to end, as the README shows it: the built quillon
// converts the ROD files with a log, then quillon-campaign gathers the
// reports against the requirement list and the earlier run's summary.

#include "tests/campaign/campaign_test_support.h"

#include <gtest/gtest.h>

namespace {

const std::string kExamples = std::string(QUILLON_SOURCE_DIR) + "/examples/campaign/";

TEST(ExampleCampaign, QuillonThenQuillonCampaignShowTheRegressionAndTheFix) {
    qtest::TempDir dir;
    const std::vector<std::string> rods = {"board_a.rod", "board_b.rod", "power.rod"};
    for (const std::string& rod : rods) {
        qtest::write_file(dir.file(rod), qtest::read_file(kExamples + rod));
    }
    std::vector<std::string> args = {"-lrun.log"};
    args.insert(args.end(), rods.begin(), rods.end());
    const qtest::ProcessResult quillon =
        qtest::run_quillon(args, qtest::default_tool_environment(), dir.path());
    ASSERT_EQ(quillon.exit_status, 0) << quillon.err;
    for (const char* report : {"board_a.req.xml", "board_b.req.xml", "power.req.xml"}) {
        std::string error;
        EXPECT_TRUE(qtest::parses_as_xml(qtest::read_file(dir.file(report)), &error)) << error;
    }

    const qtest::ProcessResult r = ctest::run_campaign_tool(
        {"--log", "run.log", "--requirements", kExamples + "requirements.txt", "--baseline",
         kExamples + "baseline.json", "--json", "campaign.json", "--csv", "campaign.csv", "--junit",
         "campaign.junit.xml", "--html", "campaign.html"},
        dir.path());
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, qtest::read_file(ctest::kExpected + "example.stdout"));
    EXPECT_EQ(qtest::read_file(dir.file("campaign.json")),
              qtest::read_file(ctest::kExpected + "example.json"));
    EXPECT_EQ(qtest::read_file(dir.file("campaign.csv")),
              qtest::read_file(ctest::kExpected + "example.csv"));
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml(qtest::read_file(dir.file("campaign.junit.xml")), &error))
        << error;
    // Each report is linked where it is, since no page of its own sits beside it.
    const std::string page = qtest::read_file(dir.file("campaign.html"));
    EXPECT_NE(page.find("<a href=\"board_b.req.xml\">Flight control, board B</a>"),
              std::string::npos);
}

}  // namespace
