#include "member_painting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace tavrin::detail {
namespace {

// Bars for a ping below each limit, in milliseconds; slower gets no bar.
constexpr struct {
    std::int64_t below;
    int bars;
} barLimits[] = {{200, 4}, {300, 3}, {400, 2}, {600, 1}};

const QColor gold(0xE0, 0xA8, 0x00);
const QColor blue(0x2F, 0x7F, 0xE0);
const QColor red(0xD0, 0x30, 0x30);
const QColor green(0x2E, 0x9E, 0x44);
const QColor purple(0x8A, 0x5C, 0xD0);
const QColor grey(0x88, 0x88, 0x88);
const QColor teal(0x14, 0xA3, 0xA3);
const QColor orange(0xE0, 0x70, 0x20);

// Places points given in a unit square into the square.
QPolygonF scaled(const QRectF& square, std::initializer_list<QPointF> unitPoints) {
    QPolygonF polygon;
    for (const QPointF& point : unitPoints) {
        polygon << square.topLeft() + QPointF(point.x() * square.width(), point.y() * square.height());
    }
    return polygon;
}

QPointF at(const QRectF& square, qreal x, qreal y) {
    return square.topLeft() + QPointF(x * square.width(), y * square.height());
}

// A filled shape with an edge a shade darker, which shows on light and dark
// backgrounds alike.
void fillShape(QPainter& painter, const QPolygonF& shape, const QColor& colour, qreal size) {
    painter.setPen(QPen(colour.darker(160), size / 14));
    painter.setBrush(colour);
    painter.drawPolygon(shape);
}

QPen stroke(const QColor& colour, qreal size) {
    return QPen(colour, size / 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPolygonF star(const QRectF& square, int points, qreal innerRatio) {
    QPolygonF polygon;
    const QPointF centre = square.center();
    const qreal outer = square.width() / 2;
    for (int index = 0; index < 2 * points; ++index) {
        const qreal radius = index % 2 == 0 ? outer : outer * innerRatio;
        const qreal angle = -M_PI / 2 + index * M_PI / points;
        polygon << centre + QPointF(radius * qCos(angle), radius * qSin(angle));
    }
    return polygon;
}

// A product's colour, the same for the same code on every run.
QColor productColour(const QString& code) {
    std::uint32_t hash = 2166136261U;
    for (const QChar unit : code) {
        hash = (hash ^ unit.unicode()) * 16777619U;
    }
    return QColor::fromHsv(static_cast<int>(hash % 360), 150, 205);
}

void paintProductCapsule(QPainter& painter, const QRectF& area, const QString& code) {
    const QRectF capsule = area.adjusted(0, area.height() * 0.08, 0, -area.height() * 0.08);
    const QColor colour = productColour(code);
    painter.setPen(QPen(colour.darker(160), capsule.height() / 14));
    painter.setBrush(colour);
    painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);

    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(1, qRound(capsule.height() * 0.62)));
    painter.setFont(font);
    painter.setPen(colour.lightness() > 140 ? Qt::black : Qt::white);
    const QRectF inside = capsule.adjusted(capsule.height() / 3, 0, -capsule.height() / 3, 0);
    const QString text =
        QFontMetricsF(font).elidedText(code, Qt::ElideRight, inside.width(), Qt::TextSingleLine);
    painter.drawText(inside, Qt::AlignCenter, text);
}

// Draws the shape of a standing of the icon rules.
void paintSymbol(QPainter& painter, const QRectF& square, Standing standing) {
    const qreal size = square.width();
    painter.setBrush(Qt::NoBrush);
    switch (standing) {
    case Standing::channelOperator: // a crown
        fillShape(painter,
                  scaled(square, {{0.08, 0.82},
                                  {0.08, 0.28},
                                  {0.3, 0.52},
                                  {0.5, 0.14},
                                  {0.7, 0.52},
                                  {0.92, 0.28},
                                  {0.92, 0.82}}),
                  gold, size);
        break;
    case Standing::blizzardRepresentative: // a snowflake
        painter.setPen(stroke(blue, size));
        for (int spoke = 0; spoke < 3; ++spoke) {
            const qreal angle = spoke * M_PI / 3 + M_PI / 2;
            const QPointF arm(0.42 * size * qCos(angle), 0.42 * size * qSin(angle));
            painter.drawLine(square.center() - arm, square.center() + arm);
        }
        break;
    case Standing::systemOperator: // a shield
        fillShape(
            painter,
            scaled(square, {{0.5, 0.06}, {0.9, 0.2}, {0.84, 0.62}, {0.5, 0.94}, {0.16, 0.62}, {0.1, 0.2}}),
            red, size);
        painter.setPen(QPen(Qt::white, size / 9, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(at(square, 0.5, 0.28), at(square, 0.5, 0.7));
        break;
    case Standing::speaker: // a loudspeaker
        fillShape(painter,
                  scaled(square,
                         {{0.08, 0.36}, {0.3, 0.36}, {0.58, 0.12}, {0.58, 0.88}, {0.3, 0.64}, {0.08, 0.64}}),
                  green, size);
        painter.setPen(stroke(green, size));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(at(square, 0.52, 0.26), QSizeF(0.4 * size, 0.48 * size)), -50 * 16, 100 * 16);
        break;
    case Standing::guest: // a guest's glasses
        painter.setPen(stroke(purple, size));
        painter.drawEllipse(at(square, 0.27, 0.56), 0.19 * size, 0.19 * size);
        painter.drawEllipse(at(square, 0.73, 0.56), 0.19 * size, 0.19 * size);
        painter.drawLine(at(square, 0.44, 0.5), at(square, 0.56, 0.5));
        break;
    case Standing::squelched: // muted: a circle struck through
        painter.setPen(stroke(grey, size));
        painter.drawEllipse(square.center(), 0.38 * size, 0.38 * size);
        painter.drawLine(at(square, 0.23, 0.77), at(square, 0.77, 0.23));
        break;
    case Standing::gfOfficial: // a star
        fillShape(painter, star(square, 5, 0.45), teal, size);
        break;
    case Standing::gfPlayer: // a diamond
        fillShape(painter, scaled(square, {{0.5, 0.06}, {0.9, 0.5}, {0.5, 0.94}, {0.1, 0.5}}), orange, size);
        break;
    case Standing::none:
    case Standing::product:
        break;
    }
}

} // namespace

ConnectionQuality connectionQuality(std::optional<qint64> ping) {
    if (!ping) {
        return {ConnectionQuality::Kind::noUdp, 0};
    }
    // A negative ping tells nothing of the connection.
    if (*ping < 0) {
        return {ConnectionQuality::Kind::unknown, 0};
    }
    for (const auto& limit : barLimits) {
        if (*ping < limit.below) {
            return {ConnectionQuality::Kind::bars, limit.bars};
        }
    }
    return {ConnectionQuality::Kind::bars, 0};
}

void paintBadge(QPainter& painter, const QRectF& area, Standing standing, const QString& keyword,
                std::optional<QColor> plate) {
    if (standing == Standing::none) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = area.height();
    const QRectF square(area.center().x() - side / 2, area.top(), side, side);
    if (standing == Standing::product) {
        paintProductCapsule(painter, area, keyword);
    } else {
        if (plate) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(*plate);
            painter.drawRoundedRect(square, side / 5, side / 5);
        }
        paintSymbol(painter, square.adjusted(1, 1, -1, -1), standing);
    }
    painter.restore();
}

