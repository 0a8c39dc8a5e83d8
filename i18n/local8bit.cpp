#include "i18n/local8bit.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <langinfo.h>

#include <cstring>

namespace {

struct Local8BitState {
    bool initialised = false;
    Local8BitKind kind = Local8BitKind::Utf8;
    std::string codeset;
};

Local8BitState& state() {
    static Local8BitState s;
    return s;
}

bool same_name(const char* a, const char* b) {
    return strcasecmp(a, b) == 0;
}

Local8BitKind classify(const char* codeset) {
    if (same_name(codeset, "UTF-8") || same_name(codeset, "utf8") ||
        same_name(codeset, "ANSI_X3.4-1968") || same_name(codeset, "ASCII") ||
        same_name(codeset, "US-ASCII") || codeset[0] == '\0') {
        return Local8BitKind::Utf8;
    }
    if (same_name(codeset, "ISO-8859-1") || same_name(codeset, "ISO8859-1") ||
        same_name(codeset, "latin1")) {
        return Local8BitKind::Latin1;
    }
    return Local8BitKind::Other;
}

const Local8BitState& current() {
    if (!state().initialised) {
        local8bit_init();
    }
    return state();
}

void append_replacement(std::string& out) {
    out.append("\xEF\xBF\xBD", 3);
}

}  // namespace

void local8bit_init() {
    Local8BitState& s = state();
    const char* codeset = nl_langinfo(CODESET);
    s.codeset = codeset ? codeset : "";
    s.kind = classify(s.codeset.c_str());
    if (s.kind == Local8BitKind::Other && !QStringDecoder(s.codeset.c_str()).isValid()) {
        // An encoding Qt cannot convert: treat the bytes as UTF-8 rather than
        // refusing every text.
        s.kind = Local8BitKind::Utf8;
    }
    s.initialised = true;
}

Local8BitKind local8bit_kind() {
    return current().kind;
}

const std::string& local8bit_codeset() {
    return current().codeset;
}

QString local8bit_decode(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    switch (current().kind) {
        case Local8BitKind::Utf8: {
            // QString::fromUtf8 drops a leading byte order mark; a text keeps
            // it. Stateless: a sequence cut short at the end is replaced, not
            // held back for more input.
            QStringDecoder decoder(
                QStringConverter::Utf8,
                QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
            return decoder.decode(QByteArrayView(bytes.data(), size));
        }
        case Local8BitKind::Latin1:
            return QString::fromLatin1(bytes.data(), size);
        case Local8BitKind::Other:
            break;
    }
    QStringDecoder decoder(current().codeset.c_str(), QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes.data(), size));
}

std::string local8bit_encode(const QString& text) {
    QByteArray bytes;
    switch (current().kind) {
        case Local8BitKind::Utf8:
            bytes = text.toUtf8();
            break;
        case Local8BitKind::Latin1:
            bytes = text.toLatin1();
            break;
        case Local8BitKind::Other: {
            QStringEncoder encoder(current().codeset.c_str());
            bytes = encoder.encode(text);
            break;
        }
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::size_t utf8_sequence_length(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    const unsigned char b0 = p[0];
    if (b0 < 0x80) {
        return 1;
    }
    auto cont = [&](std::size_t i) { return i < n && (p[i] & 0xC0) == 0x80; };
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        return cont(1) ? 2 : 0;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (!cont(1) || !cont(2)) {
            return 0;
        }
        if (b0 == 0xE0 && p[1] < 0xA0) {
            return 0;  // overlong
        }
        if (b0 == 0xED && p[1] >= 0xA0) {
            return 0;  // surrogate
        }
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) {
            return 0;
        }
        if (b0 == 0xF0 && p[1] < 0x90) {
            return 0;  // overlong
        }
        if (b0 == 0xF4 && p[1] >= 0x90) {
            return 0;  // above U+10FFFF
        }
        return 4;
    }
    return 0;
}

bool is_ascii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

void latin1_append_utf8(std::string& out, std::string_view bytes) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) {
            out.append(bytes.data() + start, i - start);
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            start = i + 1;
        }
    }
    out.append(bytes.data() + start, bytes.size() - start);
}

void local8bit_append_utf8(std::string& out, std::string_view bytes) {
    switch (current().kind) {
        case Local8BitKind::Utf8: {
            std::size_t start = 0;
            std::size_t i = 0;
            while (i < bytes.size()) {
                if (static_cast<unsigned char>(bytes[i]) < 0x80) {
                    ++i;
                    continue;
                }
                const std::size_t len = utf8_sequence_length(bytes.substr(i));
                if (len != 0) {
                    i += len;
                    continue;
                }
                out.append(bytes.data() + start, i - start);
                append_replacement(out);
                ++i;
                start = i;
            }
            out.append(bytes.data() + start, bytes.size() - start);
            return;
        }
        case Local8BitKind::Latin1:
            latin1_append_utf8(out, bytes);
            return;
        case Local8BitKind::Other: {
            const QByteArray utf8 = local8bit_decode(bytes).toUtf8();
            out.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
            return;
        }
    }
}
