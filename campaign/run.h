#pragma once
// One run of quillon-campaign once its options are known: resolve the
// inputs, read the reports (in parallel), the requirements list and the
// baseline, build the campaign, write the outputs asked for, and print the
// problems (standard error) and the summaries (standard output).

#include "campaign/options.h"

#include <cstdio>

// Returns the exit status (see exit_status.h).
int run_campaign(const CampaignOptions& options, FILE* out, FILE* err);