void paintConnectionMeter(QPainter& painter, const QRectF& area, ConnectionQuality quality,
                          const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal height = area.height();
    QColor faint = palette.color(QPalette::Text);
    faint.setAlpha(110);
    if (quality.kind == ConnectionQuality::Kind::noUdp) { // a plug: body, prongs and cable
        const QRectF square(area.right() - height, area.top(), height, height);
        painter.setPen(QPen(palette.color(QPalette::Text), height / 10, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(palette.color(QPalette::Text));
        painter.drawRoundedRect(QRectF(at(square, 0.3, 0.34), at(square, 0.7, 0.66)), height / 12,
                                height / 12);
        painter.drawLine(at(square, 0.4, 0.34), at(square, 0.4, 0.14));
        painter.drawLine(at(square, 0.6, 0.34), at(square, 0.6, 0.14));
        painter.drawLine(at(square, 0.5, 0.66), at(square, 0.5, 0.9));
    } else {
        const QColor fill = quality.bars >= 3 ? green : quality.bars == 2 ? gold : red;
        const QColor edge = quality.kind == ConnectionQuality::Kind::bars && quality.bars == 0 ? red : faint;
        const int count = 4;
        const qreal width = area.width() / (count * 1.5 - 0.5);
        for (int bar = 0; bar < count; ++bar) {
            const qreal barHeight = height * (0.35 + 0.2 * bar);
            const QRectF rect(area.left() + bar * width * 1.5, area.bottom() - barHeight, width, barHeight);
            const bool filled = quality.kind == ConnectionQuality::Kind::bars && bar < quality.bars;
            painter.setPen(QPen(filled ? fill.darker(150) : edge, height / 16));
            painter.setBrush(filled ? QBrush(fill) : Qt::NoBrush);
            painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
        }
        if (quality.kind == ConnectionQuality::Kind::unknown) { // no ping to show: struck through
            painter.setPen(QPen(palette.color(QPalette::Text), height / 10, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(area.left(), area.bottom() - height * 0.1),
                             QPointF(area.right(), area.top() + height * 0.1));
        }
    }
    painter.restore();
}

} // namespace tavrin::detail
