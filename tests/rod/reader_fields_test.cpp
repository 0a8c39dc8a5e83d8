// Numbers as %d and %ld read them, and the fields of BD, FX and FPn.

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

TEST(ReaderFieldsTest, HeaderVersions) {
    EXPECT_EQ(judge_header("KOVIN Merovia ROD: 1.1.0"), HeaderOutcome::Accepted);
    EXPECT_EQ(judge_header("KOVIN Merovia ROD: 1.0.0"), HeaderOutcome::VersionWarning);
    EXPECT_EQ(judge_header("KOVIN Merovia ROD: -1.1.0"), HeaderOutcome::BadVersion);
    EXPECT_EQ(judge_header("KOVIN Merovia ROD: 1.1."), HeaderOutcome::NotRod);
    EXPECT_EQ(judge_header("MO"), HeaderOutcome::Headerless);
    EXPECT_EQ(judge_header("KOVIN Merovia RO"), HeaderOutcome::NotRod);
}

TEST(ReaderFieldsTest, FileEntryNeedsANumberAtTheFifthCharacter) {
    const auto entry = read_file_entry("FX\t 3 a.c");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->number, 3);
    // Tabs are not blanks: the name keeps everything from the third character.
    EXPECT_EQ(entry->name, "\t 3 a.c");
    EXPECT_FALSE(read_file_entry("FX 1"));
    EXPECT_FALSE(read_file_entry("FX"));
    EXPECT_FALSE(read_file_entry("F"));
}

TEST(ReaderFieldsTest, PositionNeedsTwoNumbersInRange) {
    const auto position = read_position("FP2 0 2147483647");
    ASSERT_TRUE(position);
    EXPECT_EQ(position->file, 0);
    EXPECT_EQ(position->line, INT_MAX);
    const auto glued = read_position("FP21-0");
    ASSERT_FALSE(glued);  // offset 4 holds "-0" only: one number
    const auto signs = read_position("FP2 +1-0");
    ASSERT_TRUE(signs);
    EXPECT_EQ(signs->file, 1);
    EXPECT_EQ(signs->line, 0);
    EXPECT_FALSE(read_position("FP2 1 -5"));
    EXPECT_FALSE(read_position("FP2"));
}

TEST(ReaderFieldsTest, BdWords) {
    const BdWords words = read_bd_words(
        "BD\x0b"
        "a b\n\fc d");
    EXPECT_EQ(words.name, "a");
    EXPECT_EQ(words.in_text, "b");
    EXPECT_EQ(words.va_text, "c");
}

}  // namespace
