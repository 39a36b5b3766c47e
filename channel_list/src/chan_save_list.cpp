#include "channel_list/chan_save_list.h"

#include "channel_list/entry_text.h"
#include "ordered_slots.h"
#include "shown_slots.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

namespace tavrin {
namespace {

using EntryId = OrderedSlots::Item;
constexpr EntryId noEntry = -1;

// Where an entry lies in the list's character buffer: its text, then its
// lower-cased name. An entry holds no memory of its own.
struct Entry {
    std::size_t start = 0;
    std::size_t textLength = 0;
    std::size_t foldedLength = 0;
    std::size_t hash = 0;
    OrderedSlots::Slot slot = 0;
    bool named = false; // a text with no name is kept but never found
    bool shown = true;  // by the list's search, while it is narrowed
};

std::optional<std::u16string> foldedNameIn(std::u16string_view text) {
    const auto name = nameFromEntryText(text);
    if (!name) {
        return std::nullopt;
    }
    return foldName(*name);
}

std::size_t hashOf(std::u16string_view folded) noexcept {
    return std::hash<std::u16string_view>{}(folded);
}

// Gaps smaller than this are not worth packing away.
constexpr std::size_t smallestPackedGap = 4096;

} // namespace

struct ChanSaveList::Store {
    OrderedSlots order;
    std::vector<Entry> entries;
    std::vector<EntryId> freeIds; // as much capacity as entries, so a removal never allocates
    // Every entry's text and folded name, end to end; a removed entry leaves a
    // gap until the gaps fill half the buffer and it is packed.
    std::vector<char16_t> chars;
    std::size_t liveChars = 0;
    // Open addressing over the named entries, by folded name, with linear
    // probing; at most half full, so a probe is short.
    std::vector<EntryId> index;
    std::size_t indexed = 0;
    // While the list is narrowed: the folded text searched for, and which
    // slots hold an entry whose name contains it.
    std::u16string search;
    std::optional<ShownSlots> shown;
    ChanSaveListObserver* observer = nullptr;

    bool narrowed() const noexcept { return shown.has_value(); }
    bool matches(const Entry& e) const noexcept {
        return e.named && foldedNameOf(e).find(search) != std::u16string_view::npos;
    }

    Position count() const noexcept { return static_cast<Position>(order.size()); }

    void checkPosition(Position position) const {
        if (position < 1 || position > count()) {
            throw std::out_of_range("no channel list entry at position " + std::to_string(position));
        }
    }

    EntryId idAt(Position position) const noexcept { return order.itemIn(order.slotAt(position)); }
    Entry& entry(EntryId id) noexcept { return entries[static_cast<std::size_t>(id)]; }
    const Entry& entry(EntryId id) const noexcept { return entries[static_cast<std::size_t>(id)]; }

    std::u16string_view textOf(const Entry& e) const noexcept {
        return {chars.data() + e.start, e.textLength};
    }
    std::u16string_view foldedNameOf(const Entry& e) const noexcept {
        return {chars.data() + e.start + e.textLength, e.foldedLength};
    }

    // Everything that can fail is done first, so that a failure changes nothing.

    void makeRoom(Placement placement) {
        if (placement == Placement::top ? order.hasRoomAtFront() : order.hasRoomAtBack()) {
            return;
        }
        std::optional<ShownSlots> reshown;
        if (narrowed()) {
            reshown.emplace(order.compactedCapacity());
        }
        order.compact([&](EntryId id, OrderedSlots::Slot slot) {
            entry(id).slot = slot;
            if (reshown && entry(id).shown) {
                reshown->show(slot);
            }
        });
        if (reshown) {
            shown.swap(reshown);
        }
    }

