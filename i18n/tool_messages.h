#pragma once
// How the tools speak to the user: finished texts to a standard stream, and
// failures as one translated line on standard error.

#include <QString>

#include <cstdio>

// Kind codes of the tool error hook.
enum ToolErrorKind : int {
    kToolErrorNoMemory = 0,          // argument ignored
    kToolErrorOpenFile = 1,          // argument: the file name (const char*)
    kToolErrorWriteFile = 2,         // argument: the file name (const char*)
    kToolErrorReadFile = 3,          // argument: the file name (const char*)
    kToolErrorEchoFailed = 4,        // argument ignored: the -v echo could not be written
    kToolErrorInputOverwritten = 5,  // argument: the input file an output would replace
    kToolErrorLogIsReport = 6,       // argument: the log file, also a report of the run
    kToolErrorRenameFile = 7,        // argument: the temporary file that could not be renamed
    kToolErrorTemporaryBusy = 8,     // argument: a temporary file that cannot be locked
    kToolErrorDisplaced = 9,         // argument: the temporary file replaced before its rename
    kToolErrorNoLock = 10,           // argument: the report written without a lock
};

// Writes text in the local 8-bit encoding to stream, byte for byte: no
// formatting directive is interpreted and no line break is added.
void print_message(const QString& text, FILE* stream);

// The message a kind gives, translated and with its placeholders filled.
QString tool_error_message(int kind, const void* argument);

// Prints the message of kind on standard error; the place name (the failing
// operation) is not printed. Returns; the caller decides what follows.
void report_tool_error(int kind, const void* argument, const char* place);

// Every failure of the tools goes through this hook, which holds
// report_tool_error.
using ToolErrorHook = void (*)(int kind, const void* argument, const char* place);
extern ToolErrorHook tool_error;
