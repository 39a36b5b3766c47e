#pragma once

#include "row_geometry.h"
#include "scroll_anchor.h"

#include <QMetaObject>

#include <functional>
#include <vector>

class QAbstractItemModel;
class QAbstractItemView;

namespace tavrin::detail {

// Keeps a list view's scroll range and the rows in view while rows come and
// go: rows in view stay put while rows above them enter, leave or move, unless
// the list is scrolled to its very top; only the rows on screen that now show
// something else are painted; and the scroll range is set once after a burst
// of changes, before the next paint. Every row has the height and place that
// the geometry says.
class RowFollower {
public:
    RowFollower(QAbstractItemView& view, std::function<RowGeometry()> geometry);

    // The scroll position, with the rows followed that the scroll bar has not
    // caught up with yet, and how far that scrolls the rows, in pixels.
    int scrollValueIn(const RowGeometry& rows) const;
    int offsetIn(const RowGeometry& rows) const { return rows.offsetAt(scrollValueIn(rows)); }
    // While the scroll bar catches up with rows followed, the viewport already
    // shows them and must not scroll.
    bool isCatchingUp() const { return catchingUp_; }

    // Follows the rows that leave and move in this model, the view's, and
    // its new layouts; rows that enter the view tells of itself.
    void follow(QAbstractItemModel* model);
    void updateScrollRange();
    // Before the view scrolls to a row, the range that row needs.
    void updatePendingScrollRange();
    // Rows changed and the rows in view follow; each runs inside the list's
    // changes, which cannot fail: when following cannot be done, as when
    // memory runs out, the viewport is painted afresh instead.
    void rowsInserted(int start, int end) noexcept;
    void rowsRemoved(int start, int end) noexcept;
    void rowsMoved(int start, int end, int destination) noexcept;
    // Whether rows moved since the view last laid them out, and nothing else
    // asked for a layout: the move painted what it changed.
    bool takeMovedSinceLayout() noexcept;
    // The model was reset: nothing is followed any more.
    void forget() noexcept;

private:
    int topRow() const;
    int rowTop(int row) const;
    void scheduleScrollRange() noexcept;
    bool followEntry(int start, int rows);
    void followLeaving(int start, int end);
    // Scrolls by this many rows without moving what the viewport shows; the
    // scroll bar follows before the next paint.
    void followRowsAbove(int rows);
    // Moves what is visible of the rows from this one down by this many rows
    // on screen, and paints what that uncovers.
    void shiftRowsFrom(int row, int rows);
    void paintRowsNowShowingOthers(int start, int end, int to, int topBefore);
    template <typename Follow> void followRows(Follow follow) noexcept;

    QAbstractItemView& view_;
    std::function<RowGeometry()> geometry_;
    ScrollAnchor anchor_;
    bool scrollRangePending_ = false;
    bool catchingUp_ = false;
    bool movedSinceLayout_ = false;
    std::vector<QMetaObject::Connection> connections_;
};

} // namespace tavrin::detail
