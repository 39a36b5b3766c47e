#pragma once

#include "channel_list/export.h"
#include "channel_list/standing.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin {

using Position = std::int16_t; // counted from 1

// One entry entering or leaving: where in the list, where among the entries
// that the list shows (0 when its search hides the entry), and the entry's
// rank.
struct ListChange {
    Position position = 0;
    Position shownPosition = 0;
    Rank rank = Rank::member;
};

// Told about every change to a ChanSaveList, before and after it, so that a
// view can follow the list without keeping a copy. A list tells any number of
// observers, in the order they were added. The list tells them from inside
// its changes, which cannot fail, so observers do not throw.
class ChanSaveListObserver {
public:
    virtual void aboutToInsert(const ListChange& change) noexcept = 0;
    virtual void inserted(const ListChange& change) noexcept = 0;
    virtual void aboutToRemove(const ListChange& change) noexcept = 0;
    virtual void removed(const ListChange& change) noexcept = 0;
    virtual void aboutToClear() noexcept = 0;
    virtual void cleared() noexcept = 0;

protected:
    ~ChanSaveListObserver() = default;
};

// An observer that is also told when an entry gets a new text, as when a
// member is refreshed: the entry goes from where it is (from) to where it
// will be once the change is made (to), the same place when it changes in
// place, and its rank, and whether the search shows it, may change on the
// way. The person stays the same, so a view moves or redraws their row
// rather than removing it and adding another. A plain observer hears such a
// change as a removal and an insertion.
class ChanSaveListReplaceObserver : public ChanSaveListObserver {
public:
    virtual void aboutToReplace(const ListChange& from, const ListChange& to) noexcept = 0;
    virtual void replaced(const ListChange& from, const ListChange& to) noexcept = 0;

protected:
    ~ChanSaveListReplaceObserver() = default;
};

enum class Placement { top, bottom };

// The order in which the list shows its entries: its own, or by rank, then by
// lower-cased name compared code point by code point, entries with the same
// name in the list's own order.
enum class ShownOrder { list, rankThenName };

// The ordered entry texts of one channel, at most 32,767 of them. Entries only
// enter at the top or the bottom, so each operation costs O(log n) and a
// look-up by name is one hash probe on the entry's stored lower-cased name.
// The texts and names lie end to end in one buffer, so emptying the list
// frees a few blocks, not one for every member. Every operation either
// completes or, when it throws, changes nothing.
class TAVRIN_CHANNEL_LIST_EXPORT ChanSaveList {
public:
    static constexpr Position maxCount = INT16_MAX;

    ChanSaveList();
    ~ChanSaveList();
    ChanSaveList(const ChanSaveList&) = delete;
    ChanSaveList& operator=(const ChanSaveList&) = delete;

    Position count() const noexcept;
    bool isFull() const noexcept { return count() == maxCount; }

    // Throws std::out_of_range for a position outside 1 to count(). The view
    // holds until the list next changes.
    std::u16string_view text(Position position) const;

    // Throw std::length_error when the list is full.
    void insertAtTop(std::u16string_view text);
    void append(std::u16string_view text);
    void insert(std::u16string_view text, Placement placement);

    // Throws std::out_of_range for a position outside 1 to count().
    void removeAt(Position position);

    // Puts the text in place of the entry at the position and moves it to the
    // top or the bottom in one step, so a full list can still refresh a member.
    void replace(Position position, std::u16string_view text, Placement placement);

    // Empties the list in one step, as when a chat client changes channel,
    // and gives back the memory that the entries held.
    void clear() noexcept;

