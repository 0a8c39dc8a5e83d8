// The requirement list: IDs one per line or in a CSV's first column, a
// header row recognised and skipped, and each ID's title kept.

#include "campaign/requirement_list.h"

#include <gtest/gtest.h>

namespace {

TEST(RequirementList, HeaderRowsAreSkippedAndTitlesKept) {
    using Texts = std::vector<std::string>;
    const struct {
        const char* text;
        Texts ids;
        Texts titles;
    } cases[] = {
        {"R1\nR2\n", {"R1", "R2"}, {"", ""}},
        {"Requirement ID;Level;Title\nR1;A;\"Climb, rate\"\n", {"R1"}, {"Climb, rate"}},
        {"req_id\tsummary\nR1\tx\n", {"R1"}, {"x"}},
        {"ID,Text\n\"R \"\"1\"\"\",t\n", {"R \"1\""}, {"t"}},
        {"requirement,title,verdict,ok,ko,listed,places\r\nR1,T,OK,1,0,,a (OK)\r\n", {"R1"}, {"T"}},
        {"R1,first\nid,not a header after the first row\n",
         {"R1", "id"},
         {"first", "not a header after the first row"}},
        {"\xEF\xBB\xBF# comment\n\nID\n", {}, {}},
    };
    for (const auto& c : cases) {
        const RequirementList list = parse_requirement_list(c.text);
        EXPECT_EQ(list.ids, c.ids) << c.text;
        EXPECT_EQ(list.titles, c.titles) << c.text;
    }
}

}  // namespace
