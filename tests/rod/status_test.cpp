#include "rod/nodes.h"
#include "tests/rod/reader_testing.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace {

// Builds small trees by hand; a null verdict text stays absent.
struct TreeBuilder {
    RodTree tree{rod_new_run("a.rod")};

    RodRunNode* run() { return rod_node_as<RodRunNode>(tree.get()); }

    const char* text(const char* value) {
        return value ? rod_store_text(tree.get(), value) : nullptr;
    }

    template <typename T>
    T* add(RodList& list, RodNode* node) {
        rod_list_append(list, node);
        return rod_node_as<T>(node);
    }

    RodServiceNode* service(const char* status = nullptr) {
        auto* node = add<RodServiceNode>(run()->services, rod_new_service(tree.get()));
        node->status_text = text(status);
        return node;
    }
    RodTestNode* test(RodServiceNode* service, const char* status = nullptr) {
        auto* node = add<RodTestNode>(service->tests, rod_new_test(tree.get()));
        node->status_text = text(status);
        return node;
    }
    RodElementNode* element(RodTestNode* test) {
        return add<RodElementNode>(test->elements, rod_new_element(tree.get()));
    }
    RodVariableNode* variable(RodList& variables, const char* status) {
        auto* node = add<RodVariableNode>(variables, rod_new_variable(tree.get()));
        set_status(*node, status);
        return node;
    }
    void set_status(RodVariableNode& variable, const char* status) {
        rod_set_variable_status(tree.get(), variable,
                                status ? std::optional<std::string_view>(status) : std::nullopt);
    }
    RodEnvironmentNode* environment(RodElementNode* element) {
        return add<RodEnvironmentNode>(element->environments, rod_new_environment(tree.get()));
    }
    RodStubNode* stub(RodElementNode* element, const char* status = nullptr) {
        auto* node = add<RodStubNode>(element->stubs, rod_new_stub(tree.get()));
        node->status_text = text(status);
        return node;
    }
    RodStubCallNode* call(RodStubNode* stub) {
        return add<RodStubCallNode>(stub->calls, rod_new_stub_call(tree.get()));
    }
    RodTestExtras* extras(RodTestNode* test) { return rod_test_extras(tree.get(), test); }
};

TEST(VerdictTextTest, OnlyAnUpperCaseIAtTheStartIsKo) {
    TreeBuilder b;
    RodElementNode* element = b.element(b.test(b.service()));
    struct Case {
        const char* status;
        int expected;
    };
    for (const Case& c : std::initializer_list<Case>{{nullptr, 1},
                                                     {"", 1},
                                                     {"CORRECT", 1},
                                                     {"incorrect", 1},
                                                     {" INCORRECT", 1},
                                                     {"INCORRECT", 0},
                                                     {"I", 0},
                                                     {"Ixyz", 0}}) {
        const RodVariableNode* variable = b.variable(element->variables, c.status);
        EXPECT_EQ(rod_status(variable), c.expected) << (c.status ? c.status : "(absent)");
    }
}

TEST(StatusTest, NullNoteAuxEntryAndUnknownKinds) {
    TreeBuilder b;
    EXPECT_EQ(rod_status(nullptr), 0);
    EXPECT_EQ(rod_status(rod_new_note(b.tree.get())), 1);
    EXPECT_EQ(rod_status(rod_new_aux_entry(b.tree.get())), 1);
    RodNode* stray = rod_new_variable(b.tree.get());
    b.set_status(*rod_node_as<RodVariableNode>(stray), "INCORRECT");
    stray->kind = static_cast<NodeKind>(42);
    EXPECT_EQ(rod_status(stray), 1);
}

TEST(StatusTest, EmptyNodesAreOk) {
    TreeBuilder b;
    EXPECT_EQ(rod_status(b.tree.get()), 1);
    RodServiceNode* service = b.service();
    RodTestNode* test = b.test(service);
    RodElementNode* element = b.element(test);
    RodStubNode* stub = b.stub(element);
    EXPECT_EQ(rod_status(b.call(stub)), 1);
    EXPECT_EQ(rod_status(stub), 1);
    EXPECT_EQ(rod_status(b.environment(element)), 1);
    EXPECT_EQ(rod_status(element), 1);
    EXPECT_EQ(rod_status(test), 1);
    EXPECT_EQ(rod_status(service), 1);
    EXPECT_EQ(rod_status(b.tree.get()), 1);
}

