#include "system/qt/QtViews.h"

#include <cmath>

namespace terrabo {

Rect toRect(const QRect& r) {
    return {static_cast<float>(r.x()), static_cast<float>(r.y()), static_cast<float>(r.width()),
            static_cast<float>(r.height())};
}

QRect toQRect(Rect r) {
    return QRect(static_cast<int>(std::lround(r.x)), static_cast<int>(std::lround(r.y)),
                 static_cast<int>(std::lround(r.width)), static_cast<int>(std::lround(r.height)));
}

QWidget* widgetOf(View& view) {
    if (auto* v = dynamic_cast<WidgetView<Window>*>(&view))
        return v->widget();
    if (auto* v = dynamic_cast<WidgetView<RenderView>*>(&view))
        return v->widget();
    if (auto* v = dynamic_cast<WidgetView<View>*>(&view))
        return v->widget();
    if (auto* v = dynamic_cast<WidgetView<TextField>*>(&view))
        return v->widget();
    if (auto* v = dynamic_cast<WidgetView<BannerView>*>(&view))
        return v->widget();
    if (auto* v = dynamic_cast<WidgetView<WebPanel>*>(&view))
        return v->widget();
    return nullptr;
}

QtWindow::QtWindow(Rect bounds) : WidgetView<Window>(new QWidget) {
    widget_->setWindowTitle(QStringLiteral("Terrabo"));
    widget_->setFixedSize(toQRect(bounds).size());
    widget_->setAttribute(Qt::WA_AcceptTouchEvents);
}

void QtWindow::makeKeyAndVisible() {
    widget_->show();
    widget_->raise();
    widget_->activateWindow();
}

QtRenderView::QtRenderView(Rect bounds) : WidgetView<RenderView>(new GlView) {
    widget_->setGeometry(toQRect(bounds));
}

} // namespace terrabo
