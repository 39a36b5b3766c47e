#pragma once

#include <QString>

#include <exception>

namespace tavrin::detail {

// The words of the failure being handled, for a failed() signal; call it in a
// catch block. Never throws: when even the words cannot be had, memory ran out.
inline QString failureInWords() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            return QString::fromLocal8Bit(error.what());
        } catch (...) {
            return QStringLiteral("an unknown failure");
        }
    } catch (...) {
        return QStringLiteral("out of memory");
    }
}

} // namespace tavrin::detail
