// Names that hold numbers in the order a person expects.

#include "campaign/natural_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(NaturalOrder, NumbersCompareAsNumbers) {
    const std::vector<std::string> ordered = {
        "",           "board",      "board_2",    "board_10", "report 7", "report 007", "report 48",
        "report 48a", "report 48b", "report 100", "report a", "x1y2",     "x1y10",      "x10y1",
    };
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        EXPECT_FALSE(natural_less(ordered[i], ordered[i])) << ordered[i];
        for (std::size_t j = i + 1; j < ordered.size(); ++j) {
            EXPECT_TRUE(natural_less(ordered[i], ordered[j])) << ordered[i] << " < " << ordered[j];
            EXPECT_FALSE(natural_less(ordered[j], ordered[i])) << ordered[j] << " < " << ordered[i];
        }
    }
    std::vector<std::string> shuffled(ordered.rbegin(), ordered.rend());
    std::sort(shuffled.begin(), shuffled.end(), natural_less);
    EXPECT_EQ(shuffled, ordered);
}

}  // namespace
