#include "rod/reader_records.h"

#include "i18n/local8bit.h"
#include "i18n/placeholders.h"
#include "rod/reader_fields.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

using Text = std::optional<std::string_view>;

constexpr std::uint16_t code(char first, char second) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(first) << 8) |
                                      static_cast<unsigned char>(second));
}

constexpr std::string_view kCoveragePrefix = "KVNCOV_";
constexpr const char* kAbortContext = "Error message for the kvwrod api";

const char* store(ReaderState& s, Text text) {
    return text ? rod_store_text(s.run, *text) : nullptr;
}

// Sets a text field of either kind to text.
void assign(ReaderState& s, const char*& field, Text text) {
    field = store(s, text);
}
void assign(ReaderState& s, RodValueText& field, Text text) {
    field = rod_store_value_text(s.run, text);
}

// A node the reader makes is final once the reader returns, so it may keep
// its verdict.
template <typename T>
T* make(ReaderState& s, RodNode* (*constructor)(RodNode*)) {
    RodNode* node = constructor(s.run);
    if (node) {
        node->verdict = kRodVerdictKeep;
    }
    return static_cast<T*>(node);
}

template <typename T>
void open(OpenItem<T>& item, T* node, RodList* list) {
    rod_list_append(*list, node);
    item = {node, list};
}

RodVariableExtras* extras_of(ReaderState& s, RodVariableNode& node) {
    return rod_variable_extras(s.run, &node);
}
RodTestExtras* extras_of(ReaderState& s, RodTestNode& node) {
    return rod_test_extras(s.run, &node);
}
RodServiceExtras* extras_of(ReaderState& s, RodServiceNode& node) {
    return rod_service_extras(s.run, &node);
}

template <typename Node>
bool has_extras(const Node& node) {
    return node.extras != nullptr;
}
bool has_extras(const RodVariableNode& node) {
    return rod_variable_extras_if_made(node) != nullptr;
}

// Sets a text kept in the extras of node. An absent text does not make them:
// they would hold nothing, and most nodes never need them.
template <typename Node, typename Extras, typename Field>
void set_extra_text(ReaderState& s, Node& node, Field Extras::*field, Text text) {
    if (!text && !has_extras(node)) {
        return;
    }
    if (Extras* extras = extras_of(s, node)) {
        assign(s, extras->*field, text);
    }
}

// The node's line and file from position Pn, when Pn gives one.
template <typename T>
void take_position(ReaderState& s, T& node, int n) {
    const PendingPosition& pending = s.positions[n];
    if (pending.line != 0) {
        node.line = pending.line;
        node.file = pending.file_name;
    }
}

void close_below_element(ReaderState& s) {
    s.environment = {};
    s.stub = {};
    s.call = {};
    s.variable = {};
}

// Records only ever change the open Test, so once it is closed its verdict
// is final: worked out now, while its nodes are still in the cache, rather
// than by a walk over the whole tree when the report asks for it.
void close_test(ReaderState& s) {
    if (s.test.node) {
        rod_status(s.test.node);
    }
    s.test = {};
}

void close_below_service(ReaderState& s) {
    close_test(s);
    s.element = {};
    close_below_element(s);
}

// The pending notes go to the node just made; the note tail follows them.
void hand_over_pending(ReaderState& s, RodList& notes) {
    if (!s.pending.last) {
        s.note_tail = nullptr;
        return;
    }
    rod_list_splice(notes, s.pending);
    s.note_tail = &notes;
}

// An Element that a record needs in a Test that has none open.
RodElementNode* implicit_element(ReaderState& s, const char* name) {
    auto* element = static_cast<RodElementNode*>(rod_new_named_element(s.run, name));
    if (element) {
        element->verdict = kRodVerdictKeep;
        open(s.element, element, &s.test.node->elements);
    }
    return element;
}

