#pragma once

#include "platform/Location.h"

#include <cmath>
#include <memory>

namespace terrabo {

// A fix the globe can turn to: finite degrees on the Earth. A service that
// reports anything else has failed, whatever it says.
inline bool isUsableFix(const LocationFix& fix) {
    return std::isfinite(fix.latitude) && std::isfinite(fix.longitude) &&
           std::fabs(fix.latitude) <= 90.0 && std::fabs(fix.longitude) <= 180.0;
}

class LocationGetterDelegate {
public:
    virtual ~LocationGetterDelegate() = default;
    virtual void newPhysicalLocation(const LocationFix& location) = 0;
};

// A one-shot request of the device's position: the first answer stops the
// service and goes to the delegate; an error, or a fix that is no position,
// shows an alert instead.
class LocationGetter final : public LocationManagerDelegate {
public:
    explicit LocationGetter(LocationService* service) : service_(service) {}
    ~LocationGetter() override;

    LocationGetterDelegate* delegate() const { return delegate_; }
    void setDelegate(LocationGetterDelegate* d) { delegate_ = d; }
    LocationManager* locationManager() const { return locationManager_.get(); }
    void setLocationManager(std::unique_ptr<LocationManager> m) { locationManager_ = std::move(m); }

    void startUpdates();

    void didUpdateToLocation(LocationManager& manager, const LocationFix& location,
                             const LocationFix* previous) override;
    void didFailWithError(LocationManager& manager) override;

private:
    LocationService* service_;
    LocationGetterDelegate* delegate_ = nullptr;
    std::unique_ptr<LocationManager> locationManager_;
};

} // namespace terrabo
