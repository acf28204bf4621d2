#include "Canvas.h"

#include <cmath>

namespace terrabo::images {

QSize pixelSizeFor(QSizeF points, LayoutScale scale) {
    // The tolerance keeps a quotient such as 33 / 0.55 (59.999...) from losing a pixel
    // to rounding.
    const auto pixels = [](double pt, double s) {
        return static_cast<int>(std::floor(pt / s + 1e-6));
    };
    return {pixels(points.width(), scale.x), pixels(points.height(), scale.y)};
}

QImage paintInPoints(QSizeF points, LayoutScale scale, const std::function<void(QPainter&)>& draw) {
    QImage image(pixelSizeFor(points, scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.scale(1.0 / scale.x, 1.0 / scale.y);
    draw(painter);
    painter.end();
    return image;
}

} // namespace terrabo::images
