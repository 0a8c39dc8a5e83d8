#pragma once
// The byte stream a document is written to: markup goes in as it is, data
// texts through put_text, which converts them to UTF-8 and escapes them for
// their place, so that no caller can let an unescaped text through. The
// bytes collect in a buffer that spills into a ReplacingFile (or grows in
// memory, for tests), and the stream remembers whether any write failed.

#include "xml/plain_bytes.h"
#include "xml/replacing_file.h"
#include "xml/xml_text.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// The encoding the bytes of a data text are in.
enum class TextEncoding {
    Utf8,
    Local8Bit,  // the process locale's 8-bit encoding, as it is when the stream is made
};

class XmlStream {
  public:
    // Writes to file, which must outlive the stream.
    explicit XmlStream(ReplacingFile& file);
    // Collects everything in memory; text() gives it.
    XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;
    ~XmlStream();

    // Markup: bytes the caller knows to be well-formed UTF-8 in their place.
    // Inline, so that a literal is copied without a call.
    void put(std::string_view markup) {
        if (static_cast<std::size_t>(limit_ - end_) < markup.size()) {
            put_past_room(markup);
            return;
        }
        std::memcpy(end_, markup.data(), markup.size());
        end_ += markup.size();
    }
    void put(char c) {
        *room_for(1) = c;
        ++end_;
    }
    void put_int(long long value);

    // A data text: converted from its encoding to UTF-8 (bytes that do not
    // decode become U+FFFD) and escaped for its place. A short UTF-8 text,
    // the common case, is escaped straight into the buffer.
    void put_text(std::string_view text, XmlPlace place, TextEncoding encoding) {
        if (text.empty()) {
            return;
        }
        if (encoding == TextEncoding::Local8Bit && !local8bit_is_utf8_) {
            put_decoded_text(text, place);
            return;
        }
        // Most texts are a few plain bytes: a name, a number, a word.
        if (text.size() <= 16 && copy_plain_short(text, place)) {
            end_ += text.size();
            return;
        }
        if (text.size() <= kTextPiece) {
            end_ = xml_escape_utf8(room_for(text.size() * kXmlEscapedMax + kXmlEscapeSlack), text,
                                   place);
        } else {
            put_long_text(text, place);
        }
    }

    // Writes out everything pending; false when any write so far failed.
    bool flush();
    bool failed() const { return failed_; }

    // Everything written, for a memory stream.
    std::string text() const { return std::string(buffer_.get(), end_); }

  private:
    // A file stream writes its buffer out in pieces of about this size; a
    // long text is escaped in pieces that always fit in it.
    static constexpr std::size_t kBufferSize = 1 << 19;
    static constexpr std::size_t kTextPiece = kBufferSize / kXmlEscapedMax / 4;

    char* room_for(std::size_t size) {
        if (static_cast<std::size_t>(limit_ - end_) < size) {
            make_room(size);
        }
        return end_;
    }
    void make_room(std::size_t size);
    bool copy_plain_short(std::string_view text, XmlPlace place) {
        char* out = room_for(16);
        return place == XmlPlace::Attribute ? xml_copy_plain_short<XmlPlace::Attribute>(out, text)
                                            : xml_copy_plain_short<XmlPlace::Content>(out, text);
    }
    void put_past_room(std::string_view markup);
    void put_long_text(std::string_view utf8, XmlPlace place);
    void put_decoded_text(std::string_view local8, XmlPlace place);

    ReplacingFile* file_ = nullptr;
    bool local8bit_is_utf8_;
    // The bytes up to end_ are pending, and limit_ is the end of the buffer,
    // which is left uninitialised until written.
    std::unique_ptr<char[]> buffer_;
    // A file stream's buffers handed over to the file, which it may still be
    // writing: a ring, taken in turn as buffer_ fills (made as first needed).
    static constexpr std::size_t kBuffersWritten = ReplacingFile::kPiecesAhead;
    std::unique_ptr<char[]> written_[kBuffersWritten];
    std::size_t next_written_ = 0;
    char* end_ = nullptr;
    char* limit_ = nullptr;
    std::string decoded_;  // a local 8-bit text in UTF-8, before escaping
    bool failed_ = false;
};
