#include "system/qt/QtImageLoader.h"

#include "platform/Log.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>

namespace terrabo {
namespace {

Image fromQImage(const QImage& source) {
    const QImage rgba = source.convertToFormat(QImage::Format_RGBA8888);
    Image image;
    image.width = rgba.width();
    image.height = rgba.height();
    const auto rowBytes = static_cast<std::size_t>(image.width) * 4;
    image.rgba.resize(rowBytes * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        std::memcpy(image.rgba.data() + rowBytes * static_cast<std::size_t>(y), rgba.constScanLine(y),
                    rowBytes);
    return image;
}

} // namespace

std::optional<Image> QtImageLoader::load(const std::string& fileName) {
    const QString path = QString::fromStdString(resourceDir_ + "/" + fileName);
    QImage image(path);
    if (image.isNull()) {
        logLine("image %s could not be loaded", fileName.c_str());
        return std::nullopt;
    }
    return fromQImage(image);
}

Image QtTextRasterizer::render(const std::string& utf8Text, const std::string& fontName,
                               float pointSize, float scale) {
    QFont font(QString::fromStdString(fontName));
    // Points as the engine means them: one point is one logical pixel.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pointSize * scale))));
    const QString text = QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size()));
    const QFontMetricsF metrics(font);
    const int width = std::max(1, static_cast<int>(std::ceil(metrics.horizontalAdvance(text))));
    const int height = std::max(1, static_cast<int>(std::ceil(metrics.height())));
    QImage canvas(width, height, QImage::Format_RGBA8888);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(0, metrics.ascent()), text);
    }
    return fromQImage(canvas);
}

} // namespace terrabo
