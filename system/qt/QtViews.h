#pragma once

#include "platform/Platform.h"
#include "platform/Banner.h"
#include "platform/WebPanel.h"
#include "system/qt/GlView.h"

#include <QPointer>
#include <QWidget>

namespace terrabo {

Rect toRect(const QRect& r);
QRect toQRect(Rect r);

// A platform view backed by a widget. The widget belongs to its Qt parent once
// added; a view taken out of its parent is hidden and owned by this object again.
template <class Base> class WidgetView : public Base {
public:
    explicit WidgetView(QWidget* widget) : widget_(widget) {}
    ~WidgetView() override {
        if (widget_ && !widget_->parentWidget())
            delete widget_.data();
    }
    QWidget* widget() const { return widget_; }

    Rect frame() const override { return widget_ ? toRect(widget_->geometry()) : Rect{}; }
    void setFrame(Rect frame) override {
        if (widget_)
            widget_->setGeometry(toQRect(frame));
    }
    void addSubview(View& child) override;
    void removeFromSuperview() override {
        if (!widget_ || !widget_->parentWidget())
            return;
        widget_->hide();
        widget_->setParent(nullptr);
    }
    bool hasSuperview() const override { return widget_ && widget_->parentWidget(); }

protected:
    QPointer<QWidget> widget_;
};

QWidget* widgetOf(View& view);

template <class Base> void WidgetView<Base>::addSubview(View& child) {
    QWidget* w = widgetOf(child);
    if (!widget_ || !w)
        return;
    const QRect geometry = w->geometry();
    w->setParent(widget_);
    w->setGeometry(geometry);
    w->show();
    w->raise();
}

class QtWindow final : public WidgetView<Window> {
public:
    explicit QtWindow(Rect bounds);
    void makeKeyAndVisible() override;
};

class QtRenderView final : public WidgetView<RenderView> {
public:
    explicit QtRenderView(Rect bounds);
    GlView* glView() const { return static_cast<GlView*>(widget_.data()); }
    bool valid() const override { return widget_ != nullptr; }
};

// Any other widget as a view (text field, panel, banner).
class QtPlainView final : public WidgetView<View> {
public:
    using WidgetView<View>::WidgetView;
};

} // namespace terrabo
