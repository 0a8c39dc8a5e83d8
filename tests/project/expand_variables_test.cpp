#include "project/expand_variables.h"

#include "tests/support/scoped_state.h"
#include "xml/xml_stream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using qtest::ScopedEnv;

std::string expand(std::string_view text) {
    EnvironmentCache environment;
    std::string out = "<";  // what is already in out must be kept
    expand_variables(out, text, environment);
    return out.substr(1);
}

void expect_expansion(const std::string& text, const std::string& expected) {
    EXPECT_EQ(expand(text), expected) << "expansion of " << text;
}

TEST(ExpandVariables, ReplacesSetReferences) {
    ScopedEnv env{{"QT_EXP_HOME", "/u/x"}, {"QT_EXP_B", "1"}, {"QT_EXP_A", nullptr}};
    expect_expansion("$QT_EXP_HOME/log", "/u/x/log");
    expect_expansion("$QT_EXP_A$QT_EXP_B", "$QT_EXP_A1");
    expect_expansion("x$QT_EXP_B$QT_EXP_B", "x11");
    expect_expansion("no reference", "no reference");
    expect_expansion("", "");
}

TEST(ExpandVariables, DollarWithoutNameStays) {
    ScopedEnv env{{"QT_EXP_HOME", "/u/x"}};
    expect_expansion("${QT_EXP_HOME}", "${QT_EXP_HOME}");
    expect_expansion("end $", "end $");
    expect_expansion("$", "$");
    expect_expansion("$$QT_EXP_HOME", "$/u/x");
    expect_expansion("$-$.", "$-$.");
}

TEST(ExpandVariables, InsertedValuesAreNotSearchedAgain) {
    ScopedEnv env{{"QT_EXP_X", "$QT_EXP_Y"}, {"QT_EXP_Y", "why"}};
    expect_expansion("$QT_EXP_X", "$QT_EXP_Y");
    expect_expansion("$QT_EXP_X$QT_EXP_Y", "$QT_EXP_Ywhy");
}

TEST(ExpandVariables, EmptyValueRemovesReference) {
    ScopedEnv env{{"QT_EXP_HOME", ""}};
    expect_expansion("a$QT_EXP_HOME", "a");
    expect_expansion("$QT_EXP_HOME", "");
}

TEST(ExpandVariables, NameIsTheLongestRun) {
    ScopedEnv env{{"QT_EXP_HOME", "/u/x"}, {"QT_EXP_HOME_DIR", nullptr}, {"9QT_EXP", "nine"}};
    expect_expansion("$QT_EXP_HOME_DIR", "$QT_EXP_HOME_DIR");
    expect_expansion("$QT_EXP_HOME.DIR", "/u/x.DIR");
    // A name may start with a digit.
    expect_expansion("<$9QT_EXP>", "<nine>");
}

TEST(ExpandVariables, ValueBytesAreReadInTheLocaleEncoding) {
    ScopedEnv env{{"QT_EXP_L", "caf\xE9"}, {"QT_EXP_U", "caf\xC3\xA9"}};
    {
        qtest::ScopedLocale locale("C.UTF-8");
        expect_expansion("$QT_EXP_U", "caf\xC3\xA9");
        expect_expansion("$QT_EXP_L", "caf\xEF\xBF\xBD");  // not UTF-8
    }
    qtest::ScopedLocale locale("fr_FR.ISO-8859-1");
    ASSERT_TRUE(locale.ok()) << "locale fr_FR.ISO-8859-1 is not generated";
    expect_expansion("$QT_EXP_L", "caf\xC3\xA9");
    expect_expansion("$QT_EXP_U", "caf\xC3\x83\xC2\xA9");
}

TEST(ExpandVariables, NonAsciiTextAroundReferencesIsKept) {
    ScopedEnv env{{"QT_EXP_B", "1"}};
    // U+00E9 and U+20AC around a reference, and a name ended by a
    // multi-byte character.
    expect_expansion("\xC3\xA9$QT_EXP_B\xE2\x82\xAC",
                     "\xC3\xA9"
                     "1\xE2\x82\xAC");
}

}  // namespace

namespace {

// One cache across many texts, as a requirement list uses it: names that
// share a prefix, unset names, and more names than the cache keeps must each
// expand as getenv says, the first time and every time after.
TEST(ExpandVariables, CachedLookupsGiveTheEnvironmentsValues) {
    ScopedEnv env{
        {"QT_EXP_A", "a"}, {"QT_EXP_AB", "ab"}, {"QT_EXP_EMPTY", ""}, {"QT_EXP_UNSET", nullptr}};
    std::vector<std::string> names = {"QT_EXP_AB", "QT_EXP_A", "QT_EXP_EMPTY", "QT_EXP_UNSET"};
    std::vector<std::unique_ptr<ScopedEnv>> more;
    for (int i = 0; i < 40; ++i) {
        names.push_back("QT_EXP_N" + std::to_string(i));
        if (i % 3 != 0) {
            more.push_back(std::make_unique<ScopedEnv>(
                std::initializer_list<std::pair<const char*, const char*>>{
                    {names.back().c_str(), names.back().c_str() + 7}}));
        }
    }
    EnvironmentCache environment;
    for (int round = 0; round < 2; ++round) {
        for (const std::string& name : names) {
            const std::string text = "<$" + name + ">";
            std::string cached;
            expand_variables(cached, text, environment);
            EXPECT_EQ(cached, expand(text)) << name << ", round " << round;
        }
    }
    std::string both;
    expand_variables(both, "$QT_EXP_A$QT_EXP_AB$QT_EXP_ABC", environment);
    EXPECT_EQ(both, "aab$QT_EXP_ABC");
}

// Expanding straight into a stream writes the bytes of the expanded text
// escaped in one go, whatever the values and the text around them hold.
TEST(ExpandVariables, IntoAStreamAsTheExpandedTextWouldBe) {
    ScopedEnv env{{"QT_EXP_MARKUP", "<a & \"b\">\t"},
                  {"QT_EXP_ACCENT", "\xC3\xA9"},
                  {"QT_EXP_EMPTY", ""},
                  {"QT_EXP_UNSET", nullptr}};
    const std::string texts[] = {
        "$QT_EXP_MARKUP",
        "\xC3\xA9$QT_EXP_ACCENT\xE2\x82\xAC&$QT_EXP_EMPTY<",
        "a\t$QT_EXP_UNSET\"$QT_EXP_MARKUP$QT_EXP_MARKUP b",
        "no reference but <markup> and a long enough tail for the block path",
        "",
    };
    for (const XmlPlace place : {XmlPlace::Attribute, XmlPlace::Content}) {
        for (const std::string& text : texts) {
            EnvironmentCache environment;
            XmlStream direct;
            expand_variables(direct, text, place, environment);
            XmlStream through_copy;
            through_copy.put_text(expand(text), place, TextEncoding::Utf8);
            EXPECT_EQ(direct.text(), through_copy.text()) << text;
        }
    }
}

}  // namespace
