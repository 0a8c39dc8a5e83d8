#pragma once
// Every message of quillon but the ROD reader's diagnostics (given through
// the reader's hook) is said here: the banner and usage, the long options'
// answers, and the tool-level failures (through tool_error, so that tests
// may catch them), among them what report/ answers when a report, its log
// line or the -v echo fails.

#include "driver/long_options.h"
#include "report/file_problem.h"

void say_banner_and_usage(const char* program);
void say_long_option(LongOption option, const char* program);
void say_cannot_open(const char* file);
void say_cannot_read(const char* file);
void say_input_overwritten(const char* file);
void say_log_is_report(const char* log_file);
void say_problem(const FileProblem& problem);  // nothing for none
void say_written_unlocked(const char* report);
void say_echo_failed();

// Memory ran out: the run stops. Says so even when memory is still short,
// in the source wording when the translated line cannot be made.
void say_out_of_memory() noexcept;
