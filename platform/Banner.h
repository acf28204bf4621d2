#pragma once

#include "platform/View.h"

#include <string>

namespace terrabo {

// A banner of the house-ad service. Loading never blocks; without an ad it stays empty.
class BannerView : public View {
public:
    virtual void setAdUnitID(const std::string& id) = 0;
    virtual std::string adUnitID() const = 0;
    // The object the banner presents its own screens from.
    virtual void setRootViewController(void* controller) = 0;
    virtual void loadRequest() = 0;
    virtual bool requested() const = 0;
};

} // namespace terrabo
