// What the gate must never let through, run end to end: a regression hidden
// by a name, by the spelling of a path or by a header section, a report
// skipped in silence, an output replacing an input, and the changes a CI
// owner counts as failures.

#include "tests/campaign/campaign_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

using ctest::report_xml;
using ctest::TestLine;

class Gate : public testing::Test {
  protected:
    qtest::TempDir dir;

    qtest::ProcessResult campaign(const std::vector<std::string>& args) {
        return ctest::run_campaign_tool(args, dir.path());
    }
    std::string file(const std::string& name) { return dir.file(name); }
};

// Tests t, t and a test really named "t #2": the second t must keep a key of
// its own, so that its failure is a regression.
TEST_F(Gate, ARepeatedTestNameNeverMergesWithAnotherTest) {
    qtest::write_file(
        file("r.req.xml"),
        report_xml("R", "OK", {{"t", "OK", ""}, {"t", "OK", ""}, {"t #2", "OK", ""}}));
    ASSERT_EQ(campaign({"r.req.xml", "--json", "base.json"}).exit_status, 0);
    qtest::write_file(
        file("r.req.xml"),
        report_xml("R", "OK", {{"t", "OK", ""}, {"t", "KO", ""}, {"t #2", "OK", ""}}));
    const qtest::ProcessResult r =
        campaign({"r.req.xml", "--baseline", "base.json", "--fail-on=regression"});
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_NE(r.out.find("Regression: test R / s / t #3\n"), std::string::npos) << r.out;
}

// The same two reports of one name, read through a log, as a folder and by
// absolute paths, keep their keys: against each other's summary nothing
// appears or disappears.
TEST_F(Gate, KeysDoNotDependOnHowThePathsWereGiven) {
    std::filesystem::create_directories(file("a"));
    std::filesystem::create_directories(file("b"));
    qtest::write_file(file("a/x.req.xml"), report_xml("Board", "OK", {{"t", "OK", ""}}));
    qtest::write_file(file("b/x.req.xml"), report_xml("Board", "OK", {{"t", "OK", ""}}));
    qtest::write_file(file("run.log"), "REQ a/x.req.xml\nREQ ./b/../b/x.req.xml\n");
    ASSERT_EQ(campaign({"--log", "run.log", "--json", "base.json"}).exit_status, 0);
    const std::vector<std::string> spellings[] = {
        {"."},
        {file("a/x.req.xml"), file("b/x.req.xml")},
        {"b/x.req.xml", "a/../a/x.req.xml"},
    };
    for (const auto& inputs : spellings) {
        std::vector<std::string> args = inputs;
        args.insert(args.end(), {"--baseline", "base.json"});
        const qtest::ProcessResult r = campaign(args);
        EXPECT_EQ(r.exit_status, 0) << inputs.front();
        EXPECT_EQ(r.out,
                  "Campaign OK: 2 reports, 2 tests (2 OK, 0 KO), 0 requirements (0 OK, 0 KO, 0 not "
                  "verified)\nSince the baseline: tests 0 regressed, 0 fixed, 0 appeared, 0 "
                  "disappeared; requirements 0 regressed, 0 fixed, 0 appeared, 0 disappeared\n")
            << inputs.front();
    }
}

