#include "driver/run_loop.h"

#include "i18n/tool_messages.h"
#include "report/console_echo.h"
#include "report/report_writer.h"
#include "rod/rod.h"
#include "rod/tree_release.h"

#include <unistd.h>

#include <new>
#include <optional>

std::string default_report_name(std::string_view input) {
    std::string name(input);
    if (name.size() > 4) {
        const std::string_view ending = std::string_view(name).substr(name.size() - 4);
        if (ending == ".rod" || ending == ".ROD") {
            name.resize(name.size() - 4);
        }
    }
    name += ".req.xml";
    return name;
}

int run_inputs(int argc, char** argv, const RunOptions& options, const char* output_name) {
    // One echo for the whole run, so that a closed standard output is
    // reported once, not once per report.
    std::optional<ConsoleEcho> echo;
    if (options.verbose) {
        echo.emplace(STDOUT_FILENO);
    }
    for (int i = 1; i < argc && argv[i]; ++i) {
        const char* input = argv[i];
        if (input[0] == '-') {
            continue;  // options were taken by the option pass
        }
        RodReadFailure failure = RodReadFailure::None;
        RodTree run(rod_read(input, failure));
        if (!run) {
            if (failure == RodReadFailure::OutOfMemory) {
                tool_error(kToolErrorNoMemory, "kvw2req", "rod_read");
                return -1;
            }
            if (failure == RodReadFailure::ReadError) {
                // No report: one made of part of the file could give a wrong verdict.
                tool_error(kToolErrorReadFile, input, "rod_read");
            }
            continue;  // a rejected file: the reader has said why
        }
        std::string report_name;
        if (!output_name) {
            try {
                report_name = default_report_name(input);
            } catch (const std::bad_alloc&) {
                tool_error(kToolErrorNoMemory, "kvw2req", "main_1");
                return -1;
            }
        }
        TreeRelease release;
        const ReportOutcome outcome =
            xrd_report_write(output_name ? output_name : report_name.c_str(), run.get(), options,
                             echo ? &*echo : nullptr, [&] { release.start(std::move(run)); });
        release.wait();
        if (outcome == ReportOutcome::OutOfMemory) {
            return -1;
        }
    }
    return 0;
}
