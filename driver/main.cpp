// quillon: turns ROD result files into test-requirement reports.

#include "driver/banner.h"
#include "driver/long_options.h"
#include "driver/option_pass.h"
#include "driver/output_check.h"
#include "driver/run_loop.h"
#include "i18n/catalogues.h"
#include "i18n/local8bit.h"
#include "i18n/tool_messages.h"
#include "report/run_options.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // A reader of the -v echo that goes away (`quillon -v ... | head -1`)
    // must not cost the reports: writes to it fail instead, and are reported.
    std::signal(SIGPIPE, SIG_IGN);
    // Console mode: QCoreApplication has no GUI; it also sets the C locale
    // from the environment, which the local 8-bit conversions follow.
    QCoreApplication app(argc, argv);
    local8bit_init();
    // --help and --version answer even where the tool is not set up yet: in
    // the source wording when QARVODIR, which holds the catalogues, is unset.
    const char* root = std::getenv("QARVODIR");
    if (find_long_option(argc, argv) == LongOption::None || (root && root[0] != '\0')) {
        load_catalogues(app, default_catalogue_prefixes());
    }

    // --help or --version anywhere: answered on standard output, nothing converted.
    if (answer_long_option(argc, argv)) {
        return 0;
    }
    if (argc <= 1) {
        print_message(banner_text(), stderr);
        print_message(usage_text(argv[0]), stderr);
        return -1;
    }

    RunOptions options;
    const char* output_name = read_options(argc, argv, options);
    if (!outputs_spare_inputs(argc, argv, options, output_name) ||
        !check_option_files(argc, argv)) {
        return -1;
    }
    return run_inputs(argc, argv, options, output_name);
}
