#include "report/coverage_match.h"

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
//   "(digits/digits)" that has a TAB before it;
// - "(.+)" takes as much as it can, so it runs to the last TAB before that
//   count, and needs one byte at least, so that TAB cannot be the first byte;
// - a digit run is followed by '/' or ')', never a digit, so "\d+" takes the
//   whole run.
// The pairs found by one scan from the left never overlap past their '(',
// so the scan reads each byte a bounded number of times.
std::optional<CoverageCount> match_coverage_count(std::string_view line) {
    std::size_t count_start = std::string_view::npos;
    CoverageCount count;
    std::size_t pos = 0;
    while ((pos = line.find('(', pos)) != std::string_view::npos) {
        const std::size_t covered_end = digits_from(line, pos + 1);
        if (covered_end == pos + 1 || covered_end >= line.size() || line[covered_end] != '/') {
            pos = covered_end > pos + 1 ? covered_end : pos + 1;
            continue;
        }
        const std::size_t branches_end = digits_from(line, covered_end + 1);
        if (branches_end == covered_end + 1 || branches_end >= line.size() ||
            line[branches_end] != ')') {
            pos = branches_end;
            continue;
        }
        count_start = pos;
        count.covered = line.substr(pos + 1, covered_end - pos - 1);
        count.branches = line.substr(covered_end + 1, branches_end - covered_end - 1);
        pos = branches_end + 1;
    }
    if (count_start == std::string_view::npos || count_start < 2) {
        return std::nullopt;
    }
    const std::size_t tab = line.rfind('\t', count_start - 1);
    if (tab == std::string_view::npos || tab == 0) {
        return std::nullopt;
    }
    count.code = line.substr(0, tab);
    return count;
}
