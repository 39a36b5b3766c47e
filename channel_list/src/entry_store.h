#pragma once

#include "channel_list/chan_save_list.h"
#include "name_index.h"
#include "ordered_slots.h"
#include "text_buffer.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::detail {

using EntryId = OrderedSlots::Item;

// An entry of the list: its text, then its lower-cased name, in the list's
// text buffer, and where it sits in the list's order.
struct Entry {
    TextBuffer::Span chars;
    std::size_t textLength = 0;
    std::size_t hash = 0;
    OrderedSlots::Slot slot = 0;
    Rank rank = Rank::member;
    bool named = false; // a text with no name is kept but never found
    bool shown = true;  // by the list's search, while it is narrowed
};

// The lower-cased name in an entry's text, if it has one.
std::optional<std::u16string> foldedNameIn(std::u16string_view text);
Rank rankOfText(std::u16string_view text) noexcept;
// Compares UTF-16 texts as their code points compare: the units from U+E000
// up sort below the surrogates, which stand for code points above U+FFFF.
int compareInCodePointOrder(std::u16string_view left, std::u16string_view right) noexcept;

// The entries of a list, in its own order: their slots in that order, the
// entries themselves, their texts and folded names end to end in one buffer,
// and the index of their names. What may fail (making room, an id, space for
// a text) is done apart from what may not (writing, erasing), so that a
// change either completes or changes nothing.
struct EntryStore {
    OrderedSlots order;
    std::vector<Entry> entries;
    std::vector<EntryId> freeIds; // as much capacity as entries, so a removal never allocates
    TextBuffer chars;
    NameIndex names;

    Position count() const noexcept { return static_cast<Position>(order.size()); }
    // Throws std::out_of_range for a position outside 1 to count().
    void checkPosition(Position position) const;
    EntryId idAt(Position position) const noexcept { return order.itemIn(order.slotAt(position)); }
    Position positionOf(EntryId id) const noexcept {
        return static_cast<Position>(order.positionOf(entry(id).slot));
    }
    Entry& entry(EntryId id) noexcept { return entries[static_cast<std::size_t>(id)]; }
    const Entry& entry(EntryId id) const noexcept { return entries[static_cast<std::size_t>(id)]; }
    std::u16string_view textOf(const Entry& e) const noexcept {
        return chars.view(e.chars.start, e.textLength);
    }
    std::u16string_view foldedNameOf(const Entry& e) const noexcept {
        return chars.view(e.chars.start + e.textLength, e.chars.length - e.textLength);
    }
    // What the name index asks of an entry it holds.
    auto hashes() const noexcept {
        return [this](EntryId id) {
            return entry(id).hash;
        };
    }
    // The topmost entry of this folded name.
    std::optional<Position> find(std::u16string_view folded) const;
    // Whether this entry, with its folded name, is the only one so named.
    bool namedAlone(EntryId id) const noexcept;

    // The id the next new entry gets, with the room it needs already allocated.
    EntryId reserveId();
    // Room in the index and the buffer for a text and its folded name.
    void reserveFor(std::u16string_view text, const std::optional<std::u16string>& folded);

    // From here on nothing fails.

    // Stores the text and folded name in room already reserved.
    void write(EntryId id, std::u16string_view text, const std::optional<std::u16string>& folded,
               Rank rank) noexcept;
    // Takes the entry out of the index and leaves a gap where its characters were.
    void erase(EntryId id) noexcept;
    // Forgets every entry and gives back the memory they held.
    void clear() noexcept;
};

} // namespace tavrin::detail
