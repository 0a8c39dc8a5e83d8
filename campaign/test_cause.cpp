#include "campaign/test_cause.h"

std::vector<std::string> test_cause_lines(const ReportResult& report, int test) {
    std::vector<std::string> lines;
    const int cause = report.tests[test].cause;
    if (cause < 0) {
        return lines;
    }
    for (const std::string& element : report.causes[cause].ko_elements) {
        lines.push_back("KO element " + element);
    }
    for (const int index : report.causes[cause].ko_requirements) {
        const RequirementOccurrence& occurrence = report.requirements[index];
        std::string line = "KO requirement ";
        line += report.text(occurrence.id);
        if (occurrence.value.size > 0) {
            (line += ": ") += report.text(occurrence.value);
        }
        lines.push_back(std::move(line));
    }
    for (const std::string& comment : report.causes[cause].comments) {
        lines.push_back("Comment: " + comment);
    }
    return lines;
}

std::string test_cause_headline(const std::vector<std::string>& lines) {
    std::string headline;
    for (const char* kind : {"KO element ", "KO requirement "}) {
        for (const std::string& line : lines) {
            if (line.starts_with(kind)) {
                headline += (headline.empty() ? "" : "; ") + line;
                break;
            }
        }
    }
    return headline.empty() && !lines.empty() ? lines.front() : headline;
}
