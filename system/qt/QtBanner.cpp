#include "system/qt/QtBanner.h"

#include <QNetworkReply>
#include <QPixmap>
#include <QUrl>

namespace terrabo {

QtBannerView::QtBannerView(Rect frame, std::string adsBase)
    : WidgetView<BannerView>(new QLabel), adsBase_(std::move(adsBase)) {
    widget_->setGeometry(toQRect(frame));
    auto* label = static_cast<QLabel*>(widget_.data());
    label->setAlignment(Qt::AlignCenter);
    label->setScaledContents(true);
    // Until an ad arrives the banner shows nothing over the scene.
    label->setAttribute(Qt::WA_TranslucentBackground);
}

void QtBannerView::loadRequest() {
    requested_ = true;
    const QUrl url(QString::fromStdString(adsBase_ + "/ads/banner?unit=" + unit_));
    QNetworkRequest request(url);
    request.setTransferTimeout(15000);
    QNetworkReply* reply = network_.get(request);
    QPointer<QWidget> target = widget_;
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, target] {
        reply->deleteLater();
        if (!target || reply->error() != QNetworkReply::NoError)
            return;
        QPixmap ad;
        if (ad.loadFromData(reply->readAll()))
            static_cast<QLabel*>(target.data())->setPixmap(ad);
    });
}

} // namespace terrabo
