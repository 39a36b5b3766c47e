#pragma once

#include "entry_store.h"
#include "rank_order.h"
#include "shown_slots.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::detail {

// What a list shows of its entries, and where: the search that narrows it,
// the order it shows them in (its own, or by rank, then name), the entries
// shown in each rank, and the mapping between places shown and positions in
// the list. It follows the entries as they come and go; each change costs
// O(log n).
class ShownEntries {
public:
    explicit ShownEntries(EntryStore& stored) noexcept : stored_(stored) {}

    bool narrowed() const noexcept { return shown_.has_value(); }
    // While the rank index is put off, places are those of the list's own order.
    bool rankShown() const noexcept { return order_ == ShownOrder::rankThenName && !rankPutOff_; }
    ShownOrder order() const noexcept { return order_; }
    bool visible(const Entry& e) const noexcept { return !narrowed() || e.shown; }
    // Whether the search shows an entry of this folded name.
    bool shows(const std::optional<std::u16string>& folded) const noexcept;
    Position count() const noexcept;
    Position countIn(Rank rank) const noexcept { return inRank_[static_cast<std::size_t>(rank)]; }

    // Where the entry at this position is shown, or 0 when the search hides it.
    Position shownPositionOf(EntryId id, Position position) const noexcept;
    ListChange at(Position position, EntryId id) const noexcept {
        return {position, shownPositionOf(id, position), stored_.entry(id).rank};
    }
    // Where an entry, its slot chosen, goes when placed at the top or the bottom.
    ListChange placing(EntryId id, Placement placement) const noexcept;
    // Where the entry, now where from says, goes when it gets a text with
    // this folded name and rank, placed at the top or the bottom, worked out
    // before anything changes.
    ListChange replacing(const ListChange& from, EntryId id, const std::optional<std::u16string>& folded,
                         Rank rank, Placement placement, bool keepsRankPlace) const noexcept;
    // Whether an entry that gets a text of this folded name and rank keeps
    // its place in the rank order, while there is one: the same rank and
    // name, and no other entry of that name, so that its new slot orders it
    // against no one.
    bool keepsRankPlace(EntryId id, const std::optional<std::u16string>& folded, Rank rank) const noexcept;
    // While an entry that keeps its rank place leaves and enters again, the
    // rank order keeps it where it is.
    void keepInRankPlace(EntryId id) noexcept { keptInRankPlace_ = id; }
    // The list position of the entry shown at this place, from 1 to count().
    EntryId entryShownAt(Position shownPosition) const noexcept;

    // Room for the rank order of this many entries. May throw.
    void reserve(std::size_t entries);
    // The entry entered the list's order, its slot taken; or is about to leave it.
    void enter(EntryId id) noexcept;
    void leave(EntryId id) noexcept;
    // The list's slots are being spread again: call moved(id, slot) for each
    // entry, and then keep() the new shown slots. May throw before any is moved.
    std::optional<ShownSlots> respread(OrderedSlots::Slot capacity) const;
    void keep(std::optional<ShownSlots>& reshown) noexcept;

    // Throws std::bad_alloc when memory runs out, and then changes nothing.
    void setSearch(std::u16string folded);
    void setOrder(ShownOrder order);
    void holdRankIndex();
    void releaseRankIndex() noexcept;
    // Puts the rank index off while many entries come at once, and builds it
    // in one pass afterwards. Putting off makes room for the building and may
    // throw, then putting off nothing; building cannot fail.
    void putOffRankIndex();
    void buildPutOffRankIndex() noexcept;
    // The entries, shown or not, whose name begins with this folded text, in
    // rank-then-name order.
    std::vector<Position> entriesNamedFrom(std::u16string_view folded) const;
    // The list was emptied; the search stays.
    void clear() noexcept;

private:
    bool matches(const Entry& e) const noexcept {
        return e.named && stored_.foldedNameOf(e).find(search_) != std::u16string_view::npos;
    }
    // What the rank order compares: rank, then folded name, then the list's order.
    auto rankLess() const noexcept {
        return [this](RankOrder::Id a, RankOrder::Id b) {
            const Entry& left = stored_.entry(a);
            const Entry& right = stored_.entry(b);
            if (left.rank != right.rank) {
                return left.rank < right.rank;
            }
            const int names =
                compareInCodePointOrder(stored_.foldedNameOf(left), stored_.foldedNameOf(right));
            return names != 0 ? names < 0 : left.slot < right.slot;
        };
    }
    // Where the entry is, or would be, in the rank order among those shown.
    Position rankPlaceOf(EntryId id) const noexcept {
        return static_cast<Position>(ranked_->countedBefore(static_cast<RankOrder::Id>(id), rankLess()) + 1);
    }
    void recount() noexcept;
    bool indexed() const noexcept { return ranked_.has_value() && !rankPutOff_; }
    // Builds the rank order's index unless it is there: O(n log n).
    void rank();
    void unrankUnlessUsed() noexcept;

    EntryStore& stored_;
    // While the list is narrowed: the folded text searched for, and which
    // slots hold an entry whose name contains it.
    std::u16string search_;
    std::optional<ShownSlots> shown_;
    std::array<Position, rankCount> inRank_{};
    // The entries by rank, then name, while that order is shown or held.
    ShownOrder order_ = ShownOrder::list;
    std::optional<RankOrder> ranked_;
    int rankHolds_ = 0;
    // While the rank index is put off, it is stale, and its entries are
    // sorted here, in room kept for every entry, when it is built again: each
    // with what the rank order compares, read once.
    struct SortKey {
        const char16_t* name;
        std::uint32_t nameLength;
        OrderedSlots::Slot slot;
        Rank rank;
        RankOrder::Id id;
    };
    bool rankPutOff_ = false;
    EntryId keptInRankPlace_ = -1;
    std::vector<SortKey> sorted_;
};

} // namespace tavrin::detail