TEST(StatusTest, AKoVariableReachesTheRunFromEveryPlace) {
    // Below a stub call, an environment, an element: each path alone.
    for (int place = 0; place < 3; ++place) {
        TreeBuilder b;
        RodServiceNode* service = b.service();
        RodTestNode* test = b.test(service, "CORRECT");
        RodElementNode* element = b.element(test);
        RodStubNode* stub = b.stub(element);
        RodStubCallNode* call = b.call(stub);
        RodEnvironmentNode* environment = b.environment(element);
        b.variable(call->variables, place == 0 ? "INCORRECT" : "CORRECT");
        b.variable(environment->variables, place == 1 ? "INCORRECT" : "CORRECT");
        b.variable(element->variables, place == 2 ? "INCORRECT" : "CORRECT");

        EXPECT_EQ(rod_status(call), place == 0 ? 0 : 1) << place;
        EXPECT_EQ(rod_status(stub), place == 0 ? 0 : 1) << place;
        EXPECT_EQ(rod_status(environment), place == 1 ? 0 : 1) << place;
        EXPECT_EQ(rod_status(element), 0) << place;
        EXPECT_EQ(rod_status(test), 0) << place;
        EXPECT_EQ(rod_status(service), 0) << place;
        EXPECT_EQ(rod_status(b.tree.get()), 0) << place;
    }
}

TEST(StatusTest, AStubsOwnVerdictCounts) {
    TreeBuilder b;
    RodElementNode* element = b.element(b.test(b.service()));
    RodStubNode* stub = b.stub(element, "INCORRECT");
    b.variable(b.call(stub)->variables, "CORRECT");
    EXPECT_EQ(rod_status(stub), 0);
    EXPECT_EQ(rod_status(element), 0);
}

TEST(StatusTest, OnlyTheFirstKoVariableOfAListMatters) {
    TreeBuilder b;
    RodElementNode* element = b.element(b.test(b.service()));
    b.variable(element->variables, "CORRECT");
    b.variable(element->variables, "CORRECT");
    EXPECT_EQ(rod_status(element), 1);
    b.variable(element->variables, "INCORRECT");
    EXPECT_EQ(rod_status(element), 0);
}

TEST(TestStatusTest, StarVerdictGivesTwo) {
    TreeBuilder b;
    RodTestNode* test = b.test(b.service(), "*CORRECT");
    b.variable(b.element(test)->variables, "CORRECT");
    EXPECT_EQ(rod_status(test), 2);
    EXPECT_EQ(rod_status(b.test(b.service(), "*")), 2);
    EXPECT_EQ(rod_status(b.test(b.service(), "CORRECT*")), 1);
}

TEST(TestStatusTest, KoChecksComeBeforeTheStar) {
    TreeBuilder b;
    RodServiceNode* service = b.service();
    RodTestNode* failing_element = b.test(service, "*");
    b.variable(b.element(failing_element)->variables, "INCORRECT");
    EXPECT_EQ(rod_status(failing_element), 0);
    RodTestNode* aborted = b.test(service, "*");
    b.extras(aborted)->test_abort_cause = b.text("timeout");
    EXPECT_EQ(rod_status(aborted), 0);
}

TEST(TestStatusTest, IncorrectVerdictWinsOverOkElements) {
    TreeBuilder b;
    RodTestNode* test = b.test(b.service(), "INCORRECT");
    b.variable(b.element(test)->variables, "CORRECT");
    EXPECT_EQ(rod_status(test), 0);
}

TEST(TestStatusTest, AnyAbortCauseMakesKoEvenEmpty) {
    TreeBuilder b;
    RodServiceNode* service = b.service();
    RodTestNode* test_aborted = b.test(service, "CORRECT");
    b.extras(test_aborted)->test_abort_cause = b.text("");
    RodTestNode* service_aborted = b.test(service, "CORRECT");
    b.extras(service_aborted)->service_abort_cause = b.text("");
    RodTestNode* untouched = b.test(service, "CORRECT");
    // Extras that hold other texts but no cause say nothing against a Test.
    RodTestNode* with_texts = b.test(service, "*");
    b.extras(with_texts)->ft_text = b.text("ft");
    b.extras(with_texts)->vi_text = b.text("");
    EXPECT_EQ(rod_status(test_aborted), 0);
    EXPECT_EQ(rod_status(service_aborted), 0);
    EXPECT_EQ(rod_status(untouched), 1);
    EXPECT_EQ(rod_status(with_texts), 2);
}

