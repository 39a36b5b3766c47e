#pragma once

#include <QString>

#include <optional>

// A 32-bit whole number typed into a field: decimal digits with an optional
// sign. Blanks around it are forgiven, as a pasted value often carries them;
// anything else, or a value out of range, is not a number.
std::optional<qint32> parseWholeNumber(const QString& text);
