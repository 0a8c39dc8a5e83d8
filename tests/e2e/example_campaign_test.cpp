// The sample campaign of examples/ converted as a user would, compared with
// reports checked by hand.

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

const std::string kExamples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
const std::string kExpected = std::string(QUILLON_SOURCE_DIR) + "/tests/e2e/expected/";

class ExampleCampaignTest : public testing::Test {
  protected:
    qtest::TempDir dir;
    qtest::Environment env = qtest::default_tool_environment();

    void SetUp() override {
        qtest::write_file(dir.file("campaign.rod"), qtest::read_file(kExamples + "campaign.rod"));
        env["CLIMB_LIMIT"] = "25 ft/s";
    }
};

TEST_F(ExampleCampaignTest, ReportEchoAndLogAreExact) {
    const qtest::ProcessResult result = qtest::run_quillon(
        {"-v", "-h" + kExamples + "header.txt", "-lrun.log", "campaign.rod"}, env, dir.path());
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, qtest::read_file(kExpected + "campaign.echo.txt"));
    const std::string report = qtest::read_file(dir.file("campaign.req.xml"));
    EXPECT_EQ(report, qtest::read_file(kExpected + "campaign.req.xml"));
    EXPECT_EQ(qtest::read_file(dir.file("run.log")), "REQ campaign.req.xml\n");
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml(report, &error)) << error;
}

TEST_F(ExampleCampaignTest, ElementModeReportIsExact) {
    const qtest::ProcessResult result = qtest::run_quillon(
        {"-e", "-h" + kExamples + "header.txt", "-ocampaign.element.req.xml", "campaign.rod"}, env,
        dir.path());
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
    const std::string report = qtest::read_file(dir.file("campaign.element.req.xml"));
    EXPECT_EQ(report, qtest::read_file(kExpected + "campaign.element.req.xml"));
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml(report, &error)) << error;
}

TEST_F(ExampleCampaignTest, Latin1LocaleGivesTheSameReportForAsciiInput) {
    if (!qtest::locale_available("fr_FR.ISO-8859-1")) {
        GTEST_SKIP() << "locale fr_FR.ISO-8859-1 is not generated on this machine";
    }
    env["LC_ALL"] = "fr_FR.ISO-8859-1";
    const qtest::ProcessResult result =
        qtest::run_quillon({"-h" + kExamples + "header.txt", "campaign.rod"}, env, dir.path());
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(qtest::read_file(dir.file("campaign.req.xml")),
              qtest::read_file(kExpected + "campaign.req.xml"));
}

}  // namespace
