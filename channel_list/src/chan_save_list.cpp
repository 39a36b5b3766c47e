#include "channel_list/chan_save_list.h"

#include "channel_list/entry_text.h"
#include "name_index.h"
#include "ordered_slots.h"
#include "rank_order.h"
#include "shown_slots.h"
#include "text_buffer.h"

#include <algorithm>
#include <array>
#include <functional>
#include <stdexcept>
#include <vector>

namespace tavrin {
namespace {

using detail::NameIndex;
using detail::OrderedSlots;
using detail::RankOrder;
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
    Rank rank = Rank::member;
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

Rank rankOfText(std::u16string_view text) noexcept {
    return rankOf(standingOf(entryFields(text).keyword));
}

std::size_t hashOf(std::u16string_view folded) noexcept {
    return std::hash<std::u16string_view>{}(folded);
}

// Compares UTF-16 texts as their code points compare: the units from U+E000
// up sort below the surrogates, which stand for code points above U+FFFF.
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
    std::array<Position, rankCount> shownInRank{};
    // The entries by rank, then name, while that order is shown or held.
    ShownOrder shownOrder = ShownOrder::list;
    std::optional<RankOrder> ranked;
    int rankHolds = 0;
    struct Observer {
        ChanSaveListObserver* observer;
        ChanSaveListReplaceObserver* replacing; // when it follows replacements
    };
    std::vector<Observer> observers;

    bool narrowed() const noexcept { return shown.has_value(); }
    bool visible(const Entry& e) const noexcept { return !narrowed() || e.shown; }
    bool rankShown() const noexcept { return shownOrder == ShownOrder::rankThenName; }
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
    // What the rank order compares: rank, then folded name, then the list's order.
    auto rankLess() const noexcept {
        return [this](RankOrder::Id a, RankOrder::Id b) {
            const Entry& left = entry(a);
            const Entry& right = entry(b);
            if (left.rank != right.rank) {
                return left.rank < right.rank;
            }
            const int names = compareInCodePointOrder(foldedNameOf(left), foldedNameOf(right));
            return names != 0 ? names < 0 : left.slot < right.slot;
        };
    }

