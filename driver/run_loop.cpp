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

namespace {

// What a run says at most once, however many reports meet it.
struct SaidOnce {
    bool unlocked = false;
    bool echo_failed = false;
};

void say_echo_failure(const std::optional<ConsoleEcho>& echo, SaidOnce& said) {
    if (echo && echo->failed() && !said.echo_failed) {
        said.echo_failed = true;
        say_echo_failed();
    }
}

// Says what became of one report in the order it happened: the lock found
// missing at the start, the echo failing while the document was written,
// the report or its log line failing, then the echo's last lines.
void say_outcome(const ReportOutcome& outcome, const std::string& report_name,
                 std::optional<ConsoleEcho>& echo, SaidOnce& said) {
    if (outcome.unlocked && !said.unlocked) {
        said.unlocked = true;  // a file system without locks is one for every report
        say_written_unlocked(report_name.c_str());
    }
    say_echo_failure(echo, said);
    say_problem(outcome.problem);
    if (echo) {
        echo->flush();
        say_echo_failure(echo, said);
    }
}

}  // namespace

void run_inputs(const CommandLine& line) {
    const RunOptions& options = line.options;
    // One echo for the whole run, so that a closed standard output is
    // reported once, not once per report.
    std::optional<ConsoleEcho> echo;
    if (options.verbose) {
        echo.emplace(STDOUT_FILENO);
    }
    SaidOnce said;
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
        say_outcome(outcome, report_name, echo, said);
        if (outcome.status == ReportStatus::OutOfMemory) {
            throw std::bad_alloc();
        }
    }
}
