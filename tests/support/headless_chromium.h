#pragma once
// Headless Chromium as the page tests start it, and what a probe page tells
// them. A probe page frames the page under test; once that page's own script
// has run, it replaces its own body by its findings, one per line, which
// --dump-dom prints.

#include "tests/support/test_support.h"

#include <string>
#include <vector>

namespace qtest {

inline const std::string kChromium = "/usr/bin/chromium";

// Runs Chromium headless on arguments (its options, then a URL) with a
// throw-away profile in dir, no network, and two minutes at most.
ProcessResult run_chromium(const std::string& dir, const std::vector<std::string>& arguments);

// The lines a probe page left in its body, as --dump-dom printed them; a
// test failure when there is none.
std::vector<std::string> probe_lines(const ProcessResult& run);

}  // namespace qtest
