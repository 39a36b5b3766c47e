#pragma once

// The inside of ChanSaveListModel, shared by its pieces.

#include "tavrin_widgets/chan_save_list_model.h"

#include "channel_list/chan_save_list.h"
#include "failure.h"
#include "list_row_signals.h"
#include "rank_heading_rows.h"

#include <array>
#include <vector>

namespace tavrin::detail {

// A row that a view holds on to, as it is found again after a layout change:
// a heading by its rank, a member by its place in the list.
struct HeldRow {
    bool heading = false;
    Rank rank = Rank::member;
    Position position = 0;
};

} // namespace tavrin::detail

// The model's list and what its views know of it: the counts told, the rows
// under headings and folds, and the layout changes that carry the rows views
// hold on to. The list's own changes reach the views through ListRowSignals.
class ChanSaveListModelPrivate final {
    using Position = tavrin::Position;
    using Rank = tavrin::Rank;
    using HeldRow = tavrin::detail::HeldRow;
    using RankHeadingRows = tavrin::detail::RankHeadingRows;
    using RowContent = tavrin::detail::RowContent;

public:
    explicit ChanSaveListModelPrivate(ChanSaveListModel& model) : q(model), rowSignals(*this) {}
    ChanSaveListModelPrivate(const ChanSaveListModelPrivate&) = delete;
    ChanSaveListModelPrivate& operator=(const ChanSaveListModelPrivate&) = delete;

    // Runs a change of the list; a failure is told through failed(), and the
    // counts that changed are told after it either way.
    template <typename Change> void change(Change change) {
        try {
            change();
        } catch (...) {
            Q_EMIT q.failed(tavrin::detail::failureInWords());
        }
        tellCounts();
    }

    void tellCounts() {
        const int members = list.count();
        const int shown = list.shownCount();
        if (members != toldMembers) {
            toldMembers = members;
            Q_EMIT q.memberCountChanged(members);
        }
        if (operators != toldOperators) {
            toldOperators = operators;
            Q_EMIT q.operatorCountChanged(operators);
        }
        if (shown != toldShown) {
            toldShown = shown;
            Q_EMIT q.shownCountChanged(shown);
        }
    }

    // Under headings, each rank with members shown takes a heading row, then
    // a row for each member unless folded.
    bool grouped() const noexcept {
        return headingsShown && list.shownOrder() == tavrin::ShownOrder::rankThenName;
    }
    bool isFolded(Rank rank) const noexcept {
        return (foldedRanks & (1U << static_cast<unsigned>(rank))) != 0;
    }
    int membersIn(Rank rank) const noexcept { return list.shownCountIn(rank); }
    RankHeadingRows::Counts shownCounts() const noexcept {
        RankHeadingRows::Counts counts{};
        for (int rank = 0; rank < tavrin::rankCount; ++rank) {
            counts[static_cast<std::size_t>(rank)] = membersIn(tavrin::detail::rankNumber(rank));
        }
        return counts;
    }
    RankHeadingRows headingRows() const noexcept { return {shownCounts(), foldedRanks, keptHeading}; }

    int rowCount() const noexcept { return grouped() ? headingRows().rowCount() : list.shownCount(); }

    // The row of the member shown at this place, in a rank not folded.
    int rowOfMember(Rank rank, Position shownPosition) const noexcept {
        return grouped() ? headingRows().memberRow(rank, shownPosition) : shownPosition - 1;
    }

    // The list counts its shown places from 1, a model its rows from 0.
    RowContent contentOf(int row) const noexcept {
        return grouped() ? headingRows().contentOf(row) : RowContent{false, Rank::member, row + 1};
    }

    std::u16string_view textOf(const RowContent& content) const {
        return list.shownText(static_cast<Position>(content.shownPosition));
    }

    HeldRow held(int row) const {
        const RowContent content = contentOf(row);
        return {content.heading, content.rank,
                content.heading ? Position{0}
                                : list.shownEntry(static_cast<Position>(content.shownPosition))};
    }

    QModelIndex indexOf(const HeldRow& row) const {
        if (row.heading) {
            return grouped() && membersIn(row.rank) > 0 ? q.createIndex(headingRows().headingRow(row.rank), 0)
                                                        : QModelIndex();
        }
        const Position shown = list.shownPositionOf(row.position);
        const Rank rank = list.rankAt(row.position);
        if (shown == 0 || (grouped() && isFolded(rank))) {
            return {};
        }
        return q.createIndex(rowOfMember(rank, shown), 0);
    }

    // Changes which rows there are all at once: the rows that views hold on
    // to, the current and selected ones, follow their members and headings
    // into the new rows, or go when they are no longer shown.
    template <typename Change> void relayout(Change change) {
        // Views hold their selection as persistent indexes from here on.
        Q_EMIT q.layoutAboutToBeChanged();
        QModelIndexList before;
        std::vector<HeldRow> rows;
        QModelIndexList after;
        try {
            before = q.persistentIndexList();
            rows.reserve(static_cast<std::size_t>(before.size()));
            for (const QModelIndex& index : before) {
                rows.push_back(held(index.row()));
            }
            after.reserve(before.size());
            change();
        } catch (...) {
            Q_EMIT q.layoutChanged();
            throw;
        }
        // The change is made: should the views fail to follow it, as when
        // memory runs out, they lose their current and selected rows, and the
        // change is not reported as failed.
        countHeadings();
        try {
            for (const HeldRow& row : rows) {
                after << indexOf(row);
            }
            q.changePersistentIndexList(before, after);
        } catch (...) {
        }
        try {
            Q_EMIT q.layoutChanged();
        } catch (...) {
        }
    }

    void headingData(Rank rank, QModelRoleDataSpan roles) const;

    // A heading's count changes for its views only once the rows under it
    // have: until the rows' change ends, it shows the count from before.
    void countHeadings() noexcept {
        for (int rank = 0; rank < tavrin::rankCount; ++rank) {
            headingCounts[static_cast<std::size_t>(rank)] = membersIn(tavrin::detail::rankNumber(rank));
        }
    }

    void redrawRow(int row) {
        const QModelIndex index = q.createIndex(row, 0);
        Q_EMIT q.dataChanged(index, index);
    }

    ChanSaveListModel& q;
    tavrin::ChanSaveList list;
    int operators = 0;
    int toldMembers = 0;
    int toldOperators = 0;
    int toldShown = 0;
    bool headingsShown = false;
    QString search; // as last set
    unsigned foldedRanks = 0;
    // A rank whose heading stays, with no members, while a member leaves it for another.
    int keptHeading = RankHeadingRows::noRank;
    std::array<int, tavrin::rankCount> headingCounts{};
    bool resetting = false;                    // many members added at once, as one reset
    tavrin::detail::ListRowSignals rowSignals; // the last, as it follows the list

    // Qt's row signals, which only the model and its friends may send.
    void beginInsertRows(int first, int last) { q.beginInsertRows({}, first, last); }
    void endInsertRows() { q.endInsertRows(); }
    void beginRemoveRows(int first, int last) { q.beginRemoveRows({}, first, last); }
    void endRemoveRows() { q.endRemoveRows(); }
    bool beginMoveRow(int from, int to) {
        return q.beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    }
    void endMoveRows() { q.endMoveRows(); }
    void beginResetModel() { q.beginResetModel(); }
    void endResetModel() { q.endResetModel(); }
};
