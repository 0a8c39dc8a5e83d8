#pragma once
// Where the campaign page links each report: to its own page when one sits
// beside it (x.html for x.req.xml), else to the report itself, as a URL
// relative to the folder of the campaign page.

#include "campaign/campaign.h"

#include <QString>

#include <string>
#include <vector>

std::vector<std::string> report_links(const Campaign& campaign, const QString& page_directory);
