#pragma once

#include <QImage>

// The overlay's images. Each is drawn in points and rasterised so that the
// overlay's scale factor gives it its on-screen size; pressed states sit one
// point lower, darker and inset.
namespace terrabo::images {

QImage zoomButton(bool plus, bool pressed);
QImage moreButton(bool pressed);
QImage locateButton(bool pressed);
QImage flagButton(bool pressed);
QImage searchField();
QImage rowBar();
QImage header();

// The backdrop: a square star field of `size` pixels, the same for every run.
QImage starField(int size);

} // namespace terrabo::images
