#include "system/qt/LifecycleMonitor.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindowStateChangeEvent>

#include <cstdlib>

namespace terrabo {

namespace {
// A wall clock that drifts from the monotonic one by more than this was set.
constexpr qint64 kClockJumpMs = 2000;

void call(const std::function<void()>& f) {
    if (f)
        f();
}
} // namespace

LifecycleMonitor::LifecycleMonitor(QWidget* window, LifecycleHandlers handlers)
    : window_(window), handlers_(std::move(handlers)) {
    if (window_)
        window_->installEventFilter(this);
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            [this] { call(handlers_.willTerminate); });
    monotonic_.start();
    const QDateTime now = QDateTime::currentDateTime();
    wallAtStart_ = now.toMSecsSinceEpoch();
    day_ = now.date();
    utcOffset_ = now.offsetFromUtc();
    clockTimer_.setInterval(1000);
    connect(&clockTimer_, &QTimer::timeout, this, &LifecycleMonitor::checkClock);
    clockTimer_.start();
}

bool LifecycleMonitor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_)
        return false;
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (!active_) {
            active_ = true;
            call(handlers_.didBecomeActive);
        }
        break;
    case QEvent::WindowDeactivate:
        if (active_) {
            active_ = false;
            call(handlers_.willResignActive);
        }
        break;
    case QEvent::WindowStateChange:
        if (window_->windowState() & Qt::WindowMinimized)
            call(handlers_.didEnterBackground);
        break;
    case QEvent::Hide:
        // A window hidden by the shell (not closed by us) means the app went away.
        if (!QCoreApplication::closingDown() && window_->isMinimized())
            call(handlers_.didEnterBackground);
        break;
    default:
        break;
    }
    return false;
}

void LifecycleMonitor::checkClock() {
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 expected = wallAtStart_ + monotonic_.elapsed();
    const bool jumped = std::llabs(now.toMSecsSinceEpoch() - expected) > kClockJumpMs;
    const bool newDay = now.date() != day_;
    const bool newOffset = now.offsetFromUtc() != utcOffset_;
    if (jumped) {
        wallAtStart_ = now.toMSecsSinceEpoch();
        monotonic_.restart();
    }
    day_ = now.date();
    utcOffset_ = now.offsetFromUtc();
    if (jumped || newDay || newOffset)
        call(handlers_.significantTimeChange);
}

} // namespace terrabo
