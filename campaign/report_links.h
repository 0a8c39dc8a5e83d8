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

// The ids report pages give tests (see testreq_report.xsl): "test-", the
// service's name, "/", the test's name; in each name every ASCII character
// but letters, digits, '-' and '_' written as '.' and two upper-case hex
// digits, and "~N" after the Nth service of a name in the report and the Nth
// test of a name in its service. Ranks are counted once for the campaign.
class ReportPageAnchors {
  public:
    explicit ReportPageAnchors(const Campaign& campaign);
    std::string test(int report, int test) const;
    std::string service(int report, int service) const;  // "svc-" and the service's part

  private:
    const Campaign& campaign_;
    std::vector<std::vector<int>> service_rank_;
    std::vector<std::vector<int>> test_rank_;
};

// The URL of a test (or, with test -1, of a service; with both -1, of the
// run) in its report's page: link (from report_links), "#" and the id,
// percent-encoded; empty when link is no page.
std::string page_link(const std::string& link, const ReportPageAnchors& anchors, int report,
                      int service, int test);
