#pragma once
// The campaign page's provenance section: when, by which version and from
// which command line the page was made, against which baseline, and each
// report read (its file, size, SHA-256 and run fields) in a folded table,
// one row per report.

#include "campaign/campaign.h"
#include "campaign/provenance.h"
#include "xml/xml_stream.h"

void write_provenance_section(XmlStream& out, const Campaign& campaign,
                              const CampaignProvenance& provenance);
