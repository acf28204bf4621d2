#pragma once

#include "platform/Image.h"

namespace terrabo {

// Premultiplies alpha in place: premultiplied texels filter without dark
// fringes at transparent edges.
void premultiplyAlpha(Image& image);

// The next smaller mipmap level: half the size (at least 1), each texel the
// rounded mean of the 2 x 2 (or 2 x 1 at an odd edge) texels it covers.
Image halved(const Image& image);

// How many times a side of `side` texels can be halved and still keep at
// least `needed` texels, no further than to one texel; 0 when `needed` is 0
// or more than `side`.
int halvingsToFit(int side, int needed);

} // namespace terrabo