void add_note(ReaderState& s, char letter, Text text, bool may_wait) {
    RodList* list = s.note_tail;
    if (!list) {
        if (s.variable.node) {
            RodVariableExtras* extras = rod_variable_extras(s.run, s.variable.node);
            if (!extras) {
                return;
            }
            list = &extras->notes;
        } else if (s.element.node) {
            list = &s.element.node->notes;
        } else if (may_wait && s.pending_mode) {
            list = &s.pending;
        } else if (s.test.node) {
            list = &s.test.node->notes;
        } else if (s.service.node) {
            list = &s.service.node->notes;
        } else {
            list = &s.run->notes;
        }
    }
    RodNode* note = rod_new_note_with_text(s.run, text);
    if (!note) {
        return;
    }
    note->letter = letter;
    rod_list_append(*list, note);
    s.note_tail = list;
}

void new_service(ReaderState& s, std::string_view line) {
    close_below_service(s);
    s.coverage_tail = nullptr;
    s.pending_mode = false;
    const Text name = record_text(line, false);
    RodServiceNode* first = nullptr;
    if (name) {
        first = s.run->services_by_name.find(*name);
    }
    if (first && s.positions[7].line == 0) {
        s.service = {first, &s.run->services};
        return;
    }
    if (first) {
        s.duplicate_warning.report(*name, s.positions[7].line, first->line);
    }
    auto* service = make<RodServiceNode>(s, rod_new_service);
    if (service) {
        service->name = store(s, name);
        open(s.service, service, &s.run->services);
        take_position(s, *service, 7);
        if (!first && service->name) {
            s.run->services_by_name.insert(service);
        }
        hand_over_pending(s, service->notes);
    }
    s.positions[7].line = 0;
}

void new_test(ReaderState& s, std::string_view line) {
    close_test(s);
    s.element = {};
    close_below_element(s);
    s.coverage_tail = nullptr;
    s.pending_mode = false;
    if (!s.service.node) {
        return;
    }
    auto* test = make<RodTestNode>(s, rod_new_test);
    if (!test) {
        return;
    }
    test->name = store(s, record_text(line, false));
    open(s.test, test, &s.service.node->tests);
    take_position(s, *test, 6);
    hand_over_pending(s, test->notes);
}

void new_element(ReaderState& s, std::string_view line) {
    close_below_element(s);
    s.note_tail = nullptr;
    RodList* list = s.element.node ? s.element.list
                    : s.test.node  ? &s.test.node->elements
                                   : nullptr;
    if (!list) {
        return;
    }
    auto* element = make<RodElementNode>(s, rod_new_element);
    if (!element) {
        return;
    }
    element->name = store(s, record_text(line, false));
    open(s.element, element, list);
    take_position(s, *element, 4);
}

void new_environment(ReaderState& s, std::string_view line) {
    s.stub = {};
    s.call = {};
    s.variable = {};
    s.note_tail = nullptr;
    RodList* list = nullptr;
    if (s.environment.node) {
        list = s.environment.list;
    } else if (s.element.node) {
        list = &s.element.node->environments;
    } else if (s.test.node) {
        if (RodElementNode* element = implicit_element(s, "Environment")) {
            list = &element->environments;
        }
    }
    if (!list) {
        return;
    }
    auto* environment = make<RodEnvironmentNode>(s, rod_new_environment);
    if (!environment) {
        return;
    }
    environment->name = store(s, record_text(line, false));
    open(s.environment, environment, list);
    take_position(s, *environment, 5);
}

void new_stub(ReaderState& s, std::string_view line) {
    s.call = {};
    s.variable = {};
    RodList* list = nullptr;
    if (s.stub.node) {
        list = s.stub.list;
    } else if (s.element.node) {
        list = &s.element.node->stubs;
    } else if (s.test.node) {
        if (RodElementNode* element = implicit_element(s, "Stub")) {
            list = &element->stubs;
        }
    }
    if (!list) {
        return;
    }
    auto* stub = make<RodStubNode>(s, rod_new_stub);
    if (!stub) {
        return;
    }
    stub->name = store(s, record_text(line, false));
    open(s.stub, stub, list);
    take_position(s, *stub, 3);
}

