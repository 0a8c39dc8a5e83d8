#pragma once
// The layout of result-tree nodes, for the code that builds trees: the ROD
// reader, and tests that build trees by hand. Everything else reads trees
// through the accessors of rod/rod.h.
//
// Nodes are trivially destructible structs allocated in their Run's arena.
// A list is one word, its last node, so that appending is constant time and
// a node with four lists (an Element) costs four words, not eight.

#include "rod/arena.h"
#include "rod/rod.h"
#include "rod/service_index.h"
#include "rod/text_hash.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>

// The header every node starts with, 16 bytes. The fields are ordered so that
// the small ones share the first eight bytes.
//   kind     what layout follows (NodeKind, 1 to 10)
//   flags    bits of a Variable (kRodVariable...); 0 for every other kind
//   verdict  what rod_status keeps of a Test or an Element (kRodVerdict...)
//   letter   a Note's category letter: 'R', 'C', 'K', 'T', 'S' or 'A'; 0 for
//            every other kind
//   line     the line in the test script where a positioned node (Variable,
//            Stub, Environment, Element, Test, Service) was declared, 0 when
//            no position was given; its file is the node's `file` field
//   link     the next node of the same list; the last node of a list links
//            back to the first with the low bit set (rod_list_next reads
//            it). Null for a node in no list, and for a Run
struct RodNode {
    NodeKind kind;
    std::uint8_t flags = 0;
    // A cache of a derived value, so that reading it may fill it in.
    mutable std::uint8_t verdict = 0;
    char letter = 0;
    std::int32_t line = 0;
    RodNode* link = nullptr;
};

// The verdict byte. A node the reader made is final once the reader returns
// it, so its verdict is worked out on first request and kept: walking a
// Test's subtree again for every request would cost a pass over most of the
// tree's memory. Nodes built by hand start at kRodVerdictWalk and are walked
// on every request, so they may still change between two.
constexpr std::uint8_t kRodVerdictWalk = 0;      // work it out on every request
constexpr std::uint8_t kRodVerdictKeep = 1;      // work it out once, then keep it
constexpr std::uint8_t kRodVerdictKnown = 0x80;  // kept: the low bits are the status
static_assert(sizeof(void*) != 8 || sizeof(RodNode) == 16);

// A list of nodes, kept as its last node. The list is a ring: the last
// node's link points back to the first, tagged in its low bit (nodes are
// aligned, so the bit is free), which both finds the first node from the
// list and tells the last node that no node follows it.
struct RodList {
    RodNode* last = nullptr;
};

namespace rod_detail {
inline bool is_ring_end(const RodNode* link) {
    return (reinterpret_cast<std::uintptr_t>(link) & 1) != 0;
}
inline RodNode* ring_end(RodNode* first) {
    return reinterpret_cast<RodNode*>(reinterpret_cast<std::uintptr_t>(first) | 1);
}
inline RodNode* ring_start(RodNode* end_link) {
    return reinterpret_cast<RodNode*>(reinterpret_cast<std::uintptr_t>(end_link) &
                                      ~std::uintptr_t{1});
}
}  // namespace rod_detail

// The first node of list, or null when it is empty.
inline RodNode* rod_list_first(const RodList& list) {
    return list.last ? rod_detail::ring_start(list.last->link) : nullptr;
}

// The node after node in its list, or null when node is the last one.
inline RodNode* rod_list_next(const RodNode* node) {
    return rod_detail::is_ring_end(node->link) ? nullptr : node->link;
}

// Appends node, which must be in no list, at the end of list.
inline void rod_list_append(RodList& list, RodNode* node) {
    if (list.last) {
        node->link = list.last->link;
        list.last->link = node;
    } else {
        node->link = rod_detail::ring_end(node);
    }
    list.last = node;
}

// Moves every node of other, in order, to the end of list; other is left
// empty.
inline void rod_list_splice(RodList& list, RodList& other) {
    if (!other.last) {
        return;
    }
    if (list.last) {
        RodNode* first = list.last->link;
        list.last->link = rod_detail::ring_start(other.last->link);
        other.last->link = first;
    }
    list.last = other.last;
    other.last = nullptr;
}

// Coverage lines and requirements make Notes the commonest node after
// Variables: the letter sits in the header. A Note points at its text,
// unless the flag kRodNoteTextInPlace says that the text is laid out right
// behind the header instead (length in front, as rod_store_text lays texts
// out): the reader makes such a Note for every text that it cannot share
// with an earlier Note, which spares the pointer. Read the text through
// rod_note_text.
struct RodNoteNode : RodNode {
    const char* text = nullptr;
};
static_assert(sizeof(void*) != 8 || sizeof(RodNoteNode) == 24);

