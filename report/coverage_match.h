#pragma once
// The count pattern of coverage lines, "(.+)\t.*\((\d+)/(\d+)\)" searched
// anywhere in a line with greedy quantifiers and '.' matching any byte,
// found by a linear scan instead of a backtracking regular expression.

#include <optional>
#include <string_view>

struct CoverageCount {
    std::string_view code;      // capture 1: up to the last TAB the rest matches after
    std::string_view covered;   // capture 2: digits before the slash
    std::string_view branches;  // capture 3: digits after the slash
};

// The captures of the first match in line, or nullopt when it has none. The
// views point into line.
std::optional<CoverageCount> match_coverage_count(std::string_view line);
