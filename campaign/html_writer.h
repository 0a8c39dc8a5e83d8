#pragma once
// The campaign page: one self-contained HTML file with the campaign verdict
// and counts (each a link that applies its filter), the reports (KO first),
// the requirement matrix (KO and not verified first), the failing tests by
// report, the changes against the baseline and the provenance. Its size
// follows what a person reads, not the campaign: a matrix row shows a few
// places, KO ones first, and how many more (the KO ones in a fold);
// passing tests are never listed one by one, and the failing ones are
// folded by report when many; changes other than regressions are capped.
//
// Rows of the reports, matrix and failing-tests tables are <div class="row">
// with data-verdict "OK", "KO" or "NV" (not verified) and an id made by
// anchor_id from names only: "report-<report>", "req-<ID>",
// "test-<report>/<service>/<test>".

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "campaign/provenance.h"
#include "xml/xml_stream.h"

#include <string>
#include <vector>

struct CampaignHistory;

// links holds, per report, the URL its name links to (see report_links);
// changes is null without a baseline, history without a history (the page
// then has none of its parts, see html_history.h).
void write_campaign_html(XmlStream& out, const Campaign& campaign,
                         const CampaignProvenance& provenance, const Changes* changes,
                         const std::vector<std::string>& links,
                         const CampaignHistory* history = nullptr);
