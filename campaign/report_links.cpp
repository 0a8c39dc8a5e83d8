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

std::vector<std::string> report_links(const Campaign& campaign, const std::string& page_directory) {
    const std::filesystem::path from = absolute(page_directory);
    std::vector<std::string> links;
    links.reserve(campaign.reports.size());
    for (const ReportResult& report : campaign.reports) {
        const std::string page = page_beside(report.path);
        const std::string& target = is_file(page) ? page : report.path;
        // A URL names bytes: a name in any encoding keeps them, percent-encoded.
        const std::string relative = absolute(target).lexically_relative(from).native();
        links.push_back(QByteArray::fromStdString(relative).toPercentEncoding("/").toStdString());
    }
    return links;
}
