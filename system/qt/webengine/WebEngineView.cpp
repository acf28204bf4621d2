// The web engine's side of the web panel, built as a module of its own.
#include "system/qt/WebEngineModule.h"

#include <QUrl>
#include <QWebEngineView>

namespace terrabo {
namespace {

class EngineView final : public WebEngineView {
public:
    EngineView(QWidget* parent, std::function<void()> finished) : view_(new QWebEngineView(parent)) {
        QObject::connect(view_, &QWebEngineView::loadFinished, view_,
                         [finished = std::move(finished)](bool) {
                             if (finished)
                                 finished();
                         });
    }
    QWidget* widget() override { return view_; }
    void load(const std::string& url) override { view_->load(QUrl(QString::fromStdString(url))); }

private:
    QWebEngineView* view_;
};

} // namespace
} // namespace terrabo

extern "C" Q_DECL_EXPORT terrabo::WebEngineView* terrabo_create_web_engine_view(QWidget* parent,
                                                                               std::function<void()> finished) {
    return new terrabo::EngineView(parent, std::move(finished));
}
