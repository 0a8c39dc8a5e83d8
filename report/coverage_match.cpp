#include "report/coverage_match.h"

#include <string.h>  // memrchr

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t digits_from(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && is_digit(text[end])) {
        ++end;
    }
    return end;
}

}  // namespace

// Because '.' matches any byte, a match anywhere can be widened to one that
// starts at the beginning of the line, and greed settles the rest:
// - ".*" before "\(" takes as much as it can, so the count is the last
//   "(digits/digits)" in the line, provided it has a TAB before it;
// - "(.+)" takes as much as it can, so it runs to the last TAB before that
//   count, and needs one byte at least, so that TAB cannot be the first byte;
// - a digit run is followed by '/' or ')', never a digit, so "\d+" takes the
//   whole run.
// The scan goes from the right: the first '(' that opens a count is the last
// count. Each check reads the digits after its '(' up to the next byte that
// is no digit, so no byte is read more than twice.
std::optional<CoverageCount> match_coverage_count(std::string_view line) {
    if (line.empty()) {
        return std::nullopt;
    }
    const char* const data = line.data();
    std::size_t searched = line.size();  // '(' is looked for before this
    while (const void* found = memrchr(data, '(', searched)) {
        const auto pos = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        searched = pos;
        const std::size_t covered_end = digits_from(line, pos + 1);
        if (covered_end == pos + 1 || covered_end >= line.size() || line[covered_end] != '/') {
            continue;
        }
        const std::size_t branches_end = digits_from(line, covered_end + 1);
        if (branches_end == covered_end + 1 || branches_end >= line.size() ||
            line[branches_end] != ')') {
            continue;
        }
        if (pos < 2) {
            return std::nullopt;
        }
        const void* tab = memrchr(data, '\t', pos);
        if (!tab || tab == data) {
            return std::nullopt;
        }
        CoverageCount count;
        count.code = line.substr(0, static_cast<std::size_t>(static_cast<const char*>(tab) - data));
        count.covered = line.substr(pos + 1, covered_end - pos - 1);
        count.branches = line.substr(covered_end + 1, branches_end - covered_end - 1);
        return count;
    }
    return std::nullopt;
}
