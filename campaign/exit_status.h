#pragma once
// The exit status of quillon-campaign, for CI to gate on. When several apply,
// the first in this list wins:
//   5  an output file could not be written, or the history database could
//      not be reached, refused us or failed while recording
//   4  the command line was wrong (nothing was read)
//   3  an input could not be used: unreadable, malformed, or no report
//   2  a run, test or requirement went from OK to KO since the baseline, or
//      appeared KO
//   1  the campaign is KO (a KO run, test or requirement, or a listed
//      requirement not verified)
//   0  otherwise
// --fail-on=ko (the default) lets 2 and 1 through, --fail-on=regression
// only 2, --fail-on=none neither; 3, 4 and 5 always count.

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "campaign/options.h"

enum CampaignExit : int {
    kExitOk = 0,
    kExitKo = 1,
    kExitRegression = 2,
    kExitInputs = 3,
    kExitUsage = 4,
    kExitOutput = 5,
};

// changes is null without a baseline.
int campaign_exit_status(const Campaign& campaign, const Changes* changes, FailOn fail_on,
                         bool output_failed);
