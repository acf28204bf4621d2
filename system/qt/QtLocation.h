#pragma once

#include "platform/Location.h"

#include <QGeoPositionInfoSource>
#include <QPointer>

namespace terrabo {

// The platform's default position source (GeoClue 2 on Linux). No source, a
// refusal and a time-out reach the delegate as errors, never as a hang.
class QtLocationManager final : public LocationManager {
public:
    QtLocationManager();
    ~QtLocationManager() override;
    void setDelegate(LocationManagerDelegate* delegate) override { delegate_ = delegate; }
    void setDesiredAccuracyKilometer() override;
    void startUpdatingLocation() override;
    void stopUpdatingLocation() override;

private:
    void fail();
    QGeoPositionInfoSource* source_ = nullptr;
    LocationManagerDelegate* delegate_ = nullptr;
    bool updating_ = false;
    bool havePrevious_ = false;
    LocationFix previous_;
    QObject guard_;
};

class QtLocationService final : public LocationService {
public:
    std::unique_ptr<LocationManager> createManager() override {
        return std::make_unique<QtLocationManager>();
    }
};

} // namespace terrabo
