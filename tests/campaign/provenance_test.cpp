// The campaign's provenance: the command line as one would type it, and the
// JSON's provenance members, with SOURCE_DATE_EPOCH, read back from a
// baseline that has them.

#include "campaign/provenance.h"
#include "tests/campaign/campaign_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

TEST(Provenance, TheCommandLineIsQuotedForAShell) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "quillon-campaign"},
        {{"a.req.xml", "--html=out/c.html"}, "quillon-campaign a.req.xml --html=out/c.html"},
        {{"my report.req.xml", ""}, "quillon-campaign 'my report.req.xml' ''"},
        {{"it's"}, "quillon-campaign 'it'\\''s'"},
        {{"a\nb\\'\x01"}, "quillon-campaign $'a\\nb\\\\\\'\\x01'"},
        {{"\xC3\xA9t\xC3\xA9"}, "quillon-campaign \xC3\xA9t\xC3\xA9"},
        {{"\xFF"}, "quillon-campaign \xEF\xBF\xBD"},
    };
    for (const auto& [arguments, line] : cases) {
        EXPECT_EQ(shown_command_line(arguments), line);
    }
}

QJsonObject json_of(const std::string& path) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(qtest::read_file(path))).object();
}

// A first run's JSON is the second one's baseline: the second says when the
// first was made, and each says its own time, version and command line.
TEST(Provenance, TheJsonSaysWhenByWhatFromWhatAndAgainstWhat) {
    qtest::TempDir dir;
    qtest::write_file(dir.file("a.req.xml"), ctest::report_xml("A", "OK", {{"t", "OK", "R1"}}));
    qtest::Environment env = qtest::default_tool_environment();
    env["SOURCE_DATE_EPOCH"] = "1796759702";
    ASSERT_EQ(ctest::run_campaign_tool({"a.req.xml", "--json", "first.json"}, dir.path(), env)
                  .exit_status,
              0);
    env["SOURCE_DATE_EPOCH"] = "1796846102";
    ASSERT_EQ(ctest::run_campaign_tool(
                  {"a.req.xml", "--baseline", "first.json", "--json=second.json"}, dir.path(), env)
                  .exit_status,
              0);
    const QJsonObject first = json_of(dir.file("first.json"));
    const QJsonObject second = json_of(dir.file("second.json"));
    EXPECT_EQ(first["generated"].toString(), "2026-12-08T19:55:02Z");
    EXPECT_EQ(first["tool_version"].toString(), QUILLON_VERSION);
    EXPECT_FALSE(first.contains("baseline"));
    EXPECT_EQ(second["generated"].toString(), "2026-12-09T19:55:02Z");
    EXPECT_EQ(second["command_line"].toArray(),
              QJsonArray({"quillon-campaign", "a.req.xml", "--baseline", "first.json",
                          "--json=second.json"}));
    EXPECT_EQ(second["baseline"].toObject(),
              QJsonObject({{"path", "first.json"}, {"generated", "2026-12-08T19:55:02Z"}}));
}

}  // namespace
