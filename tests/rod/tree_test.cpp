#include "rod/nodes.h"
#include "tests/rod/reader_testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

template <typename T>
T* as(RodNode* node) {
    T* typed = rod_node_as<T>(node);
    EXPECT_NE(typed, nullptr);
    return typed;
}

RodRunNode* run_of(const RodTree& tree) {
    return as<RodRunNode>(tree.get());
}

constexpr NodeKind kAllKinds[] = {
    NodeKind::Note,        NodeKind::Variable, NodeKind::StubCall, NodeKind::Stub,
    NodeKind::Environment, NodeKind::Element,  NodeKind::Test,     NodeKind::Service,
    NodeKind::AuxEntry,    NodeKind::Run,
};

int number(NodeKind kind) {
    return static_cast<int>(kind);
}

// One node of every kind, each with every field an accessor reads filled in,
// so that a null answer can only come from the kind check.
struct FullTree {
    RodTree tree{rod_new_run("suite.rod")};
    std::map<NodeKind, RodNode*> nodes;

    FullTree() {
        RodNode* run = tree.get();
        auto text = [&](const char* value) { return rod_store_text(run, value); };
        auto note = [&] {
            auto* node = as<RodNoteNode>(rod_new_note(run));
            node->text = text("note");
            node->letter = 'C';
            return node;
        };
        auto list = [&](RodNode* first) {
            RodList result;
            rod_list_append(result, first);
            return result;
        };
        // node followed by next in a list of their own, so that rod_next has
        // a node to answer.
        auto follow = [&](RodNode* node, RodNode* next) {
            RodList pair;
            rod_list_append(pair, node);
            rod_list_append(pair, next);
        };

        auto* note_node = note();
        follow(note_node, note());
        nodes[NodeKind::Note] = note_node;

        auto* variable = as<RodVariableNode>(rod_new_variable(run));
        variable->name = text("v");
        follow(variable, rod_new_variable(run));
        rod_variable_extras(run, variable)->notes = list(note());
        nodes[NodeKind::Variable] = variable;

        auto* call = as<RodStubCallNode>(rod_new_stub_call(run));
        call->name = text("call");
        follow(call, rod_new_stub_call(run));
        call->variables = list(rod_new_variable(run));
        nodes[NodeKind::StubCall] = call;

        auto* stub = as<RodStubNode>(rod_new_stub(run));
        stub->name = text("stub");
        follow(stub, rod_new_stub(run));
        stub->calls = list(rod_new_stub_call(run));
        nodes[NodeKind::Stub] = stub;

        auto* environment = as<RodEnvironmentNode>(rod_new_environment(run));
        environment->name = text("env");
        follow(environment, rod_new_environment(run));
        environment->variables = list(rod_new_variable(run));
        nodes[NodeKind::Environment] = environment;

        auto* element = as<RodElementNode>(rod_new_named_element(run, "element"));
        follow(element, rod_new_element(run));
        element->notes = list(note());
        element->variables = list(rod_new_variable(run));
        element->environments = list(rod_new_environment(run));
        element->stubs = list(rod_new_stub(run));
        nodes[NodeKind::Element] = element;

        auto* test = as<RodTestNode>(rod_new_test(run));
        test->name = text("test");
        follow(test, rod_new_test(run));
        test->notes = list(note());
        test->coverage_notes = list(note());
        rod_test_extras(run, test)->test_abort_cause = text("cause");
        rod_test_extras(run, test)->service_abort_cause = text("");
        test->elements = list(rod_new_element(run));
        nodes[NodeKind::Test] = test;

        auto* service = as<RodServiceNode>(rod_new_service(run));
        service->name = text("service");
        follow(service, rod_new_service(run));
        service->notes = list(note());
        service->coverage_notes = list(note());
        service->type = text("type");
        service->tests = list(rod_new_test(run));
        nodes[NodeKind::Service] = service;

        auto* aux = as<RodAuxEntryNode>(rod_new_aux_entry(run));
        aux->name = text("aux");
        follow(aux, rod_new_aux_entry(run));
        nodes[NodeKind::AuxEntry] = aux;

        auto* root = run_of(tree);
        root->report_name = text("report");
        root->notes = list(note());
        root->coverage_notes = list(note());
        root->services = list(rod_new_service(run));
        for (auto field :
             {&RodRunNode::version, &RodRunNode::src_file_name, &RodRunNode::src_version,
              &RodRunNode::ptu_file_name, &RodRunNode::ptu_version, &RodRunNode::tool_version,
              &RodRunNode::target, &RodRunNode::prepro_date, &RodRunNode::run_date,
              &RodRunNode::postpro_date}) {
            root->*field = text("run field");
        }
        root->file_table[0] = text("suite.ptu");
        nodes[NodeKind::Run] = run;
    }
};

