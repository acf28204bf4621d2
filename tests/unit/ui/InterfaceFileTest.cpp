#include "QtApp.h"

#include <QCoreApplication>
#include <QFile>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QUiLoader>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace terrabo {
namespace {

// The panel as the app loads it from its resource folder.
std::unique_ptr<QWidget> loadPanel() {
    test::qtApp();
    QFile file(QStringLiteral(TERRABO_RESOURCE_DIR "/moreAppInterface.ui"));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    QUiLoader loader;
    return std::unique_ptr<QWidget>(loader.load(&file));
}

TEST(InterfaceFile, RootIsThePanelAtPhoneSize) {
    auto panel = loadPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->objectName(), QStringLiteral("webDisplayView"));
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 320, 568));
}

TEST(InterfaceFile, OutletsAreFoundByNameAndKind) {
    auto panel = loadPanel();
    ASSERT_NE(panel, nullptr);

    auto* done = panel->findChild<QPushButton*>(QStringLiteral("doneButton"));
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->text(), QStringLiteral("Done"));

    // A plain placeholder with a layout, so the app can put its web view inside.
    auto* web = panel->findChild<QWidget*>(QStringLiteral("myWebView"));
    ASSERT_NE(web, nullptr);
    EXPECT_NE(web->layout(), nullptr);

    // Busy mode: no range, so it animates without being told a progress.
    auto* busy = panel->findChild<QProgressBar*>(QStringLiteral("activityIndicator"));
    ASSERT_NE(busy, nullptr);
    EXPECT_EQ(busy->minimum(), 0);
    EXPECT_EQ(busy->maximum(), 0);
}

TEST(InterfaceFile, WebViewTakesTheHeightBelowTheToolbar) {
    auto panel = loadPanel();
    ASSERT_NE(panel, nullptr);
    auto* web = panel->findChild<QWidget*>(QStringLiteral("myWebView"));
    auto* done = panel->findChild<QPushButton*>(QStringLiteral("doneButton"));
    ASSERT_NE(web, nullptr);
    ASSERT_NE(done, nullptr);
    auto* page = new QWidget;
    web->layout()->addWidget(page);
    panel->show();

    for (const int height : {480, 568}) {
        SCOPED_TRACE(height);
        panel->resize(320, height);
        QCoreApplication::processEvents();
        const QRect toolbar = done->parentWidget()->geometry();
        EXPECT_EQ(toolbar.top(), 0);
        EXPECT_EQ(toolbar.height(), 44);
        EXPECT_GE(web->geometry().top(), toolbar.bottom());
        EXPECT_EQ(web->geometry().bottom(), height - 1);
        EXPECT_EQ(web->width(), 320);
        EXPECT_EQ(page->size(), web->size());
        EXPECT_TRUE(toolbar.contains(done->geometry()));
    }
}

} // namespace
} // namespace terrabo
