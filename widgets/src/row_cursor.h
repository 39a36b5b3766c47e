#pragma once

#include <functional>

namespace tavrin::detail {

// Where the keys take the current row of a list whose headings stand above
// groups of rows, as in a tree whose headings are the parents. Up, Down, the
// page keys, Home and End visit every row, headings included. Left from a row
// goes to the heading above it, and on an open heading asks for it to be
// folded; Right on a folded heading asks for it to be opened, and on an open
// one goes to the first row under it.
class RowCursor {
public:
    // The moves of Action, in its order.
    enum Action {
        MoveUp,
        MoveDown,
        MoveLeft,
        MoveRight,
        MoveHome,
        MoveEnd,
        MovePageUp,
        MovePageDown,
        MoveNext,
        MovePrevious
    };

    struct Move {
        int row = -1;            // -1: nowhere to go
        bool toggleFold = false; // the heading at row is to be folded, or opened
    };

    RowCursor(int rows, int page, std::function<bool(int)> isHeading, std::function<bool(int)> isFolded);

    Move moved(Action action, int current) const;
    // The nearest row from this one, in this direction first, that is not a
    // heading; -1 when every row is one. A list gets the focus there.
    int memberNear(int row, int direction) const;

private:
    Move sideways(Action action, int current) const;

    int rows_;
    int page_;
    std::function<bool(int)> isHeading_;
    std::function<bool(int)> isFolded_;
};

} // namespace tavrin::detail
