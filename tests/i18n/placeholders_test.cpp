#include "i18n/placeholders.h"

#include <gtest/gtest.h>

namespace {

TEST(PlaceholdersTest, FillsByNumberInOnePass) {
    EXPECT_EQ(fill_placeholders("%1: \"%2\", line %3", {"kvwrod", "a%3b%1.rod", "12"}),
              "kvwrod: \"a%3b%1.rod\", line 12");
    EXPECT_EQ(fill_placeholders("%2 before %1", {"one", "two"}), "two before one");
}

TEST(PlaceholdersTest, LeavesUnknownPlaceholdersAndPercentSigns) {
    EXPECT_EQ(fill_placeholders("%1 %4 100% %", {"x"}), "x %4 100% %");
    EXPECT_EQ(fill_placeholders("%12", {"a"}), "%12");
    EXPECT_EQ(fill_placeholders("no placeholder", {"a"}), "no placeholder");
}

}  // namespace