using Accessor = const void* (*)(const RodNode*);

struct AccessorCase {
    const char* name;
    Accessor accessor;
    std::vector<NodeKind> accepted;
};

#define ACCESSOR(f) #f, [](const RodNode* n) -> const void* { return f(n); }

std::vector<AccessorCase> accessor_cases() {
    const std::vector<NodeKind> run{NodeKind::Run};
    return {
        {ACCESSOR(rod_name),
         {NodeKind::Note, NodeKind::Variable, NodeKind::StubCall, NodeKind::Stub,
          NodeKind::Environment, NodeKind::Element, NodeKind::Test, NodeKind::Service,
          NodeKind::AuxEntry, NodeKind::Run}},
        {ACCESSOR(rod_next),
         {NodeKind::Note, NodeKind::Variable, NodeKind::StubCall, NodeKind::Stub,
          NodeKind::Environment, NodeKind::Element, NodeKind::Test, NodeKind::Service,
          NodeKind::AuxEntry}},
        {ACCESSOR(rod_notes),
         {NodeKind::Variable, NodeKind::Element, NodeKind::Test, NodeKind::Service, NodeKind::Run}},
        {ACCESSOR(rod_coverage_notes), {NodeKind::Test, NodeKind::Service, NodeKind::Run}},
        {ACCESSOR(rod_note_text), {NodeKind::Note}},
        {ACCESSOR(rod_variables), {NodeKind::StubCall, NodeKind::Environment, NodeKind::Element}},
        {ACCESSOR(rod_stub_calls), {NodeKind::Stub}},
        {ACCESSOR(rod_element_environments), {NodeKind::Element}},
        {ACCESSOR(rod_test_elements), {NodeKind::Test}},
        {ACCESSOR(rod_service_tests), {NodeKind::Service}},
        {ACCESSOR(rod_service_type), {NodeKind::Service}},
        {ACCESSOR(rod_test_abort_cause), {NodeKind::Test}},
        {ACCESSOR(rod_service_abort_cause), {NodeKind::Test}},
        {ACCESSOR(rod_services), run},
        {ACCESSOR(rod_version), run},
        {ACCESSOR(rod_src_file_name), run},
        {ACCESSOR(rod_src_version), run},
        {ACCESSOR(rod_ptu_file_name), run},
        {ACCESSOR(rod_ptu_version), run},
        {ACCESSOR(rod_tool_version), run},
        {ACCESSOR(rod_target), run},
        {ACCESSOR(rod_prepro_date), run},
        {ACCESSOR(rod_run_date), run},
        {ACCESSOR(rod_postpro_date), run},
        {ACCESSOR(rod_testsuite_path), run},
    };
}

#undef ACCESSOR

TEST(TreeAccessorTest, EachAccessorAnswersOnlyForItsKinds) {
    FullTree full;
    for (const AccessorCase& each : accessor_cases()) {
        for (const NodeKind kind : kAllKinds) {
            const bool accepted =
                std::find(each.accepted.begin(), each.accepted.end(), kind) != each.accepted.end();
            EXPECT_EQ(each.accessor(full.nodes[kind]) != nullptr, accepted)
                << each.name << " on kind " << number(kind);
        }
        EXPECT_EQ(each.accessor(nullptr), nullptr) << each.name << " on a null handle";
    }
    EXPECT_EQ(rod_note_letter(full.nodes[NodeKind::Note]), 'C');
    for (const NodeKind kind : kAllKinds) {
        if (kind != NodeKind::Note) {
            EXPECT_EQ(rod_note_letter(full.nodes[kind]), '\0') << "kind " << number(kind);
        }
    }
    EXPECT_EQ(rod_note_letter(nullptr), '\0');
}

TEST(TreeAccessorTest, KindOfEachNode) {
    FullTree full;
    for (const NodeKind kind : kAllKinds) {
        EXPECT_EQ(rod_kind(full.nodes[kind]), kind);
    }
    EXPECT_EQ(number(rod_kind(nullptr)), 0);
}

