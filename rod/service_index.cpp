#include "rod/service_index.h"

#include "rod/nodes.h"
#include "rod/text_hash.h"

#include <limits>
#include <new>

namespace {

std::uint32_t tag_of(std::string_view name) {
    return static_cast<std::uint32_t>(rod_hash_bytes(name) >> 32);
}

}  // namespace

RodServiceNode* ServiceIndex::find(std::string_view name) const {
    if (slots_.empty()) {
        return nullptr;
    }
    const std::uint32_t tag = tag_of(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = home_of(tag);; i = (i + 1) & mask) {
        const Slot slot = slots_[i];
        if (slot.number == 0) {
            return nullptr;
        }
        if (slot.tag == tag) {
            RodServiceNode* service = services_[slot.number - 1];
            if (rod_text_view(service->name) == name) {
                return service;
            }
        }
    }
}

void ServiceIndex::insert(RodServiceNode* service) {
    if (services_.size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
        throw std::bad_alloc();
    }
    // At most three quarters full: probe runs stay within a cache line or two.
    if ((services_.size() + 1) * 4 > slots_.size() * 3) {
        grow();
    }
    services_.push_back(service);
    place({tag_of(rod_text_view(service->name)), static_cast<std::uint32_t>(services_.size())});
}

void ServiceIndex::grow() {
    if (shift_ == 0) {
        throw std::bad_alloc();  // 2^32 slots: more than numbers can tell apart
    }
    // The bigger table first: if it cannot be had, nothing has changed.
    std::vector<Slot> old_slots(slots_.empty() ? 64 : slots_.size() * 2);
    old_slots.swap(slots_);
    shift_ = old_slots.empty() ? 26 : shift_ - 1;
    for (const Slot& slot : old_slots) {
        if (slot.number != 0) {
            place(slot);
        }
    }
}

// Linear probing from the slot the tag chooses.
void ServiceIndex::place(Slot slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = home_of(slot.tag);
    while (slots_[i].number != 0) {
        i = (i + 1) & mask;
    }
    slots_[i] = slot;
}