TEST(CountsTest, ServiceCountsItsTests) {
    TreeBuilder b;
    RodServiceNode* service = b.service();
    b.test(service, "CORRECT");
    b.test(service, "*");
    b.test(service, "INCORRECT");
    b.variable(b.element(b.test(service))->variables, "INCORRECT");
    b.extras(b.test(service))->service_abort_cause = b.text("");
    EXPECT_EQ(rod_count_tests(service), 5);
    EXPECT_EQ(rod_count_valid(service), 2);
    EXPECT_EQ(rod_count_invalid(service), 3);
}

TEST(CountsTest, RunSumsItsServices) {
    TreeBuilder b;
    RodServiceNode* first = b.service();
    b.test(first, "CORRECT");
    b.test(first, "INCORRECT");
    b.service();  // no tests
    RodServiceNode* third = b.service();
    b.test(third, "*");
    b.test(third);
    b.test(third, "INCORRECT");
    EXPECT_EQ(rod_count_tests(b.tree.get()), 5);
    EXPECT_EQ(rod_count_valid(b.tree.get()), 3);
    EXPECT_EQ(rod_count_invalid(b.tree.get()), 2);
}

TEST(CountsTest, AServicesOwnVerdictEntersItsStatusButNotItsCounts) {
    TreeBuilder b;
    RodServiceNode* service = b.service("INCORRECT");
    b.test(service, "CORRECT");
    b.test(service, "*");
    EXPECT_EQ(rod_status(service), 0);
    EXPECT_EQ(rod_status(b.tree.get()), 0);
    EXPECT_EQ(rod_count_invalid(service), 0);
    EXPECT_EQ(rod_count_valid(service), 2);
    EXPECT_EQ(rod_count_invalid(b.tree.get()), 0);
    EXPECT_EQ(rod_count_valid(b.tree.get()), 2);
}

TEST(CountsTest, OnlyServicesAndRunsHaveCounts) {
    TreeBuilder b;
    EXPECT_EQ(rod_count_tests(b.tree.get()), 0);
    EXPECT_EQ(rod_count_valid(b.tree.get()), 0);
    EXPECT_EQ(rod_count_invalid(b.tree.get()), 0);
    RodTestNode* test = b.test(b.service(), "INCORRECT");
    RodElementNode* element = b.element(test);
    for (const RodNode* node :
         {static_cast<const RodNode*>(nullptr), static_cast<const RodNode*>(test),
          static_cast<const RodNode*>(element)}) {
        EXPECT_EQ(rod_count_tests(node), 0);
        EXPECT_EQ(rod_count_valid(node), 0);
        EXPECT_EQ(rod_count_invalid(node), 0);
    }
}

// A tree built by hand may change between two requests: every request
// walks it again.
TEST(KeptVerdictTest, TreesBuiltByHandAreWalkedOnEveryRequest) {
    TreeBuilder b;
    RodServiceNode* service = b.service();
    RodTestNode* test = b.test(service);
    RodElementNode* element = b.element(test);
    RodVariableNode* variable = b.variable(element->variables, "CORRECT");
    EXPECT_EQ(rod_status(b.tree.get()), 1);
    EXPECT_EQ(rod_status(test), 1);
    EXPECT_EQ(rod_status(element), 1);
    b.set_status(*variable, "INCORRECT");
    EXPECT_EQ(rod_status(element), 0);
    EXPECT_EQ(rod_status(test), 0);
    EXPECT_EQ(rod_count_invalid(service), 1);
    EXPECT_EQ(rod_status(b.tree.get()), 0);
}