constexpr std::uint8_t kRodNoteTextInPlace = 1;  // the flags of a Note

// A Note with a copy of bytes (absent for nullopt), its text in place or
// shared with an equal short text stored before; null when run is not a Run
// or memory runs out. The letter is for the caller to set.
RodNode* rod_new_note_with_text(RodNode* run, std::optional<std::string_view> bytes);

// A value text of a Variable (IN, VA, V1, V2), which only the tree itself
// reads, in one word: a text of up to seven bytes sits in the word, a longer
// one is a pointer to a stored text. Values are mostly short numbers, and a
// campaign may hold millions: in place they take no copy, no length and no
// look-up in the table of shared texts.
//
// The word's low bit tells the two apart: stored texts start at even
// addresses, and a text in place has its length times two plus one in its
// first byte, its bytes after it. An absent text is all zero.
struct RodValueText {
    static constexpr std::size_t kInPlaceSize = 7;
    alignas(8) unsigned char bytes[8] = {};
};
static_assert(std::endian::native == std::endian::little,
              "a stored text's pointer must keep its low bit in the first byte");

// The value's bytes, or nullopt when it is absent. The view points into the
// word itself for a short text, so it lives as long as the node.
inline std::optional<std::string_view> rod_value_text_view(const RodValueText& value) {
    const unsigned char tag = value.bytes[0];
    if (tag & 1) {
        return std::string_view(reinterpret_cast<const char*>(value.bytes + 1), tag >> 1);
    }
    const char* text = nullptr;
    std::memcpy(&text, value.bytes, sizeof text);
    if (!text) {
        return std::nullopt;
    }
    return rod_text_view(text);
}

// A value text of bytes, in place when short, else stored in the arena of
// run like rod_store_text; absent for nullopt, when run is not a Run, or when
// memory runs out.
RodValueText rod_store_long_value_text(RodNode* run, std::string_view bytes);
inline RodValueText rod_store_value_text(RodNode* run, std::optional<std::string_view> bytes) {
    if (!bytes || !run || run->kind != NodeKind::Run) {
        return {};
    }
    if (bytes->size() > RodValueText::kInPlaceSize) {
        return rod_store_long_value_text(run, *bytes);
    }
    // In place: the word is the tag byte, then the bytes, read in at most two
    // loads of fixed size rather than a copy of variable length.
    const std::uint64_t word =
        rod_load_up_to_8(bytes->data(), bytes->size()) << 8 | (bytes->size() << 1 | 1);
    RodValueText value;
    std::memcpy(value.bytes, &word, sizeof word);
    return value;
}

// What few Variables have: their V2 texts, their notes, a verdict other than
// the two usual words, and then their V1 text too. Kept out of the Variable
// itself, which a large campaign holds millions of.
struct RodVariableExtras {
    RodValueText v1_text;
    RodValueText v2_text;
    RodList notes;
    const char* status_text = nullptr;  // with kRodVariableStatusOther
};

// Positioned nodes borrow their `file` from the Run's file table; the line is
// in the header. Both are empty when no position was given.
//
// The verdict text (RV) is in the flags (kRodVariableStatus...): nearly
// every Variable says "CORRECT" or "INCORRECT", which then take neither a
// word nor a look-up in the table of shared texts; any other text is kept in
// the extras. Read it through rod_variable_status_text.
struct RodVariableNode : RodNode {
    const char* name = nullptr;
    const char* file = nullptr;
    RodValueText in_text;
    RodValueText va_text;
    // The V1 text, which unit tests give nearly every Variable, until the
    // Variable needs extras (kRodVariableHasExtras): the word then holds
    // their address and the V1 text moves into them. Read it through
    // rod_variable_v1 and rod_variable_extras_if_made.
    RodValueText v1_or_extras;
};
// Millions of Variables make up most of a large tree: keep them at 56 bytes.
static_assert(sizeof(void*) != 8 || sizeof(RodVariableNode) == 56);

// The flags of a Variable.
constexpr std::uint8_t kRodVariableCoverage = 1;   // named with the coverage prefix
constexpr std::uint8_t kRodVariableTableRow = 2;   // a row of an SQL table (BD)
constexpr std::uint8_t kRodVariableTableEnd = 4;   // the end of an SQL table (FB)
constexpr std::uint8_t kRodVariableHasExtras = 8;  // v1_or_extras holds the extras
// Which verdict text the Variable has, in two bits of the flags.
constexpr std::uint8_t kRodVariableStatusMask = 0x30;
constexpr std::uint8_t kRodVariableStatusNone = 0x00;       // absent
constexpr std::uint8_t kRodVariableStatusCorrect = 0x10;    // "CORRECT"
constexpr std::uint8_t kRodVariableStatusIncorrect = 0x20;  // "INCORRECT"
constexpr std::uint8_t kRodVariableStatusOther = 0x30;      // the extras' status_text

