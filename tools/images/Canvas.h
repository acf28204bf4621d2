#pragma once

#include <QImage>
#include <QPainter>
#include <QSizeF>

#include <functional>

namespace terrabo::images {

// The scale factors the overlay gives an image: its size on screen in points is
// its size in pixels times these.
struct LayoutScale {
    double x = 1;
    double y = 1;
};

// The most whole pixels that, shown at `scale`, stay within `points`.
QSize pixelSizeFor(QSizeF points, LayoutScale scale);

// A transparent image of `points` at `scale`, with `draw` painting in points: the
// painter's transform undoes the layout's scale, so round shapes stay round and
// details land on whole device pixels of a 2x screen.
QImage paintInPoints(QSizeF points, LayoutScale scale, const std::function<void(QPainter&)>& draw);

} // namespace terrabo::images
