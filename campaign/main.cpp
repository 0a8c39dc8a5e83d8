// quillon-campaign: the whole campaign of requirement reports at a glance,
// requirement by requirement, as a CI gate.

#include "campaign/exit_status.h"
#include "campaign/history_command.h"
#include "campaign/messages.h"
#include "campaign/options.h"
#include "campaign/run.h"
#include "campaign/version.h"
#include "i18n/catalogues.h"
#include "i18n/local8bit.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdlib>
#include <string>

namespace {

// The catalogues come from $QARVODIR/lib/locale when QARVODIR is set, else
// from the installation the program runs from (<bin>/../lib/locale). Without
// either the program runs untranslated: unlike quillon it needs no QARVODIR.
void load_messages(QCoreApplication& app) {
    const char* root = std::getenv("QARVODIR");
    const std::string directory =
        root && *root ? std::string(root) + "/lib/locale"
                      : QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() +
                            "/../lib/locale";
    load_catalogues_from(app, directory, default_catalogue_prefixes());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    local8bit_init();
    load_messages(app);

    if (argc > 1 && std::string(argv[1]) == "history") {
        return run_history_command(arguments_as_bytes(argc, argv), stdout, stderr);
    }
    const ParsedOptions parsed = parse_options(arguments_as_bytes(argc, argv));
    if (!parsed.ok) {
        print_text(parsed.error, stderr);
        return kExitUsage;
    }
    if (parsed.options.help) {
        print_text(help_text(QStringLiteral("quillon-campaign")), stdout);
        return kExitOk;
    }
    if (parsed.options.version) {
        print_text(version_text(QStringLiteral(QUILLON_CAMPAIGN_VERSION)), stdout);
        return kExitOk;
    }
    return run_campaign(parsed.options, stdout, stderr);
}
