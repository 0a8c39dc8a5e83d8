#include "report/section_text.h"
#include "report/section_writers.h"

void xrd_service_write(ReportStream& out, const RodNode* service) {
    if (rod_kind(service) != Service) {
        return;
    }
    const int valid = rod_count_valid(service);
    const int invalid = rod_count_invalid(service);
    const int tests = rod_count_tests(service);
    // The verdict shown is the tests' one: a Service whose own verdict text
    // says KO while all its tests pass is OK here (the Run still says KO).
    const bool ok = invalid == 0;

    out.put("\t<SERVICE NAME=\"");
    put_tree_text(out, rod_name(service), XmlPlace::Attribute);
    out.put("\" TYPE=\"");
    put_tree_text(out, rod_service_type(service), XmlPlace::Attribute);
    out.put("\" STATUS=\"");
    out.put(status_word(ok));
    out.put("\" NB_VALID=\"");
    out.put_int(valid);
    out.put("\" NB_INVALID=\"");
    out.put_int(invalid);
    out.put("\" NB_TEST=\"");
    out.put_int(tests);
    out.put("\" >\n");

    xrd_comment_write(out, rod_notes(service), "\t\t");
    xrd_flush_comment(out, rod_notes(service), ok, "\t\t");
    for (const RodNode* test = rod_service_tests(service); test; test = rod_next(test)) {
        xrd_test_write(out, test);
    }
    xrd_coverage_write(out, rod_coverage_notes(service), "\t\t");
    out.put("\t</SERVICE>\n");
}
