#include "driver/messages.h"

#include "driver/banner.h"
#include "i18n/tool_messages.h"

#include <unistd.h>

#include <cstdio>
#include <new>

void say_banner_and_usage(const char* program) {
    print_message(banner_text(), stderr);
    print_message(usage_text(program), stderr);
}

void say_long_option(LongOption option, const char* program) {
    switch (option) {
        case LongOption::Help:
            print_message(help_text(program), stdout);
            return;
        case LongOption::Version:
            print_message(version_text(), stdout);
            return;
        case LongOption::None:
            return;
    }
}

void say_cannot_open(const char* file) {
    tool_error(kToolErrorOpenFile, file, "option_files");
}

void say_cannot_read(const char* file) {
    tool_error(kToolErrorReadFile, file, "read_input");
}

void say_input_overwritten(const char* file) {
    tool_error(kToolErrorInputOverwritten, file, "outputs_spare_inputs");
}

void say_log_is_report(const char* log_file) {
    tool_error(kToolErrorLogIsReport, log_file, "outputs_spare_inputs");
}

void say_problem(const FileProblem& problem) {
    const char* file = problem.file.c_str();
    switch (problem.kind) {
        case FileProblem::Kind::None:
            return;
        case FileProblem::Kind::Open:
            tool_error(kToolErrorOpenFile, file, "xrd_report_write");
            return;
        case FileProblem::Kind::Write:
            tool_error(kToolErrorWriteFile, file, "xrd_report_write");
            return;
        case FileProblem::Kind::Rename:
            tool_error(kToolErrorRenameFile, file, "xrd_report_write");
            return;
        case FileProblem::Kind::Busy:
            tool_error(kToolErrorTemporaryBusy, file, "xrd_report_write");
            return;
        case FileProblem::Kind::Displaced:
            tool_error(kToolErrorDisplaced, file, "xrd_report_write");
            return;
    }
}

void say_written_unlocked(const char* report) {
    tool_error(kToolErrorNoLock, report, "xrd_report_write");
}

void say_echo_failed() {
    tool_error(kToolErrorEchoFailed, nullptr, "xrd_flush_comment");
}

void say_out_of_memory() noexcept {
    try {
        tool_error(kToolErrorNoMemory, "kvw2req", "main");
    } catch (const std::bad_alloc&) {
        static constexpr char kLine[] = "kvwxrd: Not enought memory.\n";
        std::fflush(stderr);
        if (::write(STDERR_FILENO, kLine, sizeof kLine - 1) < 0) {
            // Standard error is gone too: nothing else can say it.
        }
    }
}
