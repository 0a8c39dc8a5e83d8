#include "tests/support/headless_chromium.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <utility>

namespace qtest {

ProcessResult run_chromium(const std::string& dir, const std::vector<std::string>& arguments) {
    std::filesystem::create_directories(dir + "/profile");
    std::vector<std::string> args = {"120",
                                     kChromium,
                                     "--headless",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--disable-quic",
                                     "--no-first-run",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--user-data-dir=" + dir + "/profile"};
    args.insert(args.end(), arguments.begin(), arguments.end());
    return run_process("/usr/bin/timeout", args, {{"PATH", "/usr/bin:/bin"}, {"HOME", dir}}, dir);
}

std::vector<std::string> probe_lines(const ProcessResult& run) {
    EXPECT_EQ(run.exit_status, 0) << run.err;
    const std::size_t body = run.out.find("<body>");
    const std::size_t end = run.out.rfind("</body>");
    std::vector<std::string> lines;
    if (body == std::string::npos || end == std::string::npos) {
        ADD_FAILURE() << "no probe output: " << run.out.substr(0, 300);
        return lines;
    }
    std::istringstream found(run.out.substr(body + 6, end - body - 6));
    // The dump escapes '&', '<' and '>' in text: undone in one pass, so that
    // a text that reads "&amp;" stays as it is.
    const std::pair<std::string_view, char> escapes[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};
    for (std::string line; std::getline(found, line);) {
        std::string plain;
        for (std::size_t at = 0; at < line.size();) {
            const auto escape = std::find_if(
                std::begin(escapes), std::end(escapes),
                [&](const auto& e) { return line.compare(at, e.first.size(), e.first) == 0; });
            plain += escape == std::end(escapes) ? line[at] : escape->second;
            at += escape == std::end(escapes) ? 1 : escape->first.size();
        }
        lines.push_back(plain);
    }
    return lines;
}

}  // namespace qtest
