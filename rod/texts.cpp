// Texts of a tree: storage in the Run's arena with the length in front, the
// sharing of equal short texts, and the growable LI text.
#include "rod/nodes.h"
#include "rod/text_hash.h"

#include <cstring>
#include <limits>
#include <new>

namespace {

// A text is stored as its length, the bytes and a terminating zero; the text
// pointer points at the bytes, so texts holding zero bytes keep their full
// extent and still pass as C strings. The length takes four bytes, with no
// alignment; a text of 4 GiB or more has the marker there and its length in
// the eight bytes before it. Texts start at even addresses, which a value
// text (RodValueText) relies on to tell a pointer from a text in place.
constexpr std::uint32_t kLongTextMarker = kRodLongTextMarker;

const char* copy_text(RodArena& arena, std::string_view bytes) {
    const std::size_t size = bytes.size();
    const bool long_text = size >= kLongTextMarker;
    const std::size_t prefix =
        long_text ? sizeof(std::uint64_t) + sizeof(std::uint32_t) : sizeof(std::uint32_t);
    if (size > std::numeric_limits<std::size_t>::max() - prefix - 1) {
        return nullptr;
    }
    auto* block = static_cast<char*>(arena.allocate(prefix + size + 1, 2));
    if (long_text) {
        const std::uint64_t size64 = size;
        std::memcpy(block, &size64, sizeof size64);
        std::memcpy(block + sizeof size64, &kLongTextMarker, sizeof kLongTextMarker);
    } else {
        const auto size32 = static_cast<std::uint32_t>(size);
        std::memcpy(block, &size32, sizeof size32);
    }
    char* text = block + prefix;
    if (size != 0) {
        std::memcpy(text, bytes.data(), size);
    }
    text[size] = '\0';
    return text;
}

std::uint64_t load_bytes(const char* bytes, std::size_t count) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, count);  // count is a constant at every call
    return word;
}

// What identifies a text in the sharing table. A text of up to 16 bytes is
// its own key, packed into the two words, so that a match needs no look at
// the stored copy (which may lie anywhere in the arena, far from the cache).
// A longer one keys on its hash, and a match is confirmed on the bytes.
struct TextKey {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    bool exact = false;
};

TextKey text_key(std::string_view bytes) {
    const std::size_t n = bytes.size();
    const char* data = bytes.data();
    if (n <= 8) {
        return {rod_load_up_to_8(data, n), 0, true};
    }
    if (n <= 16) {
        return {load_bytes(data, 8), load_bytes(data + n - 8, 8) >> (8 * (16 - n)), true};
    }
    return {rod_hash_bytes(bytes), 0, false};
}

std::size_t slot_of(const TextKey& key, std::size_t length) {
    if (!key.exact) {
        // A hash, already mixed, that took the length in.
        return static_cast<std::size_t>(key.low >> 20) & (RodRunNode::kRecentTextSlots - 1);
    }
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
    std::uint64_t hash = (key.low ^ (length * kMultiplier)) * kMultiplier;
    hash = (hash ^ (hash >> 29) ^ key.high) * kMultiplier;
    hash ^= hash >> 32;
    return static_cast<std::size_t>(hash) & (RodRunNode::kRecentTextSlots - 1);
}

// The slot of the sharing table where bytes, a short text, is looked for and
// recorded.
RodRunNode::RecentText& recent_slot(RodRunNode& owner, std::string_view bytes, TextKey& key) {
    key = text_key(bytes);
    return owner.recent_texts[slot_of(key, bytes.size())];
}

bool holds(const RodRunNode::RecentText& recent, const TextKey& key, std::string_view bytes) {
    return recent.text && recent.length == bytes.size() && recent.low == key.low &&
           recent.high == key.high &&
           (key.exact || std::memcmp(recent.text, bytes.data(), bytes.size()) == 0);
}

}  // namespace

