#include "system/qt/QtRuntime.h"

#include "platform/Log.h"
#include "system/qt/LifecycleMonitor.h"
#include "system/qt/QtPlatform.h"
#include "system/qt/GlView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QSurfaceFormat>
#include <QThread>
#include <QWidget>

#include <malloc.h>
#include <unistd.h>

namespace terrabo {

struct QtRuntime::State {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<LifecycleMonitor> lifecycle;
};

QtRuntime::QtRuntime(int& argc, char** argv) : state_(std::make_unique<State>()) {
    // Big buffers (decoded pictures on their way to the GPU) come straight
    // from the system and go back to it when freed, instead of staying in the
    // heap for the rest of the run.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    // The web engine shares GL resources with the GL view.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // GL ES everywhere, so the shared context and the GL view agree.
    QSurfaceFormat::setDefaultFormat(GlView::surfaceFormat());
    // The web engine composes in software: its GPU path wants desktop GL next
    // to our GL ES context, which X servers without a GPU cannot give it.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-gpu-compositing");
    if (geteuid() == 0) {
        // The web engine's sandbox refuses to run as root.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    state_->app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("terrabo"));
    QCoreApplication::setOrganizationName(QStringLiteral("terrabo"));
    if (geteuid() == 0)
        logLine("running as root: the web view's sandbox is off");
}

QtRuntime::~QtRuntime() {
    state_->lifecycle.reset();
}

std::vector<std::string> QtRuntime::arguments() const {
    std::vector<std::string> args;
    for (const QString& a : QCoreApplication::arguments())
        args.push_back(a.toStdString());
    return args;
}

int QtRuntime::exec() { return QApplication::exec(); }

void QtRuntime::processEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

void QtRuntime::waitFor(double seconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < static_cast<qint64>(seconds * 1000)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

void QtRuntime::watchLifecycle(QtPlatform& platform, const LifecycleHandlers& handlers) {
    state_->lifecycle = std::make_unique<LifecycleMonitor>(platform.windowWidget(), handlers);
}

void QtRuntime::stopWatchingLifecycle() { state_->lifecycle.reset(); }

bool QtRuntime::screenshot(QtPlatform& platform, const std::string& file, std::string& error) {
    QWidget* window = platform.windowWidget();
    if (!window) {
        error = "there is no window";
        return false;
    }
    // grab() composes the GL view's framebuffer with the widgets over it.
    const QImage image = window->grab().toImage();
    if (image.isNull() || !image.save(QString::fromStdString(file), "PNG")) {
        error = "cannot write " + file;
        return false;
    }
    return true;
}

} // namespace terrabo
