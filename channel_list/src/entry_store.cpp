#include "entry_store.h"

#include "channel_list/entry_text.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace tavrin::detail {
namespace {

std::size_t hashOf(std::u16string_view folded) noexcept {
    return std::hash<std::u16string_view>{}(folded);
}

} // namespace

std::optional<std::u16string> foldedNameIn(std::u16string_view text) {
    const auto name = nameFromEntryText(text);
    if (!name) {
        return std::nullopt;
    }
    return foldName(*name);
}

Rank rankOfText(std::u16string_view text) noexcept {
    return rankOf(standingOf(entryFields(text).keyword));
}

int compareInCodePointOrder(std::u16string_view left, std::u16string_view right) noexcept {
    const auto [l, r] = std::mismatch(left.begin(), left.end(), right.begin(), right.end());
    if (l == left.end()) {
        return r == right.end() ? 0 : -1;
    }
    if (r == right.end()) {
        return 1;
    }
    const auto order = [](char16_t unit) {
        return unit >= 0xE000 ? unit - 0x800 : unit >= 0xD800 ? unit + 0x2000 : unit;
    };
    return order(*l) < order(*r) ? -1 : 1;
}

void EntryStore::checkPosition(Position position) const {
    if (position < 1 || position > count()) {
        throw std::out_of_range("no channel list entry at position " + std::to_string(position));
    }
}

std::optional<Position> EntryStore::find(std::u16string_view folded) const {
    if (names.size() == 0) {
        return std::nullopt;
    }
    const std::size_t hash = hashOf(folded);
    std::optional<OrderedSlots::Slot> topmost;
    names.forEachCandidate(hash, [&](EntryId id) {
        const Entry& e = entry(id);
        if (e.hash == hash && foldedNameOf(e) == folded && (!topmost || e.slot < *topmost)) {
            topmost = e.slot;
        }
    });
    if (!topmost) {
        return std::nullopt;
    }
    return static_cast<Position>(order.positionOf(*topmost));
}

EntryId EntryStore::reserveId() {
    if (!freeIds.empty()) {
        return freeIds.back();
    }
    if (entries.size() == entries.capacity()) {
        const std::size_t capacity = std::max<std::size_t>(16, 2 * entries.capacity());
        freeIds.reserve(capacity);
        entries.reserve(capacity);
    }
    return static_cast<EntryId>(entries.size());
}

void EntryStore::reserveFor(std::u16string_view text, const std::optional<std::u16string>& folded) {
    names.reserve(folded ? 1 : 0, hashes());
    chars.reserve(text.size() + (folded ? folded->size() : 0), [this](auto move) {
        for (Entry& e : entries) {
            move(e.chars);
        }
    });
}

void EntryStore::write(EntryId id, std::u16string_view text, const std::optional<std::u16string>& folded,
                       Rank rank) noexcept {
    Entry& e = entry(id);
    e.chars = chars.append(text, folded ? std::u16string_view(*folded) : std::u16string_view());
    e.textLength = text.size();
    e.named = folded.has_value();
    e.rank = rank;
    e.hash = folded ? hashOf(*folded) : 0;
    if (e.named) {
        names.insert(id, e.hash);
    }
}

void EntryStore::erase(EntryId id) noexcept {
    Entry& e = entry(id);
    if (e.named) {
        names.erase(id, e.hash, hashes());
    }
    chars.release(e.chars);
    e = Entry{};
}

void EntryStore::clear() noexcept {
    order.clear();
    std::vector<Entry>().swap(entries);
    std::vector<EntryId>().swap(freeIds);
    chars.clear();
    names.clear();
}

} // namespace tavrin::detail
