#include "campaign/report_page_set.h"

#include "campaign/messages.h"
#include "campaign/parallel.h"
#include "campaign/report_pages.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <map>

namespace {

std::string file_stem(const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    for (const std::string_view suffix : {std::string_view(".req.xml"), std::string_view(".xml")}) {
        if (name.ends_with(suffix)) {
            name.resize(name.size() - suffix.size());
            break;
        }
    }
    return name;
}

// FNV-1a: a short, stable tag for a key; not a checksum.
std::string key_tag(const std::string& key) {
    std::uint32_t hash = 2166136261u;
    for (const unsigned char c : key) {
        hash = (hash ^ c) * 16777619u;
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", hash);
    return text;
}

// Strictly: file times are coarser than the writes, so a tie may hide a
// report written after its page.
bool newer(const struct stat& a, const struct stat& b) {
    return a.st_mtim.tv_sec != b.st_mtim.tv_sec ? a.st_mtim.tv_sec > b.st_mtim.tv_sec
                                                : a.st_mtim.tv_nsec > b.st_mtim.tv_nsec;
}

// Whether the page at page_path already shows the report as the stylesheet
// renders it now.
bool up_to_date(const std::string& page_path, const std::string& report_path,
                const struct stat& stylesheet) {
    struct stat page;
    struct stat report;
    return ::stat(page_path.c_str(), &page) == 0 && S_ISREG(page.st_mode) &&
           ::stat(report_path.c_str(), &report) == 0 && newer(page, report) &&
           newer(page, stylesheet);
}

}  // namespace

std::vector<std::string> report_page_names(const Campaign& campaign) {
    std::map<std::string, int> uses;
    for (const ReportResult& report : campaign.reports) {
        ++uses[file_stem(report.path)];
    }
    std::vector<std::string> names;
    for (std::size_t r = 0; r < campaign.reports.size(); ++r) {
        const std::string stem = file_stem(campaign.reports[r].path);
        names.push_back(uses[stem] == 1 ? stem + ".html"
                                        : stem + "~" + key_tag(campaign.report_keys[r]) + ".html");
    }
    return names;
}

ReportPageSet render_report_pages(const Campaign& campaign, const std::string& folder,
                                  const std::string& stylesheet_path, int threads) {
    ReportPageSet set;
    set.pages.assign(campaign.reports.size(), std::string());
    if (campaign.reports.empty()) {
        return set;
    }
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        set.problems.append(message_cannot_write(shown_file_name(folder), qt_error_string(errno)));
        return set;
    }
    ReportPageStylesheet stylesheet;
    QString problem;
    struct stat stylesheet_status;
    if (::stat(stylesheet_path.c_str(), &stylesheet_status) != 0 ||
        !stylesheet.load(stylesheet_path, &problem)) {
        set.problems.append(
            problem.isEmpty()
                ? message_cannot_read(shown_file_name(stylesheet_path), qt_error_string(errno))
                : problem);
        return set;
    }
    const std::vector<std::string> names = report_page_names(campaign);
    const std::string prefix = folder.ends_with('/') ? folder : folder + '/';
    std::vector<QString> problems(campaign.reports.size());
    run_in_parallel(static_cast<int>(campaign.reports.size()), threads, [&](int r) {
        const std::string page = prefix + names[r];
        const std::string& report = campaign.reports[r].path;
        if (up_to_date(page, report, stylesheet_status) ||
            stylesheet.render(report, page, &problems[r])) {
            set.pages[r] = page;
        }
    });
    for (const QString& line : problems) {
        if (!line.isEmpty()) {
            set.problems.append(line);
        }
    }
    return set;
}

std::string installed_report_stylesheet() {
    const char* root = std::getenv("QARVODIR");
    const std::string base =
        root && *root
            ? std::string(root)
            : QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() + "/..";
    return base + "/lib/reports/testreq_report.xsl";
}

std::string default_pages_folder(const std::string& html_path) {
    std::string folder = html_path;
    const std::size_t slash = folder.rfind('/');
    const std::size_t dot = folder.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) {
        folder.resize(dot);
    }
    return folder + ".pages";
}
