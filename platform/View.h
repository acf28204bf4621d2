#pragma once

#include "engine/math/Vec.h"

namespace terrabo {

// A rectangle on screen owned by the windowing system. Frames are in points,
// in the view convention: origin top left, y downward, relative to the parent.
class View {
public:
    virtual ~View() = default;
    virtual Rect frame() const = 0;
    virtual void setFrame(Rect frame) = 0;
    // Adds on top of the existing subviews.
    virtual void addSubview(View& child) = 0;
    virtual void removeFromSuperview() = 0;
    virtual bool hasSuperview() const = 0;
};

// The one top-level window.
class Window : public View {
public:
    virtual void makeKeyAndVisible() = 0;
};

} // namespace terrabo
