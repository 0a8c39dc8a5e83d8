// The example campaign end to end, as the README's CI recipe runs it: the
// built quillon converts the ROD files with a log, then quillon-campaign
// gathers the reports of those ROD files against the requirement list and
// the earlier run's summary.

#include "tests/campaign/campaign_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

const std::string kExamples = std::string(QUILLON_SOURCE_DIR) + "/examples/campaign/";
const std::vector<std::string> kRods = {"board_a.rod", "board_b.rod", "power.rod"};

// quillon -lrun.log *.rod, then quillon-campaign with inputs and the outputs.
struct Recipe {
    qtest::ProcessResult quillon;
    qtest::ProcessResult campaign;
};

Recipe run_recipe(const qtest::TempDir& dir, const std::vector<std::string>& inputs) {
    std::vector<std::string> args = {"-lrun.log"};
    args.insert(args.end(), kRods.begin(), kRods.end());
    Recipe r;
    r.quillon = qtest::run_quillon(args, qtest::default_tool_environment(), dir.path());
    args = inputs;
    args.insert(args.end(),
                {"--requirements", kExamples + "requirements.txt", "--baseline",
                 kExamples + "baseline.json", "--json", "campaign.json", "--csv", "campaign.csv",
                 "--junit", "campaign.junit.xml", "--html", "campaign.html"});
    r.campaign = ctest::run_campaign_tool(args, dir.path());
    return r;
}

TEST(ExampleCampaign, QuillonThenQuillonCampaignShowTheRegressionAndTheFix) {
    qtest::TempDir dir;
    for (const std::string& rod : kRods) {
        qtest::write_file(dir.file(rod), qtest::read_file(kExamples + rod));
    }
    const Recipe recipe = run_recipe(dir, kRods);
    ASSERT_EQ(recipe.quillon.exit_status, 0) << recipe.quillon.err;
    for (const char* report : {"board_a.req.xml", "board_b.req.xml", "power.req.xml"}) {
        std::string error;
        EXPECT_TRUE(qtest::parses_as_xml(qtest::read_file(dir.file(report)), &error)) << error;
    }
    const qtest::ProcessResult& r = recipe.campaign;
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, qtest::read_file(ctest::kExpected + "example.stdout"));
    // The command line names the examples' folder.
    const auto read_output = [&](const std::string& name) {
        return ctest::with_placeholders(qtest::read_file(dir.file(name)),
                                        {{std::string(QUILLON_SOURCE_DIR), "SRC"}});
    };
    EXPECT_EQ(read_output("campaign.json"), qtest::read_file(ctest::kExpected + "example.json"));
    EXPECT_EQ(qtest::read_file(dir.file("campaign.csv")),
              qtest::read_file(ctest::kExpected + "example.csv"));
    EXPECT_EQ(qtest::read_file(dir.file("campaign.junit.xml")),
              qtest::read_file(ctest::kExpected + "example.junit.xml"));
    EXPECT_EQ(read_output("campaign.html"), qtest::read_file(ctest::kExpected + "example.html"));
    std::string error;
    EXPECT_TRUE(qtest::parses_as_xml(qtest::read_file(dir.file("campaign.junit.xml")), &error))
        << error;
    // Each report's checksum is the one sha256sum gives of the file.
    const QJsonObject json =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(qtest::read_file(dir.file("campaign.json"))))
            .object();
    for (const QJsonValue& report : json[QStringLiteral("reports")].toArray()) {
        const std::string path = report[QStringLiteral("path")].toString().toStdString();
        const qtest::ProcessResult sum = qtest::run_process(
            "/usr/bin/sha256sum", {path}, {{"PATH", "/usr/bin:/bin"}}, dir.path());
        EXPECT_EQ(report[QStringLiteral("sha256")].toString().toStdString(),
                  sum.out.substr(0, sum.out.find(' ')))
            << path;
    }
    // Each report is linked to its page, rendered beside the campaign page.
    const std::string page = qtest::read_file(dir.file("campaign.html"));
    EXPECT_NE(page.find("<a href=\"campaign.pages/board_b.html\">Flight control, board B</a>"),
              std::string::npos);
    // Every place and failing test links to an element of a written report page.
    const std::string prefix = "href=\"campaign.pages/";
    int anchors = 0;
    for (std::size_t at = page.find(prefix); at != std::string::npos;
         at = page.find(prefix, at + 1)) {
        const std::string link = page.substr(
            at + prefix.size(), page.find('"', at + prefix.size()) - at - prefix.size());
        const std::size_t hash = link.find('#');
        const std::string target = dir.file("campaign.pages/" + link.substr(0, hash));
        EXPECT_TRUE(qtest::file_exists(target)) << link;
        if (hash != std::string::npos) {
            ++anchors;
            const QByteArray id =
                QByteArray::fromPercentEncoding(QByteArray::fromStdString(link.substr(hash + 1)));
            EXPECT_NE(qtest::read_file(target).find("id=\"" + id.toStdString() + "\""),
                      std::string::npos)
                << link;
        }
    }
    EXPECT_GT(anchors, 10);
}

// A ROD file the harness left as garbage is turned down by quillon, which
// writes no report for it: the recipe's campaign must not pass on the
// report of the run before, whether it is given the ROD files or the log.
TEST(ExampleCampaign, AGarbageRodFileFailsTheRecipeWithStatus3) {
    const struct {
        std::vector<std::string> inputs;
        std::string problem;
    } cases[] = {
        {kRods, "board_b.rod: no report: board_b.req.xml is older than the ROD file\n"},
        {{"--log", "run.log"},
         "board_b.rod: no report: board_b.req.xml is older than the ROD file\n"},
    };
    for (const auto& c : cases) {
        qtest::TempDir dir;
        for (const std::string& rod : kRods) {
            qtest::write_file(dir.file(rod), qtest::read_file(kExamples + rod));
        }
        ASSERT_EQ(run_recipe(dir, kRods).campaign.exit_status, 2);  // yesterday's good run
        qtest::write_file(dir.file("board_b.rod"), "Segmentation fault\n");
        const Recipe recipe = run_recipe(dir, c.inputs);
        EXPECT_EQ(recipe.quillon.exit_status, 0);
        EXPECT_EQ(recipe.campaign.exit_status, 3) << c.inputs.back();
        EXPECT_EQ(recipe.campaign.err, c.problem);
    }
}

}  // namespace
