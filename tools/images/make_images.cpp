// Draws the overlay's button, bar and header images and the star-field backdrop.
// Sizes are chosen so that the layout's scale factors give the intended size in
// points (an image of 200 pixels at scale 0.25 is 50 points wide).
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>
#include <iostream>

namespace {

QString g_dir;

bool save(const QImage& image, const char* name, int quality = -1) {
    const bool ok = image.save(g_dir + "/" + name, nullptr, quality);
    if (!ok)
        std::cerr << "make_images: cannot write " << name << "\n";
    return ok;
}

QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

const QColor kNavy(14, 26, 48);
const QColor kAccent(64, 156, 255);

// A round button: translucent dark disc, light rim, soft shadow; pressed is
// darker and sits lower.
void roundButton(QPainter& p, int size, bool pressed) {
    const double r = size / 2.0 - size * 0.06;
    const QPointF c(size / 2.0, size / 2.0 + (pressed ? size * 0.015 : 0));
    p.setPen(Qt::NoPen);
    QRadialGradient shadow(c + QPointF(0, size * 0.03), r * 1.12);
    shadow.setColorAt(0.8, QColor(0, 0, 0, pressed ? 40 : 90));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setBrush(shadow);
    p.drawEllipse(c + QPointF(0, size * 0.03), r * 1.12, r * 1.12);
    QLinearGradient body(0, c.y() - r, 0, c.y() + r);
    body.setColorAt(0, pressed ? QColor(20, 34, 60, 235) : QColor(44, 64, 100, 225));
    body.setColorAt(1, pressed ? QColor(10, 18, 34, 240) : QColor(18, 30, 54, 230));
    p.setBrush(body);
    p.setPen(QPen(QColor(255, 255, 255, pressed ? 70 : 120), size * 0.025));
    p.drawEllipse(c, r, r);
    if (pressed) {
        p.setPen(QPen(QColor(0, 0, 0, 90), size * 0.04));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - r * 0.92, c.y() - r * 0.92, r * 1.84, r * 1.84), 30 * 16, 120 * 16);
    }
}

QPen iconPen(int size, bool pressed) {
    QPen pen(pressed ? QColor(150, 200, 255) : QColor(255, 255, 255), size * 0.085);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void zoomButton(const char* name, bool plus, bool pressed) {
    const int size = 200;
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    roundButton(p, size, pressed);
    p.setPen(iconPen(size, pressed));
    const double c = size / 2.0, dy = pressed ? size * 0.015 : 0, a = size * 0.2;
    p.drawLine(QPointF(c - a, c + dy), QPointF(c + a, c + dy));
    if (plus)
        p.drawLine(QPointF(c, c - a + dy), QPointF(c, c + a + dy));
    p.end();
    save(image, name);
}

void moreButton(const char* name, bool pressed) {
    const int size = 100;
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    roundButton(p, size, pressed);
    p.setPen(Qt::NoPen);
    const double dy = pressed ? 1.5 : 0, cell = size * 0.15, gap = size * 0.06;
    const double x0 = size / 2.0 - cell - gap / 2, y0 = size / 2.0 - cell - gap / 2 + dy;
    const QColor tiles[] = {QColor(255, 255, 255), kAccent, QColor(255, 196, 0), QColor(80, 220, 140)};
    for (int i = 0; i < 4; ++i) {
        QColor t = tiles[i];
        if (pressed)
            t = t.darker(130);
        p.setBrush(t);
        p.drawRoundedRect(QRectF(x0 + (i % 2) * (cell + gap), y0 + (i / 2) * (cell + gap), cell, cell), 3, 3);
    }
    p.end();
    save(image, name);
}

// A pin with a small flag: the marker of a found place.
void flagButton(const char* name, bool pressed) {
    const int size = 100;
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double dy = pressed ? 2 : 0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(QPointF(50, 90), 16, 5);
    QPainterPath pin;
    pin.moveTo(50, 88 + dy);
    pin.cubicTo(30, 62 + dy, 18, 50 + dy, 18, 36 + dy);
    pin.arcTo(QRectF(18, 4 + dy, 64, 64), 180, -180);
    pin.cubicTo(82, 50 + dy, 70, 62 + dy, 50, 88 + dy);
    QLinearGradient body(0, 4, 0, 88);
    body.setColorAt(0, pressed ? QColor(30, 100, 200) : QColor(90, 175, 255));
    body.setColorAt(1, pressed ? QColor(10, 50, 130) : QColor(20, 90, 210));
    p.setBrush(body);
    p.setPen(QPen(QColor(255, 255, 255, 200), 3));
    p.drawPath(pin);
    // The flag inside the pin head.
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(42, 52 + dy), QPointF(42, 20 + dy));
    QPainterPath flag;
    flag.moveTo(43, 21 + dy);
    flag.cubicTo(52, 16 + dy, 56, 28 + dy, 64, 23 + dy);
    flag.lineTo(64, 39 + dy);
    flag.cubicTo(56, 44 + dy, 52, 32 + dy, 43, 37 + dy);
    flag.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(flag);
    p.end();
    save(image, name);
}

