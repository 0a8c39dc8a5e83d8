#include "rod/nodes.h"

#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>

namespace {

// Releasing a tree is releasing its arena: nodes never run destructors.
static_assert(std::is_trivially_destructible_v<RodNoteNode>);
static_assert(std::is_trivially_destructible_v<RodVariableNode>);
static_assert(std::is_trivially_destructible_v<RodVariableExtras>);
static_assert(std::is_trivially_destructible_v<RodStubCallNode>);
static_assert(std::is_trivially_destructible_v<RodStubNode>);
static_assert(std::is_trivially_destructible_v<RodEnvironmentNode>);
static_assert(std::is_trivially_destructible_v<RodElementNode>);
static_assert(std::is_trivially_destructible_v<RodTestNode>);
static_assert(std::is_trivially_destructible_v<RodTestExtras>);
static_assert(std::is_trivially_destructible_v<RodServiceNode>);
static_assert(std::is_trivially_destructible_v<RodServiceExtras>);
static_assert(std::is_trivially_destructible_v<RodAuxEntryNode>);

// A T made in the arena of run, or null when run is not a Run or memory
// runs out.
template <typename T>
T* new_in_run(RodNode* run) {
    auto* owner = rod_node_as<RodRunNode>(run);
    if (!owner) {
        return nullptr;
    }
    try {
        void* memory = owner->arena.allocate(sizeof(T), alignof(T));
        // Value-initialisation zero-fills the fields that have no initialiser.
        return new (memory) T();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

template <typename T>
RodNode* new_node(RodNode* run) {
    T* node = new_in_run<T>(run);
    if (node) {
        node->kind = RodKindOf<T>::value;
    }
    return node;
}

// The extras of node, made on first use. Once made they answer whatever run
// is given: they already belong to the tree.
template <typename Node>
auto extras_of(RodNode* run, Node* node) -> decltype(node->extras) {
    if (!node) {
        return nullptr;
    }
    if (!node->extras) {
        node->extras = new_in_run<std::remove_pointer_t<decltype(node->extras)>>(run);
    }
    return node->extras;
}

// A Note's text, held behind its header or pointed at.
const char* note_text(const RodNode* note) {
    if (note->flags & kRodNoteTextInPlace) {
        return reinterpret_cast<const char*>(note) + sizeof(RodNode) + sizeof(std::uint32_t);
    }
    return static_cast<const RodNoteNode*>(note)->text;
}

const RodNode* first(const RodList& list) {
    return rod_list_first(list);
}

// The two usual verdict texts, laid out as stored texts (the length in the
// four bytes in front) so that rod_text_view reads them like any other.
struct FixedText {
    std::uint32_t length;
    char bytes[12];
};
constexpr FixedText kCorrectText{7, "CORRECT"};
constexpr FixedText kIncorrectText{9, "INCORRECT"};
static_assert(offsetof(FixedText, bytes) == sizeof(std::uint32_t));

bool equals(std::string_view text, const FixedText& fixed) {
    return text == std::string_view(fixed.bytes, fixed.length);
}

}  // namespace

RodNode* rod_new_run(const char* rod_path) {
    try {
        auto run = std::make_unique<RodRunNode>();
        run->kind = NodeKind::Run;
        if (rod_path) {
            run->rod_path = rod_store_text(run.get(), rod_path);
            if (!run->rod_path) {
                return nullptr;
            }
        }
        return run.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

RodNode* rod_new_note(RodNode* run) {
    return new_node<RodNoteNode>(run);
}

RodNode* rod_new_variable(RodNode* run) {
    return new_node<RodVariableNode>(run);
}

RodVariableExtras* rod_variable_extras(RodNode* run, RodVariableNode* variable) {
    if (!variable) {
        return nullptr;
    }
    if (RodVariableExtras* extras = rod_variable_extras_if_made(*variable)) {
        return extras;
    }
    auto* extras = new_in_run<RodVariableExtras>(run);
    if (extras) {
        extras->v1_text = variable->v1_or_extras;
        std::memcpy(variable->v1_or_extras.bytes, &extras, sizeof extras);
        variable->flags |= kRodVariableHasExtras;
    }
    return extras;
}

const char* rod_variable_status_text(const RodVariableNode& variable) {
    switch (variable.flags & kRodVariableStatusMask) {
        case kRodVariableStatusCorrect:
            return kCorrectText.bytes;
        case kRodVariableStatusIncorrect:
            return kIncorrectText.bytes;
        case kRodVariableStatusOther: {
            const RodVariableExtras* extras = rod_variable_extras_if_made(variable);
            return extras ? extras->status_text : nullptr;
        }
        default:
            return nullptr;
    }
}

bool rod_set_variable_status(RodNode* run, RodVariableNode& variable,
                             std::optional<std::string_view> text) {
    std::uint8_t status = kRodVariableStatusNone;
    if (text && equals(*text, kCorrectText)) {
        status = kRodVariableStatusCorrect;
    } else if (text && equals(*text, kIncorrectText)) {
        status = kRodVariableStatusIncorrect;
    } else if (text) {
        RodVariableExtras* extras = rod_variable_extras(run, &variable);
        const char* stored = extras ? rod_store_text(run, *text) : nullptr;
        if (!stored) {
            return false;
        }
        extras->status_text = stored;
        status = kRodVariableStatusOther;
    }
    variable.flags = static_cast<std::uint8_t>((variable.flags & ~kRodVariableStatusMask) | status);
    return true;
}

RodNode* rod_new_stub_call(RodNode* run) {
    return new_node<RodStubCallNode>(run);
}

RodNode* rod_new_stub(RodNode* run) {
    return new_node<RodStubNode>(run);
}

RodNode* rod_new_environment(RodNode* run) {
    return new_node<RodEnvironmentNode>(run);
}

RodNode* rod_new_element(RodNode* run) {
    return new_node<RodElementNode>(run);
}

RodNode* rod_new_named_element(RodNode* run, const char* name) {
    RodNode* node = new_node<RodElementNode>(run);
    if (!node || !name) {
        return node;
    }
    const char* copy = rod_store_text(run, name);
    if (!copy) {
        // The unnamed node stays in the arena until the tree goes; it is
        // never linked, so nothing reaches it.
        return nullptr;
    }
    static_cast<RodElementNode*>(node)->name = copy;
    return node;
}

RodNode* rod_new_test(RodNode* run) {
    return new_node<RodTestNode>(run);
}

RodNode* rod_new_service(RodNode* run) {
    return new_node<RodServiceNode>(run);
}

RodTestExtras* rod_test_extras(RodNode* run, RodTestNode* test) {
    return extras_of(run, test);
}

RodServiceExtras* rod_service_extras(RodNode* run, RodServiceNode* service) {
    return extras_of(run, service);
}

RodNode* rod_new_aux_entry(RodNode* run) {
    return new_node<RodAuxEntryNode>(run);
}

void rod_free(RodNode* node) {
    if (node && node->kind == NodeKind::Run) {
        // Takes back the ownership rod_new_run gave away; the arena goes with
        // the Run and with it every node and text of the tree, shared file
        // names included, exactly once.
        std::unique_ptr<RodRunNode> owner(static_cast<RodRunNode*>(node));
    }
}

NodeKind rod_kind(const RodNode* node) {
    return node ? node->kind : NodeKind{};
}

const char* rod_name(const RodNode* node) {
    if (!node) {
        return nullptr;
    }
    switch (node->kind) {
        case NodeKind::Note:
            return note_text(node);
        case NodeKind::Variable:
            return static_cast<const RodVariableNode*>(node)->name;
        case NodeKind::StubCall:
            return static_cast<const RodStubCallNode*>(node)->name;
        case NodeKind::Stub:
            return static_cast<const RodStubNode*>(node)->name;
        case NodeKind::Environment:
            return static_cast<const RodEnvironmentNode*>(node)->name;
        case NodeKind::Element:
            return static_cast<const RodElementNode*>(node)->name;
        case NodeKind::Test:
            return static_cast<const RodTestNode*>(node)->name;
        case NodeKind::Service:
            return static_cast<const RodServiceNode*>(node)->name;
        case NodeKind::AuxEntry:
            return static_cast<const RodAuxEntryNode*>(node)->name;
        case NodeKind::Run:
            return static_cast<const RodRunNode*>(node)->report_name;
    }
    return nullptr;
}

const RodNode* rod_next(const RodNode* node) {
    if (!node || node->kind < NodeKind::Note || node->kind > NodeKind::AuxEntry) {
        return nullptr;
    }
    return rod_list_next(node);
}

const RodNode* rod_notes(const RodNode* node) {
    if (!node) {
        return nullptr;
    }
    switch (node->kind) {
        case NodeKind::Variable: {
            const RodVariableExtras* extras =
                rod_variable_extras_if_made(*static_cast<const RodVariableNode*>(node));
            return extras ? first(extras->notes) : nullptr;
        }
        case NodeKind::Element:
            return first(static_cast<const RodElementNode*>(node)->notes);
        case NodeKind::Test:
            return first(static_cast<const RodTestNode*>(node)->notes);
        case NodeKind::Service:
            return first(static_cast<const RodServiceNode*>(node)->notes);
        case NodeKind::Run:
            return first(static_cast<const RodRunNode*>(node)->notes);
        default:
            return nullptr;
    }
}

const RodNode* rod_coverage_notes(const RodNode* node) {
    if (!node) {
        return nullptr;
    }
    switch (node->kind) {
        case NodeKind::Test:
            return first(static_cast<const RodTestNode*>(node)->coverage_notes);
        case NodeKind::Service:
            return first(static_cast<const RodServiceNode*>(node)->coverage_notes);
        case NodeKind::Run:
            return first(static_cast<const RodRunNode*>(node)->coverage_notes);
        default:
            return nullptr;
    }
}

const char* rod_note_text(const RodNode* node) {
    return node && node->kind == NodeKind::Note ? note_text(node) : nullptr;
}

char rod_note_letter(const RodNode* node) {
    const auto* note = rod_node_as<RodNoteNode>(node);
    return note ? note->letter : '\0';
}

const RodNode* rod_variables(const RodNode* node) {
    if (!node) {
        return nullptr;
    }
    switch (node->kind) {
        case NodeKind::StubCall:
            return first(static_cast<const RodStubCallNode*>(node)->variables);
        case NodeKind::Environment:
            return first(static_cast<const RodEnvironmentNode*>(node)->variables);
        case NodeKind::Element:
            return first(static_cast<const RodElementNode*>(node)->variables);
        default:
            return nullptr;
    }
}

const RodNode* rod_stub_calls(const RodNode* node) {
    const auto* stub = rod_node_as<RodStubNode>(node);
    return stub ? first(stub->calls) : nullptr;
}

const RodNode* rod_element_environments(const RodNode* node) {
    const auto* element = rod_node_as<RodElementNode>(node);
    return element ? first(element->environments) : nullptr;
}

const RodNode* rod_test_elements(const RodNode* node) {
    const auto* test = rod_node_as<RodTestNode>(node);
    return test ? first(test->elements) : nullptr;
}

const RodNode* rod_service_tests(const RodNode* node) {
    const auto* service = rod_node_as<RodServiceNode>(node);
    return service ? first(service->tests) : nullptr;
}

const char* rod_service_type(const RodNode* node) {
    const auto* service = rod_node_as<RodServiceNode>(node);
    return service ? service->type : nullptr;
}

const char* rod_test_abort_cause(const RodNode* node) {
    const auto* test = rod_node_as<RodTestNode>(node);
    return test && test->extras ? test->extras->test_abort_cause : nullptr;
}

const char* rod_service_abort_cause(const RodNode* node) {
    const auto* test = rod_node_as<RodTestNode>(node);
    return test && test->extras ? test->extras->service_abort_cause : nullptr;
}

const RodNode* rod_services(const RodNode* node) {
    const auto* run = rod_node_as<RodRunNode>(node);
    return run ? first(run->services) : nullptr;
}

namespace {

// One Run text field, or null for anything that is not a Run.
const char* run_text(const RodNode* node, const char* RodRunNode::*field) {
    const auto* run = rod_node_as<RodRunNode>(node);
    return run ? run->*field : nullptr;
}

}  // namespace

const char* rod_version(const RodNode* node) {
    return run_text(node, &RodRunNode::version);
}

const char* rod_src_file_name(const RodNode* node) {
    return run_text(node, &RodRunNode::src_file_name);
}

const char* rod_src_version(const RodNode* node) {
    return run_text(node, &RodRunNode::src_version);
}

const char* rod_ptu_file_name(const RodNode* node) {
    return run_text(node, &RodRunNode::ptu_file_name);
}

const char* rod_ptu_version(const RodNode* node) {
    return run_text(node, &RodRunNode::ptu_version);
}

const char* rod_tool_version(const RodNode* node) {
    return run_text(node, &RodRunNode::tool_version);
}

const char* rod_target(const RodNode* node) {
    return run_text(node, &RodRunNode::target);
}

const char* rod_prepro_date(const RodNode* node) {
    return run_text(node, &RodRunNode::prepro_date);
}

const char* rod_run_date(const RodNode* node) {
    return run_text(node, &RodRunNode::run_date);
}

const char* rod_postpro_date(const RodNode* node) {
    return run_text(node, &RodRunNode::postpro_date);
}

const char* rod_testsuite_path(const RodNode* node) {
    const auto* run = rod_node_as<RodRunNode>(node);
    if (!run) {
        return nullptr;
    }
    const auto entry = run->file_table.find(0);
    return entry != run->file_table.end() ? entry->second : nullptr;
}
