// Feeds arbitrary bytes to rod_read as a ROD file and walks the whole tree it
// gives, touching every text, before releasing it. The same bytes are also
// split into lines with a tiny read block, so that lines spanning blocks get
// fuzzed too, and checked against a plain split on '\n', as is the head of
// the first line by which a file is judged.

#include "rod/nodes.h"
#include "rod/reader_lines.h"
#include "rod/rod.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

int input_fd = -1;
std::string input_path;

void ignore_reader_error(int, const char*, int, const char*) {}

// Reads every byte of a text so that the sanitizers see a bad extent.
std::size_t touch(const char* text) {
    std::size_t sum = 0;
    for (const char c : rod_text_view(text)) {
        sum += static_cast<unsigned char>(c);
    }
    return sum;
}

std::size_t touch(const RodValueText& value) {
    std::size_t sum = 0;
    for (const char c : rod_value_text_view(value).value_or(std::string_view())) {
        sum += static_cast<unsigned char>(c);
    }
    return sum;
}

std::size_t walk_notes(const RodNode* note) {
    std::size_t sum = 0;
    for (; note; note = rod_next(note)) {
        sum += touch(rod_note_text(note)) + static_cast<unsigned char>(rod_note_letter(note));
    }
    return sum;
}

template <typename T>
std::size_t walk_position(const T& node) {
    return static_cast<std::size_t>(node.line) + touch(node.file);
}

std::size_t walk_variables(const RodNode* variable) {
    std::size_t sum = 0;
    for (; variable; variable = rod_next(variable)) {
        const auto* v = rod_node_as<RodVariableNode>(variable);
        sum += touch(v->name) + walk_position(*v) + walk_notes(rod_notes(variable));
        sum += touch(v->in_text) + touch(v->va_text) + touch(rod_variable_status_text(*v));
        sum += touch(rod_variable_v1(*v));
        if (const RodVariableExtras* extras = rod_variable_extras_if_made(*v)) {
            sum += touch(extras->v2_text);
        }
    }
    return sum;
}

// The verdict the reader let a Test or an Element keep (perhaps worked out
// while reading) must be the one a full walk of what it holds gives now.
void check_kept_verdict(const RodNode& node) {
    const int kept = rod_status(&node);
    const std::uint8_t saved = node.verdict;
    node.verdict = kRodVerdictWalk;
    if (rod_status(&node) != kept) {
        std::abort();
    }
    node.verdict = saved;
}

std::size_t walk_elements(const RodNode* element) {
    std::size_t sum = 0;
    for (; element; element = rod_next(element)) {
        check_kept_verdict(*element);
        const auto* e = rod_node_as<RodElementNode>(element);
        sum += touch(e->name) + walk_position(*e) + walk_notes(rod_notes(element));
        sum += walk_variables(rod_variables(element));
        for (const RodNode* env = rod_element_environments(element); env; env = rod_next(env)) {
            sum += touch(rod_name(env)) + walk_position(*rod_node_as<RodEnvironmentNode>(env)) +
                   walk_variables(rod_variables(env));
        }
        for (const RodNode* stub = rod_list_first(e->stubs); stub; stub = rod_next(stub)) {
            const auto* s = rod_node_as<RodStubNode>(stub);
            sum += touch(s->name) + walk_position(*s) + touch(s->va_text) + touch(s->v1_text) +
                   touch(s->v2_text) + touch(s->status_text);
            for (const RodNode* call = rod_stub_calls(stub); call; call = rod_next(call)) {
                sum += touch(rod_name(call)) + walk_variables(rod_variables(call));
            }
        }
    }
    return sum;
}

