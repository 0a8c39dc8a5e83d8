#include "campaign/report_links.h"

#include <QByteArray>

#include <sys/stat.h>

#include <filesystem>

namespace {

std::string page_beside(const std::string& report_path) {
    std::string page = report_path;
    for (const std::string_view suffix : {std::string_view(".req.xml"), std::string_view(".xml")}) {
        if (page.ends_with(suffix)) {
            page.resize(page.size() - suffix.size());
            break;
        }
    }
    return page + ".html";
}

bool is_file(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::filesystem::path absolute(const std::string& path) {
    std::error_code ignored;  // only when the current folder is gone: the path stays relative
    return std::filesystem::absolute(path, ignored).lexically_normal();
}

}  // namespace

std::string folder_of_page(const std::string& page_path) {
    return absolute(page_path).parent_path().native();
}

std::vector<std::string> report_links(const Campaign& campaign, const std::string& page_directory,
                                      const std::vector<std::string>& pages) {
    const std::filesystem::path from = absolute(page_directory);
    std::vector<std::string> links;
    links.reserve(campaign.reports.size());
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const ReportResult& report = campaign.reports[r];
        const std::string beside = page_beside(report.path);
        const std::string& target = r < pages.size() && !pages[r].empty() ? pages[r]
                                    : is_file(beside)                     ? beside
                                                                          : report.path;
        // A URL names bytes: a name in any encoding keeps them, percent-encoded.
        const std::string relative = absolute(target).lexically_relative(from).native();
        links.push_back(QByteArray::fromStdString(relative).toPercentEncoding("/").toStdString());
    }
    return links;
}
