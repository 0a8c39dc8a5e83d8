#pragma once
// The campaign as a JSON document, for dashboards and as the next run's
// baseline: compact, versioned ("format": "quillon-campaign", "version")
// and documented in the manual page and the README. Each fact is written
// once, where it stands: a test's requirements inside the test, a
// requirement's own entry with its verdict and counts only.

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "xml/xml_stream.h"

// The version this program writes; the baseline reader reads it and 1.
constexpr int kCampaignJsonVersion = 2;

// changes is null when no baseline was given; the document then has no
// "changes" member.
void write_campaign_json(XmlStream& out, const Campaign& campaign, const Changes* changes);
