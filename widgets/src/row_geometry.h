#pragma once

#include <QAbstractItemView>

#include <algorithm>
#include <climits>

namespace tavrin::detail {

inline int clampToInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

// Where the rows of a list lie when they all have one height and the width of
// the viewport: arithmetic on the row height, the viewport's height and the
// scroll value, which counts rows or pixels.
struct RowGeometry {
    int rowHeight = 1; // at least 1
    int viewportHeight = 0;
    int rows = 0;
    bool perItem = true; // the scroll value counts rows, not pixels

    // One step and one page of the scroll bar.
    int step() const { return perItem ? 1 : rowHeight; }
    int fullyVisibleRows() const { return std::max(1, viewportHeight / rowHeight); }
    int page() const { return perItem ? fullyVisibleRows() : viewportHeight; }
    int scrollMaximum() const { return std::max(0, clampToInt(qint64{rows} * step() - page())); }

    // How far the rows are scrolled, in pixels, at this scroll value.
    int offsetAt(int scrollValue) const {
        return perItem ? clampToInt(qint64{scrollValue} * rowHeight) : scrollValue;
    }
    int rowTop(int row, int offset) const { return clampToInt(qint64{row} * rowHeight - offset); }
    // The row drawn at this height in the viewport; may lie outside the list.
    int rowAt(int y, int offset) const {
        const qint64 contentY = qint64{y} + offset;
        return contentY < 0 ? -1 : clampToInt(contentY / rowHeight);
    }

    // The scroll value that shows the row as the hint asks, from this one.
    int valueShowing(int row, QAbstractItemView::ScrollHint hint, int current) const {
        const int top = clampToInt(qint64{row} * step());
        const int bottom = clampToInt(qint64{top} + step() - page()); // shows the row last
        switch (hint) {
        case QAbstractItemView::EnsureVisible:
            return top < current ? top : std::max(current, bottom);
        case QAbstractItemView::PositionAtTop:
            return top;
        case QAbstractItemView::PositionAtBottom:
            return bottom;
        case QAbstractItemView::PositionAtCenter:
            return top - (page() - step()) / 2;
        }
        return current;
    }
};

} // namespace tavrin::detail
