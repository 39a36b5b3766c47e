#include "whole_number.h"

std::optional<qint32> parseWholeNumber(const QString& text) {
    // Qt's conversion takes an optional sign and ASCII digits, in range, in the
    // C locale; trimmed() also forgives blanks such as a no-break space.
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}
