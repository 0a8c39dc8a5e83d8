// The campaign model: one verdict per requirement, the requirement list,
// names made unique, and the campaign verdict.

#include "campaign/campaign.h"

#include <gtest/gtest.h>

namespace {

struct Occurrence {
    std::string id;
    bool ok = true;
    int test = -1;
};

ReportResult report(const std::string& name, const std::string& path, bool run_ok,
                    const std::vector<Occurrence>& requirements = {}) {
    ReportResult r;
    r.name = name;
    r.path = path;
    r.real_path = "/campaign/" + path;
    r.run_ok = run_ok;
    r.services = {{r.add_text("s"), true}};
    for (const char* test : {"t", "t", "u"}) {
        r.tests.push_back({0, r.add_text(test)});
    }
    for (const Occurrence& o : requirements) {
        r.requirements.push_back({r.add_text(o.id), {}, o.ok, o.test >= 0 ? 0 : -1, o.test, {}});
    }
    return r;
}

Occurrence occurrence(const std::string& id, bool ok, int test = -1) {
    return {id, ok, test};
}

std::vector<std::string> test_keys(const Campaign& c, int report) {
    std::vector<std::string> keys;
    for (std::size_t t = 0; t < c.test_keys[report].size(); ++t) {
        keys.emplace_back(c.test_key(report, static_cast<int>(t)));
    }
    return keys;
}

TEST(Campaign, ARequirementIsKoWhenAnyOccurrenceIsAndListsKoThenNotVerifiedThenOk) {
    std::vector<ReportResult> reports;
    reports.push_back(
        report("A", "a.req.xml", true,
               {occurrence("R2", true, 0), occurrence("R1", true), occurrence("R3", true)}));
    reports.push_back(
        report("B", "b.req.xml", true, {occurrence("R2", false, 2), occurrence("R1", true)}));
    const Campaign c =
        build_campaign(std::move(reports), std::vector<std::string>{"R1", "R2", "R9", "R9"}, {});
    ASSERT_EQ(c.requirements.size(), 4u);
    const std::vector<std::tuple<std::string, RequirementVerdict, int, int, bool>> expected = {
        {"R2", RequirementVerdict::Ko, 1, 1, true},
        {"R9", RequirementVerdict::NotVerified, 0, 0, true},
        {"R1", RequirementVerdict::Ok, 2, 0, true},
        {"R3", RequirementVerdict::Ok, 1, 0, false},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Requirement& r = c.requirements[i];
        EXPECT_EQ(std::tie(r.id, r.verdict, r.ok_count, r.ko_count, r.listed), expected[i]) << i;
    }
    // Places: the KO one first; each names the test by its unique name.
    EXPECT_EQ(place_text(c, c.requirements[0].places[0], "/"), "B/s/u");
    EXPECT_EQ(place_text(c, c.requirements[0].places[1], "/"), "A/s/t");
    EXPECT_EQ(place_text(c, c.requirements[2].places[0], "/"), "A");
    EXPECT_EQ(c.counts.requirements_ko, 1);
    EXPECT_EQ(c.counts.requirements_not_verified, 1);
    EXPECT_EQ(c.counts.requirements_unlisted, 1);
    EXPECT_FALSE(c.ok);
}

TEST(Campaign, SharedNamesAreMadeUnique) {
    std::vector<ReportResult> reports;
    reports.push_back(report("Board", "a/x.req.xml", true));
    reports.push_back(report("Board", "b/x.req.xml", true));
    reports.push_back(report("Other", "c.req.xml", true));
    const Campaign c = build_campaign(std::move(reports), std::nullopt, {});
    EXPECT_EQ(c.report_keys,
              (std::vector<std::string>{"Board (a/x.req.xml)", "Board (b/x.req.xml)", "Other"}));
    EXPECT_EQ(test_keys(c, 0), (std::vector<std::string>{"t", "t #2", "u"}));
}

// Services of one name share their tests' keys, wherever they stand.
TEST(Campaign, TestKeysAreUniqueAcrossServicesOfOneName) {
    ReportResult r = report("A", "a", true);
    r.services = {{r.add_text("s"), true}, {r.add_text("v"), true}, {r.add_text("s"), true}};
    r.tests = {
        {0, r.add_text("t")}, {1, r.add_text("t")}, {2, r.add_text("t #2")}, {2, r.add_text("t")}};
    std::vector<ReportResult> reports;
    reports.push_back(std::move(r));
    const Campaign c = build_campaign(std::move(reports), std::nullopt, {});
    EXPECT_EQ(test_keys(c, 0), (std::vector<std::string>{"t", "t", "t #2", "t #3"}));
}

// A suffix never takes a name that is really there, so no two keys are alike
// and the baseline cannot merge two tests.
TEST(Campaign, KeysNeverCollideWithNamesThatLookLikeSuffixes) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"t", "t", "t #2"}, {"t", "t #3", "t #2"}},
        {{"t #2", "t", "t"}, {"t #2", "t", "t #3"}},
        {{"t", "t #2", "t", "t #3", "t"}, {"t", "t #2", "t #4", "t #3", "t #5"}},
        {{"t #2", "t #2", "t"}, {"t #2", "t #2 #2", "t"}},
        {{"", ""}, {"", " #2"}},
    };
    for (const auto& [names, keys] : cases) {
        EXPECT_EQ(unique_keys(names), keys) << names.size();
    }
}

// However a report was named (relative, absolute, through a link), its key
// comes from its name and its canonical place only.
TEST(Campaign, ReportKeysDoNotDependOnTheSpellingOfThePaths) {
    const auto keys = [](const std::string& path_a, const std::string& path_b) {
        std::vector<ReportResult> reports;
        reports.push_back(report("Board", path_a, true));
        reports.push_back(report("Board", path_b, true));
        reports[0].real_path = "/home/ci/out/a/x.req.xml";
        reports[1].real_path = "/home/ci/out/b/x.req.xml";
        return build_campaign(std::move(reports), std::nullopt, {}).report_keys;
    };
    const std::vector<std::string> expected = {"Board (a/x.req.xml)", "Board (b/x.req.xml)"};
    EXPECT_EQ(keys("a/x.req.xml", "b/x.req.xml"), expected);
    EXPECT_EQ(keys("/home/ci/out/a/x.req.xml", "./b/../b/x.req.xml"), expected);
    EXPECT_EQ(keys("out/a/x.req.xml", "link/x.req.xml"), expected);
}

TEST(Campaign, VerdictIsOkOnlyWhenNothingSaysOtherwise) {
    const auto verdict = [](std::vector<ReportResult> reports,
                            std::optional<std::vector<std::string>> listed, QStringList problems) {
        return build_campaign(std::move(reports), listed, problems).ok;
    };
    EXPECT_TRUE(verdict({report("A", "a", true, {occurrence("R1", true)})}, std::nullopt, {}));
    // A KO run whose tests are all OK.
    EXPECT_FALSE(verdict({report("A", "a", false)}, std::nullopt, {}));
    ReportResult ko_test = report("A", "a", true);
    ko_test.tests[1].ok = false;
    EXPECT_FALSE(verdict({ko_test}, std::nullopt, {}));
    EXPECT_FALSE(verdict({report("A", "a", true)}, std::vector<std::string>{"R1"}, {}));
    EXPECT_FALSE(verdict({report("A", "a", true)}, std::nullopt, {"x: cannot read"}));
}

}  // namespace
