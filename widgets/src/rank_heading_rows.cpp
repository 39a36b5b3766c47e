#include "rank_heading_rows.h"

namespace tavrin::detail {

int RankHeadingRows::rowsOf(Rank rank) const noexcept {
    return hasHeading(rank) ? 1 + (isFolded(rank) ? 0 : membersIn(rank)) : 0;
}

int RankHeadingRows::rowCount() const noexcept {
    int rows = 0;
    for (int rank = 0; rank < rankCount; ++rank) {
        rows += rowsOf(rankNumber(rank));
    }
    return rows;
}

int RankHeadingRows::headingRow(Rank rank) const noexcept {
    int row = 0;
    for (int above = 0; above < static_cast<int>(rank); ++above) {
        row += rowsOf(rankNumber(above));
    }
    return row;
}

int RankHeadingRows::membersAbove(Rank rank) const noexcept {
    int members = 0;
    for (int above = 0; above < static_cast<int>(rank); ++above) {
        members += membersIn(rankNumber(above));
    }
    return members;
}

int RankHeadingRows::memberRow(Rank rank, int shownPosition) const noexcept {
    return isFolded(rank) ? -1 : headingRow(rank) + shownPosition - membersAbove(rank);
}

RowContent RankHeadingRows::contentOf(int row) const noexcept {
    int above = 0;
    for (int number = 0; number < rankCount && row >= 0; ++number) {
        const Rank rank = rankNumber(number);
        if (!hasHeading(rank)) {
            continue;
        }
        if (row == 0) {
            return {true, rank, 0};
        }
        row -= 1;
        const int members = membersIn(rank);
        if (!isFolded(rank)) {
            if (row < members) {
                return {false, rank, above + row + 1};
            }
            row -= members;
        }
        above += members;
    }
    return {};
}

} // namespace tavrin::detail
