#pragma once

#include "engine3d/pod/PodScene.h"

namespace terrabo::pod {

// Seen from the start (10 units away, 60 degree field) the globe spans a quarter
// of the view's height; at the nearest zoom (2 units from its centre) the near
// plane, 0.5 in front of the camera, stays clear of its surface.
constexpr float kGlobeRadius = 1.45f;
// Chosen from screenshots beside 128 x 64 at the start view and the nearest
// zoom, 320 x 480 and 1536 x 2048: 96 x 48 moves no pixel by 2% or more
// except along a few texel edges (0.04% of the pixels at worst), with 43% fewer
// vertices; 64 x 32 moved 1.6% of them at the nearest zoom.
constexpr int kGlobeSegments = 96;
constexpr int kGlobeRings = 48;
constexpr float kBeachBallRadius = 0.5f;
constexpr int kBeachBallTextureWidth = 192;
constexpr int kBeachBallTextureHeight = 16;

// Balls.pod: mesh node "Globe" (the Earth, texture earth.jpg) and mesh node
// "BeachBall" (striped, texture beachball.png), both roots with identity
// transforms.
Scene ballsScene();

// beachball.png: six vertical stripes, which the sphere's u wraps around the
// ball from pole to pole.
std::vector<std::uint8_t> beachBallPng();

} // namespace terrabo::pod
