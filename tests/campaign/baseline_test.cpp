// Changes against an earlier run: every category, for runs, tests and
// requirements, and baselines that cannot be used.

#include "campaign/baseline.h"
#include "campaign/json_writer.h"

#include <gtest/gtest.h>

namespace {

Campaign now() {
    ReportResult r;
    r.name = "A";
    r.run_ok = false;
    r.services = {{r.add_text("s"), true}};
    r.tests = {{0, r.add_text("same"), true},
               {0, r.add_text("regressed"), false},
               {0, r.add_text("fixed"), true},
               {0, r.add_text("new"), false}};
    r.requirements = {{r.add_text("R_same"), {}, true, 0, 0, {}},
                      {r.add_text("R_regressed"), {}, false, 0, 1, {}},
                      {r.add_text("R_fixed"), {}, true, 0, 2, {}},
                      {r.add_text("R_new"), {}, true, 0, 0, {}}};
    return build_campaign({r}, std::vector<std::string>{"R_gone_unverified"}, {});
}

// The same earlier run as version 1 wrote it (objects, members sorted) and
// as version 2 does (arrays, requirements where they stand); members the
// diff does not need, in any order, are passed over.
const char* const kEarlierRun[] = {
    R"({"format": "quillon-campaign", "version": 1,
        "reports": [{"name": "A", "verdict": "OK", "services": [{"name": "s", "tests": [
            {"name": "same", "verdict": "OK"}, {"name": "regressed", "verdict": "OK"},
            {"name": "fixed", "verdict": "KO"}, {"name": "gone", "verdict": "OK"}]}]}],
        "requirements": [{"id": "R_same", "verdict": "OK"}, {"id": "R_regressed", "verdict": "OK"},
            {"id": "R_fixed", "verdict": "KO"}, {"id": "R_gone", "verdict": "KO"},
            {"id": "R_new", "verdict": "not verified"},
            {"id": "R_gone_unverified", "verdict": "OK"}]})",
    R"({"format":"quillon-campaign","version":2,"verdict":"KO","counts":{"tests":4},
        "reports":[{"services":[["s","KO",[["same","OK",[["R_same","OK","v",{"x":[1]}]]],
            ["regressed","OK"],["fixed","KO"],["gone","OK"]]]],"path":"a.req.xml","verdict":"OK",
            "name":"A","requirements":[["R_gone","KO",""]]}],
        "requirements":[["R_same","OK",1,0],["R_regressed","OK",1,0],["R_fixed","KO",0,1],
            ["R_gone","KO",0,1],["R_new","not verified",0,0,true],
            ["R_gone_unverified","OK",1,0,false]],
        "changes":{"tests":{"appeared":[["A","s","x"]]}}})",
};

TEST(Baseline, EveryChangeOfTestsAndRequirementsFromEitherVersion) {
    for (const char* const json : kEarlierRun) {
        Baseline before;
        QString error;
        ASSERT_TRUE(parse_baseline(json, &before, &error)) << error.toStdString();
        const Changes changes = compare_with_baseline(before, now());
        const auto test = [](const char* name) { return TestId{"A", "s", name}; };
        // A test that appears KO fails the gate as a regression too.
        EXPECT_EQ(changes.tests[kRegression],
                  (std::vector<TestId>{test("new"), test("regressed")}));
        EXPECT_EQ(changes.tests[kFixed], std::vector<TestId>{test("fixed")});
        EXPECT_EQ(changes.tests[kAppeared], std::vector<TestId>{test("new")});
        EXPECT_EQ(changes.tests[kDisappeared], std::vector<TestId>{test("gone")});
        using Ids = std::vector<std::string>;
        EXPECT_EQ(changes.runs[kRegression], Ids{"A"});
        EXPECT_EQ(changes.requirements[kRegression], Ids{"R_regressed"});
        EXPECT_EQ(changes.requirements[kFixed], Ids{"R_fixed"});
        // Not verified counts as absent, on either side.
        EXPECT_EQ(changes.requirements[kAppeared], Ids{"R_new"});
        EXPECT_EQ(changes.requirements[kDisappeared], (Ids{"R_gone", "R_gone_unverified"}));
    }
}

// The summary a run writes, read back as the next run's baseline.
TEST(Baseline, ACampaignComparedWithItsOwnSummaryHasNoChange) {
    const Campaign c = now();
    XmlStream json;
    write_campaign_json(json, c, {}, nullptr, nullptr);
    Baseline baseline;
    QString error;
    ASSERT_TRUE(parse_baseline(QByteArray::fromStdString(json.text()), &baseline, &error))
        << error.toStdString();
    const Changes changes = compare_with_baseline(baseline, c);
    for (int kind = 0; kind < kChangeKinds; ++kind) {
        EXPECT_TRUE(changes.runs[kind].empty()) << kind;
        EXPECT_TRUE(changes.tests[kind].empty()) << kind;
        EXPECT_TRUE(changes.requirements[kind].empty()) << kind;
    }
}

TEST(Baseline, RefusesWhatIsNotASummaryOfThisFormat) {
    const struct {
        const char* json;
        const char* error;
    } cases[] = {
        {"{\"format\": \"quillon-campaign\", \"version\": 3}",
         "not the JSON summary of quillon-campaign, version 1 or 2"},
        {"{\"version\": 1}", "not the JSON summary of quillon-campaign, version 1 or 2"},
        {"[1, 2]", "not the JSON summary of quillon-campaign, version 1 or 2"},
        {"[1, 2", "not JSON: unterminated array"},
        {"{\"format\": \"quillon-campaign\", \"version\": 2, \"reports\": [{\"name\" 1}]}",
         "not JSON: missing name separator"},
    };
    for (const auto& c : cases) {
        Baseline baseline;
        QString error;
        EXPECT_FALSE(parse_baseline(c.json, &baseline, &error)) << c.json;
        EXPECT_EQ(error.toStdString(), c.error) << c.json;
    }
}

}  // namespace
