#include "rod/reader_fields.h"

#include "rod/rod.h"

namespace {

constexpr std::string_view kMagic = "KOVIN Merovia ROD:";

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skip_blanks(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    return i;
}

// The next white-space separated word at or after `i`, as %s reads it.
std::string_view next_word(std::string_view text, std::size_t& i) {
    while (i < text.size() && is_c_space(text[i])) {
        ++i;
    }
    const std::size_t start = i;
    while (i < text.size() && !is_c_space(text[i])) {
        ++i;
    }
    return text.substr(start, i - start);
}

bool is_one(const CNumber& number) {
    return number.fits && number.value == 1;
}

}  // namespace

CNumber read_c_number(std::string_view text, std::size_t from) {
    CNumber result;
    result.end = from;
    const char* bytes = text.data();
    const std::size_t size = text.size();
    std::size_t i = from;
    while (i < size && is_c_space(bytes[i])) {
        ++i;
    }
    bool negative = false;
    if (i < size && (bytes[i] == '+' || bytes[i] == '-')) {
        negative = bytes[i] == '-';
        ++i;
    }
    // The magnitude stops growing once it is out of range, so a line of
    // millions of digits costs one scan and no overflow.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    std::uint64_t magnitude = 0;
    const std::size_t digits = i;
    for (; i < size; ++i) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(bytes[i]) - '0');
        if (digit > 9) {
            break;
        }
        if (magnitude <= limit) {
            magnitude = magnitude * 10 + digit;
        }
    }
    if (i == digits) {
        return result;
    }
    result.read = true;
    result.fits = magnitude <= limit;
    if (result.fits) {
        const auto value = static_cast<std::int64_t>(magnitude);
        result.value = static_cast<std::int32_t>(negative ? -value : value);
    }
    result.end = i;
    return result;
}

HeaderOutcome judge_header(std::string_view first_line) {
    if (!first_line.starts_with(kMagic)) {
        return first_line.starts_with("MO") ? HeaderOutcome::Headerless : HeaderOutcome::NotRod;
    }
    // "%d.%d.%d": each number may be preceded by white space, each dot must
    // follow its number directly.
    CNumber numbers[3];
    std::size_t at = kMagic.size();
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (at >= first_line.size() || first_line[at] != '.') {
                return HeaderOutcome::NotRod;
            }
            ++at;
        }
        numbers[i] = read_c_number(first_line, at);
        if (!numbers[i].read) {
            return HeaderOutcome::NotRod;
        }
        at = numbers[i].end;
    }
    if (!is_one(numbers[0])) {
        return HeaderOutcome::BadVersion;
    }
    return is_one(numbers[1]) ? HeaderOutcome::Accepted : HeaderOutcome::VersionWarning;
}

BdWords read_bd_words(std::string_view line) {
    BdWords words;
    if (!rod_line_value(line, false)) {
        return words;
    }
    std::size_t i = 2;
    words.name = next_word(line, i);
    words.in_text = next_word(line, i);
    words.va_text = next_word(line, i);
    return words;
}

std::optional<FileEntry> read_file_entry(std::string_view line) {
    const CNumber number = read_c_number(line, 4);
    if (!number.read || !number.fits || number.value < 0) {
        return std::nullopt;
    }
    std::size_t i = skip_blanks(line, 2);
    while (i < line.size() && is_digit(line[i])) {
        ++i;
    }
    i = skip_blanks(line, i);
    return FileEntry{number.value, line.substr(i)};
}

std::optional<ScriptPosition> read_position(std::string_view line) {
    const CNumber file = read_c_number(line, 4);
    if (!file.read) {
        return std::nullopt;
    }
    const CNumber script_line = read_c_number(line, file.end);
    if (!script_line.read || !file.fits || !script_line.fits || file.value < 0 ||
        script_line.value < 0) {
        return std::nullopt;
    }
    return ScriptPosition{file.value, script_line.value};
}

std::optional<std::string_view> rod_line_value(std::string_view line, bool keep_blanks) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t start = blank + 1;
    if (!keep_blanks) {
        start = skip_blanks(line, start);
    }
    if (start >= line.size()) {
        return std::nullopt;
    }
    return line.substr(start);
}
