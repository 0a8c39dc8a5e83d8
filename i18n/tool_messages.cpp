#include "i18n/tool_messages.h"

#include "i18n/local8bit.h"
#include "i18n/placeholders.h"

#include <QCoreApplication>

namespace {

constexpr const char* kContext = "Error message for the quillon tool";
const QString kModule = QStringLiteral("kvwxrd");

QString translate(const char* source, const char* comment) {
    return QCoreApplication::translate(kContext, source, comment);
}

QString file_argument(const void* argument) {
    return argument ? local8bit_decode(static_cast<const char*>(argument)) : QString();
}

}  // namespace

ToolErrorHook tool_error = report_tool_error;

void print_message(const QString& text, FILE* stream) {
    const std::string bytes = local8bit_encode(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

QString tool_error_message(int kind, const void* argument) {
    switch (kind) {
        case kToolErrorNoMemory:
            return fill_placeholders(
                translate("%1: Not enought memory.\n", "%1 is the file name of the tool involved"),
                {kModule});
        case kToolErrorOpenFile:
            return fill_placeholders(
                translate("%1: Unable to open file \"%2\".\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        case kToolErrorWriteFile:
            return fill_placeholders(
                translate("%1: Unable to write file \"%2\".\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        case kToolErrorReadFile:
            return fill_placeholders(
                translate("%1: Unable to read file \"%2\".\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        case kToolErrorEchoFailed:
            return fill_placeholders(
                translate("%1: Unable to write the requirement echo to standard output.\n",
                          "%1 is the file name of the tool involved"),
                {kModule});
        case kToolErrorInputOverwritten:
            return fill_placeholders(
                translate("%1: \"%2\" is an input file of this run; it is not overwritten.\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        case kToolErrorLogIsReport:
            return fill_placeholders(
                translate("%1: The log file \"%2\" is also a report of this run.\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        case kToolErrorRenameFile:
            return fill_placeholders(
                translate("%1: Unable to rename \"%2\" over the report; the new report is kept "
                          "under that name.\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        case kToolErrorTemporaryBusy:
            return fill_placeholders(
                translate("%1: \"%2\" may be another run's report being written and cannot be "
                          "locked; it is left in place.\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        case kToolErrorDisplaced:
            return fill_placeholders(
                translate("%1: \"%2\" was replaced by another file while the report was "
                          "written; the report is not put in place.\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        case kToolErrorNoLock:
            return fill_placeholders(
                translate("%1: Files cannot be locked beside \"%2\"; reports are written there "
                          "without a lock.\n",
                          "%1 is the file name of the tool involved, %2 a name of file"),
                {kModule, file_argument(argument)});
        default:
            return fill_placeholders(
                translate("%1: Unknown error.", "%1 is the file name of the tool involved"),
                {kModule});
    }
}

void report_tool_error(int kind, const void* argument, const char* /*place*/) {
    print_message(tool_error_message(kind, argument), stderr);
}
