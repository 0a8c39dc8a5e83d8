// The baseline's JSON reader: the tokens of a document, strings decoded as
// RFC 8259 has them, text read from a device piece by piece, and the text
// that is not JSON refused with the reason.

#include "campaign/json_reader.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

// The tokens of json, one letter each ({}[]k s n t f 0 for null, then E for
// the end or ! for an error), with the text of keys, strings and numbers.
std::string tokens(JsonReader& reader) {
    std::string out;
    for (;;) {
        const JsonToken token = reader.next();
        out += "{}[]ksntf0E!"[static_cast<int>(token)];
        if (token == JsonToken::Key || token == JsonToken::String || token == JsonToken::Number) {
            out += "(" + reader.text() + ")";
        }
        if (token == JsonToken::End || token == JsonToken::Error) {
            return out;
        }
    }
}

std::string tokens(const std::string& json) {
    const QByteArray bytes = QByteArray::fromStdString(json);
    JsonReader reader(bytes);
    return tokens(reader);
}

TEST(JsonReader, TokensAndDecodedStrings) {
    const struct {
        std::string json;
        std::string tokens;
    } cases[] = {
        {R"( {"a": [1, -2.5e+3, true, false, null], "b": {}} )",
         "{k(a)[n(1)n(-2.5e+3)tf0]k(b){}}E"},
        {R"(["\"\\\/\b\f\n\r\t", "\u00e9\u20AC", "\ud83d\ude00"])",
         "[s(\"\\/\b\f\n\r\t)s(\xC3\xA9\xE2\x82\xAC)s(\xF0\x9F\x98\x80)]E"},
        // A lone surrogate becomes U+FFFD, as Qt decodes it.
        {R"(["\ud83dx", "\ude00", "\ud83d\u0041"])",
         "[s(\xEF\xBF\xBDx)s(\xEF\xBF\xBD)s(\xEF\xBF\xBD"
         "A)]E"},
        {"\"caf\xC3\xA9\"", "s(caf\xC3\xA9)E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tokens(c.json), c.tokens) << c.json;
    }
}

TEST(JsonReader, RefusesWhatIsNotJsonWithTheReason) {
    const struct {
        std::string json;
        std::string error;
    } cases[] = {
        {"", "illegal value"},
        {"[1, 2", "unterminated array"},
        {"{\"a\": 1", "unterminated object"},
        {"{\"a\" 1}", "missing name separator"},
        {"[1 2]", "missing value separator"},
        {"[1,]", "illegal value"},
        {"{\"a\": 1,}", "illegal value"},
        {"[01]", "illegal number"},
        {"[1.]", "illegal number"},
        {"[tru]", "illegal value"},
        {"[\"a\\x\"]", "invalid escape sequence"},
        {"[\"a\\u12g4\"]", "invalid escape sequence"},
        {"[\"a\nb\"]", "illegal value"},
        {"[\"ab", "unterminated string"},
        {"{} {}", "garbage at the end of the document"},
        {std::string(1025, '['), "too deeply nested document"},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = QByteArray::fromStdString(c.json);
        JsonReader reader(bytes);
        EXPECT_EQ(tokens(reader).back(), '!') << c.json;
        EXPECT_EQ(reader.error().toStdString(), c.error) << c.json;
    }
}

// Strings, numbers and literals cut anywhere by the pieces the device is
// read in come out whole.
TEST(JsonReader, ReadsADeviceAcrossItsPieces) {
    const std::string long_text(200'000, 'x');
    std::string json = "[";
    std::string expected = "[";
    for (int i = 0; i < 20'000; ++i) {
        json += "\"\\u00e9" + std::to_string(i) + "\",12345,true,";
        expected += "s(\xC3\xA9" + std::to_string(i) + ")n(12345)t";
    }
    json += "\"" + long_text + "\"]";
    expected += "s(" + long_text + ")]E";
    QByteArray bytes = QByteArray::fromStdString(json);
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    JsonReader reader(device);
    EXPECT_EQ(tokens(reader), expected);
}

TEST(JsonReader, SkipPassesOverAWholeValue) {
    const QByteArray bytes = R"({"a": [{"b": [1, {}]}, 2], "c": 3})";
    JsonReader reader(bytes);
    ASSERT_EQ(reader.next(), JsonToken::ObjectStart);
    ASSERT_EQ(reader.next(), JsonToken::Key);
    EXPECT_TRUE(reader.skip(reader.next()));
    EXPECT_EQ(tokens(reader), "k(c)n(3)}E");
}

}  // namespace
