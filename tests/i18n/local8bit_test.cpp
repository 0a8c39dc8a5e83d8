#include "i18n/local8bit.h"

#include "tests/support/scoped_state.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

using qtest::ScopedLocale;

std::string utf8_of(std::string_view bytes) {
    std::string out;
    local8bit_append_utf8(out, bytes);
    return out;
}

TEST(Local8BitTest, Utf8LocaleKeepsValidTextAndReplacesInvalidBytes) {
    ScopedLocale scope("C.UTF-8");
    ASSERT_TRUE(scope.ok());
    EXPECT_EQ(local8bit_kind(), Local8BitKind::Utf8);
    EXPECT_EQ(utf8_of("d\xC3\xA9j\xC3\xA0 \xF0\x9F\x99\x82"),
              "d\xC3\xA9j\xC3\xA0 \xF0\x9F\x99\x82");
    // A lone Latin-1 byte, a truncated sequence, an overlong form, a surrogate.
    EXPECT_EQ(utf8_of("a\xE9z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(utf8_of("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(utf8_of("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(utf8_of("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(local8bit_decode("\xC3\xA9"), QString(QChar(0xE9)));
    // A leading byte order mark is part of the text.
    EXPECT_EQ(local8bit_decode("\xEF\xBB\xBFx"), QString(QChar(0xFEFF)) + u'x');
    EXPECT_EQ(local8bit_encode(QString(QChar(0xE9))), "\xC3\xA9");
}

TEST(Local8BitTest, PlainCLocaleCountsAsUtf8) {
    ScopedLocale scope("C");
    ASSERT_TRUE(scope.ok());
    EXPECT_EQ(local8bit_codeset(), "ANSI_X3.4-1968");
    EXPECT_EQ(local8bit_kind(), Local8BitKind::Utf8);
    EXPECT_EQ(utf8_of("\xC3\xA9"), "\xC3\xA9");
}

TEST(Local8BitTest, Latin1LocaleDecodesEachByteAsOneCharacter) {
    ScopedLocale scope("fr_FR.ISO-8859-1");
    if (!scope.ok()) {
        GTEST_SKIP() << "locale fr_FR.ISO-8859-1 is not generated on this machine";
    }
    EXPECT_EQ(local8bit_kind(), Local8BitKind::Latin1);
    EXPECT_EQ(utf8_of("d\xE9j\xE0"), "d\xC3\xA9j\xC3\xA0");
    EXPECT_EQ(local8bit_decode("\xE9"), QString(QChar(0xE9)));
    EXPECT_EQ(local8bit_encode(QString(QChar(0xE9))), "\xE9");
    // A character Latin-1 cannot hold.
    EXPECT_EQ(local8bit_encode(QString(QChar(0x20AC))), "?");
}

TEST(Local8BitTest, Utf8SequenceLengthChecksEveryForm) {
    EXPECT_EQ(utf8_sequence_length(""), 0u);
    EXPECT_EQ(utf8_sequence_length("A"), 1u);
    EXPECT_EQ(utf8_sequence_length("\xC2\x80"), 2u);
    EXPECT_EQ(utf8_sequence_length("\xC1\xBF"), 0u);      // overlong
    EXPECT_EQ(utf8_sequence_length("\xE0\x9F\xBF"), 0u);  // overlong
    EXPECT_EQ(utf8_sequence_length("\xEF\xBF\xBF"), 3u);
    EXPECT_EQ(utf8_sequence_length("\xF4\x8F\xBF\xBF"), 4u);  // U+10FFFF
    EXPECT_EQ(utf8_sequence_length("\xF4\x90\x80\x80"), 0u);  // above U+10FFFF
    EXPECT_EQ(utf8_sequence_length("\xF0\x9F\x99"), 0u);      // cut short
    EXPECT_EQ(utf8_sequence_length("\x80"), 0u);
}

}  // namespace
