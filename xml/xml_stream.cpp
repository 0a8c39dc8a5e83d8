#include "xml/xml_stream.h"

#include "i18n/local8bit.h"
#include "xml/replacing_file.h"

#include <algorithm>
#include <charconv>

XmlStream::XmlStream(ReplacingFile& file)
    : file_(&file), local8bit_is_utf8_(local8bit_kind() == Local8BitKind::Utf8) {
    buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    end_ = buffer_.get();
    limit_ = end_ + kBufferSize;
}

XmlStream::XmlStream() : local8bit_is_utf8_(local8bit_kind() == Local8BitKind::Utf8) {
    make_room(0);  // a first buffer, so that the stream never points nowhere
}

XmlStream::~XmlStream() {
    if (file_) {
        file_->wait_for_writes();  // the file may still be writing from a buffer
    }
}

void XmlStream::put_int(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    put(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

// A file stream hands a full buffer over to the file, which writes it
// while the next one fills. An empty buffer holds whatever room_for asks:
// texts are escaped in pieces that fit, and longer markup goes straight out.
void XmlStream::make_room(std::size_t size) {
    const auto used = static_cast<std::size_t>(end_ - buffer_.get());
    if (file_) {
        if (used == 0) {
            return;
        }
        if (!file_->write_behind(std::string_view(buffer_.get(), used))) {
            failed_ = true;
        }
        // The file is done with the next buffer of the ring once it takes
        // this one.
        std::swap(buffer_, written_[next_written_]);
        next_written_ = (next_written_ + 1) % kBuffersWritten;
        if (!buffer_) {
            buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
        }
        end_ = buffer_.get();
        limit_ = end_ + kBufferSize;
        return;
    }
    const auto capacity = static_cast<std::size_t>(limit_ - buffer_.get());
    const std::size_t grown = std::max({capacity * 2, used + size, std::size_t{4096}});
    auto larger = std::make_unique_for_overwrite<char[]>(grown);
    if (used > 0) {
        std::memcpy(larger.get(), buffer_.get(), used);
    }
    buffer_ = std::move(larger);
    end_ = buffer_.get() + used;
    limit_ = buffer_.get() + grown;
}

void XmlStream::put_past_room(std::string_view markup) {
    make_room(markup.size());
    if (markup.size() <= static_cast<std::size_t>(limit_ - end_)) {
        std::memcpy(end_, markup.data(), markup.size());
        end_ += markup.size();
    } else if (!file_->write(markup)) {
        failed_ = true;  // markup larger than the whole buffer goes straight out
    }
}

void XmlStream::put_long_text(std::string_view utf8, XmlPlace place) {
    while (!utf8.empty()) {
        const std::size_t piece = xml_utf8_cut(utf8, kTextPiece);
        end_ = xml_escape_utf8(room_for(piece * kXmlEscapedMax + kXmlEscapeSlack),
                               utf8.substr(0, piece), place);
        utf8.remove_prefix(piece);
    }
}

void XmlStream::put_decoded_text(std::string_view local8, XmlPlace place) {
    decoded_.clear();
    local8bit_append_utf8(decoded_, local8);
    put_text(decoded_, place, TextEncoding::Utf8);
}

bool XmlStream::flush() {
    if (file_) {
        make_room(0);
        if (!file_->wait_for_writes()) {
            failed_ = true;
        }
    }
    return !failed_;
}
