#include "campaign/json_reader.h"

#include <QIODevice>

#include <string_view>

namespace {

constexpr qint64 kPiece = 1 << 16;       // bytes read from the device at a time
constexpr std::size_t kMaxDepth = 1024;  // as deep as QJsonDocument reads

bool is_digit(int c) {
    return c >= '0' && c <= '9';
}

void append_utf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// RFC 8259's number: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool is_number(const std::string& text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && is_digit(text[i])) {
            ++i;
        }
        return i > start;
    };
    if (i < text.size() && text[i] == '-') {
        ++i;
    }
    if (i < text.size() && text[i] == '0') {
        ++i;
    } else if (!digits()) {
        return false;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!digits()) {
            return false;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (!digits()) {
            return false;
        }
    }
    return i == text.size();
}

}  // namespace

JsonReader::JsonReader(QIODevice& device) : device_(&device) {}

JsonReader::JsonReader(const QByteArray& text)
    : at_(text.constData()), end_(text.constData() + text.size()) {}

bool JsonReader::fill() {
    if (device_ == nullptr || failed_) {
        return false;
    }
    buffer_.resize(kPiece);
    const qint64 got = device_->read(buffer_.data(), kPiece);
    if (got < 0) {
        fail("");
        error_ = device_->errorString();
        return false;
    }
    at_ = buffer_.constData();
    end_ = at_ + got;
    return got > 0;
}

int JsonReader::peek() {
    if (at_ == end_ && !fill()) {
        return -1;
    }
    return static_cast<unsigned char>(*at_);
}

int JsonReader::skip_space() {
    for (;;) {
        const int c = peek();
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            return c;
        }
        ++at_;
    }
}

JsonToken JsonReader::fail(const char* why) {
    if (!failed_) {
        failed_ = true;
        error_ = QString::fromLatin1(why);
    }
    return JsonToken::Error;
}

JsonToken JsonReader::after_value(JsonToken token) {
    expect_ = nesting_.empty() ? Expect::Nothing : Expect::CommaOrEnd;
    return token;
}

JsonToken JsonReader::next() {
    while (!failed_) {
        int c = skip_space();
        if (failed_) {
            break;
        }
        switch (expect_) {
            case Expect::Nothing:
                return c < 0 ? JsonToken::End : fail("garbage at the end of the document");
            case Expect::KeyOrEnd:
                if (c == '}') {
                    ++at_;
                    nesting_.pop_back();
                    return after_value(JsonToken::ObjectEnd);
                }
                [[fallthrough]];
            case Expect::Key:
                if (c != '"') {
                    return fail(c < 0 ? "unterminated object" : "illegal value");
                }
                ++at_;
                if (!string()) {
                    return JsonToken::Error;
                }
                if (skip_space() != ':') {
                    return fail("missing name separator");
                }
                ++at_;
                expect_ = Expect::Value;
                return JsonToken::Key;
            case Expect::ValueOrEnd:
                if (c == ']') {
                    ++at_;
                    nesting_.pop_back();
                    return after_value(JsonToken::ArrayEnd);
                }
                [[fallthrough]];
            case Expect::Value:
                return value(c);
            case Expect::CommaOrEnd: {
                const bool object = nesting_.back() == '{';
                if (c == ',') {
                    ++at_;
                    expect_ = object ? Expect::Key : Expect::Value;
                    continue;
                }
                if (c == (object ? '}' : ']')) {
                    ++at_;
                    nesting_.pop_back();
                    return after_value(object ? JsonToken::ObjectEnd : JsonToken::ArrayEnd);
                }
                if (c < 0) {
                    return fail(object ? "unterminated object" : "unterminated array");
                }
                return fail("missing value separator");
            }
        }
    }
    return JsonToken::Error;
}

JsonToken JsonReader::value(int c) {
    switch (c) {
        case '{':
        case '[':
            if (nesting_.size() == kMaxDepth) {
                return fail("too deeply nested document");
            }
            ++at_;
            nesting_ += static_cast<char>(c);
            expect_ = c == '{' ? Expect::KeyOrEnd : Expect::ValueOrEnd;
            return c == '{' ? JsonToken::ObjectStart : JsonToken::ArrayStart;
        case '"':
            ++at_;
            return string() ? after_value(JsonToken::String) : JsonToken::Error;
        case 't':
            return literal("true", JsonToken::True);
        case 'f':
            return literal("false", JsonToken::False);
        case 'n':
            return literal("null", JsonToken::Null);
        case -1:
            return fail(nesting_.empty()         ? "illegal value"
                        : nesting_.back() == '{' ? "unterminated object"
                                                 : "unterminated array");
        default:
            return c == '-' || is_digit(c) ? number() : fail("illegal value");
    }
}