void new_stub_call(ReaderState& s, std::string_view line) {
    s.variable = {};
    s.note_tail = nullptr;
    RodList* list = s.call.node ? s.call.list : s.stub.node ? &s.stub.node->calls : nullptr;
    if (!list) {
        return;
    }
    auto* call = make<RodStubCallNode>(s, rod_new_stub_call);
    if (!call) {
        return;
    }
    call->name = store(s, record_text(line, false));
    open(s.call, call, list);
}

void new_call_variable(ReaderState& s, std::string_view line) {
    s.note_tail = nullptr;
    RodList* list = s.variable.node ? s.variable.list
                    : s.call.node   ? &s.call.node->variables
                                    : nullptr;
    if (!list) {
        return;
    }
    auto* variable = make<RodVariableNode>(s, rod_new_variable);
    if (!variable) {
        return;
    }
    variable->name = store(s, record_text(line, false));
    open(s.variable, variable, list);
}

// BD, FB and NV: a Variable of the open Variable's list, else of the open
// Environment, else of the open Element, else of an Element made for it in
// the open Test. The caller fills the Variable.
RodVariableNode* new_element_variable(ReaderState& s, const char* implicit_name) {
    RodList* list = nullptr;
    if (s.variable.node) {
        list = s.variable.list;
    } else if (s.environment.node) {
        list = &s.environment.node->variables;
    } else if (s.element.node) {
        list = &s.element.node->variables;
    } else if (s.test.node) {
        if (RodElementNode* element = implicit_element(s, implicit_name)) {
            list = &element->variables;
        }
    }
    if (!list) {
        return nullptr;
    }
    auto* variable = make<RodVariableNode>(s, rod_new_variable);
    if (variable) {
        open(s.variable, variable, list);
    }
    return variable;
}

void table_row(ReaderState& s, std::string_view line) {
    s.stub = {};
    s.call = {};
    s.note_tail = nullptr;
    if (RodVariableNode* variable = new_element_variable(s, "sql table")) {
        const BdWords words = read_bd_words(line);
        variable->name = store(s, words.name);
        variable->in_text = rod_store_value_text(s.run, words.in_text);
        variable->va_text = rod_store_value_text(s.run, words.va_text);
        variable->flags |= kRodVariableTableRow;
    }
}

void table_end(ReaderState& s) {
    s.note_tail = nullptr;
    if (RodVariableNode* variable = new_element_variable(s, "End of sql table")) {
        variable->name = store(s, std::string_view("End of sql table"));
        variable->flags |= kRodVariableTableEnd;
    }
}

void new_variable(ReaderState& s, std::string_view line) {
    s.note_tail = nullptr;
    if (s.stub.node || s.call.node) {
        s.stub = {};
        s.call = {};
        s.variable = {};
    }
    RodVariableNode* variable = new_element_variable(s, "Exception");
    if (!variable) {
        return;
    }
    const Text name = record_text(line, false);
    if (name && name->starts_with(kCoveragePrefix)) {
        std::string coverage = "Coverage ";
        coverage.append(name->substr(kCoveragePrefix.size()));
        variable->name = store(s, coverage);
        variable->flags |= kRodVariableCoverage;
    } else {
        variable->name = store(s, name);
    }
    take_position(s, *variable, 2);
}

void coverage_note(ReaderState& s, std::string_view line) {
    RodList* list = s.coverage_tail;
    if (!list) {
        list = s.test.node      ? &s.test.node->coverage_notes
               : s.service.node ? &s.service.node->coverage_notes
                                : &s.run->coverage_notes;
    }
    RodNode* note = rod_new_note_with_text(s.run, record_text(line, true));
    if (!note) {
        return;
    }
    note->letter = 'K';
    rod_list_append(*list, note);
    s.coverage_tail = list;
}

