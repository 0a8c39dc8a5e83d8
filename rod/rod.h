#pragma once
// The result tree of one ROD file: its nodes, their typed accessors, the
// verdicts and test counts derived from them, the reader that builds a tree
// from a file, and the reader's diagnostics.
//
// A tree is owned by its Run: every node and every text of the tree lives in
// the Run's arena and goes away with rod_free(run). Handles are plain
// pointers; accessors check the node kind and answer null (0, or '\0' for a
// letter) for a null handle or a kind they do not accept.
//
// Texts are zero-terminated byte strings in the local 8-bit encoding. A null
// text is absent, which is not the same as empty. Texts may hold zero bytes:
// rod_text_view gives a text's full extent.

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

// One byte, so that it shares the node header with a line number.
enum class NodeKind : std::int8_t {
    Note = 1,
    Variable = 2,
    StubCall = 3,
    Stub = 4,
    Environment = 5,
    Element = 6,
    Test = 7,
    Service = 8,
    AuxEntry = 9,
    Run = 10,
};

// Every node starts with its kind; the layouts per kind are in rod/nodes.h.
struct RodNode;

// --- Construction ----------------------------------------------------------
// Each constructor makes one zero-filled node in the arena of `run` (which
// must be a Run) and returns it, or null when `run` is not a Run or memory
// runs out. A node belongs to its Run whether or not it gets linked.

RodNode* rod_new_run(const char* rod_path);
RodNode* rod_new_note(RodNode* run);
RodNode* rod_new_variable(RodNode* run);
RodNode* rod_new_stub_call(RodNode* run);
RodNode* rod_new_stub(RodNode* run);
RodNode* rod_new_environment(RodNode* run);
RodNode* rod_new_element(RodNode* run);
RodNode* rod_new_named_element(RodNode* run, const char* name);
RodNode* rod_new_test(RodNode* run);
RodNode* rod_new_service(RodNode* run);
RodNode* rod_new_aux_entry(RodNode* run);

// Copies bytes into the arena of `run` as a text; null when `run` is not a
// Run. Every text stored in a tree must come from here. Equal short texts may
// share one copy, so a stored text must never be changed in place.
const char* rod_store_text(RodNode* run, std::string_view bytes);

// The full extent of a text of a tree (zero bytes included); a view with a
// null data() for an absent text. Inline: writers ask for it on every text.
// The length sits in the four bytes before the text; for a text of 4 GiB or
// more those hold kRodLongTextMarker and the length is in the eight before.
inline constexpr std::uint32_t kRodLongTextMarker = 0xFFFFFFFF;
inline std::string_view rod_text_view(const char* text) {
    if (!text) {
        return {};
    }
    std::uint32_t size32 = 0;
    std::memcpy(&size32, text - sizeof size32, sizeof size32);
    if (size32 != kRodLongTextMarker) {
        return {text, size32};
    }
    std::uint64_t size64 = 0;
    std::memcpy(&size64, text - sizeof size32 - sizeof size64, sizeof size64);
    return {text, static_cast<std::size_t>(size64)};
}

// Releases the whole tree when `node` is a Run; does nothing otherwise.
void rod_free(RodNode* node);

struct RodFree {
    void operator()(RodNode* node) const { rod_free(node); }
};
// Owns a tree from rod_read (or rod_new_run) to its release.
using RodTree = std::unique_ptr<RodNode, RodFree>;

// --- Accessors -------------------------------------------------------------

NodeKind rod_kind(const RodNode* node);  // 0 for a null handle

