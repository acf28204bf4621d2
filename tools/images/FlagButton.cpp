// The marker of a found place: a blue map pin with a white flag in its head,
// its tip on the place.
#include "Canvas.h"
#include "Drawings.h"
#include "OverlayScales.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace terrabo::images {
namespace {

// The button sits 30 points right of and 35 above the view's centre, where the
// found place ends up; the pin's tip is drawn on that centre, so the image
// reaches down and left of the button's position.
constexpr double kWidth = 84;
constexpr double kHeight = 78;
constexpr QPointF kTip(kWidth / 2 - 30, kHeight / 2 + 35);
constexpr double kHeadRadius = 10.5;
constexpr QPointF kHead = kTip - QPointF(0, 24);

// Head circle joined to the tip by its two tangents.
QPainterPath pinOutline(double drop) {
    const QPointF head = kHead + QPointF(0, drop), tip = kTip + QPointF(0, drop);
    const double distance = tip.y() - head.y();
    const double spread = std::acos(kHeadRadius / distance) * 180 / std::numbers::pi;
    // Qt's arc angles turn counter-clockwise from 3 o'clock; the tip lies at 270.
    const double start = 270 + spread;
    const QRectF box(head.x() - kHeadRadius, head.y() - kHeadRadius, 2 * kHeadRadius,
                     2 * kHeadRadius);
    QPainterPath path(tip);
    path.arcTo(box, start, 360 - 2 * spread);
    path.closeSubpath();
    return path;
}

void groundShadow(QPainter& p, bool pressed) {
    const QPointF c = kTip + QPointF(0, 1.5);
    const double rx = pressed ? 5.5 : 7.5, ry = pressed ? 1.6 : 2.2;
    QRadialGradient g(c, rx);
    g.setColorAt(0, QColor(0, 0, 0, pressed ? 150 : 120));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, rx, ry);
}

void whiteFlag(QPainter& p, double drop, bool pressed) {
    const QColor white = pressed ? palette::kIconPressed : palette::kIcon;
    p.save();
    // Drawn for a head of radius 14.5 at (25, 18.5), fitted to ours.
    p.translate(kHead + QPointF(0, drop));
    p.scale(kHeadRadius / 14.5, kHeadRadius / 14.5);
    p.translate(-25, -18.5);
    QPen pole(white, 1.9);
    pole.setCapStyle(Qt::RoundCap);
    p.setPen(pole);
    p.drawLine(QPointF(19.5, 28), QPointF(19.5, 10));
    QPainterPath cloth(QPointF(20.2, 10.6));
    cloth.cubicTo(24, 8.6, 27, 12.6, 32, 10.8);
    cloth.lineTo(32, 20);
    cloth.cubicTo(27, 21.8, 24, 17.8, 20.2, 19.8);
    cloth.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawPath(cloth);
    p.restore();
}

} // namespace

QImage flagButton(bool pressed) {
    return paintInPoints({kWidth, kHeight}, scales::kFlag, [&](QPainter& p) {
        const double drop = pressed ? 1 : 0;
        groundShadow(p, pressed);
        const QPainterPath pin = pinOutline(drop);

        QLinearGradient body(0, kHead.y() - kHeadRadius + drop, 0, kTip.y() + drop);
        body.setColorAt(0, pressed ? QColor(28, 96, 194) : QColor(98, 180, 255));
        body.setColorAt(1, pressed ? QColor(10, 48, 134) : QColor(20, 98, 222));
        p.setPen(QPen(QColor(255, 255, 255, pressed ? 170 : 235), 1.6));
        p.setBrush(body);
        p.drawPath(pin);

        p.save();
        p.setClipPath(pin);
        p.setPen(Qt::NoPen);
        if (pressed) {
            const QPointF off = kHead + QPointF(0, drop + 3);
            QRadialGradient inset(off, kHeadRadius + 2);
            inset.setColorAt(0.7, QColor(0, 0, 0, 0));
            inset.setColorAt(1, QColor(0, 0, 0, 150));
            p.setBrush(inset);
            p.drawEllipse(kHead + QPointF(0, drop), kHeadRadius + 1, kHeadRadius + 1);
        } else {
            QLinearGradient sheen(0, kHead.y() - kHeadRadius, 0, kHead.y());
            sheen.setColorAt(0, QColor(255, 255, 255, 80));
            sheen.setColorAt(1, QColor(255, 255, 255, 0));
            p.setBrush(sheen);
            p.drawEllipse(QPointF(kHead.x(), kHead.y() - kHeadRadius * 0.45), kHeadRadius * 0.85,
                          kHeadRadius * 0.55);
        }
        p.restore();
        whiteFlag(p, drop, pressed);
    });
}

} // namespace terrabo::images
