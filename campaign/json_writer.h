#pragma once
// The campaign as a JSON document, for dashboards and as the next run's
// baseline: compact, versioned ("format": "quillon-campaign", "version")
// and documented in the manual page and the README. Each fact is written
// once, where it stands: a test's requirements inside the test, a
// requirement's own entry with its verdict and counts only.

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "campaign/history_view.h"
#include "campaign/provenance.h"
#include "xml/xml_stream.h"

// The version this program writes; the baseline reader reads it and 1.
constexpr int kCampaignJsonVersion = 2;

// changes is null when no baseline was given, history without --history;
// the document then has no "changes" or "history" member. After the
// version come the campaign's provenance: "generated", "tool_version",
// "command_line" (the program's name and arguments) and, with a baseline
// file, "baseline" (its "path", and its own "generated" or null). Each report
// carries its provenance (size, sha256, run_date, target, suite_path) and,
// when it has KO tests, their "causes"; "titles" gives the requirement
// list's titles by ID when it has any.
void write_campaign_json(XmlStream& out, const Campaign& campaign,
                         const CampaignProvenance& provenance, const Changes* changes,
                         const CampaignHistory* history);