const char* rod_name(const RodNode* node);      // kinds 1-9 name (Note: text); Run: report name
const RodNode* rod_next(const RodNode* node);   // kinds 1-9
const RodNode* rod_notes(const RodNode* node);  // Variable, Element, Test, Service, Run
const RodNode* rod_coverage_notes(const RodNode* node);        // Test, Service, Run
const char* rod_note_text(const RodNode* node);                // Note
char rod_note_letter(const RodNode* node);                     // Note
const RodNode* rod_variables(const RodNode* node);             // StubCall, Environment, Element
const RodNode* rod_stub_calls(const RodNode* node);            // Stub
const RodNode* rod_element_environments(const RodNode* node);  // Element
const RodNode* rod_test_elements(const RodNode* node);         // Test
const RodNode* rod_service_tests(const RodNode* node);         // Service
const char* rod_service_type(const RodNode* node);             // Service
const char* rod_test_abort_cause(const RodNode* node);         // Test
const char* rod_service_abort_cause(const RodNode* node);      // Test
const RodNode* rod_services(const RodNode* node);              // Run
const char* rod_version(const RodNode* node);                  // Run
const char* rod_src_file_name(const RodNode* node);            // Run
const char* rod_src_version(const RodNode* node);              // Run
const char* rod_ptu_file_name(const RodNode* node);            // Run
const char* rod_ptu_version(const RodNode* node);              // Run
const char* rod_tool_version(const RodNode* node);             // Run
const char* rod_target(const RodNode* node);                   // Run
const char* rod_prepro_date(const RodNode* node);              // Run
const char* rod_run_date(const RodNode* node);                 // Run
const char* rod_postpro_date(const RodNode* node);             // Run
const char* rod_testsuite_path(const RodNode* node);  // Run: file number 0, null when undefined

// --- Verdicts and counts ---------------------------------------------------
// Derived by walking the subtree; linear in its size. A tree that rod_read
// returned is final: each of its Tests and Elements works its verdict out on
// the first request and keeps it, so asking again costs nothing. A tree built
// by hand through the constructors is walked afresh on every call, so it may
// still change between two.

// 0 means KO; any other value OK (2 for a Test whose verdict starts with '*').
// A null handle gives 0; a Note, an AuxEntry or an unknown kind 1.
int rod_status(const RodNode* node);

// Test counts of a Service, or summed over the Services of a Run; 0 for any
// other kind. valid + invalid == tests.
int rod_count_valid(const RodNode* node);
int rod_count_invalid(const RodNode* node);
int rod_count_tests(const RodNode* node);

// --- Reading a ROD file ----------------------------------------------------

// Why rod_read gave no tree.
enum class RodReadFailure {
    None,         // a tree came back
    Rejected,     // not opened or not a ROD file; already told through reader_error
    ReadError,    // a read failed once the header was accepted; nothing reported yet
    OutOfMemory,  // memory ran out while reading; nothing reported yet
};

// A tree, or why there is none.
struct RodReading {
    RodTree tree;
    RodReadFailure failure = RodReadFailure::None;
};

// Reads the ROD file at path (its bytes, opened as they are) into a new tree.
// Gives no tree, only the reason, when none can stand for the whole file: a
// tree cut short by a read error or by memory running out would be taken for
// the file's full results.
RodReading rod_read(const char* path);

// The text of a record line: what follows its first blank. With keep_blanks
// false further leading blanks are skipped as well. Absent (nullopt) when the
// line has no blank or nothing follows.
std::optional<std::string_view> rod_line_value(std::string_view line, bool keep_blanks);

// --- Reader diagnostics ----------------------------------------------------

enum ReaderErrorKind : int {
    kReaderCannotOpen = 0,     // Qarvo-E-IMPOUVFIC
    kReaderInvalidToken = 1,   // Qarvo-E-INVRODTKN
    kReaderBadLine = 2,        // Qarvo-E-BADRODLIN (never raised by the reader)
    kReaderBadFile = 3,        // Qarvo-E-BADRODFIL
    kReaderBadVersion = 4,     // Qarvo-E-INVFILVER
    kReaderVersionWarning = 5  // Qarvo-W-INVFILVER
};

// Prints one translated diagnostic line on standard error behind its
// untranslated identifier. file and text may be null.
void report_reader_error(int kind, const char* file, int line, const char* text);

// Every reader diagnostic goes through this hook, which holds
// report_reader_error.
using ReaderErrorHook = void (*)(int kind, const char* file, int line, const char* text);
extern ReaderErrorHook reader_error;

// The Qarvo-W-DUPSRVNAM warning of a Service declared twice with a position.
void report_duplicate_service(std::string_view name, int new_line, int first_line);

// The Qarvo-W-TSTNOVRDT warning of a file that ends inside a Test that has no
// verdict: the harness stopped before the Test's RT record, and the report
// cannot tell such a Test from one that passed.
void report_unfinished_test(std::string_view name, int line);