TEST(TreeAccessorTest, UnknownKindValuesGetNoAnswer) {
    FullTree full;
    // A node whose tag went wrong must not be read as any layout.
    RodNode* node = full.nodes[NodeKind::Test];
    for (int kind : {0, 11, -1}) {
        node->kind = static_cast<NodeKind>(kind);
        for (const AccessorCase& each : accessor_cases()) {
            EXPECT_EQ(each.accessor(node), nullptr) << each.name << " on kind " << kind;
        }
    }
    node->kind = NodeKind::Test;
}

TEST(TreeAccessorTest, NameOfARunIsItsReportNameAndOfANoteItsText) {
    FullTree full;
    EXPECT_STREQ(rod_name(full.nodes[NodeKind::Run]), "report");
    EXPECT_EQ(rod_name(full.nodes[NodeKind::Note]), rod_note_text(full.nodes[NodeKind::Note]));
    EXPECT_STREQ(rod_name(full.nodes[NodeKind::Note]), "note");
    EXPECT_STREQ(rod_name(full.nodes[NodeKind::Element]), "element");
}

TEST(TreeAccessorTest, ListsAreTheNodesOwn) {
    FullTree full;
    EXPECT_EQ(rod_variables(full.nodes[NodeKind::StubCall]),
              rod_list_first(as<RodStubCallNode>(full.nodes[NodeKind::StubCall])->variables));
    EXPECT_EQ(rod_variables(full.nodes[NodeKind::Environment]),
              rod_list_first(as<RodEnvironmentNode>(full.nodes[NodeKind::Environment])->variables));
    EXPECT_EQ(rod_variables(full.nodes[NodeKind::Element]),
              rod_list_first(as<RodElementNode>(full.nodes[NodeKind::Element])->variables));
    EXPECT_EQ(rod_notes(full.nodes[NodeKind::Variable]),
              rod_list_first(
                  rod_variable_extras_if_made(*as<RodVariableNode>(full.nodes[NodeKind::Variable]))
                      ->notes));
    EXPECT_EQ(rod_element_environments(full.nodes[NodeKind::Element]),
              rod_list_first(as<RodElementNode>(full.nodes[NodeKind::Element])->environments));
    EXPECT_EQ(rod_coverage_notes(full.nodes[NodeKind::Service]),
              rod_list_first(as<RodServiceNode>(full.nodes[NodeKind::Service])->coverage_notes));
    EXPECT_NE(rod_coverage_notes(full.nodes[NodeKind::Service]),
              rod_notes(full.nodes[NodeKind::Service]));
}

TEST(TreeAccessorTest, ListsKeepTheirOrder) {
    RodTree tree(rod_new_run("a.rod"));
    RodNode* run = tree.get();
    std::vector<const RodNode*> appended;
    for (int i = 0; i < 3; ++i) {
        RodNode* service = rod_new_service(run);
        rod_list_append(run_of(tree)->services, service);
        appended.push_back(service);
    }
    std::vector<const RodNode*> walked;
    for (const RodNode* node = rod_services(run); node; node = rod_next(node)) {
        walked.push_back(node);
    }
    EXPECT_EQ(walked, appended);
}

TEST(TreeAccessorTest, TestsuitePathIsFileNumberZeroOnly) {
    RodTree tree(rod_new_run("a.rod"));
    RodRunNode* run = run_of(tree);
    EXPECT_EQ(rod_testsuite_path(run), nullptr);
    run->file_table[1] = rod_store_text(run, "one.ptu");
    run->file_table[7] = rod_store_text(run, "seven.ptu");
    EXPECT_EQ(rod_testsuite_path(run), nullptr);
    run->file_table[0] = rod_store_text(run, "suite.ptu");
    EXPECT_STREQ(rod_testsuite_path(run), "suite.ptu");
}