inline bool rod_variable_is_coverage(const RodVariableNode& variable) {
    return (variable.flags & kRodVariableCoverage) != 0;
}
inline bool rod_variable_is_table_row(const RodVariableNode& variable) {
    return (variable.flags & kRodVariableTableRow) != 0;
}
inline bool rod_variable_is_table_end(const RodVariableNode& variable) {
    return (variable.flags & kRodVariableTableEnd) != 0;
}

// The extras of variable, made in the arena of run on first use, when the
// V1 text the Variable held moves into them; null when run is not a Run or
// memory runs out. They live as long as the tree, so a pointer into them (the tail
// of the notes) stays valid.
RodVariableExtras* rod_variable_extras(RodNode* run, RodVariableNode* variable);

// The extras of variable, or null when none were made.
inline RodVariableExtras* rod_variable_extras_if_made(const RodVariableNode& variable) {
    if (!(variable.flags & kRodVariableHasExtras)) {
        return nullptr;
    }
    RodVariableExtras* extras = nullptr;
    std::memcpy(&extras, variable.v1_or_extras.bytes, sizeof extras);
    return extras;
}

// The V1 text of variable, wherever it is kept.
inline const RodValueText& rod_variable_v1(const RodVariableNode& variable) {
    const RodVariableExtras* extras = rod_variable_extras_if_made(variable);
    return extras ? extras->v1_text : variable.v1_or_extras;
}

// The verdict text of variable (RV), null when absent; first byte 'I' means
// KO.
const char* rod_variable_status_text(const RodVariableNode& variable);

// Sets the verdict text of variable, in the arena of run when it is neither
// of the two usual words; an absent text clears it. False when memory runs
// out.
bool rod_set_variable_status(RodNode* run, RodVariableNode& variable,
                             std::optional<std::string_view> text);

inline void rod_set_variable_v1(RodVariableNode& variable, RodValueText v1) {
    RodVariableExtras* extras = rod_variable_extras_if_made(variable);
    (extras ? extras->v1_text : variable.v1_or_extras) = v1;
}

struct RodStubCallNode : RodNode {
    const char* name = nullptr;
    RodList variables;
};

struct RodStubNode : RodNode {
    const char* name = nullptr;
    const char* file = nullptr;
    const char* va_text = nullptr;
    const char* v1_text = nullptr;
    const char* v2_text = nullptr;
    const char* status_text = nullptr;
    RodList calls;
};

struct RodEnvironmentNode : RodNode {
    const char* name = nullptr;
    const char* file = nullptr;
    RodList variables;
};

struct RodElementNode : RodNode {
    const char* name = nullptr;
    const char* file = nullptr;
    RodList notes;
    RodList variables;
    RodList environments;
    RodList stubs;
};
static_assert(sizeof(void*) != 8 || sizeof(RodElementNode) == 64);

// What few Tests have: the texts of their FT, DT, VI, EI and IC records and
// the causes of an abort. Kept out of the Test, which a large campaign holds
// hundreds of thousands of.
struct RodTestExtras {
    const char* ft_text = nullptr;
    const char* test_abort_cause = nullptr;
    const char* service_abort_cause = nullptr;  // present, even empty, means KO
    const char* dt_text = nullptr;
    const char* vi_text = nullptr;
    const char* ei_text = nullptr;
    const char* ic_text = nullptr;
};

struct RodTestNode : RodNode {
    const char* name = nullptr;
    const char* file = nullptr;
    RodList notes;
    RodList coverage_notes;
    const char* status_text = nullptr;  // 'I' KO; '*' gives status 2
    RodTestExtras* extras = nullptr;    // null until the Test needs them
    RodList elements;
};
static_assert(sizeof(void*) != 8 || sizeof(RodTestNode) == 72);

// What few Services have: their TF notes, the texts of their TE, TV, TC and
// TI records and their LI list.
struct RodServiceExtras {
    RodList tf_notes;
    const char* te_text = nullptr;
    const char* tv_text = nullptr;
    const char* tc_text = nullptr;
    const char* ti_text = nullptr;
    const char* li_text = nullptr;  // LI items joined with ", "
    std::size_t li_capacity = 0;    // room behind li_text, so joining stays linear
};

struct RodServiceNode : RodNode {
    const char* name = nullptr;
    const char* file = nullptr;
    RodList notes;
    RodList coverage_notes;
    const char* type = nullptr;
    const char* status_text = nullptr;
    RodServiceExtras* extras = nullptr;  // null until the Service needs them
    RodList tests;
};
static_assert(sizeof(void*) != 8 || sizeof(RodServiceNode) == 80);

