#include "system/qt/QtPlatform.h"

#include "system/qt/DirectorBinding.h"
#include "system/qt/QtBanner.h"
#include "system/qt/QtTextField.h"
#include "system/qt/QtWebPanel.h"
#include "platform/Resources.h"
#include "system/qt/QtViews.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>

#include <cstdio>
#include <cstdlib>

namespace terrabo {

QtPlatform::QtPlatform(ScreenInfo screen) : screen_(std::move(screen)) {}

QtPlatform::~QtPlatform() = default;

QWidget* QtPlatform::windowWidget() const { return window_; }
GlView* QtPlatform::glView() const { return glView_; }

void QtPlatform::attachToDirector(RenderView& view) {
    auto* qtView = dynamic_cast<QtRenderView*>(&view);
    if (!qtView || !qtView->glView())
        return;
    glView_ = qtView->glView();
    binding_ = std::make_unique<DirectorBinding>(*glView_, Director::shared());
    binding_->setManualFrames(manualFrames_);
}

std::string runningSystemVersion() {
    const std::string version = QSysInfo::productVersion().toStdString();
    return version == "unknown" ? std::string("1.0") : version;
}

std::unique_ptr<Window> QtPlatform::createWindow(Rect bounds) {
    auto window = std::make_unique<QtWindow>(bounds);
    window_ = window->widget();
    return window;
}

std::unique_ptr<RenderView> QtPlatform::createRenderView(Rect bounds, ColorFormat,
                                                         unsigned depthFormat) {
    // The widget's surface format carries RGBA8 and a 16-bit depth buffer.
    if (depthFormat != kDepthComponent16)
        return nullptr;
    return std::make_unique<QtRenderView>(bounds);
}

std::unique_ptr<TextField> QtPlatform::createTextField(Rect frame) {
    return std::make_unique<QtTextField>(frame);
}

std::unique_ptr<BannerView> QtPlatform::createBannerView(Rect frame, const std::string& adsBase) {
    return std::make_unique<QtBannerView>(frame, adsBase);
}

std::unique_ptr<WebPanel> QtPlatform::loadWebPanel(const std::string& interfaceName, WebPanelOwner& owner,
                                                   WebView*& webViewOutlet, ActivityIndicator*& indicatorOutlet) {
    auto panel = loadQtWebPanel(resourcePath(interfaceName + ".ui"), owner);
    if (panel) {
        webViewOutlet = panel->webView();
        indicatorOutlet = panel->activityIndicator();
    }
    return panel;
}

void QtPlatform::pressPanelDone(WebPanel& panel) {
    if (QWidget* root = widgetOf(panel))
        if (auto* done = root->findChild<QPushButton*>("doneButton"))
            done->click();
}

void QtPlatform::showAlert(const std::string& title, const std::string& message,
                           const std::string& button) {
    auto* box = new QMessageBox(window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QString::fromStdString(title));
    box->setText(QString::fromStdString(title));
    box->setInformativeText(QString::fromStdString(message));
    box->addButton(QString::fromStdString(button), QMessageBox::AcceptRole);
    box->setWindowModality(Qt::WindowModal);
    box->open();
    alerts_.emplace_back(box);
}

void QtPlatform::pruneAlerts() const {
    std::erase_if(alerts_, [](const QPointer<QMessageBox>& b) { return b.isNull() || !b->isVisible(); });
}

std::vector<AlertInfo> QtPlatform::alerts() const {
    pruneAlerts();
    std::vector<AlertInfo> result;
    for (const auto& box : alerts_) {
        AlertInfo info{box->windowTitle().toStdString(), box->informativeText().toStdString(), {}};
        for (auto* b : box->buttons())
            info.buttons.push_back(b->text().toStdString());
        result.push_back(std::move(info));
    }
    return result;
}

bool QtPlatform::pressTopAlertButton() {
    pruneAlerts();
    if (alerts_.empty())
        return false;
    QPointer<QMessageBox> box = alerts_.back();
    const auto buttons = box->buttons();
    if (buttons.isEmpty())
        return false;
    buttons.front()->click();
    alerts_.pop_back();
    return true;
}

void QtPlatform::exitProcess(int status) {
    if (exitHandler_) {
        exitHandler_(status);
        return;
    }
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace terrabo
