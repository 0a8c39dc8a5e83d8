// quillon-campaign run as a process on hand-written reports: exit status,
// standard output and error, and the written files compared byte for byte.

#include "tests/campaign/campaign_test_support.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

const std::string kPython = "/usr/bin/python3";

// What junitparser makes of a JUnit file: cases, failures, distinct IDs,
// declared tests and failures.
std::vector<long> junit_counts(const std::string& path) {
    const qtest::ProcessResult r = qtest::run_process(
        kPython, {std::string(QUILLON_SOURCE_DIR) + "/tests/campaign/junit_counts.py", path},
        {{"PATH", "/usr/bin:/bin"}}, "/");
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::istringstream in(r.out);
    std::vector<long> counts;
    for (long n; in >> n;) {
        counts.push_back(n);
    }
    return counts;
}

class CampaignRun : public testing::Test {
  protected:
    qtest::TempDir dir;
    std::vector<std::string> fixture_inputs = {"alpha.req.xml", "beta.req.xml",   "broken.req.xml",
                                               "power.req.xml", "--requirements", "list.csv"};
};

TEST_F(CampaignRun, AMalformedReportAmongGoodOnesGivesExactOutputsAndStatus3) {
    std::vector<std::string> args = fixture_inputs;
    args.insert(args.end(), {"--baseline", "baseline.json", "--csv", dir.file("c.csv"), "--json",
                             dir.file("c.json"), "--junit", dir.file("c.junit.xml")});
    const qtest::ProcessResult r = ctest::run_campaign_tool(args, ctest::kData);
    EXPECT_EQ(r.exit_status, 3);
    EXPECT_EQ(r.err, qtest::read_file(ctest::kExpected + "fixture.stderr"));
    EXPECT_EQ(r.out, qtest::read_file(ctest::kExpected + "fixture.stdout"));
    EXPECT_EQ(qtest::read_file(dir.file("c.csv")),
              qtest::read_file(ctest::kExpected + "fixture.csv"));
    const std::string json = qtest::read_file(dir.file("c.json"));
    EXPECT_EQ(ctest::with_placeholders(json, {{dir.path(), "OUT"}}),
              qtest::read_file(ctest::kExpected + "fixture.json"));
    EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(json)).isNull());

    const std::string junit = qtest::read_file(dir.file("c.junit.xml"));
    EXPECT_EQ(junit, qtest::read_file(ctest::kExpected + "fixture.junit.xml"));
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml(junit, &error)) << error;
    // 6 tests (1 KO), the KO run of power without a KO test, R9 not verified,
    // and the broken report: 9 cases, 4 failing, every ID distinct.
    if (!qtest::file_exists(kPython)) {
        GTEST_SKIP() << "no python3 for junitparser (installed by scripts/setup.sh --tests)";
    }
    EXPECT_EQ(junit_counts(dir.file("c.junit.xml")), (std::vector<long>{9, 4, 9, 9, 4}));
}

// Test IDs stay unique where classnames meet: "A.b" with service "c" and
// "A" with service "b.c" give the same classname, and so does the case of
// the KO run of "A.b.c"; a control character in a problem line is left out.
// The bytes are those the QXmlStreamWriter-based writer gave.
TEST_F(CampaignRun, JunitIdsStayUniqueWhereClassnamesMeet) {
    const auto report = [&](const std::string& file, const std::string& name,
                            const std::string& run, const std::string& service,
                            const std::string& tests) {
        qtest::write_file(dir.file(file), "<RUN STATUS=\"" + run +
                                              "\"><REPORT_INFO REPORT_NAME=\"" + name +
                                              "\"/><SERVICE NAME=\"" + service +
                                              "\" STATUS=\"OK\">" + tests + "</SERVICE></RUN>");
    };
    report("1.req.xml", "A.b", "KO", "c",
           R"(<TEST NAME="t" STATUS="OK"/><TEST NAME="t" STATUS="KO"/>)");
    report("2.req.xml", "A", "OK", "b.c", R"(<TEST NAME="t" STATUS="OK"/>)");
    report("3.req.xml", "A.b.c", "KO", "s", R"(<TEST NAME="run verdict" STATUS="OK"/>)");
    const qtest::ProcessResult r = ctest::run_campaign_tool(
        {"1.req.xml", "2.req.xml", "3.req.xml", "gone\x01.req.xml", "--junit", "c.junit.xml"},
        dir.path());
    EXPECT_EQ(r.exit_status, 3) << r.err;
    EXPECT_EQ(qtest::read_file(dir.file("c.junit.xml")),
              qtest::read_file(ctest::kExpected + "junit_ids.junit.xml"));
}

