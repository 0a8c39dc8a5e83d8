#include "driver/run_loop.h"

#include "driver/messages.h"
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

int run_inputs(const CommandLine& line) {
    const RunOptions& options = line.options;
    // One echo for the whole run, so that a closed standard output is
    // reported once, not once per report.
    std::optional<ConsoleEcho> echo;
    if (options.verbose) {
        echo.emplace(STDOUT_FILENO);
    }
    for (const char* input : line.inputs) {
        RodReading reading = rod_read(input);
        switch (reading.failure) {
            case RodReadFailure::None:
                break;
            case RodReadFailure::Rejected:
                continue;  // the reader has said why through its hook
            case RodReadFailure::ReadError:
                // No report: one made of part of the file could give a wrong verdict.
                say_cannot_read(input);
                continue;
            case RodReadFailure::OutOfMemory:
                throw std::bad_alloc();  // said, once, where the program catches it
        }
        const std::string report_name = line.output ? line.output : default_report_name(input);
        TreeRelease release;
        const ReportOutcome outcome = xrd_report_write(
            report_name.c_str(), reading.tree.get(), options, echo ? &*echo : nullptr,
            [&] { release.start(std::move(reading.tree)); });
        release.wait();
        if (outcome == ReportOutcome::OutOfMemory) {
            return -1;
        }
    }
    return 0;
}
