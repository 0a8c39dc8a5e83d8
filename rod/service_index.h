#pragma once
// The first Service of each name, for the duplicate lookup of NS records.
//
// An open-addressing table of node pointers with their hashes: a campaign
// may declare hundreds of thousands of services, and a node-based map would
// allocate (and later free) one block per name and miss the cache on every
// probe. Names are not copied; they are the Services' own texts, which live
// as long as the tree.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct RodServiceNode;

class ServiceIndex {
  public:
    // The Service recorded under name, or null.
    RodServiceNode* find(std::string_view name) const;
    // Records service under its name, which must not be recorded yet and
    // must not be null. Throws std::bad_alloc when the table cannot grow.
    void insert(RodServiceNode* service);
    std::size_t size() const { return used_; }

  private:
    struct Slot {
        std::uint64_t hash = 0;
        RodServiceNode* service = nullptr;  // null: a free slot
    };
    void grow();
    static void place(std::vector<Slot>& slots, Slot slot);

    std::vector<Slot> slots_;  // a power of two in size, at most half full
    std::size_t used_ = 0;
};
