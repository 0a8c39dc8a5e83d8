// The exit status as a CI gate: what each --fail-on lets through, and which
// status wins when several apply.

#include "campaign/exit_status.h"

#include <gtest/gtest.h>

namespace {

TEST(ExitStatus, FailOnChoosesWhatFailsAndInputsAndOutputsAlwaysDo) {
    ReportResult ok_report;
    ok_report.name = "A";
    ReportResult ko_report = ok_report;
    ko_report.run_ok = false;
    Changes regression;
    regression.requirements[kRegression].push_back("R1");
    const Changes quiet;

    const struct {
        bool ko;
        const Changes* changes;
        bool problem;
        bool output_failed;
        FailOn fail_on;
        int status;
    } cases[] = {
        {false, nullptr, false, false, FailOn::Ko, kExitOk},
        {false, &quiet, false, false, FailOn::Ko, kExitOk},
        {true, nullptr, false, false, FailOn::Ko, kExitKo},
        {true, &regression, false, false, FailOn::Ko, kExitRegression},
        {true, nullptr, false, false, FailOn::Regression, kExitOk},
        {true, &regression, false, false, FailOn::Regression, kExitRegression},
        {true, &regression, false, false, FailOn::None, kExitOk},
        {true, &regression, true, false, FailOn::Ko, kExitInputs},
        {false, nullptr, true, false, FailOn::None, kExitInputs},
        {true, &regression, true, true, FailOn::Ko, kExitOutput},
        {false, nullptr, false, true, FailOn::None, kExitOutput},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        QStringList problems;
        if (c.problem) {
            problems.append(QStringLiteral("x: cannot read"));
        }
        const Campaign campaign =
            build_campaign({c.ko ? ko_report : ok_report}, std::nullopt, problems);
        EXPECT_EQ(campaign_exit_status(campaign, c.changes, c.fail_on, c.output_failed), c.status)
            << "case " << i;
    }
}

}  // namespace
