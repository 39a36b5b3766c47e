#include "channel_list/chan_save_list.h"

#include "channel_list/entry_text.h"
#include "entry_store.h"
#include "shown_entries.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tavrin {

using detail::Entry;
using detail::EntryId;
using detail::OrderedSlots;
using detail::ShownSlots;

// The list's pieces, kept in step: the entries in their order, what is
// shown of them, and who is told of each change.
struct ChanSaveList::Store {
    detail::EntryStore stored;
    detail::ShownEntries shown{stored};
    struct Observer {
        ChanSaveListObserver* observer;
        ChanSaveListReplaceObserver* replacing; // when it follows replacements
    };
    std::vector<Observer> observers;

    template <typename Tell> void tell(Tell tellOne) const noexcept {
        for (const Observer& o : observers) {
            tellOne(*o.observer);
        }
    }
    // Those that follow replacements, or the others.
    template <typename Tell> void tellReplacing(Tell tellOne) const noexcept {
        for (const Observer& o : observers) {
            if (o.replacing != nullptr) {
                tellOne(*o.replacing);
            }
        }
    }
    template <typename Tell> void tellPlain(Tell tellOne) const noexcept {
        for (const Observer& o : observers) {
            if (o.replacing == nullptr) {
                tellOne(*o.observer);
            }
        }
    }

    // Everything that can fail is done first, so that a failure changes nothing.

    void makeRoom(Placement placement) {
        OrderedSlots& order = stored.order;
        if (placement == Placement::top ? order.hasRoomAtFront() : order.hasRoomAtBack()) {
            return;
        }
        std::optional<ShownSlots> reshown = shown.respread(order.compactedCapacity());
        order.compact([&](EntryId id, OrderedSlots::Slot slot) {
            Entry& e = stored.entry(id);
            e.slot = slot;
            if (reshown && e.shown) {
                reshown->show(slot);
            }
        });
        shown.keep(reshown);
    }

    EntryId reserveId() {
        const EntryId id = stored.reserveId();
        shown.reserve(stored.entries.capacity());
        return id;
    }

    // From here on nothing fails.

    void write(EntryId id, std::u16string_view text, const std::optional<std::u16string>& folded,
               Rank rank) noexcept {
        stored.write(id, text, folded, rank);
        stored.entry(id).shown = shown.shows(folded);
    }

    void place(EntryId id, Placement placement) noexcept {
        stored.entry(id).slot = stored.order.nextSlot(placement == Placement::top);
        const ListChange change = shown.placing(id, placement);
        tell([&](ChanSaveListObserver& o) { o.aboutToInsert(change); });
        link(id, placement);
        tell([&](ChanSaveListObserver& o) { o.inserted(change); });
    }

    // Puts the entry into the order and what is shown, its slot already chosen.
    void link(EntryId id, Placement placement) noexcept {
        Entry& e = stored.entry(id);
        e.slot = placement == Placement::top ? stored.order.takeFront(id) : stored.order.takeBack(id);
        shown.enter(id);
    }

    void unplace(Position position) noexcept {
        const EntryId id = stored.idAt(position);
        const ListChange change = shown.at(position, id);
        tell([&](ChanSaveListObserver& o) { o.aboutToRemove(change); });
        unlink(id);
        tell([&](ChanSaveListObserver& o) { o.removed(change); });
    }

    void unlink(EntryId id) noexcept {
        shown.leave(id);
        stored.order.release(stored.entry(id).slot);
    }
};

ChanSaveList::ChanSaveList() : store_(std::make_unique<Store>()) {}

ChanSaveList::~ChanSaveList() = default;

Position ChanSaveList::count() const noexcept {
    return store_->stored.count();
}

std::u16string_view ChanSaveList::text(Position position) const {
    const detail::EntryStore& stored = store_->stored;
    stored.checkPosition(position);
    return stored.textOf(stored.entry(stored.idAt(position)));
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
    const auto folded = detail::foldedNameIn(text);
    store.makeRoom(placement);
    const EntryId id = store.reserveId();
    store.stored.reserveFor(text, folded);

    if (!store.stored.freeIds.empty()) {
        store.stored.freeIds.pop_back();
    } else {
        store.stored.entries.emplace_back();
    }
    store.write(id, text, folded, detail::rankOfText(text));
    store.place(id, placement);
}

void ChanSaveList::removeAt(Position position) {
    Store& store = *store_;
    store.stored.checkPosition(position);
    const EntryId id = store.stored.idAt(position);
    store.unplace(position);
    store.stored.erase(id);
    store.stored.freeIds.push_back(id);
}