    std::u16string_view textOf(const Entry& e) const noexcept {
        return chars.view(e.chars.start, e.textLength);
    }
    std::u16string_view foldedNameOf(const Entry& e) const noexcept {
        return chars.view(e.chars.start + e.textLength, e.chars.length - e.textLength);
    }

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
        if (ranked) {
            ranked->reserve(entries.capacity());
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
    void write(EntryId id, std::u16string_view text, const std::optional<std::u16string>& folded,
               Rank rank) noexcept {
        Entry& e = entry(id);
        e.chars = chars.append(text, folded ? std::u16string_view(*folded) : std::u16string_view());
        e.textLength = text.size();
        e.named = folded.has_value();
        e.rank = rank;
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

    // Where an entry placed now at the top or the bottom goes.
    ListChange placing(EntryId id, Placement placement) const noexcept {
        const Entry& e = entry(id);
        const bool top = placement == Placement::top;
        const auto position = static_cast<Position>(top ? 1 : count() + 1);
        const auto shownPosition = static_cast<Position>(!visible(e)   ? 0
                                                         : rankShown() ? rankPlaceOf(id)
                                                         : !narrowed() ? position
                                                         : top         ? 1
                                                                       : shown->count() + 1);
        return {position, shownPosition, e.rank};
    }

    void place(EntryId id, Placement placement) noexcept {
        entry(id).slot = order.nextSlot(placement == Placement::top);
        const ListChange change = placing(id, placement);
        tell([&](ChanSaveListObserver& o) { o.aboutToInsert(change); });
        link(id, placement);
        tell([&](ChanSaveListObserver& o) { o.inserted(change); });
    }

    // Puts the entry into the order and what is shown, its slot already chosen.
    void link(EntryId id, Placement placement) noexcept {
        Entry& e = entry(id);
        e.slot = placement == Placement::top ? order.takeFront(id) : order.takeBack(id);
        if (narrowed() && e.shown) {
            shown->show(e.slot);
        }
        if (ranked) {
            ranked->insert(static_cast<RankOrder::Id>(id), visible(e), rankLess());
        }
        shownInRank[static_cast<std::size_t>(e.rank)] += visible(e) ? 1 : 0;
    }

    // Where the entry is, or would be, in the rank order among those shown.
    Position rankPlaceOf(EntryId id) const noexcept {
        return static_cast<Position>(ranked->countedBefore(static_cast<RankOrder::Id>(id), rankLess()) + 1);
    }

    Position shownPositionOf(EntryId id, Position position) const noexcept {
        const Entry& e = entry(id);
        return static_cast<Position>(!visible(e)   ? 0
                                     : rankShown() ? rankPlaceOf(id)
                                     : narrowed()  ? shown->rank(e.slot)
                                                   : position);
    }

    ListChange at(Position position) const noexcept { return at(position, idAt(position)); }
    ListChange at(Position position, EntryId id) const noexcept {
        return {position, shownPositionOf(id, position), entry(id).rank};
    }

    void unplace(Position position) noexcept {
        const ListChange change = at(position);
        tell([&](ChanSaveListObserver& o) { o.aboutToRemove(change); });
        unlink(position);
        tell([&](ChanSaveListObserver& o) { o.removed(change); });
    }

    void unlink(Position position) noexcept {
        const OrderedSlots::Slot slot = order.slotAt(position);
        const EntryId id = order.itemIn(slot);
        const Entry& e = entry(id);
        order.release(slot);
        if (narrowed() && e.shown) {
            shown->hide(slot);
        }
        if (ranked) {
            ranked->erase(static_cast<RankOrder::Id>(id), rankLess());
        }
        shownInRank[static_cast<std::size_t>(e.rank)] -= visible(e) ? 1 : 0;
    }

    // Where the entry goes when it gets a text with this folded name and
    // rank, placed at the top or the bottom, worked out before anything
    // changes: O(log n).
    ListChange replacing(EntryId id, const std::optional<std::u16string>& folded, Rank rank,
                         Placement placement) const noexcept {
        const Entry& old = entry(id);
        const bool top = placement == Placement::top;
        const bool shows =
            !narrowed() || (folded && std::u16string_view(*folded).find(search) != std::u16string_view::npos);
        const auto newPosition = static_cast<Position>(top ? 1 : count());
        if (!shows) {
            return {newPosition, 0, rank};
        }
        if (rankShown()) {
            // Counted among the others, the entry itself left out, by the new key.
            const std::u16string_view name = folded ? std::u16string_view(*folded) : std::u16string_view();
            const OrderedSlots::Slot slot = order.nextSlot(top);
            const auto before = [&](RankOrder::Id other) {
                const Entry& e = entry(other);
                if (e.rank != rank) {
                    return e.rank < rank;
                }
                const int names = compareInCodePointOrder(foldedNameOf(e), name);
                return names != 0 ? names < 0 : e.slot < slot;
            };
            return {
                newPosition,
                static_cast<Position>(ranked->countedBeforeKey(before, static_cast<RankOrder::Id>(id)) + 1),
                rank};
        }
        if (!narrowed()) {
            return {newPosition, newPosition, rank};
        }
        const auto others = static_cast<Position>(shown->count() - (old.shown ? 1 : 0));
        return {newPosition, static_cast<Position>(top ? 1 : others + 1), rank};
    }

    // After the search changed what is shown.
    void recountShown() noexcept {
        shownInRank.fill(0);
        order.forEach([&](EntryId id, OrderedSlots::Slot) {
            if (visible(entry(id))) {
                ++shownInRank[static_cast<std::size_t>(entry(id).rank)];
            }
        });
        if (ranked) {
            ranked->recount([this](RankOrder::Id id) { return visible(entry(id)); });
        }
    }

    // Builds the rank order's index unless it is there: O(n log n).
    void rank() {
        if (ranked) {
            return;
        }
        RankOrder built;
        built.reserve(entries.capacity());
        order.forEach([&](EntryId id, OrderedSlots::Slot) {
            built.insert(static_cast<RankOrder::Id>(id), visible(entry(id)), rankLess());
        });
        ranked.emplace(std::move(built));
    }

    void unrankUnlessUsed() noexcept {
        if (!rankShown() && rankHolds == 0) {
            ranked.reset();
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
    store.write(id, text, folded, rankOfText(text));
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

    // One step for the observers that follow replacements: the member is the
    // same, at a new place. The others hear a removal, then an insertion.
    const ListChange from = store.at(position, id);
    const Rank rank = rankOfText(text);
    const ListChange to = store.replacing(id, folded, rank, placement);
    store.tellReplacing([&](ChanSaveListReplaceObserver& o) { o.aboutToReplace(from, to); });
    store.tellPlain([&](ChanSaveListObserver& o) { o.aboutToRemove(from); });
    store.unlink(position);
    store.tellPlain([&](ChanSaveListObserver& o) { o.removed(from); });
    store.erase(id);
    store.write(id, text, folded, rank);
    store.entry(id).slot = store.order.nextSlot(placement == Placement::top);
    store.tellPlain([&](ChanSaveListObserver& o) { o.aboutToInsert(to); });
    store.link(id, placement);
    store.tellPlain([&](ChanSaveListObserver& o) { o.inserted(to); });
    store.tellReplacing([&](ChanSaveListReplaceObserver& o) { o.replaced(from, to); });
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
        store.recountShown();
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
    store.recountShown();
}

bool ChanSaveList::isNarrowed() const noexcept {
    return store_->narrowed();
}

Position ChanSaveList::shownCount() const noexcept {
    return store_->narrowed() ? static_cast<Position>(store_->shown->count()) : count();
}

void ChanSaveList::setShownOrder(ShownOrder order) {
    Store& store = *store_;
    if (order == ShownOrder::rankThenName) {
        store.rank();
    }
    store.shownOrder = order;
    store.unrankUnlessUsed();
}

ShownOrder ChanSaveList::shownOrder() const noexcept {
    return store_->shownOrder;
}

Position ChanSaveList::shownCountIn(Rank rank) const noexcept {
    return store_->shownInRank[static_cast<std::size_t>(rank)];
}

Position ChanSaveList::shownEntry(Position shownPosition) const {
    const Store& store = *store_;
    if (shownPosition < 1 || shownPosition > shownCount()) {
        throw std::out_of_range("no shown channel list entry at " + std::to_string(shownPosition));
    }
    if (store.rankShown()) {
        return static_cast<Position>(
            store.order.positionOf(store.entry(store.ranked->select(shownPosition)).slot));
    }
    return store.narrowed()
               ? static_cast<Position>(store.order.positionOf(store.shown->select(shownPosition)))
               : shownPosition;
}

std::u16string_view ChanSaveList::shownText(Position shownPosition) const {
    const Store& store = *store_;
    if (store.rankShown() && shownPosition >= 1 && shownPosition <= shownCount()) {
        return store.textOf(store.entry(store.ranked->select(shownPosition)));
    }
    return text(shownEntry(shownPosition));
}

Position ChanSaveList::shownPositionOf(Position position) const {
    store_->checkPosition(position);
    return store_->shownPositionOf(store_->idAt(position), position);
}

Rank ChanSaveList::rankAt(Position position) const {
    store_->checkPosition(position);
    return store_->entry(store_->idAt(position)).rank;
}

void ChanSaveList::holdRankIndex() {
    store_->rank();
    ++store_->rankHolds;
}

void ChanSaveList::releaseRankIndex() noexcept {
    if (store_->rankHolds > 0) {
        --store_->rankHolds;
    }
    store_->unrankUnlessUsed();
}

std::vector<Position> ChanSaveList::entriesNamedFrom(std::u16string_view prefix) const {
    const Store& store = *store_;
    const std::u16string folded = foldName(prefix);
    const auto startsWith = [&](EntryId id) {
        const Entry& e = store.entry(id);
        return e.named && store.foldedNameOf(e).starts_with(folded);
    };
    std::vector<Position> positions;
    const auto add = [&](EntryId id) {
        positions.push_back(static_cast<Position>(store.order.positionOf(store.entry(id).slot)));
    };
    if (!store.ranked) {
        std::vector<RankOrder::Id> found;
        store.order.forEach([&](EntryId id, OrderedSlots::Slot) {
            if (startsWith(id)) {
                found.push_back(static_cast<RankOrder::Id>(id));
            }
        });
        std::sort(found.begin(), found.end(), store.rankLess());
        std::for_each(found.begin(), found.end(), add);
        return positions;
    }
    for (int rank = 0; rank < rankCount; ++rank) {
        const auto inRank = [&](EntryId id) {
            return store.entry(id).rank == static_cast<Rank>(rank);
        };
        store.ranked->visitFrom(
            [&](RankOrder::Id id) {
                const Entry& e = store.entry(id);
                return e.rank < static_cast<Rank>(rank) ||
                       (inRank(id) && compareInCodePointOrder(store.foldedNameOf(e), folded) < 0);
            },
            [&](RankOrder::Id id) {
                if (!inRank(id) || !store.foldedNameOf(store.entry(id)).starts_with(folded)) {
                    return false;
                }
                if (store.entry(id).named) {
                    add(id);
                }
                return true;
            });
    }
    return positions;
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
    store.shownInRank.fill(0);
    if (store.ranked) {
        store.ranked->clear(); // room comes with the first new entry
    }
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
