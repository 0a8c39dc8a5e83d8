#include "project/expand_variables.h"

#include "i18n/local8bit.h"

#include <cstdlib>
#include <string>

namespace {

bool is_name_byte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Names are ASCII, so one byte per character in both UTF-16 and UTF-8.
bool is_name_char(QChar c) {
    return c.unicode() < 0x80 && is_name_byte(static_cast<unsigned char>(c.unicode()));
}

}  // namespace

QString expand_variables(QString text) {
    // Built into a fresh string rather than edited in place: inserting into
    // the middle of a long text at every reference would be quadratic.
    QString result;
    result.reserve(text.size());
    const qsizetype size = text.size();
    qsizetype done = 0;  // text before this position is already in result
    qsizetype pos = 0;
    std::string name;
    while (pos < size) {
        if (text[pos] != u'$') {
            ++pos;
            continue;
        }
        qsizetype end = pos + 1;
        while (end < size && is_name_char(text[end])) {
            ++end;
        }
        if (end == pos + 1) {
            pos = end;
            continue;
        }
        name.clear();
        for (qsizetype i = pos + 1; i < end; ++i) {
            name.push_back(static_cast<char>(text[i].unicode()));
        }
        const char* value = std::getenv(name.c_str());
        if (value != nullptr) {
            result.append(QStringView(text).sliced(done, pos - done));
            result.append(local8bit_decode(value));
            done = end;
        }
        pos = end;
    }
    if (done == 0) {
        return text;
    }
    result.append(QStringView(text).sliced(done));
    return result;
}

const char* EnvironmentCache::get(std::string_view name) {
    for (const Entry& entry : entries_) {
        if (entry.name == name) {
            return entry.value;
        }
    }
    lookup_.assign(name);
    const char* value = std::getenv(lookup_.c_str());
    if (entries_.size() < kMaxNames) {
        entries_.push_back({lookup_, value});
    }
    return value;
}

void expand_variables_utf8(std::string& out, std::string_view utf8) {
    EnvironmentCache environment;
    expand_variables_utf8(out, utf8, environment);
}

void expand_variables_utf8(std::string& out, std::string_view utf8, EnvironmentCache& environment) {
    // A name character is ASCII and never part of a multi-byte sequence, so
    // the byte-level search finds exactly the references of the UTF-16 one.
    const std::size_t size = utf8.size();
    std::size_t done = 0;
    std::size_t pos = 0;
    while (true) {
        pos = utf8.find('$', pos);
        if (pos == std::string_view::npos) {
            break;
        }
        std::size_t end = pos + 1;
        while (end < size && is_name_byte(static_cast<unsigned char>(utf8[end]))) {
            ++end;
        }
        if (end == pos + 1) {
            pos = end;
            continue;
        }
        const char* value = environment.get(utf8.substr(pos + 1, end - pos - 1));
        if (value != nullptr) {
            out.append(utf8.substr(done, pos - done));
            // Environment values are bytes in the locale's encoding.
            local8bit_append_utf8(out, value);
            done = end;
        }
        pos = end;
    }
    out.append(utf8.substr(done));
}
