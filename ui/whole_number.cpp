#include "whole_number.h"

#include <limits>

std::optional<qint32> parseWholeNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    qsizetype index = 0;
    const bool negative = trimmed[0] == u'-';
    if (negative || trimmed[0] == u'+') {
        ++index;
    }
    if (index == trimmed.size()) {
        return std::nullopt;
    }
    // Collected as a negative number, which reaches one further than a positive one.
    qint64 value = 0;
    constexpr qint64 lowest = std::numeric_limits<qint32>::min();
    for (; index < trimmed.size(); ++index) {
        const char16_t unit = trimmed[index].unicode();
        if (unit < u'0' || unit > u'9') {
            return std::nullopt;
        }
        value = value * 10 - (unit - u'0');
        if (value < lowest) {
            return std::nullopt;
        }
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<qint32>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<qint32>(value);
}
