#pragma once
// The first Service of each name, for the duplicate lookup of NS records.
//
// An open-addressing table: a campaign may declare hundreds of thousands of
// services, and a node-based map would allocate (and later free) one block
// per name and miss the cache on every probe. A slot is eight bytes, a tag
// from the name's hash and the Service's number, so that the table stays
// small and a probe rarely has to look at a name. The tag's high bits also
// choose the slot, so the table grows by reading its slots in order and
// writing them nearly in order, without hashing or reading any name again.
// Names are not copied; they are the Services' own texts, which live as long
// as the tree.

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
    std::size_t size() const { return services_.size(); }

  private:
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t number = 0;  // 1 + index in services_; 0: a free slot
    };
    void grow();
    std::size_t home_of(std::uint32_t tag) const { return tag >> shift_; }
    void place(Slot slot);

    std::vector<RodServiceNode*> services_;  // in the order recorded
    std::vector<Slot> slots_;                // 2^(32 - shift_) of them, or none
    unsigned shift_ = 32;
};
