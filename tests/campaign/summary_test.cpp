// The summary on standard output: what is KO, named, twenty lines a list at
// most.

#include "campaign/summary.h"

#include <gtest/gtest.h>

namespace {

TEST(CampaignSummary, NamesEachFailureAndCutsLongListsAtTwenty) {
    ReportResult tests;
    tests.name = "T";
    tests.run_ok = false;
    tests.services = {{tests.add_text("s"), false}};
    for (int t = 0; t < 25; ++t) {
        tests.tests.push_back({0, tests.add_text("t" + std::to_string(t)), false});
    }
    tests.requirements = {{tests.add_text("R1"), {}, true, 0, 0, {}},
                          {tests.add_text("R1"), {}, false, 0, 3, tests.add_text("e")}};
    ReportResult by_service;
    by_service.name = "S";
    by_service.run_ok = false;
    by_service.services = {{by_service.add_text("ok"), true}, {by_service.add_text("bad"), false}};
    by_service.tests = {{1, by_service.add_text("t"), true}};
    ReportResult by_run = by_service;
    by_run.name = "R";
    by_run.services[1].ok = true;
    const Campaign campaign =
        build_campaign({tests, by_service, by_run}, std::vector<std::string>{"R1", "R2"}, {});
    std::string expected =
        "Campaign KO: 3 reports, 27 tests (2 OK, 25 KO), 2 requirements (0 OK, 1 KO, 1 not "
        "verified)\nKO requirement R1: T / s / t3 / e\nNot verified: R2\n";
    for (int t = 0; t < 20; ++t) {
        expected += "KO test: T / s / t" + std::to_string(t) + "\n";
    }
    expected +=
        "... and 5 more\n"
        "KO run: S (service bad is KO while none of its tests is)\n"
        "KO run: R (the result file's own verdict; no test or service is KO)\n";
    EXPECT_EQ(campaign_summary(campaign).toStdString(), expected);
}

}  // namespace