    // The id the next new entry gets, with the room it needs already allocated.
    EntryId reserveId() {
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

    // Room for this many more characters, after packing away the gaps when
    // they fill more than half of the buffer. Growth by half keeps the unused
    // part of a full list's buffer small.
    void reserveChars(std::size_t more) {
        const std::size_t gaps = chars.size() - liveChars;
        const bool pack = gaps > liveChars && gaps >= smallestPackedGap;
        if (!pack && chars.capacity() - chars.size() >= more) {
            return;
        }
        const std::size_t needed = (pack ? liveChars : chars.size()) + more;
        std::vector<char16_t> grown;
        grown.reserve(std::max(needed, needed / 2 * 3));
        if (!pack) {
            grown.assign(chars.begin(), chars.end());
        } else {
            for (Entry& e : entries) {
                const std::size_t length = e.textLength + e.foldedLength;
                const std::size_t start = grown.size();
                grown.insert(grown.end(), chars.begin() + static_cast<std::ptrdiff_t>(e.start),
                             chars.begin() + static_cast<std::ptrdiff_t>(e.start + length));
                e.start = start;
            }
        }
        chars.swap(grown);
    }

    // Room in the index and the buffer for a text and its folded name.
    void reserveFor(std::u16string_view text, const std::optional<std::u16string>& folded) {
        reserveIndex(folded ? 1 : 0);
        reserveChars(text.size() + (folded ? folded->size() : 0));
    }

    void reserveIndex(std::size_t more) {
        if (2 * (indexed + more) <= index.size()) {
            return;
        }
        std::vector<EntryId> grown(std::max<std::size_t>(64, 2 * index.size()), noEntry);
        for (const EntryId id : index) {
            if (id != noEntry) {
                probeForEmpty(grown, entry(id).hash) = id;
            }
        }
        index.swap(grown);
    }

    // From here on nothing fails.

    static EntryId& probeForEmpty(std::vector<EntryId>& table, std::size_t hash) noexcept {
        const std::size_t mask = table.size() - 1;
        std::size_t at = hash & mask;
        while (table[at] != noEntry) {
            at = (at + 1) & mask;
        }
        return table[at];
    }

    // Stores the text and folded name in room already reserved.
    void write(EntryId id, std::u16string_view text, const std::optional<std::u16string>& folded) noexcept {
        Entry& e = entry(id);
        e.start = chars.size();
        e.textLength = text.size();
        e.foldedLength = folded ? folded->size() : 0;
        e.named = folded.has_value();
        e.hash = folded ? hashOf(*folded) : 0;
        chars.insert(chars.end(), text.begin(), text.end());
        if (folded) {
            chars.insert(chars.end(), folded->begin(), folded->end());
        }
        liveChars += e.textLength + e.foldedLength;
        e.shown = !narrowed() || matches(e);
        if (e.named) {
            probeForEmpty(index, e.hash) = id;
            ++indexed;
        }
    }

    // Takes the entry out of the index and leaves a gap where its characters were.
    void erase(EntryId id) noexcept {
        Entry& e = entry(id);
        if (e.named) {
            unindex(id);
        }
        liveChars -= e.textLength + e.foldedLength;
        e = Entry{};
    }

    // Removes the id and moves later entries of its probe run back into the
    // hole, so that no run is ever broken.
    void unindex(EntryId id) noexcept {
        const std::size_t mask = index.size() - 1;
        std::size_t hole = entry(id).hash & mask;
        while (index[hole] != id) {
            hole = (hole + 1) & mask;
        }
        for (std::size_t next = (hole + 1) & mask; index[next] != noEntry; next = (next + 1) & mask) {
            const std::size_t home = entry(index[next]).hash & mask;
            if (((next - home) & mask) >= ((next - hole) & mask)) {
                index[hole] = index[next];
                hole = next;
            }
        }
        index[hole] = noEntry;
        --indexed;
    }

    void place(EntryId id, Placement placement) noexcept {
        Entry& e = entry(id);
        const bool top = placement == Placement::top;
        const auto position = static_cast<Position>(top ? 1 : count() + 1);
        const auto shownPosition = static_cast<Position>(!narrowed() ? position
                                                         : !e.shown  ? 0
                                                         : top       ? 1
                                                                     : shown->count() + 1);
        if (observer != nullptr) {
            observer->aboutToInsert(position, shownPosition);
        }
        e.slot = top ? order.takeFront(id) : order.takeBack(id);
        if (narrowed() && e.shown) {
            shown->show(e.slot);
        }
        if (observer != nullptr) {
            observer->inserted(position, shownPosition);
        }
    }

    Position shownPositionIn(OrderedSlots::Slot slot, Position position) const noexcept {
        if (!narrowed()) {
            return position;
        }
        return static_cast<Position>(entry(order.itemIn(slot)).shown ? shown->rank(slot) : 0);
    }

    void unplace(Position position) noexcept {
        const OrderedSlots::Slot slot = order.slotAt(position);
        const Position shownPosition = shownPositionIn(slot, position);
        if (observer != nullptr) {
            observer->aboutToRemove(position, shownPosition);
        }
        order.release(slot);
        if (narrowed() && shownPosition > 0) {
            shown->hide(slot);
        }
        if (observer != nullptr) {
            observer->removed(position, shownPosition);
        }
    }
};

ChanSaveList::ChanSaveList() : store_(std::make_unique<Store>()) {}

ChanSaveList::~ChanSaveList() = default;

Position ChanSaveList::count() const noexcept {
    return store_->count();
}

std::u16string_view ChanSaveList::text(Position position) const {
    store_->checkPosition(position);
    return store_->textOf(store_->entry(store_->idAt(position)));
}

void ChanSaveList::insertAtTop(std::u16string_view text) {
    insert(text, Placement::top);
}

void ChanSaveList::append(std::u16string_view text) {
    insert(text, Placement::bottom);
}

void ChanSaveList::insert(std::u16string_view text, Placement placement) {
    if (isFull()) {
        throw std::length_error("the channel list is full");
    }
    Store& store = *store_;
    const auto folded = foldedNameIn(text);
    store.makeRoom(placement);
    const EntryId id = store.reserveId();
    store.reserveFor(text, folded);

    if (!store.freeIds.empty()) {
        store.freeIds.pop_back();
    } else {
        store.entries.emplace_back();
    }
    store.write(id, text, folded);
    store.place(id, placement);
}

void ChanSaveList::removeAt(Position position) {
    Store& store = *store_;
    store.checkPosition(position);
    const EntryId id = store.idAt(position);
    store.unplace(position);
    store.erase(id);
    store.freeIds.push_back(id);
}

void ChanSaveList::replace(Position position, std::u16string_view text, Placement placement) {
    Store& store = *store_;
    store.checkPosition(position);
    const auto folded = foldedNameIn(text);
    store.makeRoom(placement);
    const EntryId id = store.idAt(position);
    store.reserveFor(text, folded);

    store.unplace(position);
    store.erase(id);
    store.write(id, text, folded);
    store.place(id, placement);
}

std::optional<Position> ChanSaveList::find(std::u16string_view username) const {
    const Store& store = *store_;
    if (store.indexed == 0) {
        return std::nullopt;
    }
    const std::u16string folded = foldName(username);
    const std::size_t hash = hashOf(folded);
    const std::size_t mask = store.index.size() - 1;
    std::optional<OrderedSlots::Slot> topmost;
    for (std::size_t at = hash & mask; store.index[at] != noEntry; at = (at + 1) & mask) {
        const Entry& e = store.entry(store.index[at]);
        if (e.hash == hash && store.foldedNameOf(e) == folded && (!topmost || e.slot < *topmost)) {
            topmost = e.slot;
        }
    }
    if (!topmost) {
        return std::nullopt;
    }
    return static_cast<Position>(store.order.positionOf(*topmost));
}

void ChanSaveList::setSearch(std::u16string_view text) {
    Store& store = *store_;
    std::u16string folded = foldName(text);
    if (folded.empty()) {
        store.shown.reset();
        store.search.clear();
        return;
    }
    ShownSlots shown(store.order.capacity());
    store.search.swap(folded);
    store.order.forEach([&](EntryId id, OrderedSlots::Slot slot) {
        Entry& e = store.entry(id);
        e.shown = store.matches(e);
        if (e.shown) {
            shown.show(slot);
        }
    });
    store.shown = std::move(shown);
}

bool ChanSaveList::isNarrowed() const noexcept {
    return store_->narrowed();
}

Position ChanSaveList::shownCount() const noexcept {
    return store_->narrowed() ? static_cast<Position>(store_->shown->count()) : count();
}

Position ChanSaveList::shownEntry(Position shownPosition) const {
    const Store& store = *store_;
    if (shownPosition < 1 || shownPosition > shownCount()) {
        throw std::out_of_range("no shown channel list entry at " + std::to_string(shownPosition));
    }
    return store.narrowed()
               ? static_cast<Position>(store.order.positionOf(store.shown->select(shownPosition)))
               : shownPosition;
}

Position ChanSaveList::shownPositionOf(Position position) const {
    store_->checkPosition(position);
    return store_->narrowed() ? store_->shownPositionIn(store_->order.slotAt(position), position) : position;
}

void ChanSaveList::clear() noexcept {
    Store& store = *store_;
    if (store.observer != nullptr) {
        store.observer->aboutToClear();
    }
    store.order.clear();
    std::vector<Entry>().swap(store.entries);
    std::vector<EntryId>().swap(store.freeIds);
    std::vector<char16_t>().swap(store.chars);
    std::vector<EntryId>().swap(store.index);
    store.liveChars = 0;
    store.indexed = 0;
    if (store.shown) {
        store.shown.emplace(); // room comes with the first new entry
    }
    if (store.observer != nullptr) {
        store.observer->cleared();
    }
}

void ChanSaveList::setObserver(ChanSaveListObserver* observer) noexcept {
    store_->observer = observer;
}

} // namespace tavrin
