// The bar behind a row of buttons, and the header.
#include "Canvas.h"
#include "Drawings.h"
#include "OverlayScales.h"
#include "Palette.h"

#include <QFont>
#include <QLinearGradient>

namespace terrabo::images {
namespace {

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

} // namespace

// Drawn for the top row: the screen edge at the top, the hairline toward the
// globe. The bottom row shows it mirrored, which keeps both hairlines inside.
QImage rowBar() {
    // A little wider than the screen, so that no column of stars shows at its sides.
    constexpr double w = 320.7, h = 50;
    return paintInPoints({w, h}, scales::kBar, [](QPainter& p) {
        using namespace palette;
        QLinearGradient fill(0, 0, 0, h);
        fill.setColorAt(0, withAlpha(kBarEdge, 232));
        fill.setColorAt(1, withAlpha(kBarInner, 196));
        p.fillRect(QRectF(0, 0, w, h), fill);

        QLinearGradient glow(0, h - 6, 0, h);
        glow.setColorAt(0, withAlpha(kHairline, 0));
        glow.setColorAt(1, withAlpha(kHairline, 34));
        p.fillRect(QRectF(0, h - 6, w, 6), glow);
        p.fillRect(QRectF(0, h - 1, w, 1), withAlpha(kHairline, 130));
    });
}

QImage header() {
    constexpr int w = 320, h = 60;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, QColor(30, 50, 88));
    fill.setColorAt(1, palette::kBarEdge);
    p.fillRect(image.rect(), fill);
    p.fillRect(QRect(0, h - 1, w, 1), palette::kHairline);
    QFont font(QString::fromLatin1(palette::kFontFamily));
    font.setPixelSize(22);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Terrabo"));
    p.end();
    return image;
}

} // namespace terrabo::images
