// The header section: an arbitrary header file must give a section that
// parses as XML (inside a root element), whatever its lines hold.

#include "driver/run_options.h"
#include "fuzz/fuzz_support.h"
#include "project/header_section.h"
#include "report/report_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile file("header_section_fuzz");
    if (!file.write(std::string_view(reinterpret_cast<const char*>(data), size))) {
        return 0;
    }
    run_options.header_file = file.path();
    ReportStream out;
    out.put("<RUN>\n");
    write_header_section(out);
    out.put("</RUN>");
    require_well_formed(out.text());
    return 0;
}
