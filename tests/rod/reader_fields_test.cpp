// Numbers as %d and %ld read them. The fields built on them are tested
// through whole files in reader_records_test.cpp.

#include "rod/reader_fields.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(ReaderFieldsTest, NumbersAreReadAsTheCConversionsReadThem) {
    const struct {
        std::string text;
        std::size_t from;
        bool read;
        bool fits;
        std::int32_t value;
        std::size_t end;
    } cases[] = {
        {"7", 0, true, true, 7, 1},
        {" \t\v\f\r\n-12x", 0, true, true, -12, 9},
        {"ab+5 ", 2, true, true, 5, 4},
        {"2147483647", 0, true, true, INT_MAX, 10},
        {"-2147483648", 0, true, true, INT_MIN, 11},
        {"2147483648", 0, true, false, 0, 10},
        {"-2147483649", 0, true, false, 0, 11},
        {"0004294967297", 0, true, false, 0, 13},
        {"999999999", 0, true, true, 999999999, 9},
        {"1000000000-", 0, true, true, 1000000000, 10},
        {"000000000000123", 0, true, true, 123, 15},
        {"-0000000002147483648", 0, true, true, INT_MIN, 20},
        {"9999999999", 0, true, false, 0, 10},
        {"\b1", 0, false, false, 0, 0},
        {"\x0e"
         "1",
         0, false, false, 0, 0},
        {"-", 0, false, false, 0, 0},
        {"+ 3", 0, false, false, 0, 0},
        {"x1", 0, false, false, 0, 0},
        {"12", 5, false, false, 0, 5},
        {"", 0, false, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CNumber number = read_c_number(c.text, c.from);
        EXPECT_EQ(number.read, c.read);
        EXPECT_EQ(number.fits, c.fits);
        EXPECT_EQ(number.value, c.value);
        EXPECT_EQ(number.end, c.end);
    }
}

TEST(ReaderFieldsTest, AMillionDigitsAreOneNumberThatDoesNotFit) {
    const std::string digits(1000000, '9');
    const CNumber number = read_c_number(digits, 0);
    EXPECT_TRUE(number.read);
    EXPECT_FALSE(number.fits);
    EXPECT_EQ(number.end, digits.size());
}

}  // namespace
