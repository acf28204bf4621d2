#pragma once

#include <memory>

namespace terrabo {

// One position from the location service, in degrees.
struct LocationFix {
    double latitude = 0.0;
    double longitude = 0.0;
};

class LocationManager;

class LocationManagerDelegate {
public:
    virtual ~LocationManagerDelegate() = default;
    virtual void didUpdateToLocation(LocationManager& manager, const LocationFix& location,
                                     const LocationFix* previous) = 0;
    // No source, a refusal and a time-out all arrive here.
    virtual void didFailWithError(LocationManager& manager) = 0;
};

// The device's location service. Reports arrive later, between frames.
class LocationManager {
public:
    virtual ~LocationManager() = default;
    virtual void setDelegate(LocationManagerDelegate* delegate) = 0;
    virtual void setDesiredAccuracyKilometer() = 0;
    virtual void startUpdatingLocation() = 0;
    virtual void stopUpdatingLocation() = 0;
};

class LocationService {
public:
    virtual ~LocationService() = default;
    virtual std::unique_ptr<LocationManager> createManager() = 0;
};

} // namespace terrabo
