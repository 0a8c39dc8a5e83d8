#include "campaign/inputs.h"

#include "campaign/messages.h"
#include "campaign/open_by_name.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <set>

#include <strings.h>

namespace {

QString shown(const std::string& path) {
    return shown_file_name(path);
}

QString system_reason() {
    return qt_error_string(errno);
}

// The canonical form of an existing path, else its absolute form: two
// spellings of one file give one key.
std::string identity_of(const std::string& path) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string canonical(real);
        std::free(real);
        return canonical;
    }
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    char* cwd = ::getcwd(nullptr, 0);
    std::string absolute = cwd ? std::string(cwd) + '/' + path : path;
    std::free(cwd);
    return absolute;
}

bool ends_with_report_suffix(const std::string& name) {
    static constexpr char kSuffix[] = ".req.xml";
    constexpr std::size_t n = sizeof kSuffix - 1;
    return name.size() > n && ::strcasecmp(name.c_str() + name.size() - n, kSuffix) == 0;
}

bool newer(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// Collects report names, dropping a report already named by another input.
class ReportList {
  public:
    explicit ReportList(ResolvedInputs& out) : out_(out) {}
    void add(const std::string& report, const std::string& rod) {
        if (seen_.insert(identity_of(report)).second) {
            out_.reports.push_back({report, rod});
            out_.files.push_back(report);
        }
    }

  private:
    ResolvedInputs& out_;
    std::set<std::string> seen_;
};

struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, CloseDir>;

// Every *.req.xml below folder into found, problems for what cannot be
// listed or read.
void walk(const std::string& folder, std::vector<std::string>& found, QStringList& problems) {
    const DirHandle dir(::opendir(folder.c_str()));
    if (!dir) {
        problems.append(message_cannot_list(shown(folder), system_reason()));
        return;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
        errno = 0;
    }
    if (errno != 0) {
        problems.append(message_cannot_list(shown(folder), system_reason()));
        return;
    }
    std::sort(names.begin(), names.end());
    const std::string prefix = folder.ends_with('/') ? folder : folder + '/';
    for (const std::string& name : names) {
        const std::string path = prefix + name;
        struct stat entry;
        if (::lstat(path.c_str(), &entry) != 0) {
            problems.append(message_cannot_read(shown(path), system_reason()));
        } else if (S_ISDIR(entry.st_mode)) {
            walk(path, found, problems);
        } else if (ends_with_report_suffix(name)) {
            struct stat target;
            if (::stat(path.c_str(), &target) != 0) {
                problems.append(message_cannot_read(shown(path), system_reason()));
            } else {
                found.push_back(path);
            }
        }
    }
}

void add_folder(const std::string& folder, ReportList& reports, ResolvedInputs& out) {
    std::vector<std::string> found;
    const qsizetype problems_before = out.problems.size();
    walk(folder, found, out.problems);
    if (found.empty() && out.problems.size() == problems_before) {
        out.problems.append(message_empty_folder(shown(folder)));
        return;
    }
    std::sort(found.begin(), found.end());
    for (const std::string& path : found) {
        reports.add(path, std::string());
    }
}

// The report of a ROD file, when it is there and no older than the ROD file.
void add_converted(const std::string& rod, const struct stat& rod_status, const std::string& report,
                   ReportList& reports, ResolvedInputs& out) {
    struct stat report_status;
    if (::stat(report.c_str(), &report_status) != 0 || !S_ISREG(report_status.st_mode)) {
        out.problems.append(message_no_report(shown(rod), shown(report)));
    } else if (newer(rod_status.st_mtim, report_status.st_mtim)) {
        out.problems.append(message_stale_report(shown(rod), shown(report)));
    } else {
        reports.add(report, rod);
    }
}

// A report a log lists: when a ROD file of the same stem sits beside it, the
// report stands for that ROD file.
void add_logged(const std::string& report, ReportList& reports, ResolvedInputs& out) {
    static constexpr std::string_view kSuffix = ".req.xml";
    if (report.ends_with(kSuffix)) {
        const std::string stem = report.substr(0, report.size() - kSuffix.size());
        for (const char* extension : {".rod", ".ROD"}) {
            const std::string rod = stem + extension;
            struct stat rod_status;
            if (::stat(rod.c_str(), &rod_status) == 0 && S_ISREG(rod_status.st_mode)) {
                add_converted(rod, rod_status, report, reports, out);
                return;
            }
        }
    }
    reports.add(report, std::string());
}

void add_log(const std::string& log, ReportList& reports, ResolvedInputs& out) {
    out.files.push_back(log);
    QFile file;
    QString problem;
    if (!open_input(log, &file, &problem)) {
        out.problems.append(problem);
        return;
    }
    bool any = false;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.startsWith("REQ ") && line.size() > 4) {
            add_logged(line.mid(4).toStdString(), reports, out);
            any = true;
        }
    }
    if (!any) {
        out.problems.append(message_empty_log(shown(log)));
    }
}

}  // namespace

std::string report_name_for_rod(const std::string& rod_path) {
    std::string name = rod_path;
    if (name.size() > 4 && (name.ends_with(".rod") || name.ends_with(".ROD"))) {
        name.resize(name.size() - 4);
    }
    return name + ".req.xml";
}

ResolvedInputs resolve_inputs(const std::vector<std::string>& inputs,
                              const std::vector<std::string>& logs) {
    ResolvedInputs out;
    ReportList reports(out);
    for (const std::string& input : inputs) {
        struct stat status;
        if (::stat(input.c_str(), &status) != 0) {
            out.problems.append(message_no_such_input(shown(input)));
        } else if (S_ISDIR(status.st_mode)) {
            add_folder(input, reports, out);
        } else if (input.size() >= 4 &&
                   ::strcasecmp(input.c_str() + input.size() - 4, ".xml") == 0) {
            reports.add(input, std::string());
        } else {
            out.files.push_back(input);
            add_converted(input, status, report_name_for_rod(input), reports, out);
        }
    }
    for (const std::string& log : logs) {
        add_log(log, reports, out);
    }
    return out;
}