// Hidden entries and names in no valid encoding are read; what cannot be read
// is a problem line and status 3, never a silent skip.
TEST_F(Gate, AFolderHidesNothing) {
    std::filesystem::create_directories(file("f/.hidden"));
    std::filesystem::create_directories(file("f/closed"));
    qtest::write_file(file("f/.six.req.xml"), report_xml("Six", "OK", {{"t", "OK", ""}}));
    qtest::write_file(file("f/.hidden/two.req.xml"), report_xml("Two", "OK", {{"t", "OK", ""}}));
    qtest::write_file(file("f/caf\xe9.req.xml"), report_xml("Cafe", "KO", {{"t", "KO", ""}}));
    qtest::write_file(file("f/closed/three.req.xml"), report_xml("Three", "OK", {}));
    std::filesystem::create_symlink(file("nowhere"), file("f/x.req.xml"));
    ::chmod(file("f/closed").c_str(), 0);
    ::chmod(dir.path().c_str(), 0755);
    // As a user the closed folder shuts out (root reads any folder).
    std::vector<std::string> args = {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                     QUILLON_CAMPAIGN_BINARY, "f"};
    if (::geteuid() != 0) {
        args.erase(args.begin(), args.begin() + 3);
        args.insert(args.begin(), "--");
    }
    const qtest::ProcessResult r =
        qtest::run_process("/usr/bin/setpriv", args, qtest::default_tool_environment(), dir.path());
    ::chmod(file("f/closed").c_str(), 0755);
    EXPECT_EQ(r.exit_status, 3) << r.err;
    EXPECT_EQ(r.err,
              "f/closed: cannot list this folder: Permission denied\n"
              "f/x.req.xml: cannot read: No such file or directory\n");
    EXPECT_EQ(r.out,
              "Campaign KO: 3 reports, 3 tests (2 OK, 1 KO), 0 requirements (0 OK, 0 KO, 0 not "
              "verified)\nKO test: Cafe / s / t\n");

    // The same name given as an argument.
    const qtest::ProcessResult direct = campaign({"f/caf\xe9.req.xml"});
    EXPECT_EQ(direct.exit_status, 1) << direct.err;
    EXPECT_EQ(direct.err, "");
}

// No output may replace an input or another output, however it is spelled:
// one line, status 4, nothing read or written. The summary may replace the
// baseline it was compared with.
TEST_F(Gate, AnOutputNeverReplacesAnInputOrAnotherOutput) {
    const std::string report = report_xml("R", "OK", {{"t", "OK", ""}});
    qtest::write_file(file("r.req.xml"), report);
    qtest::write_file(file("r.rod"), "KOVIN");
    ::utimensat(AT_FDCWD, file("r.rod").c_str(), nullptr, 0);
    qtest::write_file(file("r.req.xml"), report);  // no older than its ROD file
    qtest::write_file(file("list.txt"), "R1\n");
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"r.req.xml", "--json", "r.req.xml"},
         "quillon-campaign: the output r.req.xml would replace the input r.req.xml\n"},
        {{"r.req.xml", "--html", "./x/../r.req.xml"},
         "quillon-campaign: the output ./x/../r.req.xml would replace the input r.req.xml\n"},
        {{"r.rod", "--csv", "r.rod"},
         "quillon-campaign: the output r.rod would replace the input r.rod\n"},
        {{".", "--junit", file("r.req.xml")},
         "quillon-campaign: the output " + file("r.req.xml") +
             " would replace the input ./r.req.xml\n"},
        {{"r.req.xml", "--requirements", "list.txt", "--csv", "list.txt"},
         "quillon-campaign: the output list.txt would replace the input list.txt\n"},
        {{"r.req.xml", "--csv", "out", "--json", "./out"},
         "quillon-campaign: the outputs out and ./out are the same file\n"},
    };
    std::filesystem::create_directories(file("x"));
    for (const auto& c : cases) {
        const qtest::ProcessResult r = campaign(c.args);
        EXPECT_EQ(r.exit_status, 4) << c.args.back();
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(qtest::read_file(file("r.req.xml")), report);
        EXPECT_FALSE(qtest::file_exists(file("out")));
    }
    ASSERT_EQ(campaign({"r.req.xml", "--json", "s.json"}).exit_status, 0);
    EXPECT_EQ(campaign({"r.req.xml", "--baseline", "s.json", "--json", "s.json"}).exit_status, 0);
    EXPECT_EQ(campaign({"r.req.xml", "--csv", "/dev/null", "--json", "/dev/null"}).exit_status, 0);
}

