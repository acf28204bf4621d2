#include "places/LocationGetter.h"

#include "app/AppContext.h"
#include "platform/Log.h"
#include "platform/Platform.h"

namespace terrabo {

LocationGetter::~LocationGetter() {
    // Letting the manager go ends any request still open; it reports nothing.
    if (locationManager_) {
        locationManager_->setDelegate(nullptr);
        locationManager_->stopUpdatingLocation();
    }
}

void LocationGetter::startUpdates() {
    logLine("Starting Location Updates");
    if (!locationManager_ && service_)
        locationManager_ = service_->createManager();
    if (!locationManager_)
        return;
    locationManager_->setDelegate(this);
    locationManager_->setDesiredAccuracyKilometer();
    locationManager_->startUpdatingLocation();
}

void LocationGetter::didUpdateToLocation(LocationManager& manager, const LocationFix& location,
                                         const LocationFix*) {
    if (!isUsableFix(location)) {
        didFailWithError(manager);
        return;
    }
    manager.stopUpdatingLocation();
    if (delegate_)
        delegate_->newPhysicalLocation(location);
}

void LocationGetter::didFailWithError(LocationManager& manager) {
    if (appContext().platform)
        appContext().platform->showAlert("Error", "location could not be determined.", "OK");
    manager.stopUpdatingLocation();
}

} // namespace terrabo
