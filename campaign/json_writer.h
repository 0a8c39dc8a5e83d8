#pragma once
// The campaign as a JSON document, for dashboards and as the next run's
// baseline. The layout is versioned ("format": "quillon-campaign",
// "version": 1) and documented in the manual page and the README. Members
// are sorted by key, as QJsonDocument wrote them.

#include "campaign/baseline.h"
#include "campaign/campaign.h"
#include "xml/xml_stream.h"

// changes is null when no baseline was given; the document then has no
// "changes" member.
void write_campaign_json(XmlStream& out, const Campaign& campaign, const Changes* changes);
