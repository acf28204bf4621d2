#pragma once

#include "platform/Location.h"

#include <QGeoPositionInfoSource>
#include <QPointer>

namespace terrabo {

// The platform's default position source (GeoClue 2 on Linux). No source, a
// refusal and a time-out reach the delegate as errors, never as a hang.
class QtLocationManager final : public LocationManager {
public:
    static constexpr int kFixTimeoutMs = 30000;
    // An empty source name picks the platform's default source.
    explicit QtLocationManager(const QString& sourceName = {}, int fixTimeoutMs = kFixTimeoutMs);
    ~QtLocationManager() override;
    void setDelegate(LocationManagerDelegate* delegate) override { delegate_ = delegate; }
    void setDesiredAccuracyKilometer() override;
    void startUpdatingLocation() override;
    void stopUpdatingLocation() override;

private:
    void fail();
    // Declared first: the source is created as its child, and goes with it.
    QObject guard_;
    QGeoPositionInfoSource* source_ = nullptr;
    LocationManagerDelegate* delegate_ = nullptr;
    int fixTimeoutMs_;
    bool updating_ = false;
    bool havePrevious_ = false;
    LocationFix previous_;
};

class QtLocationService final : public LocationService {
public:
    explicit QtLocationService(QString sourceName = {},
                               int fixTimeoutMs = QtLocationManager::kFixTimeoutMs)
        : sourceName_(std::move(sourceName)), fixTimeoutMs_(fixTimeoutMs) {}
    std::unique_ptr<LocationManager> createManager() override {
        return std::make_unique<QtLocationManager>(sourceName_, fixTimeoutMs_);
    }

private:
    QString sourceName_;
    int fixTimeoutMs_;
};

} // namespace terrabo