void tf_note(ReaderState& s, std::string_view line) {
    RodList* list = s.tf_tail;
    if (!list) {
        if (!s.service.node) {
            return;
        }
        RodServiceExtras* extras = extras_of(s, *s.service.node);
        if (!extras) {
            return;
        }
        list = &extras->tf_notes;
    }
    RodNode* note = rod_new_note_with_text(s.run, record_text(line, false));
    if (!note) {
        return;
    }
    note->letter = 'T';
    rod_list_append(*list, note);
    s.tf_tail = list;
}

void aux_entry(ReaderState& s, std::string_view line) {
    auto* entry = make<RodAuxEntryNode>(s, rod_new_aux_entry);
    if (!entry) {
        return;
    }
    entry->name = store(s, record_text(line, false));
    rod_list_append(s.run->aux_entries, entry);
    s.aux_tail = entry;
}

void aborted(ReaderState& s, std::string_view line, bool service_aborted) {
    const Text cause = record_text(line, true);
    const QString message =
        service_aborted
            ? QCoreApplication::translate(kAbortContext, "%1: *** SERVICE EXECUTION ABORTED ***",
                                          "%1 is the cause of the failure in the service")
            : QCoreApplication::translate(kAbortContext, "%1: *** TEST EXECUTION ABORTED ***",
                                          "%1 is the cause of the failure in the test");
    const QString filling =
        cause ? local8bit_decode(*cause)
              : QCoreApplication::translate("Warning  message for the kvwrod api", "Warning");
    const std::string text = local8bit_encode(fill_placeholders(message, {filling}));
    add_note(s, service_aborted ? 'S' : 'A', std::string_view(text), false);
    if (RodTestNode* test = s.test.node) {
        test->status_text = store(s, std::string_view("INCORRECT"));
        set_extra_text(s, *test,
                       service_aborted ? &RodTestExtras::service_abort_cause
                                       : &RodTestExtras::test_abort_cause,
                       Text(cause.value_or(std::string_view())));
    }
    if (RodServiceNode* service = s.service.node) {
        service->status_text = store(s, std::string_view("INCORRECT"));
    }
}

// Items are joined in room kept behind the text, which doubles when full, so
// any number of LI records costs time linear in their total length. The
// joined text lives in a buffer of its own: stored texts may be shared.
void join_li(ReaderState& s, RodServiceNode& service, std::string_view item) {
    RodServiceExtras* extras = extras_of(s, service);
    if (!extras) {
        return;
    }
    if (!extras->li_text) {
        extras->li_text = rod_store_text(s.run, item);
        extras->li_capacity = 0;  // shared text: the first join copies it
        return;
    }
    const std::string_view current = rod_text_view(extras->li_text);
    const std::size_t length = current.size() + 2 + item.size();
    if (length <= extras->li_capacity) {
        char* text = const_cast<char*>(extras->li_text);
        std::memcpy(text + current.size(), ", ", 2);
        std::memcpy(text + current.size() + 2, item.data(), item.size());
        rod_set_text_length(text, length);
        return;
    }
    const std::size_t capacity = std::max(length, 2 * extras->li_capacity);
    char* grown = rod_new_growable_text(s.run, capacity);
    if (!grown) {
        return;
    }
    std::memcpy(grown, current.data(), current.size());
    std::memcpy(grown + current.size(), ", ", 2);
    std::memcpy(grown + current.size() + 2, item.data(), item.size());
    rod_set_text_length(grown, length);
    extras->li_text = grown;
    extras->li_capacity = capacity;
}

