#pragma once
// The page of every report of the campaign, rendered into one folder, so
// that the campaign page links each report and each place to a page that
// exists and the user runs nothing else.
//
// A page is named after its report's file (x.html for x.req.xml); when
// several reports share that name, each gets "~" and eight hexadecimal
// digits of a hash of its key, so a link stays the same from one campaign
// to the next. A page newer than its report and the stylesheet is kept as
// it is: a rerun renders only what changed. The folder is made when missing
// (its parent must exist). Pages are rendered in parallel.

#include "campaign/campaign.h"

#include <QStringList>

#include <string>
#include <vector>

struct ReportPageSet {
    std::vector<std::string> pages;  // per report, the page's path; empty when it failed
    QStringList problems;            // one line per page that could not be written
};

// The page file names, per report.
std::vector<std::string> report_page_names(const Campaign& campaign);

ReportPageSet render_report_pages(const Campaign& campaign, const std::string& folder,
                                  const std::string& stylesheet, int threads);

// The report stylesheet of the installation: $QARVODIR/lib/reports, else the
// installation the program runs from (<bin>/../lib/reports).
std::string installed_report_stylesheet();

// Where the pages go when no folder is given: beside the campaign page,
// "campaign.pages" for "campaign.html".
std::string default_pages_folder(const std::string& html_path);
