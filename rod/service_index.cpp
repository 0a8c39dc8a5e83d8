#include "rod/service_index.h"

#include "rod/nodes.h"
#include "rod/text_hash.h"

RodServiceNode* ServiceIndex::find(std::string_view name) const {
    if (slots_.empty()) {
        return nullptr;
    }
    const std::uint64_t hash = rod_hash_bytes(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (!slot.service) {
            return nullptr;
        }
        if (slot.hash == hash && rod_text_view(slot.service->name) == name) {
            return slot.service;
        }
    }
}

void ServiceIndex::insert(RodServiceNode* service) {
    if ((used_ + 1) * 2 > slots_.size()) {
        grow();
    }
    place(slots_, {rod_hash_bytes(rod_text_view(service->name)), service});
    ++used_;
}

void ServiceIndex::grow() {
    std::vector<Slot> bigger(slots_.empty() ? 64 : slots_.size() * 2);
    for (const Slot& slot : slots_) {
        if (slot.service) {
            place(bigger, slot);
        }
    }
    slots_.swap(bigger);
}

// Linear probing: the table stays at most half full, so runs stay short.
void ServiceIndex::place(std::vector<Slot>& slots, Slot slot) {
    const std::size_t mask = slots.size() - 1;
    std::size_t i = slot.hash & mask;
    while (slots[i].service) {
        i = (i + 1) & mask;
    }
    slots[i] = slot;
}