TEST(TreeConstructionTest, NewNodesAreEmpty) {
    RodTree tree(rod_new_run("dir/a.rod"));
    RodNode* run = tree.get();
    EXPECT_STREQ(run_of(tree)->rod_path, "dir/a.rod");
    EXPECT_EQ(rod_name(run), nullptr);
    EXPECT_EQ(rod_services(run), nullptr);
    EXPECT_EQ(rod_postpro_date(run), nullptr);
    EXPECT_EQ(rod_next(run), nullptr);

    const auto* test = as<RodTestNode>(rod_new_test(run));
    EXPECT_EQ(test->link, nullptr);
    EXPECT_EQ(test->name, nullptr);
    EXPECT_EQ(test->line, 0);
    EXPECT_EQ(test->file, nullptr);
    EXPECT_EQ(test->extras, nullptr);
    EXPECT_EQ(rod_test_abort_cause(test), nullptr);
    EXPECT_EQ(rod_service_abort_cause(test), nullptr);
    EXPECT_EQ(test->elements.last, nullptr);
    const auto* service = as<RodServiceNode>(rod_new_service(run));
    EXPECT_EQ(service->extras, nullptr);
    EXPECT_EQ(service->tests.last, nullptr);
    const auto* variable = as<RodVariableNode>(rod_new_variable(run));
    EXPECT_EQ(variable->flags, 0);
    EXPECT_EQ(rod_variable_extras_if_made(*variable), nullptr);
    EXPECT_EQ(rod_variable_status_text(*variable), nullptr);
    EXPECT_EQ(rod_note_letter(rod_new_note(run)), '\0');
    EXPECT_EQ(rod_name(rod_new_element(run)), nullptr);
}

TEST(TreeConstructionTest, VariableExtrasAreMadeOnceInTheRun) {
    RodTree tree(rod_new_run("a.rod"));
    RodNode* run = tree.get();
    auto* variable = as<RodVariableNode>(rod_new_variable(run));
    EXPECT_EQ(rod_variable_extras(rod_new_service(run), variable), nullptr);
    EXPECT_EQ(rod_variable_extras(nullptr, variable), nullptr);
    EXPECT_EQ(rod_variable_extras_if_made(*variable), nullptr);
    EXPECT_EQ(rod_variable_extras(run, nullptr), nullptr);

    RodVariableExtras* extras = rod_variable_extras(run, variable);
    ASSERT_NE(extras, nullptr);
    EXPECT_EQ(rod_variable_extras_if_made(*variable), extras);
    EXPECT_FALSE(rod_value_text_view(extras->v1_text));
    EXPECT_FALSE(rod_value_text_view(extras->v2_text));
    EXPECT_EQ(rod_notes(variable), nullptr);
    EXPECT_EQ(rod_variable_extras(run, variable), extras);

    RodNode* note = rod_new_note(run);
    rod_list_append(extras->notes, note);
    EXPECT_EQ(rod_notes(variable), note);
}

TEST(TreeConstructionTest, TestAndServiceExtrasAreMadeOnceInTheRun) {
    RodTree tree(rod_new_run("a.rod"));
    RodNode* run = tree.get();
    auto* test = as<RodTestNode>(rod_new_test(run));
    auto* service = as<RodServiceNode>(rod_new_service(run));
    for (RodNode* owner : {static_cast<RodNode*>(nullptr), static_cast<RodNode*>(service)}) {
        EXPECT_EQ(rod_test_extras(owner, test), nullptr);
        EXPECT_EQ(rod_service_extras(owner, service), nullptr);
    }
    EXPECT_EQ(test->extras, nullptr);
    EXPECT_EQ(service->extras, nullptr);
    EXPECT_EQ(rod_test_extras(run, nullptr), nullptr);
    EXPECT_EQ(rod_service_extras(run, nullptr), nullptr);

    RodTestExtras* test_extras = rod_test_extras(run, test);
    ASSERT_NE(test_extras, nullptr);
    EXPECT_EQ(test->extras, test_extras);
    for (auto text : {&RodTestExtras::ft_text, &RodTestExtras::test_abort_cause,
                      &RodTestExtras::service_abort_cause, &RodTestExtras::dt_text,
                      &RodTestExtras::vi_text, &RodTestExtras::ei_text, &RodTestExtras::ic_text}) {
        EXPECT_EQ(test_extras->*text, nullptr);
    }
    EXPECT_EQ(rod_test_abort_cause(test), nullptr);
    EXPECT_EQ(rod_test_extras(run, test), test_extras);
    test_extras->service_abort_cause = rod_store_text(run, "cause");
    EXPECT_EQ(rod_service_abort_cause(test), test_extras->service_abort_cause);

    RodServiceExtras* service_extras = rod_service_extras(run, service);
    ASSERT_NE(service_extras, nullptr);
    EXPECT_EQ(service->extras, service_extras);
    for (auto text :
         {&RodServiceExtras::te_text, &RodServiceExtras::tv_text, &RodServiceExtras::tc_text,
          &RodServiceExtras::ti_text, &RodServiceExtras::li_text}) {
        EXPECT_EQ(service_extras->*text, nullptr);
    }
    EXPECT_EQ(service_extras->li_capacity, 0u);
    EXPECT_EQ(service_extras->tf_notes.last, nullptr);
    RodList* tf_tail = &service_extras->tf_notes;
    EXPECT_EQ(rod_service_extras(run, service), service_extras);
    EXPECT_EQ(&rod_service_extras(run, service)->tf_notes, tf_tail);
}