void file_entry(ReaderState& s, std::string_view line) {
    if (const std::optional<FileEntry> entry = read_file_entry(line)) {
        if (const char* name = rod_store_text(s.run, entry->name)) {
            s.run->file_table.insert_or_assign(entry->number, name);
            // A position names whatever entry its number has when a node
            // takes it.
            for (PendingPosition& pending : s.positions) {
                if (pending.file_name && pending.file == entry->number) {
                    pending.file_name = name;
                }
            }
        }
    }
}

void position(ReaderState& s, std::string_view line) {
    const char kind = line.size() > 2 ? line[2] : '\0';
    if (kind < '2' || kind > '7') {
        return;
    }
    const std::optional<ScriptPosition> read = read_position(line);
    PendingPosition& pending = s.positions[kind - '0'];
    const auto& table = s.run->file_table;
    const auto entry = read ? table.find(read->file) : table.end();
    if (entry != table.end()) {
        pending = {read->file, read->line, entry->second};
    } else {
        pending = {};
    }
}

// VA and RV go to the open Stub while none of its calls is open,
// else to the open Variable.
template <typename Field>
void stub_or_variable_text(ReaderState& s, std::string_view line,
                           const char* RodStubNode::*stub_field,
                           Field RodVariableNode::*variable_field) {
    if (s.stub.node && !s.call.node) {
        s.stub.node->*stub_field = store(s, record_text(line, false));
    } else if (s.variable.node) {
        assign(s, s.variable.node->*variable_field, record_text(line, false));
    }
}

// V1 goes to the open Stub while none of its calls is open, else to the open
// Variable.
void stub_or_variable_v1(ReaderState& s, std::string_view line) {
    if (s.stub.node && !s.call.node) {
        s.stub.node->v1_text = store(s, record_text(line, false));
    } else if (s.variable.node) {
        rod_set_variable_v1(*s.variable.node,
                            rod_store_value_text(s.run, record_text(line, false)));
    }
}

// RV goes to the open Stub while none of its calls is open, else to the open
// Variable.
void stub_or_variable_status(ReaderState& s, std::string_view line) {
    if (s.stub.node && !s.call.node) {
        s.stub.node->status_text = store(s, record_text(line, false));
    } else if (s.variable.node) {
        rod_set_variable_status(s.run, *s.variable.node, record_text(line, false));
    }
}

// V2 goes to the open Stub while none of its calls is open, else to the open
// Variable's extras, which an absent text does not make.
void stub_or_variable_v2(ReaderState& s, std::string_view line) {
    if (s.stub.node && !s.call.node) {
        s.stub.node->v2_text = store(s, record_text(line, false));
    } else if (s.variable.node) {
        set_extra_text(s, *s.variable.node, &RodVariableExtras::v2_text, record_text(line, false));
    }
}

template <typename T, typename Field>
void item_text(ReaderState& s, T* node, Field T::*field, std::string_view line) {
    if (node) {
        assign(s, node->*field, record_text(line, false));
    }
}

// Like item_text, for a text kept in the node's extras.
template <typename T, typename Extras>
void item_extra_text(ReaderState& s, T* node, const char* Extras::*field, std::string_view line) {
    if (node) {
        set_extra_text(s, *node, field, record_text(line, false));
    }
}

void service_or_run_text(ReaderState& s, std::string_view line,
                         const char* RodServiceExtras::*service_field,
                         const char* RodRunNode::*run_field) {
    const Text text = record_text(line, false);
    if (s.service.node) {
        set_extra_text(s, *s.service.node, service_field, text);
    } else {
        assign(s, s.run->*run_field, text);
    }
}

// RT and RS fill a verdict that is still empty; an abort's "INCORRECT" stays.
template <typename T>
void verdict(ReaderState& s, T* node, std::string_view line) {
    if (node && !node->status_text) {
        node->status_text = store(s, record_text(line, false));
    }
}

// What each record code does, in no particular order.
struct RecordKind {
    std::uint16_t code;
    void (*act)(ReaderState& s, std::string_view line);
};

