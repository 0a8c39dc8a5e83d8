#include "campaign/report_links.h"

#include <QByteArray>

#include <sys/stat.h>

#include <filesystem>
#include <unordered_map>

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

void append_id_part(std::string& out, std::string_view name) {
    static constexpr std::string_view kSpecials = " !\"#$%&'()*+,./:;<=>?@[\\]^`{|}~\t\n\r";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : name) {
        if (kSpecials.find(c) == std::string_view::npos) {
            out += c;
        } else {
            out += '.';
            out += kHex[static_cast<unsigned char>(c) >> 4];
            out += kHex[static_cast<unsigned char>(c) & 15];
        }
    }
}

void append_namesake(std::string& out, int rank) {
    if (rank > 1) {
        out += '~';
        out += std::to_string(rank);
    }
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

ReportPageAnchors::ReportPageAnchors(const Campaign& campaign) : campaign_(campaign) {
    for (const ReportResult& report : campaign.reports) {
        std::unordered_map<std::string_view, int> services;
        std::vector<int>& service_rank = service_rank_.emplace_back();
        for (const ServiceResult& service : report.services) {
            service_rank.push_back(++services[report.text(service.name)]);
        }
        // A service's tests stand together in report order.
        std::unordered_map<std::string_view, int> tests;
        std::vector<int>& test_rank = test_rank_.emplace_back();
        int service = -1;
        for (const TestResult& test : report.tests) {
            if (test.service != service) {
                tests.clear();
                service = test.service;
            }
            test_rank.push_back(++tests[report.text(test.name)]);
        }
    }
}

std::string ReportPageAnchors::test(int report, int test) const {
    const ReportResult& r = campaign_.reports[report];
    const int service = r.tests[test].service;
    std::string anchor = "test-";
    append_id_part(anchor, r.service_name(service));
    append_namesake(anchor, service_rank_[report][service]);
    anchor += '/';
    append_id_part(anchor, r.test_name(test));
    append_namesake(anchor, test_rank_[report][test]);
    return anchor;
}

std::string ReportPageAnchors::service(int report, int service) const {
    std::string anchor = "svc-";
    append_id_part(anchor, campaign_.reports[report].service_name(service));
    append_namesake(anchor, service_rank_[report][service]);
    return anchor;
}

std::string page_link(const std::string& link, const ReportPageAnchors& anchors, int report,
                      int service, int test) {
    if (!link.ends_with(".html")) {
        return std::string();
    }
    if (test < 0 && service < 0) {
        return link;
    }
    const std::string anchor =
        test >= 0 ? anchors.test(report, test) : anchors.service(report, service);
    return link + '#' + QByteArray::fromStdString(anchor).toPercentEncoding("/~.-_").toStdString();
}