// Standard output names what is KO, with or without output files; --quiet
// says nothing.
TEST_F(CampaignRun, TheSummaryNamesWhatIsKoAndTheStatusGates) {
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"beta.req.xml"},
         0,
         "Campaign OK: 1 reports, 2 tests (2 OK, 0 KO), 2 requirements (2 OK, 0 KO, 0 not "
         "verified)\n"},
        {{"beta.req.xml", "--requirements", "list.csv", "--csv", "/dev/null"},
         1,
         "Campaign KO: 1 reports, 2 tests (2 OK, 0 KO), 3 requirements (2 OK, 0 KO, 1 not "
         "verified)\nNot verified: R9\n"},
        {{"beta.req.xml", "power.req.xml", "--fail-on=regression"},
         0,
         "Campaign KO: 2 reports, 3 tests (3 OK, 0 KO), 3 requirements (3 OK, 0 KO, 0 not "
         "verified)\nKO run: power (the result file's own verdict; no test or service is KO)\n"},
        {{"beta.req.xml", "power.req.xml", "--quiet"}, 1, ""},
    };
    for (const auto& c : cases) {
        const qtest::ProcessResult r = ctest::run_campaign_tool(c.args, ctest::kData);
        EXPECT_EQ(r.exit_status, c.status) << c.args.back();
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(CampaignRun, CommandLineMistakesAreStatus4WithOneLine) {
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--fail-on=never", "beta.req.xml"},
         "quillon-campaign: --fail-on takes none, ko or regression, not \"never\"\n"},
        {{"--colour", "beta.req.xml"}, "quillon-campaign: Unknown option 'colour'. (see --help)\n"},
        {{}, "quillon-campaign: no input given (see --help)\n"},
    };
    for (const auto& c : cases) {
        const qtest::ProcessResult r = ctest::run_campaign_tool(c.args, ctest::kData);
        EXPECT_EQ(r.exit_status, 4);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CampaignRun, AnOutputThatCannotBeWrittenIsStatus5AndTheOthersAreStillWritten) {
    const qtest::ProcessResult r = ctest::run_campaign_tool(
        {"beta.req.xml", "--json", dir.file("missing/c.json"), "--csv", dir.file("c.csv")},
        ctest::kData);
    EXPECT_EQ(r.exit_status, 5);
    EXPECT_EQ(r.err.rfind(dir.file("missing/c.json") + ": cannot write: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_TRUE(qtest::file_exists(dir.file("c.csv")));
    EXPECT_FALSE(qtest::file_exists(dir.file("missing")));
}

// Outputs larger than the file size limit fail midway: no partial file, an
// existing one kept as it was, no temporary file left, one line each, and
// the output that fits is still written.
TEST_F(CampaignRun, AStreamedOutputThatFailsMidwayLeavesNoPartialFile) {
    std::vector<ctest::TestLine> tests;
    for (int i = 0; i < 2000; ++i) {
        tests.push_back({"t" + std::to_string(i), "OK", "R" + std::to_string(i)});
    }
    qtest::write_file(dir.file("big.req.xml"), ctest::report_xml("Big", "OK", tests));
    qtest::write_file(dir.file("c.json"), "old");
    // 64 KiB: the CSV (54 kB) fits, the page and the summary spill past it.
    const qtest::ProcessResult r = qtest::run_process(
        "/bin/bash",
        {"-c", "trap '' XFSZ; ulimit -f 64; exec \"$0\" \"$@\"", QUILLON_CAMPAIGN_BINARY,
         "big.req.xml", "--html", "c.html", "--csv", "c.csv", "--json", "c.json"},
        qtest::default_tool_environment(), dir.path());
    EXPECT_EQ(r.exit_status, 5);
    EXPECT_EQ(r.err,
              "c.html: cannot write: File too large\nc.json: cannot write: File too large\n");
    EXPECT_EQ(qtest::read_file(dir.file("c.json")), "old");
    const std::string csv = qtest::read_file(dir.file("c.csv"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2001);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"big.req.xml", "c.csv", "c.json", "c.pages"}));
}

// A device is written straight into, never replaced by a file, and one that
// takes nothing fails the output.
TEST_F(CampaignRun, ADeviceIsWrittenStraightInto) {
    const qtest::ProcessResult r = ctest::run_campaign_tool(
        {"beta.req.xml", "--csv", "/dev/null", "--json", "/dev/full"}, ctest::kData);
    EXPECT_EQ(r.exit_status, 5);
    EXPECT_EQ(r.err, "/dev/full: cannot write: No space left on device\n");
    for (const char* device : {"/dev/null", "/dev/full"}) {
        EXPECT_EQ(std::filesystem::status(device).type(), std::filesystem::file_type::character)
            << device;
    }
}

TEST_F(CampaignRun, MessagesAreTranslated) {
    qtest::Environment env = qtest::default_tool_environment();
    env["LC_ALL"] = "fr_FR.UTF-8";
    if (!qtest::locale_available("fr_FR.UTF-8")) {
        GTEST_SKIP() << "locale fr_FR.UTF-8 is not generated on this machine";
    }
    const qtest::ProcessResult r = ctest::run_campaign_tool({"nothing.req.xml"}, ctest::kData, env);
    EXPECT_EQ(r.exit_status, 3);
    EXPECT_EQ(r.err, "nothing.req.xml : aucun fichier ni dossier de ce nom\n");
}

}  // namespace
