#pragma once

// One channel member is one line of tagged text:
//   [ICON]keyword[/ICON][USER]name[/USER][PING]ping[/PING]
// These functions build that line and read the name back out of it.

#include "channel_list/export.h"
#include "channel_list/standing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

// The user-flag bits of a Battle.net channel member that this list looks at.
namespace flag {
inline constexpr std::uint32_t blizzard = 0x01;
inline constexpr std::uint32_t channelOperator = 0x02;
inline constexpr std::uint32_t speaker = 0x04;
inline constexpr std::uint32_t systemOperator = 0x08;
inline constexpr std::uint32_t noUdp = 0x10;
inline constexpr std::uint32_t squelched = 0x20;
inline constexpr std::uint32_t guest = 0x40;
inline constexpr std::uint32_t gfOfficial = 0x100000;
inline constexpr std::uint32_t gfPlayer = 0x200000;
} // namespace flag

// The first four UTF-16 units of the status text in reverse order; a surrogate
// pair is never split or turned round.
TAVRIN_CHANNEL_LIST_EXPORT std::u16string reversedProductCode(std::u16string_view Message);

TAVRIN_CHANNEL_LIST_EXPORT std::u16string iconKeyword(std::u16string_view username,
                                                      std::u16string_view Message, std::int32_t Flags);

// The decimal ping, or "PLUG" for a member without a UDP connection.
TAVRIN_CHANNEL_LIST_EXPORT std::u16string pingField(std::int32_t Flags, std::int32_t Ping);

TAVRIN_CHANNEL_LIST_EXPORT std::u16string entryText(std::u16string_view keyword, std::u16string_view username,
                                                    std::u16string_view pingField);

// The name stored in an entry text. Keywords and ping fields never contain the
// tag markers, so the name is everything between the first "[/ICON][USER]" and
// the last "[/USER][PING]", even when the name itself holds tags. Other texts
// are read as "[USER]name[/USER]"; a text with no "[USER]" has no name.
TAVRIN_CHANNEL_LIST_EXPORT std::optional<std::u16string_view> nameFromEntryText(std::u16string_view text);

// The three fields of an entry text, viewed in place.
struct EntryFields {
    std::u16string_view keyword;
    std::u16string_view name;
    std::u16string_view pingField;
};

// Reads the fields back out of an entry text. The name is read as
// nameFromEntryText reads it, so a name holding tags comes back whole; the
// keyword is what lies before it, the ping field what follows, each without
// its outer tag. In a text this list never builds, a field that cannot be
// found is empty.
TAVRIN_CHANNEL_LIST_EXPORT EntryFields entryFields(std::u16string_view text);

// Names are compared by their lower-cased forms: ICU's simple lower-case
// mapping of each code point, the same whatever the locale.
TAVRIN_CHANNEL_LIST_EXPORT std::u16string foldName(std::u16string_view name);
TAVRIN_CHANNEL_LIST_EXPORT bool namesEqual(std::u16string_view left, std::u16string_view right);

} // namespace tavrin
