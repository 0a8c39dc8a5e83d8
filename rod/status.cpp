#include "rod/nodes.h"

namespace {

// Only an upper-case 'I' (as in "INCORRECT") condemns a node; an absent or
// empty verdict text says nothing against it.
bool says_ko(const char* status_text) {
    return status_text && status_text[0] == 'I';
}

// A Variable's verdict, from the flags that say which text it has.
int variable_status(const RodVariableNode& variable) {
    switch (variable.flags & kRodVariableStatusMask) {
        case kRodVariableStatusIncorrect:
            return 0;
        case kRodVariableStatusOther:
            return says_ko(rod_variable_status_text(variable)) ? 0 : 1;
        default:
            return 1;
    }
}

// True when some node of the list has a KO verdict; stops at the first one.
bool any_ko(const RodList& list) {
    for (const RodNode* node = rod_list_first(list); node; node = rod_list_next(node)) {
        if (rod_status(node) == 0) {
            return true;
        }
    }
    return false;
}

int test_status(const RodTestNode& test) {
    const RodTestExtras* extras = test.extras;
    if (says_ko(test.status_text) || (extras && extras->test_abort_cause)) {
        return 0;
    }
    // An aborted service condemns its tests even when no cause was given.
    if ((extras && extras->service_abort_cause) || any_ko(test.elements)) {
        return 0;
    }
    return test.status_text && test.status_text[0] == '*' ? 2 : 1;
}

// Calls visit for every Test of a Service, or of every Service of a Run. A
// Service's own verdict text stays out of this: counts look at Tests only.
template <typename Visit>
void for_each_test(const RodNode* node, Visit visit) {
    auto visit_service = [&](const RodNode* node) {
        if (const auto* service = rod_node_as<RodServiceNode>(node)) {
            for (const RodNode* test = rod_list_first(service->tests); test;
                 test = rod_list_next(test)) {
                visit(test);
            }
        }
    };
    if (rod_node_as<RodServiceNode>(node)) {
        visit_service(node);
    } else if (const auto* run = rod_node_as<RodRunNode>(node)) {
        for (const RodNode* service = rod_list_first(run->services); service;
             service = rod_list_next(service)) {
            visit_service(service);
        }
    }
}

// The verdict of a Test or an Element: the kept one when there is one, else
// worked out, and kept when the node may keep it.
template <typename Work>
int kept_verdict(const RodNode& node, Work work) {
    if (node.verdict & kRodVerdictKnown) {
        return node.verdict & ~kRodVerdictKnown;
    }
    const int status = work();
    if (node.verdict == kRodVerdictKeep) {
        node.verdict = static_cast<std::uint8_t>(kRodVerdictKnown | status);
    }
    return status;
}

}  // namespace

int rod_status(const RodNode* node) {
    if (!node) {
        return 0;
    }
    switch (node->kind) {
        case NodeKind::Variable:
            return variable_status(*static_cast<const RodVariableNode*>(node));
        case NodeKind::StubCall:
            return any_ko(static_cast<const RodStubCallNode*>(node)->variables) ? 0 : 1;
        case NodeKind::Stub: {
            const auto* stub = static_cast<const RodStubNode*>(node);
            return says_ko(stub->status_text) || any_ko(stub->calls) ? 0 : 1;
        }
        case NodeKind::Environment:
            return any_ko(static_cast<const RodEnvironmentNode*>(node)->variables) ? 0 : 1;
        case NodeKind::Element:
            return kept_verdict(*node, [node] {
                const auto* element = static_cast<const RodElementNode*>(node);
                return any_ko(element->environments) || any_ko(element->variables) ||
                               any_ko(element->stubs)
                           ? 0
                           : 1;
            });
        case NodeKind::Test:
            return kept_verdict(
                *node, [node] { return test_status(*static_cast<const RodTestNode*>(node)); });
        case NodeKind::Service: {
            const auto* service = static_cast<const RodServiceNode*>(node);
            return says_ko(service->status_text) || any_ko(service->tests) ? 0 : 1;
        }
        case NodeKind::Run:
            return any_ko(static_cast<const RodRunNode*>(node)->services) ? 0 : 1;
        case NodeKind::Note:
        case NodeKind::AuxEntry:
            return 1;
    }
    return 1;
}

int rod_count_valid(const RodNode* node) {
    int count = 0;
    for_each_test(node, [&](const RodNode* test) { count += rod_status(test) != 0 ? 1 : 0; });
    return count;
}

int rod_count_invalid(const RodNode* node) {
    int count = 0;
    for_each_test(node, [&](const RodNode* test) { count += rod_status(test) == 0 ? 1 : 0; });
    return count;
}

int rod_count_tests(const RodNode* node) {
    int count = 0;
    for_each_test(node, [&](const RodNode*) { ++count; });
    return count;
}