TEST(TreeConstructionTest, OnlyTheRecordsThatFillExtrasMakeThem) {
    // Records with nothing open come first; texts left absent must not make
    // extras either.
    const rodtest::Reading reading = rodtest::read_records(
        "FT lost\nDT lost\nVI\nLI lost\nTF lost\nAT lost\nTE run\n"
        "NS plain\nTS unit\nRS CORRECT\nKL k\nRQ r\n"
        "NT plain\nRT CORRECT\nKL k\nNB e\nNV v\nVA 1\n"
        "NT absent\nFT\nDT\nEI\nIC\nVI\n"
        "NS absent\nTE\nTV\nTC\nTI\nLI\n"
        "NS te\nTE x\nNT ft\nFT x\n"
        "NS tf\nTF x\n"
        "NS li\nLI x\n"
        "NS aborted\nNT at\nAT\n");
    std::map<std::string, const RodServiceNode*> services;
    std::map<std::string, const RodTestNode*> tests;
    for (const RodNode* s = rod_services(reading.tree.get()); s; s = rod_next(s)) {
        services[rod_name(s)] = rod_node_as<RodServiceNode>(s);
        for (const RodNode* t = rod_service_tests(s); t; t = rod_next(t)) {
            tests[rod_name(t)] = rod_node_as<RodTestNode>(t);
        }
    }
    ASSERT_EQ(services.size(), 6u);
    ASSERT_EQ(tests.size(), 4u);
    for (const char* name : {"plain", "absent", "aborted"}) {
        EXPECT_EQ(services[name]->extras, nullptr) << name;
    }
    for (const char* name : {"te", "tf", "li"}) {
        EXPECT_NE(services[name]->extras, nullptr) << name;
    }
    EXPECT_EQ(tests["plain"]->extras, nullptr);
    EXPECT_EQ(tests["absent"]->extras, nullptr);
    ASSERT_NE(tests["ft"]->extras, nullptr);
    EXPECT_STREQ(tests["ft"]->extras->ft_text, "x");
    ASSERT_NE(tests["at"]->extras, nullptr);
    EXPECT_STREQ(rod_test_abort_cause(tests["at"]), "");
}

TEST(TreeConstructionTest, ArgumentsAreCopied) {
    std::string path = "a.rod";
    std::string name = "sql table";
    RodTree tree(rod_new_run(path.c_str()));
    const RodNode* element = rod_new_named_element(tree.get(), name.c_str());
    path = "XXXXX";
    name = "XXXXXXXXX";
    EXPECT_STREQ(run_of(tree)->rod_path, "a.rod");
    EXPECT_STREQ(rod_name(element), "sql table");
}

TEST(TreeConstructionTest, NodesAreMadeOnlyInARun) {
    RodTree tree(rod_new_run("a.rod"));
    RodNode* service = rod_new_service(tree.get());
    for (RodNode* owner : {static_cast<RodNode*>(nullptr), service}) {
        EXPECT_EQ(rod_new_note(owner), nullptr);
        EXPECT_EQ(rod_new_variable(owner), nullptr);
        EXPECT_EQ(rod_new_stub_call(owner), nullptr);
        EXPECT_EQ(rod_new_stub(owner), nullptr);
        EXPECT_EQ(rod_new_environment(owner), nullptr);
        EXPECT_EQ(rod_new_element(owner), nullptr);
        EXPECT_EQ(rod_new_named_element(owner, "x"), nullptr);
        EXPECT_EQ(rod_new_test(owner), nullptr);
        EXPECT_EQ(rod_new_service(owner), nullptr);
        EXPECT_EQ(rod_new_aux_entry(owner), nullptr);
        EXPECT_EQ(rod_store_text(owner, "x"), nullptr);
    }
}

