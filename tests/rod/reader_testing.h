#pragma once
// Reading small ROD files in tests: the file is written to a temporary
// directory, the reader's diagnostics are recorded instead of printed, and the
// tree can be dumped as an indented outline for comparison with literal text.

#include "rod/nodes.h"
#include "rod/rod.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rodtest {

struct Diagnostic {
    int kind = 0;
    int line = 0;
    std::string token;  // "(null)" for a null token
    bool operator==(const Diagnostic&) const = default;
};

inline std::vector<Diagnostic>& recorded() {
    static std::vector<Diagnostic> diagnostics;
    return diagnostics;
}

inline void record_diagnostic(int kind, const char* /*file*/, int line, const char* token) {
    recorded().push_back({kind, line, token ? token : "(null)"});
}

// Replaces the reader's hook for the life of the object.
class RecordingHook {
  public:
    RecordingHook() : saved_(reader_error) {
        recorded().clear();
        reader_error = record_diagnostic;
    }
    ~RecordingHook() { reader_error = saved_; }
    RecordingHook(const RecordingHook&) = delete;
    RecordingHook& operator=(const RecordingHook&) = delete;

  private:
    ReaderErrorHook saved_;
};

struct Reading {
    RodTree tree;
    RodReadFailure failure = RodReadFailure::None;
    std::vector<Diagnostic> diagnostics;
    std::string err;  // what the reader printed itself
    std::string path;
};

// Reads bytes as a whole ROD file.
inline Reading read_file_bytes(const std::string& bytes) {
    qtest::TempDir dir;
    Reading reading;
    reading.path = dir.file("t.rod");
    qtest::write_file(reading.path, bytes);
    RecordingHook hook;
    reading.err = qtest::capture_stderr([&] {
        RodReading read = rod_read(reading.path.c_str());
        reading.tree = std::move(read.tree);
        reading.failure = read.failure;
    });
    reading.diagnostics = recorded();
    return reading;
}

constexpr const char* kHeader = "KOVIN Merovia ROD: 1.1.0\n";

// Reads records behind an accepted header line.
inline Reading read_records(const std::string& records) {
    return read_file_bytes(kHeader + records);
}

inline const RodRunNode* run_of(const Reading& reading) {
    return rod_node_as<RodRunNode>(reading.tree.get());
}

// A text as the dump shows it: quoted, or "-" when absent.
inline std::string shown(const char* text) {
    if (!text) {
        return "-";
    }
    return "\"" + std::string(rod_text_view(text)) + "\"";
}

inline std::optional<std::string> text_of(const char* text) {
    if (!text) {
        return std::nullopt;
    }
    return std::string(rod_text_view(text));
}

inline std::string field(const char* label, const char* text) {
    return text ? std::string(" ") + label + "=" + shown(text) : std::string();
}

inline std::string field(const char* label, const RodValueText& value) {
    const std::optional<std::string_view> text = rod_value_text_view(value);
    return text ? std::string(" ") + label + "=\"" + std::string(*text) + "\"" : std::string();
}

// A text kept in a node's extras, or an absent one when the node has none.
template <typename Extras, typename Text>
Text extra(const Extras* extras, Text Extras::*text) {
    return extras ? extras->*text : Text{};
}

inline std::string flag(const char* label, bool set) {
    return set ? std::string(" ") + label : std::string();
}

// A positioned node's line and file: " @file:line", or nothing when neither
// was set.
template <typename T>
std::string position(const T& node) {
    if (node.line == 0 && !node.file) {
        return "";
    }
    return " @" + (node.file ? std::string(rod_text_view(node.file)) : std::string("?")) + ":" +
           std::to_string(node.line);
}

inline void line(std::string& out, int depth, const std::string& text) {
    out.append(static_cast<std::size_t>(depth), ' ');
    out += text;
    out += '\n';
}

inline void dump_notes(std::string& out, int depth, const char* label, const RodNode* first) {
    for (const RodNode* n = first; n; n = rod_next(n)) {
        line(out, depth,
             std::string(label) + " " + rod_note_letter(n) + " " + shown(rod_note_text(n)));
    }
}

inline void dump_variables(std::string& out, int depth, const RodNode* first) {
    for (const RodNode* n = first; n; n = rod_next(n)) {
        const auto* v = rod_node_as<RodVariableNode>(n);
        line(out, depth,
             "Variable " + shown(rod_name(n)) + position(*v) + field("in", v->in_text) +
                 field("va", v->va_text) + field("v1", rod_variable_v1(*v)) +
                 field("v2", extra(rod_variable_extras_if_made(*v), &RodVariableExtras::v2_text)) +
                 field("status", rod_variable_status_text(*v)) +
                 flag("coverage", rod_variable_is_coverage(*v)) +
                 flag("row", rod_variable_is_table_row(*v)) +
                 flag("end", rod_variable_is_table_end(*v)));
        dump_notes(out, depth + 1, "Note", rod_notes(n));
    }
}

