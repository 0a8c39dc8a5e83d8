#include "rod/nodes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace {

// Equal short texts share one copy, found by a key that packs texts of up to
// sixteen bytes into two words and hashes longer ones. Every length around
// the packing's boundaries, with a one-byte change at every position (to a
// zero byte as well), must come back byte for byte and never as another
// text's copy; the same bytes stored again must come back shared.
TEST(TextSharingTest, SharesOnlyEqualBytesAtEveryLength) {
    RodTree tree(rod_new_run("suite.rod"));
    for (std::size_t length = 0; length <= RodRunNode::kShortTextSize + 1; ++length) {
        std::string base;
        for (std::size_t i = 0; i < length; ++i) {
            base.push_back(static_cast<char>('a' + (i * 7 + length) % 26));
        }
        const char* stored = rod_store_text(tree.get(), base);
        ASSERT_EQ(rod_text_view(stored), base) << length;
        EXPECT_EQ(stored[length], '\0');
        const char* again = rod_store_text(tree.get(), base);
        EXPECT_EQ(rod_text_view(again), base);
        if (length <= RodRunNode::kShortTextSize) {
            EXPECT_EQ(again, stored) << "not shared at length " << length;
        } else {
            EXPECT_NE(again, stored) << "a long text must get its own copy";
        }
        for (std::size_t position = 0; position < length; ++position) {
            for (const char changed : {'\0', '\xff', static_cast<char>(base[position] ^ 1)}) {
                std::string variant = base;
                variant[position] = changed;
                const char* text = rod_store_text(tree.get(), variant);
                ASSERT_EQ(rod_text_view(text), variant)
                    << "length " << length << ", byte " << position;
                ASSERT_NE(text, stored);
            }
            // The base may have been pushed out of its slot: storing it again
            // must still give its own bytes.
            ASSERT_EQ(rod_text_view(rod_store_text(tree.get(), base)), base);
        }
    }
}

// A text and the same text with a trailing zero byte pack to the same words;
// only the length tells them apart.
TEST(TextSharingTest, TrailingZeroBytesAreNotDropped) {
    RodTree tree(rod_new_run("suite.rod"));
    for (const std::size_t length : {1u, 3u, 4u, 7u, 8u, 9u, 15u, 16u, 17u}) {
        const std::string text(length, 'v');
        const std::string padded = text + std::string(1, '\0');
        const char* first = rod_store_text(tree.get(), text);
        const char* second = rod_store_text(tree.get(), padded);
        EXPECT_EQ(rod_text_view(first), text);
        EXPECT_EQ(rod_text_view(second), padded);
        EXPECT_EQ(rod_text_view(rod_store_text(tree.get(), "")), "");
    }
}

// A value text keeps up to seven bytes in its own word and stores longer
// ones; either way it gives back exactly its bytes, zero bytes included, and
// an absent text stays apart from an empty one. Stored texts start at even
// addresses, which is how a value tells a pointer from bytes in place.
TEST(ValueTextTest, KeepsEveryLengthAndTellsAbsentFromEmpty) {
    RodTree tree(rod_new_run("suite.rod"));
    EXPECT_EQ(rod_value_text_view(rod_store_value_text(tree.get(), std::nullopt)), std::nullopt);
    EXPECT_EQ(rod_value_text_view(rod_store_value_text(nullptr, "1")), std::nullopt);
    for (std::size_t length = 0; length <= 20; ++length) {
        for (const char filler : {'7', '\0', '\xff'}) {
            std::string bytes(length, filler);
            if (length > 1) {
                bytes[length / 2] = '-';
            }
            const RodValueText value = rod_store_value_text(tree.get(), bytes);
            const std::optional<std::string_view> view = rod_value_text_view(value);
            ASSERT_TRUE(view) << length;
            EXPECT_EQ(*view, bytes) << length;
            const bool in_place = view->data() > reinterpret_cast<const char*>(value.bytes) &&
                                  view->data() < reinterpret_cast<const char*>(value.bytes + 8);
            EXPECT_EQ(in_place, length <= RodValueText::kInPlaceSize) << length;
            const char* stored = rod_store_text(tree.get(), bytes);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(stored) % 2, 0u) << length;
        }
    }
}

// A Note the reader makes holds its text behind its header unless an equal
// short text was stored before, which it then shares; either way the text
// comes back byte for byte, and an absent text stays apart from an empty one.
TEST(NoteTextTest, InPlaceOrSharedTextsComeBackWhole) {
    RodTree tree(rod_new_run("suite.rod"));
    auto note_text = [&](std::optional<std::string_view> bytes) {
        RodNode* note = rod_new_note_with_text(tree.get(), bytes);
        EXPECT_EQ(rod_kind(note), NodeKind::Note);
        EXPECT_EQ(rod_name(note), rod_note_text(note));
        return rod_note_text(note);
    };
    EXPECT_EQ(note_text(std::nullopt), nullptr);
    for (const std::size_t length : {0u, 1u, 7u, 8u, 16u, 17u, 48u, 49u, 300u}) {
        std::string bytes(length, 'n');
        if (length > 2) {
            bytes[length / 2] = '\0';
        }
        const char* first = note_text(bytes);
        ASSERT_EQ(rod_text_view(first), bytes) << length;
        EXPECT_EQ(first[length], '\0');
        const char* again = note_text(bytes);
        EXPECT_EQ(rod_text_view(again), bytes);
        EXPECT_EQ(again == first, length <= RodRunNode::kShortTextSize) << length;
    }
}

}  // namespace
