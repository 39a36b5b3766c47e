#pragma once

#include "channel_list/chan_save_list.h"
#include "rank_heading_rows.h"

class ChanSaveListModelPrivate;

namespace tavrin::detail {

// Hears the list's changes and turns them into the model's row signals: a
// member who joins or leaves is a row inserted or removed, with their rank's
// heading under headings; a member refreshed is a row moved or changed in
// place, never a leave and a join. It runs inside the list's changes, which
// cannot fail: nothing here allocates but Qt's own signals.
class ListRowSignals final : public ChanSaveListReplaceObserver {
public:
    explicit ListRowSignals(ChanSaveListModelPrivate& model);
    ~ListRowSignals();
    ListRowSignals(const ListRowSignals&) = delete;
    ListRowSignals& operator=(const ListRowSignals&) = delete;

    void aboutToInsert(const ListChange& change) noexcept override;
    void inserted(const ListChange& change) noexcept override;
    void aboutToRemove(const ListChange& change) noexcept override;
    void removed(const ListChange& change) noexcept override;
    void aboutToReplace(const ListChange& from, const ListChange& to) noexcept override;
    void replaced(const ListChange& from, const ListChange& to) noexcept override;
    void aboutToClear() noexcept override;
    void cleared() noexcept override;

private:
    void countOperator(const ListChange& change, int delta) noexcept;
    // Which rows a member entering or leaving adds or takes.
    void beginRows(const ListChange& change, bool inserting) noexcept;
    void finishRows(bool inserting) noexcept;
    // The row of an entry that the list shows at this place, or -1 when it
    // has none: hidden by the search, or in a folded rank.
    int rowIn(const RankHeadingRows& rows, const ListChange& change) const noexcept;

    ChanSaveListModelPrivate& d;
    // Between the two halves of a change: whether rows were begun, and the
    // heading whose count changed.
    bool rowsBegun_ = false;
    int changedHeading_ = -1;
    // Between the two halves of a replacement: what the member's row does,
    // and the rank that it leaves empty.
    enum class Rows { none, moved, removed, inserted } replacedRows_ = Rows::none;
    int emptied_ = RankHeadingRows::noRank;
};

} // namespace tavrin::detail
