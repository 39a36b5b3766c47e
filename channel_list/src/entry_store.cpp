#include "entry_store.h"

#include "channel_list/entry_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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

// Names often share a long beginning, such as "member1": equal code units are
// passed over four at a time.
int compareInCodePointOrder(std::u16string_view left, std::u16string_view right) noexcept {
    const std::size_t common = std::min(left.size(), right.size());
    std::size_t at = 0;
    for (; at + 4 <= common; at += 4) {
        std::uint64_t l = 0;
        std::uint64_t r = 0;
        std::memcpy(&l, left.data() + at, sizeof l);
        std::memcpy(&r, right.data() + at, sizeof r);
        if (l != r) {
            break;
        }
    }
    while (at < common && left[at] == right[at]) {
        ++at;
    }
    if (at == common) {
        return left.size() == right.size() ? 0 : left.size() < right.size() ? -1 : 1;
    }
    const auto order = [](char16_t unit) {
        return unit >= 0xE000 ? unit - 0x800 : unit >= 0xD800 ? unit + 0x2000 : unit;
    };
    return order(left[at]) < order(right[at]) ? -1 : 1;
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

bool EntryStore::namedAlone(EntryId id) const noexcept {
    const Entry& e = entry(id);
    const std::u16string_view folded = foldedNameOf(e);
    bool alone = e.named;
    names.forEachCandidate(e.hash, [&](EntryId other) {
        const Entry& o = entry(other);
        alone = alone && (other == id || o.hash != e.hash || foldedNameOf(o) != folded);
    });
    return alone;
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
