#pragma once
// Every message the quillon driver gives, said here and nowhere else in
// driver/: the banner and usage, the long options' answers, and the
// tool-level failures (through tool_error, so that tests may catch them).
// The ROD reader speaks for itself through its hook; report writing
// through tool_error as well.

#include "driver/long_options.h"

void say_banner_and_usage(const char* program);
void say_long_option(LongOption option, const char* program);
void say_cannot_open(const char* file);
void say_cannot_read(const char* file);

// Memory ran out: the run stops. Says so even when memory is still short,
// in the source wording when the translated line cannot be made.
void say_out_of_memory() noexcept;