// quillon -h puts the header file's entries into every report: a line
// "service:phantom=x" gives an element SERVICE, and "report_info:..." one
// REPORT_INFO. Neither is part of the run.
TEST_F(Gate, TheHeaderSectionPutsNothingIntoTheCampaign) {
    qtest::write_file(file("board.rod"), qtest::read_file(std::string(QUILLON_SOURCE_DIR) +
                                                          "/examples/campaign/board_a.rod"));
    qtest::write_file(file("h.txt"),
                      "service:phantom=x\nservice:ko=STATUS:KO\nreport_info:x=REPORT_NAME:Other\n"
                      "requirements:r=STATUS:KO\nHost=h\n");
    ASSERT_EQ(
        qtest::run_quillon({"-hh.txt", "board.rod"}, qtest::default_tool_environment(), dir.path())
            .exit_status,
        0);
    const qtest::ProcessResult r = campaign({"board.rod", "--quiet", "--json", "/dev/stdout"});
    EXPECT_EQ(r.exit_status, 0) << r.err;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    const QJsonObject report = json["reports"][0].toObject();
    EXPECT_EQ(report["name"].toString().toStdString(), "Flight control, board A");
    QStringList services;
    for (const QJsonValue& service : report["services"].toArray()) {
        services.append(service[0].toString());
    }
    EXPECT_EQ(services, QStringList({"altitude_hold", "watchdog"}));
}

// What a CI owner counts as failing: a new KO test, a run gone KO without a
// KO test, and a requirement list that is empty; a list's header row is no
// requirement.
TEST_F(Gate, NewFailuresAndListsAsACiOwnerReadsThem) {
    qtest::write_file(file("base.req.xml"), report_xml("R", "OK", {{"t", "OK", "R1"}}));
    ASSERT_EQ(campaign({"base.req.xml", "--json", "base.json"}).exit_status, 0);
    const struct {
        const char* what;
        std::string report;
        std::string list;  // none when empty
        std::vector<std::string> options;
        int status;
    } cases[] = {
        {"new KO test",
         report_xml("R", "KO", {{"t", "OK", "R1"}, {"u", "KO", ""}}),
         "",
         {"--baseline", "base.json", "--fail-on=regression"},
         2},
        {"run gone KO",
         report_xml("R", "KO", {{"t", "OK", "R1"}}),
         "",
         {"--baseline", "base.json", "--fail-on=regression"},
         2},
        {"header row",
         report_xml("R", "OK", {{"t", "OK", "R1"}}),
         "Requirement ID;Title\nR1;x\n",
         {},
         0},
        {"our own CSV",
         report_xml("R", "OK", {{"t", "OK", "R1"}}),
         "requirement,verdict,ok,ko,listed,places\r\nR1,OK,1,0,,R/s/t\r\n",
         {},
         0},
        {"empty list", report_xml("R", "OK", {{"t", "OK", "R1"}}), "id\n\n", {}, 3},
    };
    for (const auto& c : cases) {
        qtest::write_file(file("r.req.xml"), c.report);
        std::vector<std::string> args = {"r.req.xml"};
        if (!c.list.empty()) {
            qtest::write_file(file("list.csv"), c.list);
            args.insert(args.end(), {"--requirements", "list.csv"});
        }
        args.insert(args.end(), c.options.begin(), c.options.end());
        const qtest::ProcessResult r = campaign(args);
        EXPECT_EQ(r.exit_status, c.status) << c.what << "\n" << r.out << r.err;
    }
}

// A harness that crashed inside a test leaves a ROD file that converts to a
// passing report: quillon warns, and the campaign of that ROD file fails.
TEST_F(Gate, ARodFileCutShortInsideATestIsAProblem) {
    const std::string rod =
        qtest::read_file(std::string(QUILLON_SOURCE_DIR) + "/examples/campaign/board_b.rod");
    std::size_t end = 0;
    for (int line = 0; line < 26; ++line) {
        end = rod.find('\n', end) + 1;
    }
    qtest::write_file(file("board_b.rod"), rod.substr(0, end));
    const qtest::ProcessResult quillon =
        qtest::run_quillon({"board_b.rod"}, qtest::default_tool_environment(), dir.path());
    EXPECT_EQ(quillon.exit_status, 0);
    const qtest::ProcessResult r = campaign({"board_b.rod", "--quiet"});
    EXPECT_EQ(r.exit_status, 3);
    EXPECT_EQ(r.err,
              "board_b.rod: the file ends inside test saturated_climb (line 19), which has no "
              "verdict: the run was cut short\n");
}

}  // namespace
