#include "i18n/catalogues.h"

#include "i18n/local8bit.h"
#include "i18n/placeholders.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// Start-up texts go out untranslated: no catalogue is installed yet.
void print_untranslated(const QString& text) {
    const std::string bytes = local8bit_encode(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

// A catalogue and the bytes it was loaded from: a translator reads them in
// place, so they must outlive it (members go in reverse order).
struct Catalogue {
    QByteArray bytes;
    std::unique_ptr<QTranslator> translator;
};

// Installed catalogues live as long as the process.
std::vector<std::unique_ptr<Catalogue>>& installed_catalogues() {
    static std::vector<std::unique_ptr<Catalogue>> catalogues;
    return catalogues;
}

bool is_readable_file(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

// The file QTranslator::load(base, directory) would pick: base.qm, then base,
// then the same with base cut back at its last '_' or '.', and so on while a
// cut leaves something. Found by its bytes, where QTranslator would spell the
// path through a QString and miss a folder whose name is not UTF-8. Empty
// when there is none.
std::string find_catalogue(const std::string& directory, std::string base) {
    for (;;) {
        for (const std::string& name : {base + ".qm", base}) {
            const std::string path = directory + "/" + name;
            if (is_readable_file(path)) {
                return path;
            }
        }
        const std::size_t cut = base.find_last_of("_.");
        if (cut == std::string::npos || cut == 0) {
            return {};
        }
        base.resize(cut);
    }
}

bool read_whole_file(const std::string& path, QByteArray& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return false;
    }
    bytes = QByteArray(content.data(), static_cast<qsizetype>(content.size()));
    return true;
}

}  // namespace

QStringList default_catalogue_prefixes() {
    return {QStringLiteral("quillon_"), QStringLiteral("brenmix_"), QStringLiteral("common_")};
}

void load_catalogues(QCoreApplication& app, const QStringList& prefixes) {
    const char* root = std::getenv("QARVODIR");
    if (!root || root[0] == '\0') {
        print_untranslated(
            QStringLiteral("Fatal Error: please setup QARVODIR environment variable.\n"));
        std::exit(7);
    }

    // The folder is named by the bytes of QARVODIR, never by a decoded and
    // re-encoded copy, which would name another folder or none.
    const char separator = QDir::separator().toLatin1();
    const std::string directory = std::string(root) + separator + "lib" + separator + "locale";
    struct stat status {};
    if (stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        print_untranslated(
            fill_placeholders(QStringLiteral("Warning: directory doesn't exist '%1'\n"),
                              {local8bit_decode(directory)}));
        return;
    }

    load_catalogues_from(app, directory, prefixes);
}

int load_catalogues_from(QCoreApplication& app, const std::string& directory,
                         const QStringList& prefixes) {
    const QString locale_name = QLocale::system().name();
    int installed = 0;
    for (const QString& prefix : prefixes) {
        const std::string path = find_catalogue(directory, (prefix + locale_name).toStdString());
        auto catalogue = std::make_unique<Catalogue>();
        if (path.empty() || !read_whole_file(path, catalogue->bytes) ||
            catalogue->bytes.size() > INT_MAX) {
            continue;
        }
        catalogue->translator = std::make_unique<QTranslator>();
        if (!catalogue->translator->load(
                reinterpret_cast<const uchar*>(catalogue->bytes.constData()),
                static_cast<int>(catalogue->bytes.size()), local8bit_decode(directory))) {
            continue;
        }
        app.installTranslator(catalogue->translator.get());
        installed_catalogues().push_back(std::move(catalogue));
        ++installed;
    }
    return installed;
}