    // Narrows the list to the entries whose name contains this text, compared
    // as names are, without regard to case; keywords and pings are not
    // searched. An empty text shows every entry. The entries shown change all
    // at once, and observers are not told; later changes tell them where the
    // entry is shown. The search stays when the list is cleared.
    void setSearch(std::u16string_view text);
    bool isNarrowed() const noexcept;
    // Shows the entries in this order; the list's own order stays as it is.
    // The rank order's index is built here, O(n log n), and freed when the
    // list's own order is shown again, unless held. Observers are not told.
    void setShownOrder(ShownOrder order);
    ShownOrder shownOrder() const noexcept;
    Position shownCount() const noexcept;
    // The entries of a rank that the search shows.
    Position shownCountIn(Rank rank) const noexcept;
    // The position in the list of the entry shown at this place. Throws
    // std::out_of_range for a place outside 1 to shownCount().
    Position shownEntry(Position shownPosition) const;
    // The text of the entry shown at this place, as text(shownEntry(place))
    // gives it, read without the round trip through its position.
    std::u16string_view shownText(Position shownPosition) const;
    // Where the entry at this position is shown, or 0 when the search hides
    // it. Throws std::out_of_range for a position outside 1 to count().
    Position shownPositionOf(Position position) const;
    // Throws std::out_of_range for a position outside 1 to count().
    Rank rankAt(Position position) const;

    // Keeps the rank order's index while held, whatever order is shown, for
    // look-ups by the start of a name. Holding may throw std::bad_alloc, and
    // then holds nothing.
    void holdRankIndex();
    void releaseRankIndex() noexcept;
    // The positions of the entries, shown or not, whose name begins with this
    // text, compared as names are, in rank-then-name order: O(log n + k) for
    // k entries while the rank index is held, a sort of every entry otherwise.
    std::vector<Position> entriesNamedFrom(std::u16string_view prefix) const;
    // For many additions at once that no one reads in between, such as a
    // whole channel joined: the rank order's index is put off, so that each
    // addition costs what it costs in the list's own order, and built again
    // in one pass, O(n log n), afterwards. Meanwhile every place the list
    // tells or answers is one in the list's own order. Putting off may throw
    // std::bad_alloc, and then puts off nothing; building cannot fail.
    void putOffRankIndex();
    void buildPutOffRankIndex() noexcept;

    // The topmost entry whose name equals this one, ignoring case.
    std::optional<Position> find(std::u16string_view username) const;

    // Each observer must be removed before it is destroyed, or outlive the
    // list. Adding one may throw std::bad_alloc, and then adds nothing.
    void addObserver(ChanSaveListObserver* observer);
    void addObserver(ChanSaveListReplaceObserver* observer);
    void removeObserver(ChanSaveListObserver* observer) noexcept;

private:
    struct Store;
    std::unique_ptr<Store> store_;
};

// Keeps a list's rank index while it lives, and lets go of its own hold
// only, once: a moved-from hold holds nothing. Holding may fail, as when
// memory runs out; the hold then holds nothing, and says so. The list must
// outlive the hold, or the hold must be dismissed first.
class RankIndexHold {
public:
    RankIndexHold() noexcept = default;
    explicit RankIndexHold(ChanSaveList& list) {
        list.holdRankIndex();
        list_ = &list;
    }
    ~RankIndexHold() { release(); }
    RankIndexHold(RankIndexHold&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}
    RankIndexHold& operator=(RankIndexHold&& other) noexcept {
        if (this != &other) {
            release();
            list_ = std::exchange(other.list_, nullptr);
        }
        return *this;
    }
    RankIndexHold(const RankIndexHold&) = delete;
    RankIndexHold& operator=(const RankIndexHold&) = delete;

    bool holds() const noexcept { return list_ != nullptr; }
    void release() noexcept {
        if (list_ != nullptr) {
            std::exchange(list_, nullptr)->releaseRankIndex();
        }
    }
    // Forgets the list without letting go, for a list already destroyed.
    void dismiss() noexcept { list_ = nullptr; }

private:
    ChanSaveList* list_ = nullptr;
};

// Puts a list's rank index off while it lives, and builds it when it goes.
class RankIndexPutOff {
public:
    explicit RankIndexPutOff(ChanSaveList& list) : list_(list) { list.putOffRankIndex(); }
    ~RankIndexPutOff() { list_.buildPutOffRankIndex(); }
    RankIndexPutOff(const RankIndexPutOff&) = delete;
    RankIndexPutOff& operator=(const RankIndexPutOff&) = delete;

private:
    ChanSaveList& list_;
};

} // namespace tavrin
