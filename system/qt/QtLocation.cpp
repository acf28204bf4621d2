#include "system/qt/QtLocation.h"

#include <QTimer>

namespace terrabo {
QtLocationManager::QtLocationManager(const QString& sourceName, int fixTimeoutMs)
    : source_(sourceName.isEmpty() ? QGeoPositionInfoSource::createDefaultSource(&guard_)
                                   : QGeoPositionInfoSource::createSource(sourceName, &guard_)),
      fixTimeoutMs_(fixTimeoutMs) {
    if (!source_)
        return;
    QObject::connect(source_, &QGeoPositionInfoSource::positionUpdated, &guard_,
                     [this](const QGeoPositionInfo& info) {
                         if (!updating_ || !delegate_ || !info.isValid())
                             return;
                         const LocationFix fix{info.coordinate().latitude(), info.coordinate().longitude()};
                         const LocationFix previous = previous_;
                         const bool hadPrevious = havePrevious_;
                         previous_ = fix;
                         havePrevious_ = true;
                         delegate_->didUpdateToLocation(*this, fix, hadPrevious ? &previous : nullptr);
                     });
    QObject::connect(source_, &QGeoPositionInfoSource::errorOccurred, &guard_,
                     [this](QGeoPositionInfoSource::Error) { fail(); });
}

QtLocationManager::~QtLocationManager() {
    updating_ = false;
    delegate_ = nullptr;
}

void QtLocationManager::setDesiredAccuracyKilometer() {
    // Kilometre accuracy: any method will do, satellites not needed.
    if (source_)
        source_->setPreferredPositioningMethods(QGeoPositionInfoSource::AllPositioningMethods);
}

void QtLocationManager::fail() {
    if (updating_ && delegate_)
        delegate_->didFailWithError(*this);
}

void QtLocationManager::startUpdatingLocation() {
    updating_ = true;
    if (!source_) {
        // Reported later, like any answer of the service.
        QTimer::singleShot(0, &guard_, [this] { fail(); });
        return;
    }
    source_->requestUpdate(fixTimeoutMs_);
}

void QtLocationManager::stopUpdatingLocation() {
    updating_ = false;
    if (source_)
        source_->stopUpdates();
}

} // namespace terrabo
