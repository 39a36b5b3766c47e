#include "row_cursor.h"

#include <algorithm>
#include <utility>

namespace tavrin::detail {

RowCursor::RowCursor(int rows, int page, std::function<bool(int)> isHeading,
                     std::function<bool(int)> isFolded)
    : rows_(rows), page_(page), isHeading_(std::move(isHeading)), isFolded_(std::move(isFolded)) {}

RowCursor::Move RowCursor::moved(Action action, int current) const {
    if (rows_ == 0) {
        return {};
    }
    if (current < 0 || current >= rows_) {
        return {memberNear(0, 1)};
    }
    int row = current;
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= page_;
        break;
    case MovePageDown:
        row += page_;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows_ - 1;
        break;
    case MoveLeft:
    case MoveRight:
        return sideways(action, current);
    }
    return {std::clamp(row, 0, rows_ - 1)};
}

RowCursor::Move RowCursor::sideways(Action action, int current) const {
    if (action == MoveLeft && !isHeading_(current)) {
        for (int row = current - 1; row >= 0; --row) {
            if (isHeading_(row)) {
                return {row};
            }
        }
    } else if (action == MoveLeft) {
        return {current, !isFolded_(current)};
    } else if (action == MoveRight && isHeading_(current)) {
        if (isFolded_(current)) {
            return {current, true};
        }
        const int below = current + 1;
        return {below < rows_ && !isHeading_(below) ? below : current};
    }
    return {current};
}

// Headings stand one above each group of rows, so only a few lie together.
int RowCursor::memberNear(int row, int direction) const {
    for (const int step : {direction, -direction}) {
        for (int at = row; at >= 0 && at < rows_; at += step) {
            if (!isHeading_(at)) {
                return at;
            }
        }
    }
    return -1;
}

} // namespace tavrin::detail