// A read tree keeps each Test's and Element's verdict from the first request:
// whichever node is asked first, every answer is the one a walk gives.
TEST(KeptVerdictTest, ReadTreesAnswerAlikeInAnyOrder) {
    struct Case {
        const char* records;
        int run, test, element, valid, invalid;
    };
    const Case cases[] = {
        {"NS s\nNT t\nNB e\nNV v\nRV CORRECT\nRT CORRECT\n", 1, 1, 1, 1, 0},
        {"NS s\nNT t\nNB e\nNV v\nRV INCORRECT\n", 0, 0, 0, 0, 1},
        {"NS s\nNT t\nNB e\nNV v\nRV INCORRECT\nRV CORRECT\n", 1, 1, 1, 1, 0},
        {"NS s\nNT t\nNB e\nMN st\nMC c\nMP p\nRV INCORRECT\n", 0, 0, 0, 0, 1},
        {"NS s\nNT t\nNB e\nEN en\nNV v\nRV INCORRECT\n", 0, 0, 0, 0, 1},
        {"NS s\nNT t\nRT *partly\nNB e\n", 1, 2, 1, 1, 0},
        {"NS s\nNT t\nNB e\nAT boom\n", 0, 0, 1, 0, 1},
        {"NS s\nRS INCORRECT\nNT t\nNB e\n", 0, 1, 1, 1, 0},
        {"NS s\nNT t\nNB e\nNT u\nNB f\nNV v\nRV INCORRECT\n", 0, 1, 1, 1, 1},
        // Every way a KO verdict gets below an Element: an implicit Element,
        // a Stub's own verdict, a verdict text of its own, a later sibling.
        {"NS s\nNT t\nNV v\nRV INCORRECT\n", 0, 0, 0, 0, 1},
        {"NS s\nNT t\nNB e\nMN st\nRV INCORRECT\nMC c\nMP p\nRV CORRECT\n", 0, 0, 0, 0, 1},
        {"NS s\nNT t\nNB e\nEN en\nNV v\nRV Invalid\n", 0, 0, 0, 0, 1},
        {"NS s\nNT t\nNB e\nNB f\nNV v\nRV INCORRECT\n", 0, 0, 1, 0, 1},
    };
    for (const Case& c : cases) {
        for (const bool run_first : {true, false}) {
            const rodtest::Reading reading = rodtest::read_records(c.records);
            const RodNode* run = reading.tree.get();
            const RodNode* test = rod_service_tests(rod_services(run));
            const RodNode* element = rod_test_elements(test);
            for (int round = 0; round < 2; ++round) {
                if (run_first) {
                    EXPECT_EQ(rod_status(run), c.run) << c.records;
                    EXPECT_EQ(rod_count_valid(run), c.valid) << c.records;
                    EXPECT_EQ(rod_count_invalid(run), c.invalid) << c.records;
                }
                EXPECT_EQ(rod_status(element), c.element) << c.records;
                EXPECT_EQ(rod_status(test), c.test) << c.records;
                EXPECT_EQ(rod_status(run), c.run) << c.records;
                EXPECT_EQ(rod_count_valid(run), c.valid) << c.records;
                EXPECT_EQ(rod_count_invalid(run), c.invalid) << c.records;
            }
        }
    }
}

// Once asked, a read Test answers without walking its subtree again.
TEST(KeptVerdictTest, ReadTreesKeepTheFirstAnswer) {
    const rodtest::Reading reading = rodtest::read_records("NS s\nNT t\nNB e\nNV v\n");
    const RodNode* test = rod_service_tests(rod_services(reading.tree.get()));
    const RodNode* element = rod_test_elements(test);
    ASSERT_EQ(rod_status(test), 1);
    auto* variable =
        const_cast<RodVariableNode*>(rod_node_as<RodVariableNode>(rod_variables(element)));
    rod_set_variable_status(reading.tree.get(), *variable, "INCORRECT");
    EXPECT_EQ(rod_status(test), 1);
    EXPECT_EQ(rod_status(element), 1);
}

// The two usual verdict texts of a Variable are kept as flags and any other
// in its extras: each comes back byte for byte, replaces the one before, and
// only a first byte 'I' condemns the Variable.
TEST(StatusTest, VariableVerdictTextsComeBackAndJudge) {
    TreeBuilder b;
    auto* element = rod_node_as<RodElementNode>(rod_new_element(b.tree.get()));
    RodVariableNode* variable = b.variable(element->variables, nullptr);
    const std::pair<const char*, int> cases[] = {
        {"CORRECT", 1},   {"INCORRECT", 0}, {"Incorrect", 0}, {"I", 0},     {"INCORRECTLY", 0},
        {"CORRECTLY", 1}, {"", 1},          {"incorrect", 1}, {nullptr, 1}, {"CORRECT", 1},
    };
    for (const auto& [text, status] : cases) {
        SCOPED_TRACE(text ? text : "(absent)");
        b.set_status(*variable, text);
        const char* kept = rod_variable_status_text(*variable);
        if (text) {
            EXPECT_EQ(rod_text_view(kept), std::string_view(text));
        } else {
            EXPECT_EQ(kept, nullptr);
        }
        EXPECT_EQ(rod_status(variable), status);
    }
}

}  // namespace
