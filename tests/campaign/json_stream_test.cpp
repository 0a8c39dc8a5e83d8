// JSON strings as the summary writes them: RFC 8259 escapes, UTF-8 passed
// through, and bytes that are not UTF-8 replaced, each exactly as
// QJsonDocument wrote the same text before the summary was streamed.

#include "campaign/json_stream.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

const std::string kFffd = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

TEST(JsonString, EscapesAsRfc8259AndNeverLetsInvalidUtf8Through) {
    const struct {
        std::string text;
        std::string json;
    } cases[] = {
        {"plain / text", R"("plain / text")"},
        {R"(say "hi" \ bye)", R"("say \"hi\" \\ bye")"},
        {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {"\x01\x1f"s + '\0' + "\x7f", "\"\\u0001\\u001f\\u0000\x7f\""},
        {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
         "\"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
        // Not UTF-8: a stray continuation byte, sequences cut short, an
        // overlong form, a surrogate, a code point above U+10FFFF, 0xFF.
        // Each byte that starts no valid sequence becomes one U+FFFD.
        {"a\x80z", "\"a" + kFffd + "z\""},
        {"\xE2\x82z\xE2\x82", "\"" + kFffd + kFffd + "z" + kFffd + kFffd + "\""},
        {"\xC0\xAF", "\"" + kFffd + kFffd + "\""},
        {"\xED\xA0\x80", "\"" + kFffd + kFffd + kFffd + "\""},
        {"\xF4\x90\x80\x80\xFF", "\"" + kFffd + kFffd + kFffd + kFffd + kFffd + "\""},
    };
    for (const auto& c : cases) {
        XmlStream out;
        append_json_string(out, c.text);
        EXPECT_EQ(out.text(), c.json) << c.text;
        // What QJsonDocument wrote for the text as Qt decodes it.
        const QByteArray qt = QJsonDocument(QJsonArray{QString::fromStdString(c.text)})
                                  .toJson(QJsonDocument::Compact);
        EXPECT_EQ(qt.toStdString(), "[" + c.json + "]") << c.text;
    }
}

}  // namespace
