#include "campaign/provenance.h"

#include "i18n/local8bit.h"

#include <QDateTime>

#include <cstdlib>

namespace {

bool bare_in_shell(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c >= 0x80 ||
           std::string_view("_-./:=,+@%").find(static_cast<char>(c)) != std::string_view::npos;
}

bool is_control(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// In $'...', where a backslash escapes: \\, \', the usual controls and \xHH.
std::string ansi_c_quoted(const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string quoted = "$'";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                quoted += "\\\\";
                break;
            case '\'':
                quoted += "\\'";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '\r':
                quoted += "\\r";
                break;
            default:
                if (is_control(byte)) {
                    quoted += "\\x";
                    quoted += kHex[byte >> 4];
                    quoted += kHex[byte & 0xF];
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "'";
}

std::string shell_word(const std::string& text) {
    bool bare = !text.empty();
    bool control = false;
    for (const char c : text) {
        bare = bare && bare_in_shell(static_cast<unsigned char>(c));
        control = control || is_control(static_cast<unsigned char>(c));
    }
    if (bare) {
        return text;
    }
    if (control) {
        return ansi_c_quoted(text);
    }
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

std::string generation_time() {
    // Only a plain number of seconds counts: anything else is ignored
    // rather than read as 1970.
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    char* end = nullptr;
    const long long seconds = epoch && *epoch ? std::strtoll(epoch, &end, 10) : -1;
    const QDateTime when = seconds >= 0 && end && *end == '\0'
                               ? QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC)
                               : QDateTime::currentDateTimeUtc();
    return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")).toStdString();
}

std::string shown_argument(const std::string& bytes) {
    return local8bit_decode(bytes).toStdString();
}

std::string shown_command_line(const std::vector<std::string>& arguments) {
    std::string line = "quillon-campaign";
    for (const std::string& argument : arguments) {
        line += ' ';
        line += shell_word(shown_argument(argument));
    }
    return line;
}
