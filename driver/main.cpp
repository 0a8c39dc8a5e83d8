// quillon: turns ROD result files into test-requirement reports.

#include "driver/banner.h"
#include "driver/long_options.h"
#include "driver/option_pass.h"
#include "driver/run_loop.h"
#include "driver/run_options.h"
#include "driver/tool_messages.h"
#include "i18n/catalogues.h"
#include "i18n/local8bit.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Console mode: QCoreApplication has no GUI; it also sets the C locale
    // from the environment, which the local 8-bit conversions follow.
    QCoreApplication app(argc, argv);
    local8bit_init();
    load_catalogues(app, default_catalogue_prefixes());

    // --help or --version anywhere: answered on standard output, nothing converted.
    if (answer_long_option(argc, argv)) {
        return 0;
    }
    if (argc <= 1) {
        print_message(banner_text(), stderr);
        print_message(usage_text(argv[0]), stderr);
        return -1;
    }

    const OptionPassResult options = run_option_pass(argc, argv, run_options);
    if (!options.ok) {
        return -1;
    }
    return run_inputs(argc, argv, options.output_name);
}
