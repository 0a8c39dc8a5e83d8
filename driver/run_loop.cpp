#include "driver/run_loop.h"

#include "driver/tool_messages.h"
#include "report/report_writer.h"
#include "rod/rod.h"

#include <new>

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

int run_inputs(int argc, char** argv, const char* output_name) {
    for (int i = 1; i < argc && argv[i]; ++i) {
        const char* input = argv[i];
        if (input[0] == '-') {
            continue;  // options were taken by the option pass
        }
        RodReadFailure failure = RodReadFailure::None;
        const RodTree run(rod_read(input, failure));
        if (!run) {
            if (failure == RodReadFailure::OutOfMemory) {
                tool_error(kToolErrorNoMemory, "kvw2req", "rod_read");
                return -1;
            }
            if (failure == RodReadFailure::ReadError) {
                // No report: one of part of the file could tell a wrong verdict.
                tool_error(kToolErrorReadFile, input, "rod_read");
            }
            continue;  // a rejected file: the reader has said why
        }
        if (output_name) {
            xrd_report_write(output_name, run.get());
            continue;
        }
        std::string report_name;
        try {
            report_name = default_report_name(input);
        } catch (const std::bad_alloc&) {
            tool_error(kToolErrorNoMemory, "kvw2req", "main_1");
            return -1;
        }
        xrd_report_write(report_name.c_str(), run.get());
    }
    return 0;
}