void ChanSaveList::replace(Position position, std::u16string_view text, Placement placement) {
    Store& store = *store_;
    store.stored.checkPosition(position);
    const auto folded = detail::foldedNameIn(text);
    store.makeRoom(placement);
    const EntryId id = store.stored.idAt(position);
    store.stored.reserveFor(text, folded);

    // One step for the observers that follow replacements: the member is the
    // same, at a new place. The others hear a removal, then an insertion.
    const ListChange from = store.shown.at(position, id);
    const Rank rank = detail::rankOfText(text);
    // A refresh that keeps the rank and the name keeps the rank place: the
    // rank order is not searched again.
    const bool keepsRankPlace = store.shown.keepsRankPlace(id, folded, rank);
    const ListChange to = store.shown.replacing(from, id, folded, rank, placement, keepsRankPlace);
    store.shown.keepInRankPlace(keepsRankPlace ? id : -1);
    store.tellReplacing([&](ChanSaveListReplaceObserver& o) { o.aboutToReplace(from, to); });
    store.tellPlain([&](ChanSaveListObserver& o) { o.aboutToRemove(from); });
    store.unlink(id);
    store.tellPlain([&](ChanSaveListObserver& o) { o.removed(from); });
    store.stored.erase(id);
    store.write(id, text, folded, rank);
    store.stored.entry(id).slot = store.stored.order.nextSlot(placement == Placement::top);
    store.tellPlain([&](ChanSaveListObserver& o) { o.aboutToInsert(to); });
    store.link(id, placement);
    store.shown.keepInRankPlace(-1);
    store.tellPlain([&](ChanSaveListObserver& o) { o.inserted(to); });
    store.tellReplacing([&](ChanSaveListReplaceObserver& o) { o.replaced(from, to); });
}

std::optional<Position> ChanSaveList::find(std::u16string_view username) const {
    if (store_->stored.names.size() == 0) {
        return std::nullopt;
    }
    return store_->stored.find(foldName(username));
}

void ChanSaveList::setSearch(std::u16string_view text) {
    store_->shown.setSearch(foldName(text));
}

bool ChanSaveList::isNarrowed() const noexcept {
    return store_->shown.narrowed();
}

Position ChanSaveList::shownCount() const noexcept {
    return store_->shown.count();
}

void ChanSaveList::setShownOrder(ShownOrder order) {
    store_->shown.setOrder(order);
}

ShownOrder ChanSaveList::shownOrder() const noexcept {
    return store_->shown.order();
}

Position ChanSaveList::shownCountIn(Rank rank) const noexcept {
    return store_->shown.countIn(rank);
}

namespace {

void checkShownPosition(Position shownPosition, Position shownCount) {
    if (shownPosition < 1 || shownPosition > shownCount) {
        throw std::out_of_range("no shown channel list entry at " + std::to_string(shownPosition));
    }
}

} // namespace

Position ChanSaveList::shownEntry(Position shownPosition) const {
    const Store& store = *store_;
    checkShownPosition(shownPosition, shownCount());
    if (!store.shown.narrowed() && !store.shown.rankShown()) {
        return shownPosition;
    }
    return store.stored.positionOf(store.shown.entryShownAt(shownPosition));
}

std::u16string_view ChanSaveList::shownText(Position shownPosition) const {
    const Store& store = *store_;
    checkShownPosition(shownPosition, shownCount());
    return store.stored.textOf(store.stored.entry(store.shown.entryShownAt(shownPosition)));
}

Position ChanSaveList::shownPositionOf(Position position) const {
    const Store& store = *store_;
    store.stored.checkPosition(position);
    return store.shown.shownPositionOf(store.stored.idAt(position), position);
}

Rank ChanSaveList::rankAt(Position position) const {
    const Store& store = *store_;
    store.stored.checkPosition(position);
    return store.stored.entry(store.stored.idAt(position)).rank;
}

void ChanSaveList::holdRankIndex() {
    store_->shown.holdRankIndex();
}

void ChanSaveList::releaseRankIndex() noexcept {
    store_->shown.releaseRankIndex();
}

void ChanSaveList::putOffRankIndex() {
    store_->shown.putOffRankIndex();
}

void ChanSaveList::buildPutOffRankIndex() noexcept {
    store_->shown.buildPutOffRankIndex();
}

std::vector<Position> ChanSaveList::entriesNamedFrom(std::u16string_view prefix) const {
    return store_->shown.entriesNamedFrom(foldName(prefix));
}

void ChanSaveList::clear() noexcept {
    Store& store = *store_;
    store.tell([](ChanSaveListObserver& o) { o.aboutToClear(); });
    store.stored.clear();
    store.shown.clear();
    store.tell([](ChanSaveListObserver& o) { o.cleared(); });
}

void ChanSaveList::addObserver(ChanSaveListObserver* observer) {
    store_->observers.push_back({observer, nullptr});
}

void ChanSaveList::addObserver(ChanSaveListReplaceObserver* observer) {
    store_->observers.push_back({observer, observer});
}

void ChanSaveList::removeObserver(ChanSaveListObserver* observer) noexcept {
    auto& observers = store_->observers;
    observers.erase(std::remove_if(observers.begin(), observers.end(),
                                   [observer](const Store::Observer& o) { return o.observer == observer; }),
                    observers.end());
}

} // namespace tavrin