constexpr RecordKind kRecordKinds[] = {
    {code('N', 'S'), new_service},
    {code('N', 'T'), new_test},
    {code('N', 'B'), new_element},
    {code('E', 'N'), new_environment},
    {code('M', 'N'), new_stub},
    {code('M', 'C'), new_stub_call},
    {code('M', 'P'), new_call_variable},
    {code('N', 'V'), new_variable},
    {code('B', 'D'), table_row},
    {code('F', 'B'), [](ReaderState& s, std::string_view) {
         table_end(s);
     }},
    {code('I', 'N'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.variable.node, &RodVariableNode::in_text, line);
     }},
    {code('V', 'A'), [](ReaderState& s, std::string_view line) {
         stub_or_variable_text(s, line, &RodStubNode::va_text, &RodVariableNode::va_text);
     }},
    {code('V', '1'), stub_or_variable_v1},
    {code('V', '2'), stub_or_variable_v2},
    {code('R', 'V'), stub_or_variable_status},
    {code('R', 'T'), [](ReaderState& s, std::string_view line) {
         verdict(s, s.test.node, line);
     }},
    {code('R', 'S'), [](ReaderState& s, std::string_view line) {
         verdict(s, s.service.node, line);
     }},
    {code('T', 'S'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.service.node, &RodServiceNode::type, line);
     }},
    {code('A', 'S'), [](ReaderState& s, std::string_view line) {
         aborted(s, line, true);
     }},
    {code('A', 'T'), [](ReaderState& s, std::string_view line) {
         aborted(s, line, false);
     }},
    {code('R', 'Q'), [](ReaderState& s, std::string_view line) {
         add_note(s, 'R', record_text(line, true), true);
     }},
    {code('C', 'O'), [](ReaderState& s, std::string_view line) {
         add_note(s, 'C', record_text(line, true), true);
     }},
    {code('K', 'L'), coverage_note},
    {code('T', 'F'), tf_note},
    {code('L', 'I'), [](ReaderState& s, std::string_view line) {
         if (const Text item = record_text(line, false); item && s.service.node) {
             join_li(s, *s.service.node, *item);
         }
     }},
    {code('T', 'E'), [](ReaderState& s, std::string_view line) {
         service_or_run_text(s, line, &RodServiceExtras::te_text, &RodRunNode::te_text);
     }},
    {code('T', 'V'), [](ReaderState& s, std::string_view line) {
         service_or_run_text(s, line, &RodServiceExtras::tv_text, &RodRunNode::tv_text);
     }},
    {code('T', 'C'), [](ReaderState& s, std::string_view line) {
         service_or_run_text(s, line, &RodServiceExtras::tc_text, &RodRunNode::tc_text);
     }},
    {code('T', 'I'), [](ReaderState& s, std::string_view line) {
         service_or_run_text(s, line, &RodServiceExtras::ti_text, &RodRunNode::ti_text);
     }},
    {code('F', 'T'), [](ReaderState& s, std::string_view line) {
         item_extra_text(s, s.test.node, &RodTestExtras::ft_text, line);
     }},
    {code('D', 'T'), [](ReaderState& s, std::string_view line) {
         item_extra_text(s, s.test.node, &RodTestExtras::dt_text, line);
     }},
    {code('E', 'I'), [](ReaderState& s, std::string_view line) {
         item_extra_text(s, s.test.node, &RodTestExtras::ei_text, line);
     }},
    {code('I', 'C'), [](ReaderState& s, std::string_view line) {
         item_extra_text(s, s.test.node, &RodTestExtras::ic_text, line);
     }},
    {code('V', 'I'), [](ReaderState& s, std::string_view line) {
         item_extra_text(s, s.test.node, &RodTestExtras::vi_text, line);
         s.note_tail = nullptr;
         s.variable = {};
         s.element = {};
         s.pending_mode = true;
     }},
    {code('M', 'O'), [](ReaderState& s, std::string_view line) {
         s.service = {};
         close_below_service(s);
         s.coverage_tail = nullptr;
         item_text(s, s.run, &RodRunNode::report_name, line);
     }},
    {code('V', 'M'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::version, line);
     }},
    {code('S', 'O'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::src_file_name, line);
     }},
    {code('V', 'S'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::src_version, line);
     }},
    {code('P', 'T'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::ptu_file_name, line);
     }},
    {code('V', 'P'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::ptu_version, line);
     }},
    {code('V', 'O'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::tool_version, line);
     }},
    {code('C', 'I'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::target, line);
     }},
    {code('D', 'P'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::prepro_date, line);
     }},
    {code('D', 'E'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::run_date, line);
     }},
    {code('T', 'G'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::tg_text, line);
     }},
    {code('C', 'P'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::cp_text, line);
     }},
    {code('O', 'P'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::op_text, line);
     }},
    {code('F', 'O'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.run, &RodRunNode::fo_text, line);
     }},
    {code('F', 'I'), aux_entry},
    {code('N', 'I'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.aux_tail, &RodAuxEntryNode::ni_text, line);
     }},
    {code('F', 'A'), [](ReaderState& s, std::string_view line) {
         item_text(s, s.aux_tail, &RodAuxEntryNode::fa_text, line);
     }},
    {code('F', 'X'), file_entry},
    {code('F', 'P'), position},
    {code('B', 'G'), [](ReaderState& s, std::string_view) {
         s.service = {};
         close_below_service(s);
         s.note_tail = nullptr;
         s.coverage_tail = nullptr;
     }},
    {code('D', 'B'), [](ReaderState& s, std::string_view) {
         s.positions[7].line = 0;
     }},
    {code('D', 'I'), [](ReaderState&, std::string_view) {}},
};

