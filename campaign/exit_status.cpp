#include "campaign/exit_status.h"

int campaign_exit_status(const Campaign& campaign, const Changes* changes, FailOn fail_on,
                         bool output_failed) {
    if (output_failed) {
        return kExitOutput;
    }
    if (!campaign.problems.isEmpty()) {
        return kExitInputs;
    }
    if (fail_on == FailOn::None) {
        return kExitOk;
    }
    const bool regressed =
        changes && (!changes->runs[kRegression].empty() || !changes->tests[kRegression].empty() ||
                    !changes->requirements[kRegression].empty());
    if (regressed) {
        return kExitRegression;
    }
    if (fail_on == FailOn::Ko && !campaign.ok) {
        return kExitKo;
    }
    return kExitOk;
}
