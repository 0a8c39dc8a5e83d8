#pragma once
// Helpers of the report tests: result trees built by hand, and whole
// documents written into memory.

#include "i18n/local8bit.h"
#include "report/report_writer.h"
#include "report/run_options.h"
#include "report/section_writers.h"
#include "rod/nodes.h"
#include "tests/support/scoped_state.h"
#include "xml/xml_stream.h"

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rtest {

// A tree under construction; nodes are linked in the order they are made.
class TreeBuilder {
  public:
    TreeBuilder() : tree_(rod_new_run("suite.rod")) {}

    RodNode* run_node() { return tree_.get(); }
    RodRunNode& run() { return *rod_node_as<RodRunNode>(tree_.get()); }

    const char* text(std::string_view bytes) { return rod_store_text(tree_.get(), bytes); }

    RodNoteNode* note(RodList& list, char letter, std::optional<std::string_view> text) {
        auto* note = rod_node_as<RodNoteNode>(rod_new_note(tree_.get()));
        note->letter = letter;
        note->text = text ? this->text(*text) : nullptr;
        rod_list_append(list, note);
        return note;
    }

    RodServiceNode* service(std::string_view name, std::string_view type) {
        auto* service = rod_node_as<RodServiceNode>(rod_new_service(tree_.get()));
        service->name = text(name);
        service->type = text(type);
        rod_list_append(run().services, service);
        return service;
    }

    RodTestNode* test(RodServiceNode* service, std::string_view name) {
        auto* test = rod_node_as<RodTestNode>(rod_new_test(tree_.get()));
        test->name = text(name);
        rod_list_append(service->tests, test);
        return test;
    }

    RodElementNode* element(RodTestNode* test, std::string_view name) {
        auto* element = rod_node_as<RodElementNode>(rod_new_element(tree_.get()));
        element->name = text(name);
        rod_list_append(test->elements, element);
        return element;
    }

    // Makes element KO through a failed variable.
    void fail(RodElementNode* element) {
        auto* variable = rod_node_as<RodVariableNode>(rod_new_variable(tree_.get()));
        rod_set_variable_status(tree_.get(), *variable, "INCORRECT");
        rod_list_append(element->variables, variable);
    }

  private:
    RodTree tree_;
};

// The whole document, as the report writer puts it together, without echo.
inline std::string write_document(const RodNode* run, const RunOptions& options = {}) {
    XmlStream out;
    xrd_document_write(out, run, options, nullptr);
    return out.text();
}

}  // namespace rtest