std::size_t walk_run(const RodNode* run) {
    const auto* r = rod_node_as<RodRunNode>(run);
    std::size_t sum = touch(r->report_name) + touch(r->rod_path) + touch(r->version) +
                      touch(r->te_text) + touch(rod_testsuite_path(run));
    sum += walk_notes(rod_notes(run)) + walk_notes(rod_coverage_notes(run));
    for (const RodNode* aux = rod_list_first(r->aux_entries); aux; aux = rod_next(aux)) {
        const auto* a = rod_node_as<RodAuxEntryNode>(aux);
        sum += touch(a->name) + touch(a->ni_text) + touch(a->fa_text);
    }
    for (const RodNode* service = rod_services(run); service; service = rod_next(service)) {
        const auto* s = rod_node_as<RodServiceNode>(service);
        sum += touch(s->name) + walk_position(*s) + touch(s->type) + touch(s->status_text);
        sum += walk_notes(rod_notes(service)) + walk_notes(rod_coverage_notes(service));
        if (const RodServiceExtras* x = s->extras) {
            sum += touch(x->te_text) + touch(x->tv_text) + touch(x->tc_text) + touch(x->ti_text) +
                   touch(x->li_text) + walk_notes(rod_list_first(x->tf_notes));
        }
        for (const RodNode* test = rod_service_tests(service); test; test = rod_next(test)) {
            check_kept_verdict(*test);
            const auto* t = rod_node_as<RodTestNode>(test);
            sum += touch(t->name) + walk_position(*t) + touch(t->status_text) +
                   touch(rod_test_abort_cause(test)) + touch(rod_service_abort_cause(test));
            if (const RodTestExtras* x = t->extras) {
                sum += touch(x->ft_text) + touch(x->dt_text) + touch(x->vi_text) +
                       touch(x->ei_text) + touch(x->ic_text);
            }
            sum += walk_notes(rod_notes(test)) + walk_notes(rod_coverage_notes(test));
            sum += walk_elements(rod_test_elements(test));
        }
        sum += static_cast<std::size_t>(rod_status(service) + rod_count_tests(service));
    }
    return sum;
}

// The lines source gives from here on must be those of all from start on.
void check_rest(RodLineSource& source, std::string_view all, std::size_t start) {
    std::string_view line;
    while (rod_next_line(source, line)) {
        if (start >= all.size()) {
            std::abort();  // a line the input does not have
        }
        const std::size_t end = all.find('\n', start);
        const std::string_view expected =
            all.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (line != expected) {
            std::abort();
        }
        start = end == std::string_view::npos ? all.size() : end + 1;
    }
    if (start != all.size()) {
        std::abort();  // lines lost
    }
}

void open_with_tiny_blocks(RodLineSource& source, const std::uint8_t* data, std::size_t size) {
    if (!rod_open_lines(source, input_path.c_str(), size > 0 ? data[0] % 8 + 1 : 1)) {
        std::abort();
    }
}

void check_lines(const std::uint8_t* data, std::size_t size) {
    RodLineSource source;
    open_with_tiny_blocks(source, data, size);
    check_rest(source, std::string_view(reinterpret_cast<const char*>(data), size), 0);
}

// The head of the first line at a limit the input picks is its first bytes,
// `whole` says whether that was all of it, and once the rest is dropped the
// next lines come out as they are.
void check_head(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    RodLineSource source;
    open_with_tiny_blocks(source, data, size);
    const std::size_t limit = size > 1 ? data[1] % 16 : 0;
    std::string_view head;
    bool whole = false;
    if (!rod_next_line_head(source, limit, head, whole)) {
        if (size != 0) {
            std::abort();
        }
        return;
    }
    const std::string_view first = all.substr(0, all.find('\n'));
    if (head != first.substr(0, limit) || whole != (first.size() <= limit)) {
        std::abort();
    }
    if (!whole) {
        rod_skip_line(source);
    }
    check_rest(source, all, first.size() < all.size() ? first.size() + 1 : all.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Diagnostics are expected for most inputs; printing them would only slow
    // the run down.
    reader_error = ignore_reader_error;
    input_fd = memfd_create("rod_read_fuzz", 0);
    if (input_fd < 0) {
        std::perror("memfd_create");
        return 1;
    }
    input_path = "/proc/self/fd/" + std::to_string(input_fd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(input_fd, 0) != 0 ||
        pwrite(input_fd, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    check_lines(data, size);
    check_head(data, size);
    const RodReading reading = rod_read(input_path.c_str());
    if ((reading.tree != nullptr) != (reading.failure == RodReadFailure::None)) {
        std::abort();  // a tree comes back exactly when nothing failed
    }
    if (reading.tree) {
        volatile std::size_t sink = walk_run(reading.tree.get());
        (void)sink;
    }
    return 0;
}
