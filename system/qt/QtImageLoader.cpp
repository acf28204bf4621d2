#include "system/qt/QtImageLoader.h"

#include "platform/Log.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

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

std::optional<Image> QtImageLoader::size(const std::string& fileName) {
    QImageReader reader(QString::fromStdString(resourceDir_ + "/" + fileName));
    const QSize size = reader.size();
    if (!size.isValid()) {
        // Formats that keep their size to themselves are decoded whole.
        auto image = load(fileName);
        if (image)
            image->rgba = {};
        return image;
    }
    Image image;
    image.width = size.width();
    image.height = size.height();
    return image;
}

std::optional<Image> QtImageLoader::loadReduced(const std::string& fileName, int halvings) {
    QImageReader reader(QString::fromStdString(resourceDir_ + "/" + fileName));
    const QSize full = reader.size();
    // JPEG decodes at a half, a quarter or an eighth for a fraction of the
    // work; other formats would decode whole and scale with another filter.
    if (reader.format() != "jpeg" || !full.isValid() || halvings <= 0 || halvings > 3)
        return std::nullopt;
    reader.setScaledSize(QSize(std::max(1, full.width() >> halvings), std::max(1, full.height() >> halvings)));
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return fromQImage(image);
}

Image QtTextRasterizer::render(const std::string& utf8Text, const std::string& fontName,
                               float pointSize, float scale) {
    return renderOutlined(utf8Text, fontName, pointSize, scale, 0.0f);
}

Image QtTextRasterizer::renderOutlined(const std::string& utf8Text, const std::string& fontName,
                                       float pointSize, float scale, float outline) {
    QFont font(QString::fromStdString(fontName));
    // Points as the engine means them: one point is one logical pixel.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pointSize * scale))));
    const QString text = QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size()));
    const QFontMetricsF metrics(font);
    const double rim = std::max(0.0, static_cast<double>(outline) * scale);
    const int pad = static_cast<int>(std::ceil(rim));
    const int width = std::max(1, static_cast<int>(std::ceil(metrics.horizontalAdvance(text)))) + 2 * pad;
    const int height = std::max(1, static_cast<int>(std::ceil(metrics.height()))) + 2 * pad;
    QImage canvas(width, height, QImage::Format_RGBA8888);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QPointF baseline(pad, pad + metrics.ascent());
        if (rim > 0) {
            // Stroke first, then the glyphs over it: the outline only widens
            // the letters outward, it never thins them.
            painter.setRenderHint(QPainter::Antialiasing);
            QPainterPath glyphs;
            glyphs.addText(baseline, font, text);
            QPen pen(QColor(0, 0, 0, 220), 2 * rim, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            painter.strokePath(glyphs, pen);
            painter.fillPath(glyphs, Qt::white);
        } else {
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(baseline, text);
        }
    }
    return fromQImage(canvas);
}

} // namespace terrabo
