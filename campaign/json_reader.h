#pragma once
// JSON text read one token at a time, from a device piece by piece or from
// bytes in memory: a baseline of any size is walked in a buffer of a few
// kilobytes, with no document built. The syntax is RFC 8259's; a string
// comes out as its UTF-8 bytes with the escapes decoded (a lone surrogate
// becomes U+FFFD), a number as its text.

#include <QByteArray>
#include <QString>

#include <string>

class QIODevice;

enum class JsonToken {
    ObjectStart,
    ObjectEnd,
    ArrayStart,
    ArrayEnd,
    Key,  // a member's name; its value is the next token
    String,
    Number,
    True,
    False,
    Null,
    End,  // after the whole document
    Error,
};

class JsonReader {
  public:
    // Reads from device, which must stay open and outlive the reader.
    explicit JsonReader(QIODevice& device);
    // Reads text, which must outlive the reader.
    explicit JsonReader(const QByteArray& text);

    // The next token; after Error or End, the same again.
    JsonToken next();
    // The text of the last Key, String or Number.
    const std::string& text() const { return text_; }
    // Passes over the rest of the value that token started: the whole object
    // or array after its start, nothing after any other token. False on an
    // error.
    bool skip(JsonToken token);
    // Why the text is not JSON, once next() gave Error.
    const QString& error() const { return error_; }

  private:
    enum class Expect { Value, ValueOrEnd, Key, KeyOrEnd, CommaOrEnd, Nothing };

    bool fill();
    int peek();  // the next byte, -1 at the end of the input
    int skip_space();
    JsonToken value(int c);
    JsonToken after_value(JsonToken token);
    bool string();
    bool escape();
    void lone_surrogate();
    JsonToken number();
    JsonToken literal(const char* word, JsonToken token);
    JsonToken fail(const char* why);

    QIODevice* device_ = nullptr;
    QByteArray buffer_;
    const char* at_ = nullptr;
    const char* end_ = nullptr;
    std::string text_;
    char32_t high_ = 0;    // a high surrogate escape waiting for its low half
    std::string nesting_;  // '{' or '[' per open level
    Expect expect_ = Expect::Value;
    bool failed_ = false;
    QString error_;
};
