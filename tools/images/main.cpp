// Writes the overlay's images and the backdrop into the resource folder.
#include "Drawings.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <functional>

using namespace terrabo::images;

namespace {

struct Output {
    const char* name;
    std::function<QImage()> draw;
    int jpegQuality; // -1 for PNG
};

const Output kOutputs[] = {
    {"b1.png", searchField, -1},
    {"buttbg.png", rowBar, -1},
    {"done.jpg", header, 92},
    {"Zoom In.png", [] { return zoomButton(true, false); }, -1},
    {"Zoom In1.png", [] { return zoomButton(true, true); }, -1},
    {"Zoom Out.png", [] { return zoomButton(false, false); }, -1},
    {"Zoom Out1.png", [] { return zoomButton(false, true); }, -1},
    {"more1.png", [] { return moreButton(false); }, -1},
    {"more2.png", [] { return moreButton(true); }, -1},
    {"blue1.png", [] { return flagButton(false); }, -1},
    {"blue2.png", [] { return flagButton(true); }, -1},
    {"h1.png", [] { return locateButton(false); }, -1},
    {"h2.png", [] { return locateButton(true); }, -1},
    {"bg1.jpg", [] { return starField(2048); }, 92},
};

} // namespace

int main(int argc, char** argv) {
    // Text needs a font database, which needs an application object.
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_images OUTPUT_DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_images: cannot create %s\n", argv[1]);
        return 1;
    }
    int failures = 0;
    for (const Output& out : kOutputs) {
        const QString path = dir.filePath(QString::fromLatin1(out.name));
        const QImage image = out.draw();
        if (image.isNull() || !image.save(path, nullptr, out.jpegQuality)) {
            std::fprintf(stderr, "make_images: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
