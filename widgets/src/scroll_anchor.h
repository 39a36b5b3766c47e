#pragma once

#include <algorithm>

namespace tavrin::detail {

// Keeps the rows in view where they are while rows above them come and go:
// the scroll position follows them, unless the list is scrolled to its very
// top, where newcomers are shown. Between a change and the scroll bar
// catching up, the anchor holds the rows followed.
class ScrollAnchor {
public:
    // How many rows the scroll position follows when rows enter from start
    // on, with this row at the top of the view and this scroll value: rows
    // that enter at or above the top row push the view down with them.
    static int rowsFollowedOnEntry(int start, int count, int topRow, int scrollValue) noexcept {
        return scrollValue > 0 && start <= topRow ? count : 0;
    }
    // The same, negative, for the rows from start to end leaving.
    static int rowsFollowedOnLeaving(int start, int end, int topRow) noexcept {
        return -std::max(0, std::min(end + 1, topRow) - start);
    }

    void follow(int rows) noexcept { followed_ += rows; }
    int followed() const noexcept { return followed_; }
    void forget() noexcept { followed_ = 0; }

private:
    int followed_ = 0;
};

} // namespace tavrin::detail
