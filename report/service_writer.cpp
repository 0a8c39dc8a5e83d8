#include "project/expand_variables.h"
#include "report/section_text.h"
#include "report/section_writers.h"

#include <array>
#include <vector>

namespace {

// Each test's verdict, worked out once: the counts come before the TEST
// elements and both need it, and it walks the test's whole subtree. Most
// services have a handful of tests, whose verdicts stay on the stack.
class TestVerdicts {
  public:
    void add(bool ok) {
        if (count_ < kInline) {
            inline_[count_] = ok;
        } else {
            more_.push_back(ok);
        }
        ++count_;
    }
    bool operator[](std::size_t index) const {
        return index < kInline ? inline_[index] : more_[index - kInline];
    }

  private:
    static constexpr std::size_t kInline = 64;
    std::array<bool, kInline> inline_{};
    std::vector<bool> more_;
    std::size_t count_ = 0;
};

}  // namespace

void xrd_service_write(XmlStream& out, const RodNode* service, const RunOptions& options,
                       ConsoleEcho* echo) {
    if (rod_kind(service) != NodeKind::Service) {
        return;
    }
    TestVerdicts test_ok;
    int valid = 0;
    int invalid = 0;
    for (const RodNode* test = rod_service_tests(service); test; test = rod_next(test)) {
        const bool ok = rod_status(test) != 0;
        test_ok.add(ok);
        ++(ok ? valid : invalid);
    }
    const int tests = valid + invalid;
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
    EnvironmentCache environment;
    xrd_flush_comment(out, rod_notes(service), ok, "\t\t", environment, echo);
    std::size_t index = 0;
    for (const RodNode* test = rod_service_tests(service); test; test = rod_next(test)) {
        xrd_test_write(out, test, test_ok[index++], options, environment, echo);
    }
    xrd_coverage_write(out, rod_coverage_notes(service), "\t\t");
    out.put("\t</SERVICE>\n");
}
