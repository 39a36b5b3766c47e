#include "row_follower.h"

#include <QAbstractItemView>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <utility>

namespace tavrin::detail {

RowFollower::RowFollower(QAbstractItemView& view, std::function<RowGeometry()> geometry)
    : view_(view), geometry_(std::move(geometry)) {}

int RowFollower::scrollValueIn(const RowGeometry& rows) const {
    return clampToInt(qint64{view_.verticalScrollBar()->value()} + qint64{anchor_.followed()} * rows.step());
}

int RowFollower::topRow() const {
    const RowGeometry rows = geometry_();
    return rows.rowAt(0, offsetIn(rows));
}

int RowFollower::rowTop(int row) const {
    const RowGeometry rows = geometry_();
    return rows.rowTop(row, offsetIn(rows));
}

void RowFollower::follow(QAbstractItemModel* model) {
    for (const auto& connection : connections_) {
        QObject::disconnect(connection);
    }
    connections_.clear();
    if (model == nullptr) {
        return;
    }
    connections_ = {
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, &view_,
                         [this](const QModelIndex& parent, int start, int end) {
                             if (parent == view_.rootIndex()) {
                                 rowsRemoved(start, end);
                             }
                         }),
        QObject::connect(model, &QAbstractItemModel::rowsMoved, &view_,
                         [this](const QModelIndex& parent, int start, int end,
                                const QModelIndex& destinationParent, int destination) {
                             if (parent == view_.rootIndex() && destinationParent == parent) {
                                 rowsMoved(start, end, destination);
                             }
                         }),
        // New rows all at once, as when a search narrows the list: shown in the next paint.
        QObject::connect(model, &QAbstractItemModel::layoutChanged, &view_,
                         [this] {
                             updateScrollRange();
                             view_.viewport()->update();
                         }),
    };
}

void RowFollower::updateScrollRange() {
    scrollRangePending_ = false;
    QScrollBar* bar = view_.verticalScrollBar();
    const bool wasNeeded = bar->maximum() > 0;
    const RowGeometry rows = geometry_();
    const int maximum = rows.scrollMaximum();
    if (anchor_.followed() != 0) {
        // The viewport already shows the rows there.
        const int followed = scrollValueIn(rows);
        anchor_.forget();
        const QScopedValueRollback catchingUp(catchingUp_, true);
        bar->setRange(0, std::max(maximum, followed));
        bar->setValue(followed);
    }
    bar->setRange(0, maximum);
    if (wasNeeded != (bar->maximum() > 0)) {
        // Shows or hides the scroll bar now; Qt would do it only after the
        // next paint, and that frame would be painted twice.
        view_.setVerticalScrollBarPolicy(view_.verticalScrollBarPolicy());
    }
    bar->setPageStep(rows.page());
    bar->setSingleStep(rows.step());
    view_.horizontalScrollBar()->setRange(0, 0);
}

void RowFollower::updatePendingScrollRange() {
    if (scrollRangePending_) {
        updateScrollRange();
    }
}

// A busy channel changes many rows in one turn of the event loop: the scroll
// range, and the scroll position that follows the rows above the view, are
// set once, after them all and before the next paint, so the scroll bar moves
// only when the count or the rows above have. A range that no longer holds the
// scroll position is set at once. This runs inside the list's changes, which
// cannot fail: when the later call cannot be queued, the next change tries
// again.
void RowFollower::scheduleScrollRange() noexcept {
    try {
        const RowGeometry rows = geometry_();
        if (rows.scrollMaximum() < scrollValueIn(rows)) {
            updateScrollRange();
        } else if (!scrollRangePending_) {
            scrollRangePending_ = true;
            QMetaObject::invokeMethod(
                &view_, [this] { updatePendingScrollRange(); }, Qt::QueuedConnection);
        }
    } catch (...) {
        scrollRangePending_ = false;
    }
}

template <typename Follow> void RowFollower::followRows(Follow follow) noexcept {
    try {
        follow();
    } catch (...) {
        try {
            view_.viewport()->update();
        } catch (...) {
        }
    }
}

