#pragma once

#include "Canvas.h"

// The scale factors the overlay shows each image at.
namespace terrabo::images::scales {

inline constexpr LayoutScale kZoom{0.25, 0.25};
inline constexpr LayoutScale kMore{0.5, 0.5};
inline constexpr LayoutScale kLocate{0.3, 0.3};
inline constexpr LayoutScale kFlag{0.5, 0.5};
inline constexpr LayoutScale kSearch{0.55, 0.5};
inline constexpr LayoutScale kBar{0.7, 0.5};

} // namespace terrabo::images::scales