// The extras of a Test or a Service, with the same contract as those of a
// Variable: made zero-filled in the arena of run on first use, null when run
// is not a Run or memory runs out, and alive as long as the tree (the tail of
// the TF notes points into them).
RodTestExtras* rod_test_extras(RodNode* run, RodTestNode* test);
RodServiceExtras* rod_service_extras(RodNode* run, RodServiceNode* service);

struct RodAuxEntryNode : RodNode {
    const char* name = nullptr;
    const char* ni_text = nullptr;
    const char* fa_text = nullptr;
};

struct RodRunNode : RodNode {
    RodArena arena;  // every node and text of the tree
    const char* report_name = nullptr;
    RodList notes;
    RodList coverage_notes;
    const char* rod_path = nullptr;
    const char* version = nullptr;
    const char* tg_text = nullptr;
    const char* src_file_name = nullptr;
    const char* src_version = nullptr;
    const char* ptu_file_name = nullptr;
    const char* ptu_version = nullptr;
    const char* tool_version = nullptr;
    const char* target = nullptr;
    const char* prepro_date = nullptr;
    const char* run_date = nullptr;
    const char* postpro_date = nullptr;
    const char* cp_text = nullptr;
    const char* op_text = nullptr;
    const char* fo_text = nullptr;
    const char* te_text = nullptr;
    const char* tv_text = nullptr;
    const char* tc_text = nullptr;
    const char* ti_text = nullptr;
    RodList aux_entries;
    RodList services;
    // Source file names by file number (FX). Sparse: memory follows the
    // number of entries, not the size of the numbers. Number 0 is the test
    // suite path.
    std::unordered_map<std::int32_t, const char*> file_table;
    // The first Service of each name, for the duplicate lookup of NS.
    ServiceIndex services_by_name;
    // Recently stored short texts, shared by rod_store_text: texts are never
    // changed once stored, except an LI list, which grows into a copy.
    static constexpr std::size_t kShortTextSize = 48;
    // Each slot keeps what identifies its text (the bytes themselves when
    // they fit in two words, else a hash) and the length, so that a text
    // that merely falls in the slot of another is told apart without reading
    // that other text: a cache miss on nearly every record of a large file.
    static constexpr std::size_t kRecentTextSlots = 4096;
    struct RecentText {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        const char* text = nullptr;
        std::size_t length = 0;
    };
    RecentText recent_texts[kRecentTextSlots] = {};
};

// A text of capacity bytes (zero-filled) that is never shared with another
// node, for a text that grows in place: the LI list of a Service. Its length
// starts at capacity; rod_set_text_length sets it to at most the capacity and
// writes the terminating zero.
char* rod_new_growable_text(RodNode* run, std::size_t capacity);
void rod_set_text_length(char* text, std::size_t length);

// The node as the layout of its kind, or null for a null handle or another kind.
template <typename T>
T* rod_node_as(RodNode* node);
template <typename T>
const T* rod_node_as(const RodNode* node);

template <typename T>
struct RodKindOf;
template <>
struct RodKindOf<RodNoteNode> {
    static constexpr NodeKind value = NodeKind::Note;
};
template <>
struct RodKindOf<RodVariableNode> {
    static constexpr NodeKind value = NodeKind::Variable;
};
template <>
struct RodKindOf<RodStubCallNode> {
    static constexpr NodeKind value = NodeKind::StubCall;
};
template <>
struct RodKindOf<RodStubNode> {
    static constexpr NodeKind value = NodeKind::Stub;
};
template <>
struct RodKindOf<RodEnvironmentNode> {
    static constexpr NodeKind value = NodeKind::Environment;
};
template <>
struct RodKindOf<RodElementNode> {
    static constexpr NodeKind value = NodeKind::Element;
};
template <>
struct RodKindOf<RodTestNode> {
    static constexpr NodeKind value = NodeKind::Test;
};
template <>
struct RodKindOf<RodServiceNode> {
    static constexpr NodeKind value = NodeKind::Service;
};
template <>
struct RodKindOf<RodAuxEntryNode> {
    static constexpr NodeKind value = NodeKind::AuxEntry;
};
template <>
struct RodKindOf<RodRunNode> {
    static constexpr NodeKind value = NodeKind::Run;
};

template <typename T>
T* rod_node_as(RodNode* node) {
    return node && node->kind == RodKindOf<T>::value ? static_cast<T*>(node) : nullptr;
}

template <typename T>
const T* rod_node_as(const RodNode* node) {
    return node && node->kind == RodKindOf<T>::value ? static_cast<const T*>(node) : nullptr;
}
