#pragma once

// The pictures of the members display, drawn as vectors so they stay sharp
// at any scale: a badge for a member's standing or product, and a meter for
// the member's connection.

#include "channel_list/standing.h"

#include <QColor>
#include <QPalette>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace tavrin::detail {

// How good a member's connection is, read from the ping field.
struct ConnectionQuality {
    enum class Kind { noUdp, unknown, bars };
    Kind kind;
    int bars; // 0 to 4 when kind is bars
};

// No ping is no UDP connection; a negative ping is unknown; otherwise the
// lower the ping, the more bars.
ConnectionQuality connectionQuality(std::optional<qint64> ping);

// Draws the badge of a standing in the area: a shape of its own for each
// keyword of the icon rules, a capsule holding the keyword for a product, and
// nothing for an empty keyword. On a selected row, whose highlight may have a
// shape's own colour, the shape stands on a plate of the given colour.
void paintBadge(QPainter& painter, const QRectF& area, Standing standing, const QString& keyword,
                std::optional<QColor> plate = std::nullopt);

void paintConnectionMeter(QPainter& painter, const QRectF& area, ConnectionQuality quality,
                          const QPalette& palette);

} // namespace tavrin::detail
