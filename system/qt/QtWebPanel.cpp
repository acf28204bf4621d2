#include "system/qt/QtWebPanel.h"

#include "platform/Log.h"

#include <QFile>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QUiLoader>
#include <QUrl>
#include <QWebEngineView>

namespace terrabo {

QtWebPanel::QtWebPanel(QWidget* root, WebPanelOwner& owner) : WidgetView<WebPanel>(root) {
    indicator_ = root->findChild<QProgressBar*>("activityIndicator");
    if (auto* done = root->findChild<QPushButton*>("doneButton"))
        QObject::connect(done, &QPushButton::clicked, root, [&owner] { owner.doneAction(); });
    // The file holds a placeholder: the web engine is made only when a panel opens.
    QWidget* placeholder = root->findChild<QWidget*>("myWebView");
    web_ = new QWebEngineView(root);
    web_->setObjectName("myWebView");
    if (placeholder && placeholder->parentWidget() && placeholder->parentWidget()->layout()) {
        placeholder->parentWidget()->layout()->replaceWidget(placeholder, web_);
        delete placeholder;
    }
    QObject::connect(web_, &QWebEngineView::loadFinished, root, [this, &owner](bool) {
        loaded_ = true;
        owner.webViewDidFinishLoad();
    });
}

void QtWebPanel::loadRequest(const std::string& url) {
    url_ = url;
    if (web_)
        web_->load(QUrl(QString::fromStdString(url)));
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
