#pragma once

// A member's standing in the channel, as the icon keyword of the entry says
// it, and what the ping field says of the member's connection. Each keyword
// is written here and nowhere else.

#include "channel_list/export.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavrin {

// Each keyword of the icon rules is a standing of its own; any other keyword
// is a product code, and an empty one says nothing.
enum class Standing {
    none,
    product,
    blizzardRepresentative,
    systemOperator,
    channelOperator,
    speaker,
    guest,
    squelched,
    gfOfficial,
    gfPlayer,
};

// The keyword of a standing of the icon rules; empty for none and product.
constexpr std::u16string_view keywordOf(Standing standing) noexcept {
    switch (standing) {
    case Standing::blizzardRepresentative:
        return u"BLIZZ";
    case Standing::systemOperator:
        return u"SYSOP";
    case Standing::channelOperator:
        return u"OP";
    case Standing::speaker:
        return u"SPKR";
    case Standing::guest:
        return u"GLASSES";
    case Standing::squelched:
        return u"SQUELCH";
    case Standing::gfOfficial:
        return u"GFOFFICIAL";
    case Standing::gfPlayer:
        return u"GFPLAYER";
    case Standing::none:
    case Standing::product:
        break;
    }
    return {};
}

inline constexpr std::u16string_view operatorKeyword = keywordOf(Standing::channelOperator);

// Where a member stands in the rank-then-name order, from the top: staff,
// the channel's own ranks, the members, then guests and the squelched.
enum class Rank : std::uint8_t {
    blizzardRepresentative,
    systemOperator,
    channelOperator,
    speaker,
    gfOfficial,
    gfPlayer,
    member, // a product code, or no keyword
    guest,
    squelched,
};
inline constexpr int rankCount = 9;

constexpr Rank rankOf(Standing standing) noexcept {
    switch (standing) {
    case Standing::blizzardRepresentative:
        return Rank::blizzardRepresentative;
    case Standing::systemOperator:
        return Rank::systemOperator;
    case Standing::channelOperator:
        return Rank::channelOperator;
    case Standing::speaker:
        return Rank::speaker;
    case Standing::gfOfficial:
        return Rank::gfOfficial;
    case Standing::gfPlayer:
        return Rank::gfPlayer;
    case Standing::guest:
        return Rank::guest;
    case Standing::squelched:
        return Rank::squelched;
    case Standing::none:
    case Standing::product:
        break;
    }
    return Rank::member;
}

// The standing a keyword says, compared exactly: "OP" is an operator, "op"
// a product code.
TAVRIN_CHANNEL_LIST_EXPORT Standing standingOf(std::u16string_view keyword) noexcept;

// The ping field of a member without a UDP connection.
inline constexpr std::u16string_view noUdpPingField = u"PLUG";

// What a ping field says: no UDP connection, a ping in milliseconds (negative
// ones included), or nothing readable.
struct PingReading {
    bool noUdp = false;
    std::optional<std::int64_t> milliseconds;
};

TAVRIN_CHANNEL_LIST_EXPORT PingReading readPing(std::u16string_view pingField) noexcept;

} // namespace tavrin
