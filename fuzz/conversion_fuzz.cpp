// The whole conversion: arbitrary bytes read as a ROD file, the tree written
// as a report (in element mode or not, with -v or not), and the report must
// parse as XML. The same bytes taken as one data text must be escaped as the
// plain reference escapes them, in both places.

#include "fuzz/fuzz_support.h"
#include "fuzz/xml_escape_reference.h"
#include "report/console_echo.h"
#include "report/report_writer.h"
#include "rod/rod.h"
#include "xml/xml_stream.h"

#include <fcntl.h>

namespace {

void ignore_reader_error(int, const char*, int, const char*) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    reader_error = ignore_reader_error;
    setenv("HOME", "/home/<fuzz>&\"", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile file("conversion_fuzz");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const XmlPlace place : {XmlPlace::Attribute, XmlPlace::Content}) {
        XmlStream text;
        text.put_text(bytes, place, TextEncoding::Utf8);
        if (text.text() != reference_xml_escape(bytes, place)) {
            std::abort();
        }
    }
    if (!file.write(bytes)) {
        return 0;
    }
    const RodTree run = rod_read(file.path()).tree;
    if (!run) {
        return 0;
    }
    // The last byte picks the options, so both layouts get explored.
    const unsigned char flags = size > 0 ? data[size - 1] : 0;
    RunOptions options;
    options.element_mode = (flags & 1) != 0;
    options.verbose = (flags & 2) != 0;
    // The -v echo goes nowhere; the report is what is checked.
    static ConsoleEcho echo(open("/dev/null", O_WRONLY | O_CLOEXEC));

    XmlStream out;
    xrd_document_write(out, run.get(), options, options.verbose ? &echo : nullptr);
    require_well_formed(out.text());
    return 0;
}
