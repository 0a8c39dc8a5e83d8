// quillon: turns ROD result files into test-requirement reports.

#include "driver/messages.h"
#include "driver/option_pass.h"
#include "driver/output_check.h"
#include "driver/run_loop.h"
#include "driver/standard_descriptors.h"
#include "i18n/catalogues.h"
#include "i18n/local8bit.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

namespace {

int run(QCoreApplication& app, int argc, char** argv) {
    local8bit_init();
    CommandLine line = read_command_line(argc, argv);
    // --help and --version answer even where the tool is not set up yet: in
    // the source wording when QARVODIR, which holds the catalogues, is unset.
    const char* root = std::getenv("QARVODIR");
    if (line.long_option == LongOption::None || (root && root[0] != '\0')) {
        load_catalogues(app, default_catalogue_prefixes());
    }
    // --help or --version anywhere: answered on standard output, nothing converted.
    if (line.long_option != LongOption::None) {
        say_long_option(line.long_option, line.program);
        return 0;
    }
    if (line.empty) {
        say_banner_and_usage(line.program);
        return -1;
    }
    if (!outputs_spare_inputs(line) || !check_option_files(line)) {
        return -1;
    }
    std::string header_section;
    if (!make_header_section(line, header_section)) {
        return -1;
    }
    line.options.header_section = header_section;
    run_inputs(line);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything opens a file: no file of the run may become standard
    // output (the -v echo would land in it) or standard error.
    open_closed_standard_descriptors();
    // A reader of the -v echo that goes away (`quillon -v ... | head -1`)
    // must not cost the reports: writes to it fail instead, and are reported.
    std::signal(SIGPIPE, SIG_IGN);
    // Qt's event dispatcher would be glib's, whose allocator aborts when
    // memory runs out; the tool runs no event loop, and Qt's own dispatcher
    // lets memory running out reach the handler below.
    setenv("QT_NO_GLIB", "1", 1);
    // Console mode: QCoreApplication has no GUI; it also sets the C locale
    // from the environment, which the local 8-bit conversions follow. It
    // outlives the handler, which says its message through the catalogues.
    std::optional<QCoreApplication> app;
    try {
        app.emplace(argc, argv);
        return run(*app, argc, argv);
    } catch (const std::bad_alloc&) {
        // The one place memory running out ends the run: the reports of
        // earlier inputs stay, a temporary report went with its writer.
        say_out_of_memory();
        return -1;
    }
}
