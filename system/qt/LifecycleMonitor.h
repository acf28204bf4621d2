#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace terrabo {

// The life-cycle events of the app as the desktop or phone shell reports them.
struct LifecycleHandlers {
    std::function<void()> willResignActive;
    std::function<void()> didBecomeActive;
    std::function<void()> didReceiveMemoryWarning;
    std::function<void()> willEnterForeground;
    std::function<void()> didEnterBackground;
    std::function<void()> willTerminate;
    std::function<void()> significantTimeChange;
};

// Window activation = resign/become active; minimised or hidden = background;
// aboutToQuit = terminate; a once-a-second check catches wall-clock jumps, a
// new day or a new UTC offset.
class LifecycleMonitor final : public QObject {
    Q_OBJECT
public:
    LifecycleMonitor(QWidget* window, LifecycleHandlers handlers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void checkClock();

    QPointer<QWidget> window_;
    LifecycleHandlers handlers_;
    QTimer clockTimer_;
    QElapsedTimer monotonic_;
    qint64 wallAtStart_ = 0;
    QDate day_;
    int utcOffset_ = 0;
    bool active_ = false;
};

} // namespace terrabo
