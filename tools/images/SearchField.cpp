// The search button: a white rounded field with a magnifier and a hint. The text
// field that opens on a tap lies over its right part, so the magnifier stays in view.
#include "Canvas.h"
#include "Drawings.h"
#include "OverlayScales.h"
#include "Palette.h"

#include <QFont>
#include <QLinearGradient>

namespace terrabo::images {

QImage searchField() {
    constexpr double w = 214, h = 34, inset = 1.5;
    return paintInPoints({w, h}, scales::kSearch, [](QPainter& p) {
        const QRectF pill(inset, inset, w - 2 * inset, h - 2 * inset - 1);
        const double radius = pill.height() / 2;

        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRoundedRect(pill.translated(0, 1.2), radius, radius);

        QLinearGradient fill(0, pill.top(), 0, pill.bottom());
        fill.setColorAt(0, QColor(255, 255, 255, 250));
        fill.setColorAt(1, QColor(230, 236, 246, 250));
        p.setBrush(fill);
        p.setPen(QPen(QColor(190, 204, 226), 0.8));
        p.drawRoundedRect(pill, radius, radius);

        const QPointF glass(pill.left() + 17, pill.center().y() - 1);
        QPen pen(palette::kFieldGlass, 2.2);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(glass, 5.6, 5.6);
        p.drawLine(glass + QPointF(4.2, 4.2), glass + QPointF(8.4, 8.4));

        QFont font(QString::fromLatin1(palette::kFontFamily));
        font.setPixelSize(14);
        p.setFont(font);
        p.setPen(palette::kFieldHint);
        p.drawText(QRectF(pill.left() + 32, pill.top(), pill.width() - 40, pill.height()),
                   Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Search places"));
    });
}

} // namespace terrabo::images
