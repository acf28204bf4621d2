#include "system/qt/QtWebPanel.h"

#include "platform/Log.h"
#include "system/qt/WebEngineModule.h"

#include <QFile>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QUiLoader>

namespace terrabo {

QtWebPanel::QtWebPanel(QWidget* root, WebPanelOwner& owner) : WidgetView<WebPanel>(root) {
    indicator_ = root->findChild<QProgressBar*>("activityIndicator");
    if (auto* done = root->findChild<QPushButton*>("doneButton"))
        QObject::connect(done, &QPushButton::clicked, root, [&owner] { owner.doneAction(); });
    // The file holds a placeholder: the web engine is made only when a panel opens.
    QWidget* placeholder = root->findChild<QWidget*>("myWebView");
    engine_ = createWebEngineView(root, [this, &owner] {
        loaded_ = true;
        owner.webViewDidFinishLoad();
    });
    if (!engine_)
        return;
    QWidget* web = engine_->widget();
    web->setObjectName("myWebView");
    if (placeholder && placeholder->parentWidget() && placeholder->parentWidget()->layout()) {
        placeholder->parentWidget()->layout()->replaceWidget(placeholder, web);
        delete placeholder;
    }
}

QtWebPanel::~QtWebPanel() = default;

void QtWebPanel::loadRequest(const std::string& url) {
    url_ = url;
    if (engine_)
        engine_->load(url);
}

void QtWebPanel::stopAnimating() {
    animating_ = false;
    if (indicator_) {
        // A stopped indicator shows nothing.
        indicator_->setRange(0, 1);
        indicator_->setValue(0);
        indicator_->hide();
    }
}

std::unique_ptr<WebPanel> loadQtWebPanel(const std::string& path, WebPanelOwner& owner) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        logLine("interface file %s could not be opened", path.c_str());
        return nullptr;
    }
    QUiLoader loader;
    QWidget* root = loader.load(&file);
    if (!root) {
        logLine("interface file %s could not be loaded: %s", path.c_str(),
                loader.errorString().toStdString().c_str());
        return nullptr;
    }
    return std::make_unique<QtWebPanel>(root, owner);
}

} // namespace terrabo
