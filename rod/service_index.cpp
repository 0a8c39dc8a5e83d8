#include "rod/service_index.h"

#include "rod/nodes.h"
#include "rod/text_hash.h"

#include <limits>
#include <new>

namespace {

// The low bits of the hash choose the slot, the high bits make the tag.
std::uint32_t tag_of(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32);
}

}  // namespace

RodServiceNode* ServiceIndex::find(std::string_view name) const {
    if (slots_.empty()) {
        return nullptr;
    }
    const std::uint64_t hash = rod_hash_bytes(name);
    const std::uint32_t tag = tag_of(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot slot = slots_[i];
        if (slot.number == 0) {
            return nullptr;
        }
        if (slot.tag == tag) {
            RodServiceNode* service = services_[slot.number - 1].service;
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
    const std::uint64_t hash = rod_hash_bytes(rod_text_view(service->name));
    services_.push_back({hash, service});
    place(slots_, hash, static_cast<std::uint32_t>(services_.size()));
}

void ServiceIndex::grow() {
    std::vector<Slot> bigger(slots_.empty() ? 64 : slots_.size() * 2);
    for (std::size_t number = 1; number <= services_.size(); ++number) {
        place(bigger, services_[number - 1].hash, static_cast<std::uint32_t>(number));
    }
    slots_.swap(bigger);
}

// Linear probing from the slot the hash chooses.
void ServiceIndex::place(std::vector<Slot>& slots, std::uint64_t hash, std::uint32_t number) {
    const std::size_t mask = slots.size() - 1;
    std::size_t i = hash & mask;
    while (slots[i].number != 0) {
        i = (i + 1) & mask;
    }
    slots[i] = {tag_of(hash), number};
}
