#pragma once

#include "FakeGl.h"
#include "engine/render/Renderer.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace terrabo::test {

inline std::shared_ptr<const Image> solidImage(int width, int height) {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    image->rgba.assign(static_cast<std::size_t>(width * height * 4), 200);
    return image;
}

// A 2 x 2 square facing +Z.
inline std::shared_ptr<Mesh> squareMesh() {
    auto mesh = std::make_shared<Mesh>();
    mesh->vertices = {{{-1, -1, 0}, {0, 0, 1}, {0, 1}},
                      {{1, -1, 0}, {0, 0, 1}, {1, 1}},
                      {{1, 1, 0}, {0, 0, 1}, {1, 0}},
                      {{-1, 1, 0}, {0, 0, 1}, {0, 0}}};
    mesh->indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

// A renderer on the fake, one frame begun on a 320 x 480 point screen at 2x.
class RendererTest : public testing::Test {
  protected:
    void SetUp() override {
        setLogToStderr(false);
        setLogSink([this](const std::string& line) { log.push_back(line); });
        renderer.emplace(gl.api);
        renderer->beginFrame(640, 960, {320, 480});
    }
    void TearDown() override {
        setLogSink({});
        setLogToStderr(true);
    }

    void drawPicture(const std::shared_ptr<const Image>& image, const std::string& key = "p") {
        renderer->drawPicture(Picture{key, image}, Mat4::identity(), {10, 10}, {}, 255, false,
                              false);
    }
    void draw3D(Mesh& mesh, const MeshMaterial* material = nullptr) {
        renderer->begin3D(Mat4::identity(), Mat4::identity(), {});
        renderer->drawMesh(mesh, Mat4::identity(), material);
        renderer->end3D();
    }

    FakeGl gl;
    std::vector<std::string> log;
    std::optional<Renderer> renderer;
};

} // namespace terrabo::test
