#include "rod/service_index.h"
#include "rod/nodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

RodServiceNode* named_service(RodNode* run, std::string_view name) {
    auto* service = rod_node_as<RodServiceNode>(rod_new_service(run));
    service->name = rod_store_text(run, name);
    return service;
}

// Enough names to make the table grow many times, with names that differ
// only in their last byte, only past the first eight bytes, by a zero byte,
// or by length alone: each is a way for hashing or comparing to conflate two.
TEST(ServiceIndex, FindsEveryRecordedNameAndNothingElse) {
    RodTree tree(rod_new_run("suite.rod"));
    ServiceIndex index;
    std::vector<std::pair<std::string, RodServiceNode*>> recorded;
    for (int i = 0; i < 5000; ++i) {
        recorded.emplace_back("flight_ctrl_service_" + std::to_string(i), nullptr);
    }
    recorded.emplace_back(std::string("nul\0a", 5), nullptr);
    recorded.emplace_back(std::string("nul\0b", 5), nullptr);
    recorded.emplace_back("", nullptr);
    recorded.emplace_back("same_prefix_", nullptr);
    recorded.emplace_back("same_prefix_x", nullptr);
    for (auto& [name, service] : recorded) {
        service = named_service(tree.get(), name);
        index.insert(service);
    }
    EXPECT_EQ(index.size(), recorded.size());
    for (const auto& [name, service] : recorded) {
        EXPECT_EQ(index.find(name), service) << name;
    }
    for (const char* absent : {"flight_ctrl_service_5000", "flight_ctrl_service_", "nul",
                               "same_prefix", "same_prefix_xy", "x"}) {
        EXPECT_EQ(index.find(absent), nullptr) << absent;
    }
    EXPECT_EQ(index.find(std::string("nul\0c", 5)), nullptr);
}

TEST(ServiceIndex, EmptyIndexFindsNothing) {
    const ServiceIndex index;
    EXPECT_EQ(index.find(""), nullptr);
    EXPECT_EQ(index.find("service"), nullptr);
    EXPECT_EQ(index.size(), 0u);
}

}  // namespace
