#pragma once

// QString and the channel list's UTF-16 text hold the same code units.

#include <QString>

#include <string_view>

namespace tavrin::detail {

inline std::u16string_view utf16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

inline QString toQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace tavrin::detail
