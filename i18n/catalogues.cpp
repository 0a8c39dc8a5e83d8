#include "i18n/catalogues.h"

#include "i18n/local8bit.h"
#include "i18n/placeholders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Start-up texts go out untranslated: no catalogue is installed yet.
void print_untranslated(const QString& text) {
    const std::string bytes = local8bit_encode(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

// Installed catalogues live as long as the process.
std::vector<std::unique_ptr<QTranslator>>& installed_catalogues() {
    static std::vector<std::unique_ptr<QTranslator>> catalogues;
    return catalogues;
}

}  // namespace

QStringList default_catalogue_prefixes() {
    return {QStringLiteral("quillon_"), QStringLiteral("brenmix_"), QStringLiteral("common_")};
}

void load_catalogues(QCoreApplication& app, const QStringList& prefixes) {
    const char* root_bytes = std::getenv("QARVODIR");
    const QString root = root_bytes ? local8bit_decode(root_bytes) : QString();
    if (root.isEmpty()) {
        print_untranslated(
            QStringLiteral("Fatal Error: please setup QARVODIR environment variable.\n"));
        std::exit(7);
    }

    const QString separator = QDir::separator();
    const QFileInfo directory(root + separator + QStringLiteral("lib") + separator +
                              QStringLiteral("locale"));
    if (!directory.isDir()) {
        print_untranslated(fill_placeholders(
            QStringLiteral("Warning: directory doesn't exist '%1'\n"), {directory.filePath()}));
        return;
    }

    load_catalogues_from(app, directory.filePath(), prefixes);
}

int load_catalogues_from(QCoreApplication& app, const QString& directory,
                         const QStringList& prefixes) {
    const QString locale_name = QLocale::system().name();
    int installed = 0;
    for (const QString& prefix : prefixes) {
        auto catalogue = std::make_unique<QTranslator>();
        if (!catalogue->load(prefix + locale_name, directory)) {
            continue;
        }
        app.installTranslator(catalogue.get());
        installed_catalogues().push_back(std::move(catalogue));
        ++installed;
    }
    return installed;
}
