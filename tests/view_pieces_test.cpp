// The pieces the list view is built of, each on its own: where rows lie, how
// the scroll position follows rows above the view, where the keys take the
// current row, type-ahead, and the rows of members under rank headings.

#include "rank_heading_rows.h"
#include "row_cursor.h"
#include "row_geometry.h"
#include "scroll_anchor.h"
#include "type_ahead.h"

#include <gtest/gtest.h>

namespace tavrin::detail {
namespace {

// 100 rows of 16 pixels in a viewport of 88: five rows and a half.
RowGeometry rows(bool perItem) {
    return {16, 88, 100, perItem};
}

TEST(RowGeometry, PlacesRowsAndScrollsAsTheHintSays) {
    EXPECT_EQ(rows(true).page(), 5) << "a page is the rows fully in view";
    EXPECT_EQ(rows(false).page(), 88);
    EXPECT_EQ(rows(true).scrollMaximum(), 95);
    EXPECT_EQ(rows(false).scrollMaximum(), 1600 - 88);
    EXPECT_EQ(RowGeometry({16, 88, 3, true}).scrollMaximum(), 0) << "a short list does not scroll";
    const struct {
        bool perItem;
        int value;
        int y;
        int rowAtY;
        int topOfRow30;
    } places[] = {
        {true, 0, 0, 0, 480},  {true, 3, 0, 3, 432},  {true, 3, 20, 4, 432},
        {false, 8, 0, 0, 472}, {false, 8, 8, 1, 472}, {false, 0, -1, -1, 480},
    };
    for (const auto& p : places) {
        const RowGeometry geometry = rows(p.perItem);
        const int offset = geometry.offsetAt(p.value);
        EXPECT_EQ(geometry.rowAt(p.y, offset), p.rowAtY) << p.perItem << " " << p.value << " " << p.y;
        EXPECT_EQ(geometry.rowTop(30, offset), p.topOfRow30) << p.perItem << " " << p.value;
    }
    using Hint = QAbstractItemView::ScrollHint;
    const struct {
        Hint hint;
        int from;
        int rowsTopAfter; // scrolling to row 30, by items, and the pixels the same by pixels
        int pixelsAfter;
    } hints[] = {
        {Hint::PositionAtTop, 0, 30, 480},    {Hint::PositionAtBottom, 0, 26, 408},
        {Hint::PositionAtCenter, 0, 28, 444}, {Hint::EnsureVisible, 0, 26, 408},
        {Hint::EnsureVisible, 40, 30, 480},   {Hint::EnsureVisible, 28, 28, 448},
    };
    for (const auto& h : hints) {
        EXPECT_EQ(rows(true).valueShowing(30, h.hint, h.from), h.rowsTopAfter)
            << h.hint << " from " << h.from;
        EXPECT_EQ(rows(false).valueShowing(30, h.hint, h.from * 16), h.pixelsAfter)
            << h.hint << " from " << h.from;
    }
}

TEST(ScrollAnchor, FollowsRowsThatComeAndGoAboveTheTopRow) {
    const struct {
        const char* what;
        int start;
        int count;
        int topRow;
        int scrollValue;
        int followed;
    } entries[] = {
        {"above the top row", 0, 1, 10, 10, 1},
        {"at the top row", 10, 2, 10, 10, 2},
        {"at a top row half scrolled by pixels", 0, 1, 0, 7, 1},
        {"below the top row", 11, 1, 10, 10, 0},
        {"at the very top of the list", 0, 1, 0, 0, 0},
    };
    for (const auto& e : entries) {
        EXPECT_EQ(ScrollAnchor::rowsFollowedOnEntry(e.start, e.count, e.topRow, e.scrollValue), e.followed)
            << e.what;
    }
    const struct {
        const char* what;
        int start;
        int end;
        int topRow;
        int followed;
    } leavings[] = {
        {"above the top row", 2, 4, 10, -3},
        {"from above into the view", 8, 12, 10, -2},
        {"the top row itself", 10, 10, 10, 0},
        {"below the top row", 12, 13, 10, 0},
    };
    for (const auto& l : leavings) {
        EXPECT_EQ(ScrollAnchor::rowsFollowedOnLeaving(l.start, l.end, l.topRow), l.followed) << l.what;
    }
}

TEST(TypeAhead, LettersInQuickSuccessionAreOneSearch) {
    using namespace std::chrono_literals;
    const struct {
        const char* what;
        std::vector<std::pair<const char*, bool>> keys; // each typed after a pause, or not
        QString text;
        bool fromNextRow;
    } cases[] = {
        {"a first letter starts below", {{"m", true}}, "m", true},
        {"letters in quick succession", {{"m", true}, {"i", false}, {"l", false}}, "mil", false},
        {"the same letter again steps on", {{"m", true}, {"m", false}}, "m", true},
        {"after a pause, a new search", {{"m", true}, {"i", false}, {"l", true}}, "l", true},
    };
    for (const auto& c : cases) {
        TypeAhead typeAhead;
        TypeAhead::Search search;
        for (const auto& [key, afterPause] : c.keys) {
            typeAhead.setPause(afterPause ? 0ms : 1h);
            search = typeAhead.typed(key);
        }
        EXPECT_EQ(search.text, c.text) << c.what;
        EXPECT_EQ(search.fromNextRow, c.fromNextRow) << c.what;
    }
}

// Rows: 0 heading, 1 and 2 members, 3 folded heading, 4 heading, 5 and 6
// members, 7 heading at the end; a page is three rows.
TEST(RowCursor, VisitsEveryRowAndGoesSidewaysAsATreeDoes) {
    const auto isHeading = [](int row) {
        return row == 0 || row == 3 || row == 4 || row == 7;
    };
    const RowCursor cursor(8, 3, isHeading, [](int row) { return row == 3; });
    using A = RowCursor;
    const struct {
        RowCursor::Action action;
        int from;
        int to;
        bool toggleFold = false;
    } cases[] = {
        {A::MoveDown, 2, 3},     {A::MoveUp, 5, 4},          {A::MoveUp, 0, 0},
        {A::MoveDown, 7, 7},     {A::MoveHome, 6, 0},        {A::MoveEnd, 1, 7},
        {A::MovePageDown, 1, 4}, {A::MovePageUp, 6, 3},      {A::MovePageDown, 6, 7},
        {A::MoveLeft, 6, 4},     {A::MoveLeft, 2, 0},        {A::MoveLeft, 4, 4, true},
        {A::MoveLeft, 3, 3},     {A::MoveRight, 3, 3, true}, {A::MoveRight, 4, 5},
        {A::MoveRight, 7, 7},    {A::MoveRight, 5, 5},       {A::MoveDown, -1, 1},
    };
    for (const auto& c : cases) {
        const RowCursor::Move move = cursor.moved(c.action, c.from);
        EXPECT_EQ(move.row, c.to) << "move " << c.action << " from " << c.from;
        EXPECT_EQ(move.toggleFold, c.toggleFold) << "move " << c.action << " from " << c.from;
    }
    EXPECT_EQ(RowCursor(
                  2, 3, [](int) { return true; }, isHeading)
                  .moved(A::MoveDown, -1)
                  .row,
              -1)
        << "headings only";
}

// Two operators, three members folded away, a squelched member: headings
// with their members, and a rank kept with no members while someone leaves it.
TEST(RankHeadingRows, PutsEachRanksHeadingAboveItsMembersUnlessFolded) {
    RankHeadingRows::Counts counts{};
    counts[static_cast<std::size_t>(Rank::channelOperator)] = 2;
    counts[static_cast<std::size_t>(Rank::member)] = 3;
    counts[static_cast<std::size_t>(Rank::squelched)] = 1;
    const unsigned membersFolded = 1U << static_cast<unsigned>(Rank::member);
    const RankHeadingRows rows(counts, membersFolded);
    const RankHeadingRows keeping(counts, membersFolded, static_cast<int>(Rank::systemOperator));
    const auto heading = [](Rank rank) {
        return RowContent{true, rank, 0};
    };
    const auto member = [](Rank rank, int shown) {
        return RowContent{false, rank, shown};
    };
    const struct {
        const RankHeadingRows& rows;
        int row;
        RowContent content;
    } cases[] = {
        {rows, 0, heading(Rank::channelOperator)},
        {rows, 2, member(Rank::channelOperator, 2)},
        {rows, 3, heading(Rank::member)},
        {rows, 4, heading(Rank::squelched)},
        {rows, 5, member(Rank::squelched, 6)},
        {rows, 6, RowContent{}},
        {rows, -1, RowContent{}},
        {keeping, 0, heading(Rank::systemOperator)},
        {keeping, 1, heading(Rank::channelOperator)},
        {keeping, 6, member(Rank::squelched, 6)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rows.contentOf(c.row), c.content) << "row " << c.row;
        if (c.row >= 0 && c.row < c.rows.rowCount()) {
            const RowContent content = c.rows.contentOf(c.row);
            EXPECT_EQ(content.heading ? c.rows.headingRow(content.rank)
                                      : c.rows.memberRow(content.rank, content.shownPosition),
                      c.row)
                << "and back, row " << c.row;
        }
    }
    EXPECT_EQ(rows.rowCount(), 6);
    EXPECT_EQ(keeping.rowCount(), 7);
    EXPECT_EQ(rows.memberRow(Rank::member, 4), -1) << "folded away";
    EXPECT_EQ(rows.headingRow(Rank::guest), 4) << "where it would go";
    EXPECT_EQ(rows.membersAbove(Rank::squelched), 5);
}

} // namespace
} // namespace tavrin::detail