// The action of a code is found through one small table instead of a switch
// over 56 scattered values, which compiles to a chain of comparisons: a
// code's first character (a letter) and second (a letter or a digit) fold
// without collisions into 11 bits, whose slot names the kind, and the kind
// confirms the whole code.
constexpr std::size_t slot_of(char first, char second) {
    return (static_cast<std::size_t>(static_cast<unsigned char>(first) & 31) << 6) |
           (static_cast<unsigned char>(second) & 63);
}

constexpr std::size_t kRecordKindCount = sizeof kRecordKinds / sizeof kRecordKinds[0];
static_assert(kRecordKindCount < 255);

struct RecordSlots {
    std::uint8_t kind[32 * 64] = {};  // 1 + index in kRecordKinds; 0: unknown
};

constexpr RecordSlots make_record_slots() {
    RecordSlots table;
    for (std::size_t i = 0; i < kRecordKindCount; ++i) {
        const std::uint16_t c = kRecordKinds[i].code;
        table.kind[slot_of(static_cast<char>(c >> 8), static_cast<char>(c & 0xFF))] =
            static_cast<std::uint8_t>(i + 1);
    }
    return table;
}

constexpr RecordSlots kRecordSlots = make_record_slots();

// No two codes share a slot.
constexpr bool slots_are_distinct() {
    for (std::size_t i = 0; i < kRecordKindCount; ++i) {
        const std::uint16_t c = kRecordKinds[i].code;
        if (kRecordSlots.kind[slot_of(static_cast<char>(c >> 8), static_cast<char>(c & 0xFF))] !=
            i + 1) {
            return false;
        }
    }
    return true;
}
static_assert(slots_are_distinct());

}  // namespace

bool rod_apply_record(ReaderState& s, std::string_view line) {
    const char first = line[0];
    const char second = line.size() > 1 ? line[1] : '\0';
    const std::uint8_t kind = kRecordSlots.kind[slot_of(first, second)];
    if (kind == 0 || kRecordKinds[kind - 1].code != code(first, second)) {
        return false;
    }
    kRecordKinds[kind - 1].act(s, line);
    return true;
}
