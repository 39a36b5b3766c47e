#include "channel_list/chan_save_list.h"

#include "channel_list/entry_text.h"
#include "name_index.h"
#include "ordered_slots.h"
#include "shown_slots.h"
#include "text_buffer.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

namespace tavrin {
namespace {

using detail::NameIndex;
using detail::OrderedSlots;
using detail::ShownSlots;
using detail::TextBuffer;
using EntryId = OrderedSlots::Item;

// An entry of the list: its text, then its lower-cased name, in the list's
// text buffer, and where it sits in the list's order.
struct Entry {
    TextBuffer::Span chars;
    std::size_t textLength = 0;
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

} // namespace

// The list's pieces, kept in step: the order of the entries, the entries
// themselves, their characters, the index of their names, what the search
// shows, and who is told of each change.
struct ChanSaveList::Store {
    OrderedSlots order;
    std::vector<Entry> entries;
    std::vector<EntryId> freeIds; // as much capacity as entries, so a removal never allocates
    TextBuffer chars;
    NameIndex names;
    // While the list is narrowed: the folded text searched for, and which
    // slots hold an entry whose name contains it.
    std::u16string search;
    std::optional<ShownSlots> shown;
    std::vector<ChanSaveListObserver*> observers;

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
    // What the name index asks of an entry it holds.
    auto hashes() const noexcept {
        return [this](EntryId id) {
            return entry(id).hash;
        };
    }

    std::u16string_view textOf(const Entry& e) const noexcept {
        return chars.view(e.chars.start, e.textLength);
    }
    std::u16string_view foldedNameOf(const Entry& e) const noexcept {
        return chars.view(e.chars.start + e.textLength, e.chars.length - e.textLength);
    }

    template <typename Tell> void tell(Tell tellOne) const noexcept {
        for (ChanSaveListObserver* observer : observers) {
            tellOne(*observer);
        }
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

    // Room in the index and the buffer for a text and its folded name.
    void reserveFor(std::u16string_view text, const std::optional<std::u16string>& folded) {
        names.reserve(folded ? 1 : 0, hashes());
        chars.reserve(text.size() + (folded ? folded->size() : 0), [this](auto move) {
            for (Entry& e : entries) {
                move(e.chars);
            }
        });
    }

    // From here on nothing fails.

    // Stores the text and folded name in room already reserved.
    void write(EntryId id, std::u16string_view text, const std::optional<std::u16string>& folded) noexcept {
        Entry& e = entry(id);
        e.chars = chars.append(text, folded ? std::u16string_view(*folded) : std::u16string_view());
        e.textLength = text.size();
        e.named = folded.has_value();
        e.hash = folded ? hashOf(*folded) : 0;
        e.shown = !narrowed() || matches(e);
        if (e.named) {
            names.insert(id, e.hash);
        }
    }

    // Takes the entry out of the index and leaves a gap where its characters were.
    void erase(EntryId id) noexcept {
        Entry& e = entry(id);
        if (e.named) {
            names.erase(id, e.hash, hashes());
        }
        chars.release(e.chars);
        e = Entry{};
    }

    void place(EntryId id, Placement placement) noexcept {
        Entry& e = entry(id);
        const bool top = placement == Placement::top;
        const auto position = static_cast<Position>(top ? 1 : count() + 1);
        const auto shownPosition = static_cast<Position>(!narrowed() ? position
                                                         : !e.shown  ? 0
                                                         : top       ? 1
                                                                     : shown->count() + 1);
        tell([&](ChanSaveListObserver& o) { o.aboutToInsert(position, shownPosition); });
        e.slot = top ? order.takeFront(id) : order.takeBack(id);
        if (narrowed() && e.shown) {
            shown->show(e.slot);
        }
        tell([&](ChanSaveListObserver& o) { o.inserted(position, shownPosition); });
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
        tell([&](ChanSaveListObserver& o) { o.aboutToRemove(position, shownPosition); });
        order.release(slot);
        if (narrowed() && shownPosition > 0) {
            shown->hide(slot);
        }
        tell([&](ChanSaveListObserver& o) { o.removed(position, shownPosition); });
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
    if (store.names.size() == 0) {
        return std::nullopt;
    }
    const std::u16string folded = foldName(username);
    const std::size_t hash = hashOf(folded);
    std::optional<OrderedSlots::Slot> topmost;
    store.names.forEachCandidate(hash, [&](EntryId id) {
        const Entry& e = store.entry(id);
        if (e.hash == hash && store.foldedNameOf(e) == folded && (!topmost || e.slot < *topmost)) {
            topmost = e.slot;
        }
    });
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
    store.tell([](ChanSaveListObserver& o) { o.aboutToClear(); });
    store.order.clear();
    std::vector<Entry>().swap(store.entries);
    std::vector<EntryId>().swap(store.freeIds);
    store.chars.clear();
    store.names.clear();
    if (store.shown) {
        store.shown.emplace(); // room comes with the first new entry
    }
    store.tell([](ChanSaveListObserver& o) { o.cleared(); });
}

void ChanSaveList::addObserver(ChanSaveListObserver* observer) {
    store_->observers.push_back(observer);
}

void ChanSaveList::removeObserver(ChanSaveListObserver* observer) noexcept {
    auto& observers = store_->observers;
    observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

} // namespace tavrin
