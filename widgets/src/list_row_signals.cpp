#include "list_row_signals.h"

#include "chan_save_list_model_p.h"

namespace tavrin::detail {

ListRowSignals::ListRowSignals(ChanSaveListModelPrivate& model) : d(model) {
    d.list.addObserver(this);
}

ListRowSignals::~ListRowSignals() {
    d.list.removeObserver(this);
}

// The operator keyword, and only it, ranks a member among the operators.
void ListRowSignals::countOperator(const ListChange& change, int delta) noexcept {
    if (change.rank == Rank::channelOperator) {
        d.operators += delta;
    }
}

// None when the search hides the member; under headings, the heading too when
// they are the rank's only member, and no member row when the rank is folded.
void ListRowSignals::beginRows(const ListChange& change, bool inserting) noexcept {
    rowsBegun_ = false;
    changedHeading_ = -1;
    if (change.shownPosition == 0 || d.resetting) {
        return;
    }
    const auto begin = [&](int first, int last) {
        inserting ? d.beginInsertRows(first, last) : d.beginRemoveRows(first, last);
        rowsBegun_ = true;
    };
    if (!d.grouped()) {
        begin(change.shownPosition - 1, change.shownPosition - 1);
    } else if (d.membersIn(change.rank) == (inserting ? 0 : 1)) {
        const int heading = d.headingRows().headingRow(change.rank);
        begin(heading, heading + (d.isFolded(change.rank) ? 0 : 1));
        changedHeading_ = inserting ? heading : -1;
    } else {
        changedHeading_ = d.headingRows().headingRow(change.rank);
        if (!d.isFolded(change.rank)) {
            const int row = d.rowOfMember(change.rank, change.shownPosition);
            begin(row, row);
        }
    }
}

void ListRowSignals::finishRows(bool inserting) noexcept {
    if (rowsBegun_) {
        inserting ? d.endInsertRows() : d.endRemoveRows();
    }
    d.countHeadings();
    if (changedHeading_ >= 0) {
        d.redrawRow(changedHeading_);
    }
}

void ListRowSignals::aboutToInsert(const ListChange& change) noexcept {
    beginRows(change, true);
}

void ListRowSignals::inserted(const ListChange& change) noexcept {
    countOperator(change, +1);
    finishRows(true);
}

void ListRowSignals::aboutToRemove(const ListChange& change) noexcept {
    countOperator(change, -1);
    beginRows(change, false);
}

void ListRowSignals::removed(const ListChange&) noexcept {
    finishRows(false);
}

// A member refreshed stays the same person: their row moves, or changes in
// place, so the current row, the selection and persistent indexes go with
// them. Under headings, a rank the member enters gets its heading first,
// while the list is as it was; a rank they leave empty keeps its heading
// until their row has gone, and loses it then.
void ListRowSignals::aboutToReplace(const ListChange& from, const ListChange& to) noexcept {
    countOperator(from, -1);
    replacedRows_ = Rows::none;
    emptied_ = RankHeadingRows::noRank;
    if (d.resetting) {
        return;
    }
    const RankHeadingRows::Counts before = d.shownCounts();
    RankHeadingRows::Counts after = before;
    after[static_cast<std::size_t>(from.rank)] -= from.shownPosition > 0 ? 1 : 0;
    after[static_cast<std::size_t>(to.rank)] += to.shownPosition > 0 ? 1 : 0;
    const auto fills = [&](Rank rank, const RankHeadingRows::Counts& first,
                           const RankHeadingRows::Counts& second) {
        const auto at = static_cast<std::size_t>(rank);
        return d.grouped() && first[at] == 0 && second[at] > 0 ? static_cast<int>(rank)
                                                               : RankHeadingRows::noRank;
    };
    const int entered = fills(to.rank, before, after);
    emptied_ = fills(from.rank, after, before);
    if (entered != RankHeadingRows::noRank) {
        const int heading = RankHeadingRows(before, d.foldedRanks).headingRow(to.rank);
        d.beginInsertRows(heading, heading);
        d.keptHeading = entered;
        d.endInsertRows();
    }
    const int fromRow = rowIn(RankHeadingRows(before, d.foldedRanks, d.keptHeading), from);
    const int toRow = rowIn(RankHeadingRows(after, d.foldedRanks, emptied_), to);
    if (fromRow >= 0 && toRow >= 0 && fromRow != toRow) {
        replacedRows_ = d.beginMoveRow(fromRow, toRow) ? Rows::moved : Rows::none;
    } else if (fromRow >= 0 && toRow < 0) {
        d.beginRemoveRows(fromRow, fromRow);
        replacedRows_ = Rows::removed;
    } else if (fromRow < 0 && toRow >= 0) {
        d.beginInsertRows(toRow, toRow);
        replacedRows_ = Rows::inserted;
    }
}

void ListRowSignals::replaced(const ListChange& from, const ListChange& to) noexcept {
    countOperator(to, +1);
    if (d.resetting) {
        return;
    }
    d.keptHeading = emptied_;
    switch (replacedRows_) {
    case Rows::moved:
        d.endMoveRows();
        break;
    case Rows::removed:
        d.endRemoveRows();
        break;
    case Rows::inserted:
        d.endInsertRows();
        break;
    case Rows::none:
        break;
    }
    if (emptied_ != RankHeadingRows::noRank) {
        const int heading = d.headingRows().headingRow(static_cast<Rank>(emptied_));
        d.beginRemoveRows(heading, heading);
        d.keptHeading = RankHeadingRows::noRank;
        d.endRemoveRows();
    }
    const int row = rowIn(d.headingRows(), to);
    if (row >= 0) {
        d.redrawRow(row);
    }
    // The headings whose counts changed.
    const auto counts = d.headingCounts;
    d.countHeadings();
    for (const Rank rank : {from.rank, to.rank}) {
        const auto at = static_cast<std::size_t>(rank);
        if (d.grouped() && counts[at] != d.headingCounts[at] && d.membersIn(rank) > 0) {
            d.redrawRow(d.headingRows().headingRow(rank));
        }
    }
}

int ListRowSignals::rowIn(const RankHeadingRows& rows, const ListChange& change) const noexcept {
    if (change.shownPosition == 0) {
        return -1;
    }
    return d.grouped() ? rows.memberRow(change.rank, change.shownPosition) : change.shownPosition - 1;
}

// One reset, not a removal for every member, when the channel changes.
void ListRowSignals::aboutToClear() noexcept {
    d.beginResetModel();
}

void ListRowSignals::cleared() noexcept {
    d.operators = 0;
    d.countHeadings();
    d.endResetModel();
}

} // namespace tavrin::detail
