#pragma once
// What each ROD record does to the tree being read: the reader's state (the
// open items, the tails of the note lists, pending notes, positions) and the
// action of every record code.
//
// Every open item keeps the list it belongs to, and every tail is kept as the
// list it ends. A new node therefore always goes at the end of a list, so no
// record can cut off nodes that an earlier record linked, even when an open
// item was closed without its owner being closed.

#include "rod/nodes.h"
#include "rod/reader_diagnostics.h"

#include <cstdint>
#include <string>
#include <string_view>

template <typename T>
struct OpenItem {
    T* node = nullptr;
    RodList* list = nullptr;  // the list node belongs to
};

struct PendingPosition {
    std::int32_t file = 0;
    std::int32_t line = 0;            // 0: no position
    const char* file_name = nullptr;  // the file table's entry for file, kept up to date
};

struct ReaderState {
    explicit ReaderState(RodRunNode* run_node) : run(run_node) {}

    RodRunNode* run;
    OpenItem<RodServiceNode> service;
    OpenItem<RodTestNode> test;
    OpenItem<RodElementNode> element;
    OpenItem<RodEnvironmentNode> environment;
    OpenItem<RodStubNode> stub;
    OpenItem<RodStubCallNode> call;
    OpenItem<RodVariableNode> variable;
    // List of the last RQ, CO, AS or AT Note; a Variable's notes are in its
    // extras, which stay where they are for the life of the tree.
    RodList* note_tail = nullptr;
    RodList* coverage_tail = nullptr;  // list of the last KL Note
    RodList* tf_tail = nullptr;        // list of the last TF Note; never cleared
    RodAuxEntryNode* aux_tail = nullptr;
    bool pending_mode = false;  // RQ and CO Notes wait for the next Test or Service
    RodList pending;
    PendingPosition positions[8];  // P2 ... P7 by their digit
    DuplicateServiceWarning duplicate_warning;
};

// Acts on one record line (not empty, without its line end). False when the
// record code is unknown; the line then changed nothing.
bool rod_apply_record(ReaderState& state, std::string_view line);
