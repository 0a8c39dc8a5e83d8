// The header section: an arbitrary header file must give a section that
// parses as XML (inside a root element), whatever its lines hold.

#include "fuzz/fuzz_support.h"
#include "project/header_section.h"
#include "xml/xml_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XmlStream out;
    out.put("<RUN>\n");
    write_header_section(out, std::string_view(reinterpret_cast<const char*>(data), size));
    out.put("</RUN>");
    require_well_formed(out.text());
    return 0;
}
