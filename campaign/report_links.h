#pragma once
// Where the campaign page links each report: to the page rendered for it
// (pages, per report; empty where none was), else to its own page when one
// sits beside it (x.html for x.req.xml), else to the report itself, as a URL
// relative to the folder of the campaign page.

#include "campaign/campaign.h"

#include <string>
#include <vector>

// The folder a page at page_path lands in, absolute (bytes).
std::string folder_of_page(const std::string& page_path);

std::vector<std::string> report_links(const Campaign& campaign, const std::string& page_directory,
                                      const std::vector<std::string>& pages);
