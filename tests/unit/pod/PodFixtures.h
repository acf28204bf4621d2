#pragma once

#include "engine3d/pod/PodScene.h"

#include <string>
#include <vector>

namespace terrabo::podtest {

using Bytes = std::vector<std::uint8_t>;

// A unit square of two triangles, interleaved position, normal, uv (32 bytes a vertex).
pod::Mesh squareMesh(bool strips);
pod::Node node(const char* name, std::int32_t index, std::int32_t parent);
// Two mesh nodes (a list and a strip), a plain child "Pin" of the first, one
// textured material.
pod::Scene sampleScene();

void putU32(Bytes& b, std::size_t at, std::uint32_t v);
std::uint32_t getU32(const Bytes& b, std::size_t at);
// Offset of the n-th start tag with this id, walking tag by tag (blocks are unaligned).
std::size_t findTag(const Bytes& b, std::uint32_t id, int n = 0);

// Collects log lines instead of printing them while it lives.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    std::vector<std::string> lines;
};

} // namespace terrabo::podtest