const char* rod_store_text(RodNode* run, std::string_view bytes) {
    auto* owner = rod_node_as<RodRunNode>(run);
    if (!owner) {
        return nullptr;
    }
    try {
        if (bytes.size() > RodRunNode::kShortTextSize) {
            return copy_text(owner->arena, bytes);
        }
        // Short texts repeat a great deal in a campaign (verdicts, small
        // values, variable names): the last text stored under each slot is
        // reused when the same bytes come again. The table has a fixed size,
        // so a file of only distinct texts costs no more than one without
        // repeats.
        TextKey key;
        auto& recent = recent_slot(*owner, bytes, key);
        if (holds(recent, key, bytes)) {
            return recent.text;
        }
        const char* text = copy_text(owner->arena, bytes);
        recent = {key.low, key.high, text, bytes.size()};
        return text;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

RodNode* rod_new_note_with_text(RodNode* run, std::optional<std::string_view> bytes) {
    auto* owner = rod_node_as<RodRunNode>(run);
    if (!owner) {
        return nullptr;
    }
    try {
        if (!bytes || bytes->size() >= kLongTextMarker) {
            auto* note = new (owner->arena.allocate(sizeof(RodNoteNode), alignof(RodNoteNode)))
                RodNoteNode();
            note->kind = NodeKind::Note;
            note->text = bytes ? copy_text(owner->arena, *bytes) : nullptr;
            return note;
        }
        const bool is_short = bytes->size() <= RodRunNode::kShortTextSize;
        TextKey key;
        RodRunNode::RecentText* recent = is_short ? &recent_slot(*owner, *bytes, key) : nullptr;
        if (recent && holds(*recent, key, *bytes)) {
            auto* note = new (owner->arena.allocate(sizeof(RodNoteNode), alignof(RodNoteNode)))
                RodNoteNode();
            note->kind = NodeKind::Note;
            note->text = recent->text;
            return note;
        }
        // The text right behind the header, laid out as copy_text lays it.
        const std::size_t size = bytes->size();
        auto* block = static_cast<char*>(owner->arena.allocate(
            sizeof(RodNode) + sizeof(std::uint32_t) + size + 1, alignof(RodNode)));
        auto* note = new (block) RodNode();
        note->kind = NodeKind::Note;
        note->flags = kRodNoteTextInPlace;
        const auto size32 = static_cast<std::uint32_t>(size);
        std::memcpy(block + sizeof(RodNode), &size32, sizeof size32);
        char* text = block + sizeof(RodNode) + sizeof size32;
        if (size != 0) {
            std::memcpy(text, bytes->data(), size);
        }
        text[size] = '\0';
        if (recent) {
            *recent = {key.low, key.high, text, size};
        }
        return note;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

char* rod_new_growable_text(RodNode* run, std::size_t capacity) {
    auto* owner = rod_node_as<RodRunNode>(run);
    if (!owner) {
        return nullptr;
    }
    constexpr std::size_t prefix = sizeof(std::uint64_t) + sizeof(std::uint32_t);
    if (capacity > std::numeric_limits<std::size_t>::max() - prefix - 1) {
        return nullptr;
    }
    try {
        // Always the long layout, so that any length fits where it is kept.
        auto* block = static_cast<char*>(owner->arena.allocate(prefix + capacity + 1, 2));
        std::memcpy(block + sizeof(std::uint64_t), &kLongTextMarker, sizeof kLongTextMarker);
        char* text = block + prefix;
        std::memset(text, 0, capacity + 1);
        rod_set_text_length(text, capacity);
        return text;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void rod_set_text_length(char* text, std::size_t length) {
    const std::uint64_t size64 = length;
    std::memcpy(text - sizeof(std::uint32_t) - sizeof size64, &size64, sizeof size64);
    text[length] = '\0';
}

RodValueText rod_store_long_value_text(RodNode* run, std::string_view bytes) {
    RodValueText value;
    const char* text = rod_store_text(run, bytes);
    std::memcpy(value.bytes, &text, sizeof text);
    return value;
}
