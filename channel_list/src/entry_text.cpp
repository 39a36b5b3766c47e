#include "channel_list/entry_text.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <charconv>

namespace tavrin {
namespace {

constexpr std::u16string_view iconOpen = u"[ICON]";
constexpr std::u16string_view iconCloseUserOpen = u"[/ICON][USER]";
constexpr std::u16string_view userClosePingOpen = u"[/USER][PING]";
constexpr std::u16string_view pingClose = u"[/PING]";
constexpr std::u16string_view userOpen = u"[USER]";
constexpr std::u16string_view userClose = u"[/USER]";

constexpr std::size_t productCodeLength = 4;

bool isSet(std::int32_t Flags, std::uint32_t bit) {
    return (static_cast<std::uint32_t>(Flags) & bit) != 0;
}

} // namespace

std::u16string reversedProductCode(std::u16string_view Message) {
    std::size_t length = std::min(Message.size(), productCodeLength);
    // Leave out a pair that the four-unit boundary would cut in half.
    if (length == productCodeLength && length < Message.size() && U16_IS_LEAD(Message[length - 1]) &&
        U16_IS_TRAIL(Message[length])) {
        --length;
    }
    std::u16string reversed;
    reversed.reserve(length);
    std::size_t end = length;
    while (end > 0) {
        std::size_t start = end - 1;
        if (start > 0 && U16_IS_TRAIL(Message[start]) && U16_IS_LEAD(Message[start - 1])) {
            --start;
        }
        reversed.append(Message.substr(start, end - start));
        end = start;
    }
    return reversed;
}

std::u16string iconKeyword(std::u16string_view username, std::u16string_view Message, std::int32_t Flags) {
    std::u16string keyword = reversedProductCode(Message);
    // Later rules win, in this order and not in the order of the bit values.
    if (isSet(Flags, flag::blizzard)) {
        keyword = keywordOf(Standing::blizzardRepresentative);
    }
    if (isSet(Flags, flag::systemOperator)) {
        keyword = keywordOf(Standing::systemOperator);
    }
    if (foldName(username) == u"druvo" || isSet(Flags, flag::channelOperator)) {
        keyword = operatorKeyword;
    }
    if (isSet(Flags, flag::speaker)) {
        keyword = keywordOf(Standing::speaker);
    }
    if (isSet(Flags, flag::guest)) {
        keyword = keywordOf(Standing::guest);
    }
    if (isSet(Flags, flag::squelched)) {
        keyword = keywordOf(Standing::squelched);
    }
    if (isSet(Flags, flag::gfOfficial)) {
        keyword = keywordOf(Standing::gfOfficial);
    }
    if (isSet(Flags, flag::gfPlayer)) {
        keyword = keywordOf(Standing::gfPlayer);
    }
    return keyword;
}

std::u16string pingField(std::int32_t Flags, std::int32_t Ping) {
    if (isSet(Flags, flag::noUdp)) {
        return std::u16string(noUdpPingField);
    }
    char digits[16];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), Ping);
    return {std::begin(digits), result.ptr};
}

std::u16string entryText(std::u16string_view keyword, std::u16string_view username,
                         std::u16string_view pingField) {
    std::u16string text;
    text.reserve(iconOpen.size() + keyword.size() + iconCloseUserOpen.size() + username.size() +
                 userClosePingOpen.size() + pingField.size() + pingClose.size());
    text.append(iconOpen)
        .append(keyword)
        .append(iconCloseUserOpen)
        .append(username)
        .append(userClosePingOpen)
        .append(pingField)
        .append(pingClose);
    return text;
}

namespace {

// The fields of a text built as "[ICON]…[/ICON][USER]…[/USER][PING]…[/PING]".
// Keywords and ping fields never hold a tag marker, so the name reaches from
// the first "[/ICON][USER]" to the last "[/USER][PING]".
std::optional<EntryFields> taggedFields(std::u16string_view text) {
    const auto nameStart = text.find(iconCloseUserOpen);
    const auto nameEnd = text.rfind(userClosePingOpen);
    if (nameStart == std::u16string_view::npos || nameEnd == std::u16string_view::npos ||
        nameEnd < nameStart + iconCloseUserOpen.size()) {
        return std::nullopt;
    }
    auto keyword = text.substr(0, nameStart);
    if (keyword.starts_with(iconOpen)) {
        keyword.remove_prefix(iconOpen.size());
    }
    auto ping = text.substr(nameEnd + userClosePingOpen.size());
    if (ping.ends_with(pingClose)) {
        ping.remove_suffix(pingClose.size());
    }
    const auto first = nameStart + iconCloseUserOpen.size();
    return EntryFields{keyword, text.substr(first, nameEnd - first), ping};
}

} // namespace

std::optional<std::u16string_view> nameFromEntryText(std::u16string_view text) {
    if (const auto fields = taggedFields(text)) {
        return fields->name;
    }
    const auto afterUser = text.find(userOpen);
    if (afterUser == std::u16string_view::npos) {
        return std::nullopt;
    }
    auto rest = text.substr(afterUser + userOpen.size());
    rest = rest.substr(0, rest.find(userOpen));
    return rest.substr(0, rest.find(userClose));
}

EntryFields entryFields(std::u16string_view text) {
    if (const auto fields = taggedFields(text)) {
        return *fields;
    }
    return {{}, nameFromEntryText(text).value_or(std::u16string_view()), {}};
}

std::u16string foldName(std::u16string_view name) {
    std::u16string folded;
    folded.reserve(name.size());
    std::size_t index = 0;
    while (index < name.size()) {
        UChar32 codePoint = name[index++];
        if (U16_IS_LEAD(codePoint) && index < name.size() && U16_IS_TRAIL(name[index])) {
            codePoint = U16_GET_SUPPLEMENTARY(codePoint, name[index++]);
        }
        const UChar32 lower = u_tolower(codePoint);
        if (U_IS_BMP(lower)) {
            folded.push_back(static_cast<char16_t>(lower));
        } else {
            folded.push_back(U16_LEAD(lower));
            folded.push_back(U16_TRAIL(lower));
        }
    }
    return folded;
}

bool namesEqual(std::u16string_view left, std::u16string_view right) {
    return foldName(left) == foldName(right);
}

} // namespace tavrin
