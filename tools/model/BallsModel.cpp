#include "tools/model/BallsModel.h"

#include "tools/model/PngWriter.h"
#include "tools/model/UvSphere.h"

namespace terrabo::pod {

Scene ballsScene() {
    Scene scene;
    scene.meshes.push_back(uvSphere(kGlobeRadius, kGlobeSegments, kGlobeRings));
    scene.meshes.push_back(uvSphere(kBeachBallRadius, 32, 16));
    scene.textures = {"earth.jpg", "beachball.png"};

    Material earth;
    earth.name = "Earth";
    earth.texture = 0;
    // Matte land and sea with a faint highlight from the lamp.
    earth.specular = {0.12f, 0.12f, 0.12f};
    earth.shininess = 32.0f;
    Material ball;
    ball.name = "BeachBall";
    ball.texture = 1;
    ball.specular = {0.5f, 0.5f, 0.5f};
    ball.shininess = 40.0f;
    scene.materials = {earth, ball};

    Node globe;
    globe.name = "Globe";
    globe.index = 0;
    globe.material = 0;
    Node beachBall;
    beachBall.name = "BeachBall";
    beachBall.index = 1;
    beachBall.material = 1;
    scene.nodes = {globe, beachBall};
    scene.numMeshNodes = 2;
    return scene;
}

std::vector<std::uint8_t> beachBallPng() {
    struct Rgb {
        std::uint8_t r, g, b;
    };
    constexpr Rgb kWhite{250, 250, 245};
    constexpr Rgb kStripes[6] = {{230, 57, 70}, kWhite,        {29, 120, 220},
                                 kWhite,        {255, 196, 0}, kWhite};
    constexpr int w = kBeachBallTextureWidth, h = kBeachBallTextureHeight;
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = kStripes[x * 6 / w];
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    return encodePng(w, h, rgb);
}

} // namespace terrabo::pod