TEST(TreeTextTest, AbsentAndEmptyDiffer) {
    RodTree tree(rod_new_run("a.rod"));
    const char* empty = rod_store_text(tree.get(), "");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(rod_text_view(empty), "");
    EXPECT_NE(rod_text_view(empty).data(), nullptr);
    EXPECT_EQ(rod_text_view(nullptr).data(), nullptr);
}

TEST(TreeTextTest, TextsKeepZeroBytesAndAreTerminated) {
    RodTree tree(rod_new_run("a.rod"));
    const std::string_view bytes("a\0b\xFF", 4);
    const char* text = rod_store_text(tree.get(), bytes);
    EXPECT_EQ(rod_text_view(text), bytes);
    EXPECT_EQ(text[4], '\0');
    EXPECT_STREQ(text, "a");
}

TEST(TreeTextTest, LongTextsAndManyTexts) {
    RodTree tree(rod_new_run("a.rod"));
    // Longer than one arena chunk, and many small ones across chunk ends.
    const std::string long_text(300 * 1024, 'x');
    const char* stored = rod_store_text(tree.get(), long_text);
    std::vector<const char*> small;
    for (int i = 0; i < 50000; ++i) {
        small.push_back(rod_store_text(tree.get(), std::to_string(i)));
    }
    EXPECT_EQ(rod_text_view(stored), long_text);
    for (int i = 0; i < 50000; ++i) {
        ASSERT_EQ(rod_text_view(small[i]), std::to_string(i));
    }
}

// Under AddressSanitizer or valgrind these also show that a tree is released
// whole and exactly once.
TEST(TreeReleaseTest, SharedFileNamesAreReleasedWithTheTree) {
    RodNode* run = rod_new_run("a.rod");
    auto* root = as<RodRunNode>(run);
    root->file_table[3] = rod_store_text(run, "common.ptu");
    auto* service = as<RodServiceNode>(rod_new_service(run));
    auto* test = as<RodTestNode>(rod_new_test(run));
    service->line = 10;
    service->file = root->file_table[3];
    test->line = 12;
    test->file = root->file_table[3];
    rod_list_append(service->tests, test);
    rod_list_append(root->services, service);
    EXPECT_EQ(service->file, test->file);
    rod_free(run);
}

TEST(TreeReleaseTest, OnlyARunReleasesAnything) {
    RodTree tree(rod_new_run("a.rod"));
    RodNode* service = rod_new_service(tree.get());
    as<RodServiceNode>(service)->name = rod_store_text(tree.get(), "kept");
    rod_list_append(run_of(tree)->services, service);
    rod_free(service);
    rod_free(rod_new_note(tree.get()));
    rod_free(nullptr);
    EXPECT_EQ(rod_kind(service), NodeKind::Service);
    EXPECT_STREQ(rod_name(rod_services(tree.get())), "kept");
}

// A list is kept as its last node, whose link leads back to the first: the
// order of appending and of splicing must come out of rod_next, which ends
// at the last node.
TEST(TreeListTest, AppendAndSpliceKeepTheOrder) {
    RodTree tree(rod_new_run("suite.rod"));
    auto names = [](const RodList& list) {
        std::string out;
        for (const RodNode* node = rod_list_first(list); node; node = rod_next(node)) {
            out += rod_name(node);
        }
        return out;
    };
    auto append = [&](RodList& list, const char* name) {
        RodNode* node = rod_new_named_element(tree.get(), name);
        rod_list_append(list, node);
    };
    RodList list;
    RodList other;
    rod_list_splice(list, other);
    EXPECT_EQ(rod_list_first(list), nullptr);
    append(other, "a");
    rod_list_splice(list, other);  // into an empty list
    EXPECT_EQ(other.last, nullptr);
    append(list, "b");
    append(list, "c");
    append(other, "d");
    append(other, "e");
    rod_list_splice(list, other);
    rod_list_splice(list, other);  // an empty one changes nothing
    EXPECT_EQ(names(list), "abcde");
    append(list, "f");
    EXPECT_EQ(names(list), "abcdef");
    EXPECT_EQ(rod_next(list.last), nullptr);
}

}  // namespace
