#pragma once
// The fields of ROD record lines that have a syntax of their own: numbers
// read the way the C conversions %d and %ld read them, the version of the
// header line, the words of BD, the file-table entry of FX and the position
// of FPn. Pure functions on one line; rod/reader_records.cpp acts on them.

#include "rod/rod.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// rod_line_value, with the common case inline: a two-letter code, one blank
// and the text. The reader asks for the text of nearly every record.
inline std::optional<std::string_view> record_text(std::string_view line, bool keep_blanks) {
    if (line.size() > 3 && line[2] == ' ' && line[0] != ' ' && line[1] != ' ' &&
        (keep_blanks || line[3] != ' ')) {
        return line.substr(3);
    }
    return rod_line_value(line, keep_blanks);
}

// A number as %d or %ld reads it: C white space skipped, an optional sign,
// then at least one digit. `fits` is false when the value is outside the
// signed 32-bit range; `value` is then 0.
struct CNumber {
    bool read = false;
    bool fits = false;
    std::int32_t value = 0;
    std::size_t end = 0;  // offset just behind the last digit (or `from` when not read)
};

CNumber read_c_number(std::string_view text, std::size_t from);

// True for the characters isspace() accepts in the C locale.
constexpr bool is_c_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');  // TAB, LF, VT, FF, CR
}

enum class HeaderOutcome {
    Accepted,        // magic and version 1.1.x
    VersionWarning,  // magic and version 1.x.y with x other than 1
    BadVersion,      // magic and a major version other than 1
    Headerless,      // no magic, the line is an MO record
    NotRod,          // neither, or fewer than three version numbers
};

HeaderOutcome judge_header(std::string_view first_line);

// The three words of BD, split on C white space from offset 2 as
// "%s %s %s" splits them; a missing word is empty.
struct BdWords {
    std::string_view name;
    std::string_view in_text;
    std::string_view va_text;
};

BdWords read_bd_words(std::string_view line);

// The FX entry: the file number read from offset 4 and the name that follows
// the blanks, digits and blanks from offset 2. Absent when the number is
// missing, negative or beyond 32 bits.
struct FileEntry {
    std::int32_t number = 0;
    std::string_view name;
};

std::optional<FileEntry> read_file_entry(std::string_view line);

// The two numbers of FPn from offset 4 as "%ld %ld" reads them; absent when
// either is missing, negative or beyond 32 bits. Whether the file number has
// an entry is for the caller to check.
struct ScriptPosition {
    std::int32_t file = 0;
    std::int32_t line = 0;
};

std::optional<ScriptPosition> read_position(std::string_view line);