inline void dump_element(std::string& out, int depth, const RodNode* node) {
    const auto* e = rod_node_as<RodElementNode>(node);
    line(out, depth, "Element " + shown(rod_name(node)) + position(*e));
    dump_notes(out, depth + 1, "Note", rod_notes(node));
    dump_variables(out, depth + 1, rod_variables(node));
    for (const RodNode* n = rod_element_environments(node); n; n = rod_next(n)) {
        const auto* env = rod_node_as<RodEnvironmentNode>(n);
        line(out, depth + 1, "Environment " + shown(rod_name(n)) + position(*env));
        dump_variables(out, depth + 2, rod_variables(n));
    }
    for (const RodNode* n = rod_list_first(e->stubs); n; n = rod_next(n)) {
        const auto* s = rod_node_as<RodStubNode>(n);
        line(out, depth + 1,
             "Stub " + shown(s->name) + position(*s) + field("va", s->va_text) +
                 field("v1", s->v1_text) + field("v2", s->v2_text) +
                 field("status", s->status_text));
        for (const RodNode* c = rod_stub_calls(n); c; c = rod_next(c)) {
            line(out, depth + 2, "Call " + shown(rod_name(c)));
            dump_variables(out, depth + 3, rod_variables(c));
        }
    }
}

inline void dump_test(std::string& out, int depth, const RodNode* node) {
    const auto* t = rod_node_as<RodTestNode>(node);
    const RodTestExtras* x = t->extras;
    line(out, depth,
         "Test " + shown(rod_name(node)) + position(*t) + field("status", t->status_text) +
             field("ft", extra(x, &RodTestExtras::ft_text)) +
             field("dt", extra(x, &RodTestExtras::dt_text)) +
             field("vi", extra(x, &RodTestExtras::vi_text)) +
             field("ei", extra(x, &RodTestExtras::ei_text)) +
             field("ic", extra(x, &RodTestExtras::ic_text)) +
             field("test_abort", rod_test_abort_cause(node)) +
             field("service_abort", rod_service_abort_cause(node)));
    dump_notes(out, depth + 1, "Note", rod_notes(node));
    dump_notes(out, depth + 1, "Coverage", rod_coverage_notes(node));
    for (const RodNode* n = rod_test_elements(node); n; n = rod_next(n)) {
        dump_element(out, depth + 1, n);
    }
}

inline void dump_service(std::string& out, const RodNode* node) {
    const auto* s = rod_node_as<RodServiceNode>(node);
    const RodServiceExtras* x = s->extras;
    line(out, 0,
         "Service " + shown(rod_name(node)) + position(*s) + field("type", rod_service_type(node)) +
             field("status", s->status_text) + field("te", extra(x, &RodServiceExtras::te_text)) +
             field("tv", extra(x, &RodServiceExtras::tv_text)) +
             field("tc", extra(x, &RodServiceExtras::tc_text)) +
             field("ti", extra(x, &RodServiceExtras::ti_text)) +
             field("li", extra(x, &RodServiceExtras::li_text)));
    dump_notes(out, 1, "Note", rod_notes(node));
    dump_notes(out, 1, "Coverage", rod_coverage_notes(node));
    dump_notes(out, 1, "TF", x ? rod_list_first(x->tf_notes) : nullptr);
    for (const RodNode* n = rod_service_tests(node); n; n = rod_next(n)) {
        dump_test(out, 1, n);
    }
}

// The whole tree as an outline: the Run's texts (if any), file table, aux
// entries, notes and Services; children one blank deeper. The path is left
// out, since it changes from run to run.
inline std::string dump(const RodNode* tree) {
    const auto* r = rod_node_as<RodRunNode>(tree);
    if (!r) {
        return "(no tree)\n";
    }
    std::string out;
    const std::string run_fields =
        field("report", rod_name(tree)) + field("version", rod_version(tree)) +
        field("tg", r->tg_text) + field("src", rod_src_file_name(tree)) +
        field("src_version", rod_src_version(tree)) + field("ptu", rod_ptu_file_name(tree)) +
        field("ptu_version", rod_ptu_version(tree)) + field("tool", rod_tool_version(tree)) +
        field("target", rod_target(tree)) + field("prepro", rod_prepro_date(tree)) +
        field("run_date", rod_run_date(tree)) + field("postpro", rod_postpro_date(tree)) +
        field("cp", r->cp_text) + field("op", r->op_text) + field("fo", r->fo_text) +
        field("te", r->te_text) + field("tv", r->tv_text) + field("tc", r->tc_text) +
        field("ti", r->ti_text);
    if (!run_fields.empty()) {
        line(out, 0, "Run" + run_fields);
    }
    std::vector<std::pair<std::int32_t, const char*>> files(r->file_table.begin(),
                                                            r->file_table.end());
    std::sort(files.begin(), files.end());
    for (const auto& [number, name] : files) {
        line(out, 0, "File " + std::to_string(number) + " " + shown(name));
    }
    for (const RodNode* n = rod_list_first(r->aux_entries); n; n = rod_next(n)) {
        const auto* a = rod_node_as<RodAuxEntryNode>(n);
        line(out, 0, "Aux " + shown(a->name) + field("ni", a->ni_text) + field("fa", a->fa_text));
    }
    dump_notes(out, 0, "Note", rod_notes(tree));
    dump_notes(out, 0, "Coverage", rod_coverage_notes(tree));
    for (const RodNode* n = rod_services(tree); n; n = rod_next(n)) {
        dump_service(out, n);
    }
    return out;
}

inline std::string dump(const Reading& reading) {
    return dump(reading.tree.get());
}

// The outline of the tree read from these records behind a header.
inline std::string tree_of(const std::string& records) {
    return dump(read_records(records));
}

}  // namespace rodtest