// My location: a crosshair around a dot.
void homeButton(const char* name, bool pressed) {
    const int size = 166;
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    roundButton(p, size, pressed);
    const double c = size / 2.0, dy = pressed ? size * 0.015 : 0;
    p.setPen(iconPen(size, pressed));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(c, c + dy), size * 0.2, size * 0.2);
    const double in = size * 0.2, out = size * 0.31;
    p.drawLine(QPointF(c, c - out + dy), QPointF(c, c - in + dy));
    p.drawLine(QPointF(c, c + in + dy), QPointF(c, c + out + dy));
    p.drawLine(QPointF(c - out, c + dy), QPointF(c - in, c + dy));
    p.drawLine(QPointF(c + in, c + dy), QPointF(c + out, c + dy));
    p.setPen(Qt::NoPen);
    p.setBrush(pressed ? QColor(150, 200, 255) : kAccent);
    p.drawEllipse(QPointF(c, c + dy), size * 0.085, size * 0.085);
    p.end();
    save(image, name);
}

// The search field: a rounded bar with a magnifier and a hint.
void searchButton() {
    const int w = 360, h = 72;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF bar(4, 4, w - 8, h - 8);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, QColor(255, 255, 255, 245));
    fill.setColorAt(1, QColor(228, 234, 244, 245));
    p.setBrush(fill);
    p.setPen(QPen(QColor(255, 255, 255, 160), 3));
    p.drawRoundedRect(bar, h / 2.0 - 4, h / 2.0 - 4);
    QPen glass(QColor(70, 90, 120), 6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(glass);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(40, 33), 13, 13);
    p.drawLine(QPointF(50, 43), QPointF(60, 53));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(QColor(110, 124, 146));
    p.drawText(QRectF(76, 0, w - 90, h), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Search places"));
    p.end();
    save(image, "b1.png");
}

// The bar behind a row of buttons: deep navy glass with a light edge on top.
void bar() {
    const int w = 458, h = 100;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, QColor(kNavy.red(), kNavy.green(), kNavy.blue(), 120));
    fill.setColorAt(1, QColor(kNavy.red(), kNavy.green(), kNavy.blue(), 215));
    p.fillRect(image.rect(), fill);
    p.fillRect(QRect(0, h - 3, w, 3), QColor(120, 170, 255, 110));
    p.end();
    save(image, "buttbg.png");
}

void header() {
    QImage image(320, 60, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, 60);
    fill.setColorAt(0, QColor(30, 50, 86));
    fill.setColorAt(1, kNavy);
    p.fillRect(image.rect(), fill);
    p.setPen(Qt::white);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(24);
    font.setBold(true);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Terrabo"));
    p.end();
    save(image, "done.jpg", 92);
}

// Deterministic stars: a small linear congruential generator.
struct Random {
    std::uint32_t state = 20261211u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
};

void starField() {
    const int size = 2048;
    QImage image(size, size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sky(size * 0.5, size * 0.45, size * 0.75);
    sky.setColorAt(0, QColor(8, 12, 30));
    sky.setColorAt(1, QColor(1, 2, 8));
    p.fillRect(image.rect(), sky);
    Random random;
    // A faint band of light across the sky.
    for (int i = 0; i < 900; ++i) {
        const double t = random.next();
        const double x = t * size, y = size * 0.3 + t * size * 0.4 + (random.next() - 0.5) * size * 0.18;
        QRadialGradient haze(x, y, 40 + random.next() * 90);
        haze.setColorAt(0, QColor(90, 100, 150, 7));
        haze.setColorAt(1, QColor(90, 100, 150, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(haze);
        p.drawEllipse(QPointF(x, y), 130, 130);
    }
    const QColor tints[] = {QColor(255, 255, 255), QColor(200, 220, 255), QColor(255, 236, 200),
                            QColor(255, 200, 170), QColor(170, 200, 255)};
    for (int i = 0; i < 6000; ++i) {
        const double x = random.next() * size, y = random.next() * size;
        const double b = std::pow(random.next(), 3.0);
        QColor c = tints[static_cast<int>(random.next() * 5) % 5];
        c.setAlpha(static_cast<int>(60 + 195 * b));
        const double r = 0.6 + 2.2 * b;
        p.setBrush(c);
        p.drawEllipse(QPointF(x, y), r, r);
        if (b > 0.7) {
            QRadialGradient glow(x, y, r * 5);
            glow.setColorAt(0, QColor(c.red(), c.green(), c.blue(), 70));
            glow.setColorAt(1, QColor(c.red(), c.green(), c.blue(), 0));
            p.setBrush(glow);
            p.drawEllipse(QPointF(x, y), r * 5, r * 5);
        }
    }
    p.end();
    save(image, "bg1.jpg", 92);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: make_images OUTPUT_DIR\n";
        return 2;
    }
    g_dir = QString::fromLocal8Bit(argv[1]);
    searchButton();
    bar();
    header();
    zoomButton("Zoom In.png", true, false);
    zoomButton("Zoom In1.png", true, true);
    zoomButton("Zoom Out.png", false, false);
    zoomButton("Zoom Out1.png", false, true);
    moreButton("more1.png", false);
    moreButton("more2.png", true);
    flagButton("blue1.png", false);
    flagButton("blue2.png", true);
    homeButton("h1.png", false);
    homeButton("h2.png", true);
    starField();
    return 0;
}
