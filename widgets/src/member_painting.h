#pragma once

// The pictures of the members display, drawn as vectors so they stay sharp
// at any scale: a badge for a member's standing or product, and a meter for
// the member's connection.

#include <QPalette>
#include <QRectF>

#include <string_view>

class QPainter;

// How good a member's connection is, read from the ping field.
struct ConnectionQuality {
    enum class Kind { noUdp, unknown, bars };
    Kind kind;
    int bars; // 0 to 4 when kind is bars
};

// "PLUG" has no UDP connection; a negative ping, or a field that is no
// number, is unknown; otherwise the lower the ping, the more bars.
ConnectionQuality connectionQuality(std::u16string_view pingField);

// Draws the badge of an icon keyword in the area: a shape of its own for each
// keyword of the icon rules, a capsule holding the code for a product, and
// nothing for an empty keyword.
void paintBadge(QPainter& painter, const QRectF& area, std::u16string_view keyword);

void paintConnectionMeter(QPainter& painter, const QRectF& area, ConnectionQuality quality,
                          const QPalette& palette);