JsonToken JsonReader::literal(const char* word, JsonToken token) {
    for (const char* w = word; *w != '\0'; ++w) {
        if (peek() != static_cast<unsigned char>(*w)) {
            return fail("illegal value");
        }
        ++at_;
    }
    return after_value(token);
}

JsonToken JsonReader::number() {
    text_.clear();
    for (int c = peek(); is_digit(c) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
         c = peek()) {
        text_ += static_cast<char>(c);
        ++at_;
    }
    return is_number(text_) ? after_value(JsonToken::Number) : fail("illegal number");
}

// After the opening quote, up to and with the closing one. A high surrogate
// waits in high for the low one that should follow it.
bool JsonReader::string() {
    text_.clear();
    high_ = 0;
    for (;;) {
        if (at_ == end_ && !fill()) {
            fail("unterminated string");
            return false;
        }
        const char* run = at_;
        while (run < end_ && *run != '"' && *run != '\\' &&
               static_cast<unsigned char>(*run) >= 0x20) {
            ++run;
        }
        if (run > at_) {
            lone_surrogate();
            text_.append(at_, static_cast<std::size_t>(run - at_));
            at_ = run;
        }
        if (at_ == end_) {
            continue;
        }
        const char c = *at_++;
        if (c == '"') {
            lone_surrogate();
            return true;
        }
        if (c != '\\') {
            fail("illegal value");  // a control character
            return false;
        }
        if (!escape()) {
            return false;
        }
    }
}

void JsonReader::lone_surrogate() {
    if (high_ != 0) {
        append_utf8(text_, 0xFFFD);
        high_ = 0;
    }
}

bool JsonReader::escape() {
    const int c = peek();
    if (c < 0) {
        fail("unterminated string");
        return false;
    }
    ++at_;
    static constexpr std::string_view kSimple = "\"\"\\\\//b\bf\fn\nr\rt\t";
    for (std::size_t i = 0; i < kSimple.size(); i += 2) {
        if (kSimple[i] == c) {
            lone_surrogate();
            text_ += kSimple[i + 1];
            return true;
        }
    }
    if (c != 'u') {
        fail("invalid escape sequence");
        return false;
    }
    char32_t code = 0;
    for (int i = 0; i < 4; ++i) {
        const int h = peek();
        const int digit = is_digit(h)                              ? h - '0'
                          : (h | 0x20) >= 'a' && (h | 0x20) <= 'f' ? (h | 0x20) - 'a' + 10
                                                                   : -1;
        if (h < 0 || digit < 0) {
            fail("invalid escape sequence");
            return false;
        }
        ++at_;
        code = code * 16 + static_cast<char32_t>(digit);
    }
    if (high_ != 0 && code >= 0xDC00 && code <= 0xDFFF) {
        append_utf8(text_, 0x10000 + ((high_ - 0xD800) << 10) + (code - 0xDC00));
        high_ = 0;
        return true;
    }
    lone_surrogate();
    if (code >= 0xD800 && code <= 0xDBFF) {
        high_ = code;
    } else {
        append_utf8(text_, code >= 0xDC00 && code <= 0xDFFF ? 0xFFFD : code);
    }
    return true;
}

bool JsonReader::skip(JsonToken token) {
    if (token != JsonToken::ObjectStart && token != JsonToken::ArrayStart) {
        return token != JsonToken::Error && token != JsonToken::End;
    }
    for (int depth = 1; depth > 0;) {
        switch (next()) {
            case JsonToken::ObjectStart:
            case JsonToken::ArrayStart:
                ++depth;
                break;
            case JsonToken::ObjectEnd:
            case JsonToken::ArrayEnd:
                --depth;
                break;
            case JsonToken::Error:
            case JsonToken::End:
                return false;
            default:
                break;
        }
    }
    return true;
}
