#pragma once
// The requirement matrix as CSV (RFC 4180: comma-separated, CRLF line ends,
// fields quoted when they hold a comma, a quote or a line break), UTF-8.
// Columns: requirement, title (from the requirement list), verdict (OK, KO
// or not verified), ok, ko, listed (yes or no; empty without a requirements
// list), places (report/service/test[/element] followed by " (KO)" or
// " (OK)", KO ones first, joined with "; "). A cell that a spreadsheet would
// run as a formula gets a leading '.

#include "campaign/campaign.h"
#include "xml/xml_stream.h"

void write_campaign_csv(XmlStream& out, const Campaign& campaign);
