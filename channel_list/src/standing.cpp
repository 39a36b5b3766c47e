#include "channel_list/standing.h"

#include <limits>

namespace tavrin {

Standing standingOf(std::u16string_view keyword) noexcept {
    if (keyword.empty()) {
        return Standing::none;
    }
    for (const Standing standing : {Standing::blizzardRepresentative, Standing::systemOperator,
                                    Standing::channelOperator, Standing::speaker, Standing::guest,
                                    Standing::squelched, Standing::gfOfficial, Standing::gfPlayer}) {
        if (keyword == keywordOf(standing)) {
            return standing;
        }
    }
    return Standing::product;
}

PingReading readPing(std::u16string_view pingField) noexcept {
    if (pingField == noUdpPingField) {
        return {.noUdp = true, .milliseconds = std::nullopt};
    }
    const bool negative = pingField.starts_with(u'-');
    const std::u16string_view digits = pingField.substr(negative ? 1 : 0);
    if (digits.empty()) {
        return {};
    }
    // Longer than any ping is simply very long.
    constexpr std::int64_t longest = std::numeric_limits<std::int32_t>::max();
    std::int64_t milliseconds = 0;
    for (const char16_t digit : digits) {
        if (digit < u'0' || digit > u'9') {
            return {};
        }
        milliseconds = std::min(milliseconds * 10 + (digit - u'0'), longest + 1);
    }
    return {.noUdp = false, .milliseconds = negative ? -milliseconds : milliseconds};
}

} // namespace tavrin
