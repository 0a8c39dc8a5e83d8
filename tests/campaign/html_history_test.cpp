// What the history adds to the campaign page stays bounded: a list shows
// at most kHistoryListShown items and how many more, and a stream's first
// campaign draws one point per line.

#include "campaign/html_history.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace {

TEST(HistorySection, ListsAreCappedAndAFirstCampaignIsOnePoint) {
    CampaignHistory history;
    history.stream = "main";
    history.campaign = {1, "2026-01-01T00:00:00Z", ""};
    history.trend.push_back({history.campaign, false, 7, 2, 1});
    for (int i = 0; i < 60; ++i) {
        HistoryItem item;
        item.name = "R" + std::to_string(i);
        item.strip = "OKOKO";
        item.flips = 4;
        item.flaky = true;
        history.flaky.push_back(item);
    }
    XmlStream out;
    write_history_section(out, history);
    const std::string html = out.text();
    EXPECT_EQ(qtest::count(html, "<span class=\"flaky\">flaky</span>"), kHistoryListShown);
    EXPECT_NE(html.find("<li class=\"quiet\">and 10 more</li>"), std::string::npos);
    EXPECT_NE(html.find("Campaign <span title=\"2026-01-01T00:00:00Z\">#1, 2026-01-01</span> of "
                        "stream \"main\", the first of its stream."),
              std::string::npos);
    EXPECT_EQ(qtest::count(html, "<circle "), 3u);
    EXPECT_NE(html.find("<polyline class=\"t-ok\" points=\"518,14\"/>"), std::string::npos) << html;
}

}  // namespace
