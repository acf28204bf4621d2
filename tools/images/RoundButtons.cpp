// The round buttons of the two rows: zoom in and out, more apps, my location.
#include "Canvas.h"
#include "Drawings.h"
#include "OverlayScales.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace terrabo::images {
namespace {

using namespace palette;

constexpr double kSide = 50;     // points, the height of a row
constexpr double kRadius = 20.5; // leaves room for the shadow inside the image
constexpr double kPressDrop = 1; // points a pressed button sinks

QPointF centreOf(bool pressed) {
    return {kSide / 2, kSide / 2 - 1 + (pressed ? kPressDrop : 0)};
}

void shadow(QPainter& p, bool pressed) {
    // A raised button casts a wider, softer shadow than a pressed one.
    const double spread = pressed ? 1.5 : 3.5;
    const QPointF c(kSide / 2, kSide / 2 + (pressed ? 0.5 : 1.5));
    const double r = kRadius + spread;
    QRadialGradient g(c, r);
    g.setColorAt((kRadius - 2) / r, QColor(0, 0, 0, pressed ? 70 : 120));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void disc(QPainter& p, bool pressed) {
    const QPointF c = centreOf(pressed);
    QLinearGradient body(0, c.y() - kRadius, 0, c.y() + kRadius);
    QColor top = pressed ? kPressedTop : kButtonTop,
           bottom = pressed ? kPressedBottom : kButtonBottom;
    top.setAlpha(pressed ? 245 : 232);
    bottom.setAlpha(pressed ? 240 : 238);
    body.setColorAt(0, top);
    body.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(c, kRadius, kRadius);

    QPainterPath clip;
    clip.addEllipse(c, kRadius, kRadius);
    p.save();
    p.setClipPath(clip);
    if (pressed) {
        // Inset: a shadow that hangs from the upper rim into the hollow.
        const QPointF off = c + QPointF(0, 3);
        QRadialGradient inset(off, kRadius + 2);
        inset.setColorAt(0.66, QColor(0, 0, 0, 0));
        inset.setColorAt(1, QColor(0, 0, 0, 200));
        p.setBrush(inset);
        p.drawEllipse(c, kRadius, kRadius);
    } else {
        // Glass sheen on the upper half.
        QLinearGradient sheen(0, c.y() - kRadius, 0, c.y());
        sheen.setColorAt(0, QColor(255, 255, 255, 58));
        sheen.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(sheen);
        p.drawEllipse(QPointF(c.x(), c.y() - kRadius * 0.45), kRadius * 0.86, kRadius * 0.58);
    }
    p.restore();

    p.setBrush(Qt::NoBrush);
    if (pressed) {
        p.setPen(QPen(QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 210), 1.25));
        p.drawEllipse(c, kRadius - 0.6, kRadius - 0.6);
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 84), 1));
        p.drawEllipse(c, kRadius - 0.5, kRadius - 0.5);
    }
}

QPen iconPen(bool pressed, double width) {
    QPen pen(pressed ? kIconPressed : kIcon, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Draws the base and hands the painter over with the origin at the disc's centre.
QImage roundButton(LayoutScale scale, bool pressed, const std::function<void(QPainter&)>& icon) {
    return paintInPoints({kSide, kSide}, scale, [&](QPainter& p) {
        shadow(p, pressed);
        disc(p, pressed);
        p.translate(centreOf(pressed));
        icon(p);
    });
}

} // namespace

QImage zoomButton(bool plus, bool pressed) {
    return roundButton(scales::kZoom, pressed, [&](QPainter& p) {
        constexpr double arm = 8.5;
        p.setPen(iconPen(pressed, 3.4));
        p.drawLine(QPointF(-arm, 0), QPointF(arm, 0));
        if (plus)
            p.drawLine(QPointF(0, -arm), QPointF(0, arm));
    });
}

QImage moreButton(bool pressed) {
    return roundButton(scales::kMore, pressed, [&](QPainter& p) {
        constexpr double tile = 7.5, gap = 3, span = 2 * tile + gap;
        p.setPen(Qt::NoPen);
        p.setBrush(pressed ? kIconPressed : kIcon);
        for (int i = 0; i < 4; ++i) {
            const double x = -span / 2 + (i % 2) * (tile + gap);
            const double y = -span / 2 + (i / 2) * (tile + gap);
            p.drawRoundedRect(QRectF(x, y, tile, tile), 2, 2);
        }
    });
}

QImage locateButton(bool pressed) {
    return roundButton(scales::kLocate, pressed, [&](QPainter& p) {
        constexpr double ring = 7.5, tickOut = 12.5;
        p.setPen(iconPen(pressed, 2.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, 0), ring, ring);
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(0, ring), QPointF(0, tickOut));
            p.rotate(90);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(pressed ? kIconPressed : kAccent);
        p.drawEllipse(QPointF(0, 0), 3.2, 3.2);
    });
}

} // namespace terrabo::images
