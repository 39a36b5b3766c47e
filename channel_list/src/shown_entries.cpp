#include "shown_entries.h"

#include <algorithm>

namespace tavrin::detail {

bool ShownEntries::shows(const std::optional<std::u16string>& folded) const noexcept {
    return !narrowed() || (folded && std::u16string_view(*folded).find(search_) != std::u16string_view::npos);
}

Position ShownEntries::count() const noexcept {
    return narrowed() ? static_cast<Position>(shown_->count()) : stored_.count();
}

Position ShownEntries::shownPositionOf(EntryId id, Position position) const noexcept {
    const Entry& e = stored_.entry(id);
    return static_cast<Position>(!visible(e) ? 0
                                 : rankShown()
                                     ? ranked_->countedBeforeInTree(static_cast<RankOrder::Id>(id)) + 1
                                 : narrowed() ? shown_->rank(e.slot)
                                              : position);
}

ListChange ShownEntries::placing(EntryId id, Placement placement) const noexcept {
    const Entry& e = stored_.entry(id);
    const bool top = placement == Placement::top;
    const auto position = static_cast<Position>(top ? 1 : stored_.count() + 1);
    const auto shownPosition = static_cast<Position>(!visible(e)   ? 0
                                                     : rankShown() ? rankPlaceOf(id)
                                                     : !narrowed() ? position
                                                     : top         ? 1
                                                                   : shown_->count() + 1);
    return {position, shownPosition, e.rank};
}

ListChange ShownEntries::replacing(const ListChange& from, EntryId id,
                                   const std::optional<std::u16string>& folded, Rank rank,
                                   Placement placement, bool keepsRankPlace) const noexcept {
    const Entry& old = stored_.entry(id);
    const bool top = placement == Placement::top;
    const auto newPosition = static_cast<Position>(top ? 1 : stored_.count());
    if (!shows(folded)) {
        return {newPosition, 0, rank};
    }
    if (rankShown() && keepsRankPlace) {
        return {newPosition, from.shownPosition, rank};
    }
    if (rankShown()) {
        // Counted among the others, the entry itself left out, by the new key.
        const std::u16string_view name = folded ? std::u16string_view(*folded) : std::u16string_view();
        const OrderedSlots::Slot slot = stored_.order.nextSlot(top);
        const auto before = [&](RankOrder::Id other) {
            const Entry& e = stored_.entry(other);
            if (e.rank != rank) {
                return e.rank < rank;
            }
            const int names = compareInCodePointOrder(stored_.foldedNameOf(e), name);
            return names != 0 ? names < 0 : e.slot < slot;
        };
        return {newPosition,
                static_cast<Position>(ranked_->countedBeforeKey(before, static_cast<RankOrder::Id>(id)) + 1),
                rank};
    }
    if (!narrowed()) {
        return {newPosition, newPosition, rank};
    }
    const auto others = static_cast<Position>(shown_->count() - (old.shown ? 1 : 0));
    return {newPosition, static_cast<Position>(top ? 1 : others + 1), rank};
}

bool ShownEntries::keepsRankPlace(EntryId id, const std::optional<std::u16string>& folded,
                                  Rank rank) const noexcept {
    if (!indexed()) {
        return false;
    }
    const Entry& e = stored_.entry(id);
    return folded && e.rank == rank && stored_.foldedNameOf(e) == *folded && stored_.namedAlone(id);
}

EntryId ShownEntries::entryShownAt(Position shownPosition) const noexcept {
    if (rankShown()) {
        return ranked_->select(shownPosition);
    }
    return narrowed() ? stored_.order.itemIn(shown_->select(shownPosition)) : stored_.idAt(shownPosition);
}

void ShownEntries::reserve(std::size_t entries) {
    if (ranked_) {
        ranked_->reserve(entries);
    }
    if (rankPutOff_) {
        sorted_.reserve(entries);
    }
}

void ShownEntries::enter(EntryId id) noexcept {
    const Entry& e = stored_.entry(id);
    if (narrowed() && e.shown) {
        shown_->show(e.slot);
    }
    if (indexed() && id != keptInRankPlace_) {
        ranked_->insert(static_cast<RankOrder::Id>(id), visible(e), rankLess());
    }
    inRank_[static_cast<std::size_t>(e.rank)] += visible(e) ? 1 : 0;
}

void ShownEntries::leave(EntryId id) noexcept {
    const Entry& e = stored_.entry(id);
    if (narrowed() && e.shown) {
        shown_->hide(e.slot);
    }
    if (indexed() && id != keptInRankPlace_) {
        ranked_->erase(static_cast<RankOrder::Id>(id), rankLess());
    }
    inRank_[static_cast<std::size_t>(e.rank)] -= visible(e) ? 1 : 0;
}

std::optional<ShownSlots> ShownEntries::respread(OrderedSlots::Slot capacity) const {
    std::optional<ShownSlots> reshown;
    if (narrowed()) {
        reshown.emplace(capacity);
    }
    return reshown;
}

void ShownEntries::keep(std::optional<ShownSlots>& reshown) noexcept {
    if (reshown) {
        shown_.swap(reshown);
    }
}

void ShownEntries::setSearch(std::u16string folded) {
    if (folded.empty()) {
        shown_.reset();
        search_.clear();
        recount();
        return;
    }
    ShownSlots shown(stored_.order.capacity());
    search_.swap(folded);
    stored_.order.forEach([&](EntryId id, OrderedSlots::Slot slot) {
        Entry& e = stored_.entry(id);
        e.shown = matches(e);
        if (e.shown) {
            shown.show(slot);
        }
    });
    shown_ = std::move(shown);
    recount();
}

void ShownEntries::setOrder(ShownOrder order) {
    if (order == ShownOrder::rankThenName) {
        rank();
    }
    order_ = order;
    unrankUnlessUsed();
}

void ShownEntries::holdRankIndex() {
    rank();
    ++rankHolds_;
}

void ShownEntries::releaseRankIndex() noexcept {
    if (rankHolds_ > 0) {
        --rankHolds_;
    }
    unrankUnlessUsed();
}

void ShownEntries::recount() noexcept {
    inRank_.fill(0);
    stored_.order.forEach([&](EntryId id, OrderedSlots::Slot) {
        if (visible(stored_.entry(id))) {
            ++inRank_[static_cast<std::size_t>(stored_.entry(id).rank)];
        }
    });
    if (indexed()) {
        ranked_->recount([this](RankOrder::Id id) { return visible(stored_.entry(id)); });
    }
}

// The entries are sorted once and the tree built from them in one pass,
// rather than entered one by one.
void ShownEntries::rank() {
    if (rankPutOff_) {
        buildPutOffRankIndex();
    }
    if (ranked_) {
        return;
    }
    RankOrder built;
    built.reserve(stored_.entries.capacity());
    sorted_.reserve(stored_.entries.capacity());
    rankPutOff_ = true;
    ranked_.emplace(std::move(built));
    buildPutOffRankIndex();
}

void ShownEntries::putOffRankIndex() {
    if (ranked_ && !rankPutOff_) {
        sorted_.reserve(stored_.entries.capacity());
        rankPutOff_ = true;
    }
}

void ShownEntries::buildPutOffRankIndex() noexcept {
    if (!rankPutOff_) {
        return;
    }
    sorted_.clear();
    stored_.order.forEach([&](EntryId id, OrderedSlots::Slot slot) {
        const Entry& e = stored_.entry(id);
        const std::u16string_view name = stored_.foldedNameOf(e);
        sorted_.push_back({name.data(), static_cast<std::uint32_t>(name.size()), slot, e.rank,
                           static_cast<RankOrder::Id>(id)});
    });
    std::sort(sorted_.begin(), sorted_.end(), [](const SortKey& left, const SortKey& right) {
        if (left.rank != right.rank) {
            return left.rank < right.rank;
        }
        const int names =
            compareInCodePointOrder({left.name, left.nameLength}, {right.name, right.nameLength});
        return names != 0 ? names < 0 : left.slot < right.slot;
    });
    ranked_->build(
        static_cast<std::int32_t>(sorted_.size()),
        [this](std::int32_t at) { return sorted_[static_cast<std::size_t>(at)].id; },
        [this](RankOrder::Id id) { return visible(stored_.entry(id)); });
    std::vector<SortKey>().swap(sorted_);
    rankPutOff_ = false;
}

void ShownEntries::unrankUnlessUsed() noexcept {
    if (order_ != ShownOrder::rankThenName && rankHolds_ == 0) {
        ranked_.reset();
        rankPutOff_ = false;
        std::vector<SortKey>().swap(sorted_);
    }
}

std::vector<Position> ShownEntries::entriesNamedFrom(std::u16string_view folded) const {
    const auto startsWith = [&](EntryId id) {
        const Entry& e = stored_.entry(id);
        return e.named && stored_.foldedNameOf(e).starts_with(folded);
    };
    std::vector<Position> positions;
    const auto add = [&](EntryId id) {
        positions.push_back(stored_.positionOf(id));
    };
    if (!indexed()) {
        std::vector<RankOrder::Id> found;
        stored_.order.forEach([&](EntryId id, OrderedSlots::Slot) {
            if (startsWith(id)) {
                found.push_back(static_cast<RankOrder::Id>(id));
            }
        });
        std::sort(found.begin(), found.end(), rankLess());
        std::for_each(found.begin(), found.end(), add);
        return positions;
    }
    for (int rank = 0; rank < rankCount; ++rank) {
        const auto inRank = [&](EntryId id) {
            return stored_.entry(id).rank == static_cast<Rank>(rank);
        };
        ranked_->visitFrom(
            [&](RankOrder::Id id) {
                const Entry& e = stored_.entry(id);
                return e.rank < static_cast<Rank>(rank) ||
                       (inRank(id) && compareInCodePointOrder(stored_.foldedNameOf(e), folded) < 0);
            },
            [&](RankOrder::Id id) {
                if (!inRank(id) || !stored_.foldedNameOf(stored_.entry(id)).starts_with(folded)) {
                    return false;
                }
                if (stored_.entry(id).named) {
                    add(id);
                }
                return true;
            });
    }
    return positions;
}

void ShownEntries::clear() noexcept {
    if (shown_) {
        shown_.emplace(); // room comes with the first new entry
    }
    inRank_.fill(0);
    if (ranked_) {
        ranked_->clear(); // room comes with the first new entry
        rankPutOff_ = false;
        std::vector<SortKey>().swap(sorted_);
    }
}

} // namespace tavrin::detail
