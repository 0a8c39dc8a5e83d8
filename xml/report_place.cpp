#include "xml/report_place.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

constexpr std::string_view kTemporarySuffix = ".tmp";

// A link made by this user or by the system (/dev/stdout) may be followed;
// one that another user planted is replaced like any other entry.
bool is_trusted_link(const struct stat& link) {
    return link.st_uid == 0 || link.st_uid == geteuid();
}

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The descriptor a link names when it is an entry of this process's
// descriptor folder (the text of such a link is no path to follow); -1
// otherwise.
int descriptor_named(const std::string& link) {
    const PathParts parts = split_path(link);
    if (parts.base.empty() || parts.base.size() > 9 ||
        parts.base.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    struct stat folder {};
    if (stat(parts.folder.empty() ? "." : parts.folder.c_str(), &folder) != 0) {
        return -1;
    }
    for (const char* own_descriptors : {"/proc/self/fd", "/proc/thread-self/fd"}) {
        struct stat own {};
        if (stat(own_descriptors, &own) == 0 && same_file(folder, own)) {
            return std::stoi(parts.base);
        }
    }
    return -1;
}

std::string link_text(const std::string& link) {
    std::string text(PATH_MAX, '\0');
    const ssize_t length = readlink(link.c_str(), text.data(), text.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= text.size()) {
        return {};
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The components of path, last first, to be taken from the back.
void push_components(std::vector<std::string>& pending, const std::string& path) {
    std::size_t end = path.size();
    while (end > 0) {
        const std::size_t slash = path.rfind('/', end - 1);
        const std::size_t begin = slash == std::string::npos ? 0 : slash + 1;
        if (end > begin) {
            pending.push_back(path.substr(begin, end - begin));
        }
        if (slash == std::string::npos) {
            break;
        }
        end = slash;
    }
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

// Walks name component by component as the kernel does, so that every link
// met on the way is seen, in the folders of a link's text too, and trusted
// or not. The walked part never holds a link, so ".." simply drops its last
// component.
ReportPlace report_place(const std::string& name) {
    struct stat entry {};
    if (lstat(name.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) {
        return {name};
    }
    std::vector<std::string> pending;
    push_components(pending, name);
    std::string walked = name.front() == '/' ? "/" : "";
    int links = 0;
    while (!pending.empty()) {
        const std::string component = std::move(pending.back());
        pending.pop_back();
        if (component == ".") {
            continue;
        }
        if (component == "..") {
            const std::size_t slash = walked.rfind('/');
            if (walked.empty() || walked == ".." || walked.ends_with("/..")) {
                walked = joined(walked, "..");
            } else if (walked != "/") {
                walked.resize(slash == std::string::npos ? 0 : std::max<std::size_t>(slash, 1));
            }
            continue;
        }
        const std::string next = joined(walked, component);
        if (lstat(next.c_str(), &entry) != 0) {
            // Missing: at the end, a new file made through trusted links;
            // on the way, a path the write will fail on.
            return {pending.empty() ? next : name};
        }
        if (!S_ISLNK(entry.st_mode)) {
            walked = next;
            continue;
        }
        if (!is_trusted_link(entry) || ++links > kMaxLinks) {
            return {name};
        }
        if (pending.empty()) {
            if (const int descriptor = descriptor_named(next); descriptor >= 0) {
                return {name, descriptor};
            }
        }
        const std::string text = link_text(next);
        if (text.empty()) {
            return {name};
        }
        push_components(pending, text);
        if (text.front() == '/') {
            walked = "/";
        }
    }
    return {walked.empty() ? std::string(".") : walked};
}

PathParts split_path(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {{}, path};
    }
    std::string base = path.substr(slash + 1);
    return {path.substr(0, slash + 1), base.empty() ? std::string(".") : base};
}

std::string temporary_name(std::string_view base) {
    if (base.size() + kTemporarySuffix.size() <= NAME_MAX) {
        std::string name(base);
        name += kTemporarySuffix;
        return name;
    }
    // The digest keeps two long names that share their start apart, and
    // gives every run writing this report the same name to meet at.
    std::uint64_t digest = 0xcbf29ce484222325u;  // FNV-1a
    for (const char byte : base) {
        digest = (digest ^ static_cast<unsigned char>(byte)) * 0x100000001b3u;
    }
    char digits[18];
    std::snprintf(digits, sizeof digits, "~%016llx", static_cast<unsigned long long>(digest));
    std::size_t kept = NAME_MAX - kTemporarySuffix.size() - (sizeof digits - 1);
    while (kept > 0 && (static_cast<unsigned char>(base[kept]) & 0xC0) == 0x80) {
        --kept;  // not inside a UTF-8 character
    }
    std::string name(base.substr(0, kept));
    name += digits;
    name += kTemporarySuffix;
    return name;
}

std::string temporary_path(const std::string& path) {
    const PathParts parts = split_path(path);
    return parts.folder + temporary_name(parts.base);
}
