#pragma once

#include "channel_list/standing.h"

#include <array>

namespace tavrin::detail {

constexpr Rank rankNumber(int rank) noexcept {
    return static_cast<Rank>(rank);
}

// What a row shows: a rank's heading, or the member at a place among those
// the list shows, counted from 1.
struct RowContent {
    bool heading = false;
    Rank rank = Rank::member;
    int shownPosition = 0;
    friend bool operator==(const RowContent&, const RowContent&) = default;
};

// The rows of members grouped by rank: a heading above each rank with
// members shown, then a row for each of them unless the rank is folded. One
// rank may keep its heading with no members, for the moment between a
// member's leaving it and the heading's going. Plain arithmetic over nine
// counts, so it costs the same at any length.
class RankHeadingRows {
public:
    using Counts = std::array<int, rankCount>;
    static constexpr int noRank = -1;

    RankHeadingRows(const Counts& members, unsigned foldedRanks, int keptHeading = noRank) noexcept
        : members_(members), folded_(foldedRanks), kept_(keptHeading) {}

    bool isFolded(Rank rank) const noexcept { return (folded_ & (1U << static_cast<unsigned>(rank))) != 0; }
    bool hasHeading(Rank rank) const noexcept {
        return membersIn(rank) > 0 || static_cast<int>(rank) == kept_;
    }
    int membersIn(Rank rank) const noexcept { return members_[static_cast<std::size_t>(rank)]; }
    int rowsOf(Rank rank) const noexcept;
    int rowCount() const noexcept;
    // Where the rank's heading is, or would be.
    int headingRow(Rank rank) const noexcept;
    // The members shown in the ranks above this one.
    int membersAbove(Rank rank) const noexcept;
    // The row of the member shown at this place, or -1 when its rank is folded.
    int memberRow(Rank rank, int shownPosition) const noexcept;
    // A row outside the rows is a member row with no place.
    RowContent contentOf(int row) const noexcept;

private:
    Counts members_;
    unsigned folded_;
    int kept_;
};

} // namespace tavrin::detail