// Rows that enter at or above the top row push the view down with them, so the
// rows in view stay where they are; at the very top of the list, newcomers
// there are shown.
void RowFollower::rowsInserted(int start, int end) noexcept {
    followRows([&] {
        if (!followEntry(start, end - start + 1)) {
            shiftRowsFrom(start, end - start + 1);
        }
    });
}

void RowFollower::rowsRemoved(int start, int end) noexcept {
    followRows([&] {
        const int top = topRow();
        followLeaving(start, end);
        if (end >= top) {
            shiftRowsFrom(start, start - end - 1);
        }
    });
}

// A member who moves leaves one place and enters another, as far as the rows
// in view are concerned: they stay put. Only the rows on screen that now show
// another member are painted, and Qt's own repaint of the whole view after a
// move is let go.
void RowFollower::rowsMoved(int start, int end, int destination) noexcept {
    movedSinceLayout_ = true;
    followRows([&] {
        const int rows = end - start + 1;
        const int to = destination > start ? destination - rows : destination;
        const int topBefore = topRow();
        followLeaving(start, end);
        followEntry(to, rows);
        scheduleScrollRange();
        paintRowsNowShowingOthers(start, end, to, topBefore);
    });
}

void RowFollower::paintRowsNowShowingOthers(int start, int end, int to, int topBefore) {
    const int rows = end - start + 1;
    const int topAfter = topRow();
    // Where the row that was at this one is now.
    const auto now = [&](int row) {
        if (row >= start && row <= end) {
            return to + row - start;
        }
        if (start < to && row > end && row < to + rows) {
            return row - rows;
        }
        if (to < start && row >= to && row < start) {
            return row + rows;
        }
        return row;
    };
    // Alternate colours go with the row number, so a shift repaints them all.
    const bool shiftRepaints = view_.alternatingRowColors() && topAfter != topBefore;
    const int visible = geometry_().fullyVisibleRows() + 2;
    int first = -1;
    int last = -1;
    for (int onScreen = 0; onScreen < visible; ++onScreen) {
        if (shiftRepaints || now(topBefore + onScreen) != topAfter + onScreen) {
            first = first < 0 ? onScreen : first;
            last = onScreen;
        }
    }
    if (first >= 0) {
        const int top = rowTop(topAfter + first);
        view_.viewport()->update(0, top, view_.viewport()->width(), rowTop(topAfter + last + 1) - top);
    }
}

bool RowFollower::followEntry(int start, int rows) {
    const int followed = ScrollAnchor::rowsFollowedOnEntry(start, rows, topRow(), scrollValueIn(geometry_()));
    if (followed != 0) {
        followRowsAbove(followed);
    }
    return followed != 0;
}

void RowFollower::followLeaving(int start, int end) {
    const int followed = ScrollAnchor::rowsFollowedOnLeaving(start, end, topRow());
    if (followed != 0) {
        followRowsAbove(followed);
    }
}

void RowFollower::followRowsAbove(int rows) {
    anchor_.follow(rows);
    scheduleScrollRange();
}

void RowFollower::shiftRowsFrom(int row, int rows) {
    // Rows below the visible ones are not repainted: nothing on screen changed.
    scheduleScrollRange();
    QWidget& viewport = *view_.viewport();
    const int top = rowTop(row);
    const int height = viewport.height();
    if (top >= height) {
        return;
    }
    const QRect moved(0, std::max(0, top), viewport.width(), height - std::max(0, top));
    // Alternate row colours go with the row number, not the member, so those rows
    // are painted afresh; otherwise they are moved on screen, and only the rows
    // that this uncovers are painted.
    if (top < 0 || view_.alternatingRowColors()) {
        viewport.update(moved);
    } else {
        viewport.scroll(0, clampToInt(qint64{rows} * geometry_().rowHeight), moved);
    }
}

bool RowFollower::takeMovedSinceLayout() noexcept {
    return std::exchange(movedSinceLayout_, false);
}

void RowFollower::forget() noexcept {
    anchor_.forget();
    movedSinceLayout_ = false;
}

} // namespace tavrin::detail
