#pragma once
// What standard output says of a campaign, so that a CI log names what
// failed: the verdict and counts; then, when KO, the KO requirements (each
// with its first KO place), the listed ones not verified, the KO tests and
// the KO runs without a KO test (with the service that made each KO, when
// the report holds one). At most 20 lines of each list, then "... and N
// more".

#include "campaign/campaign.h"

#include <QString>

QString campaign_summary(const Campaign& campaign);
