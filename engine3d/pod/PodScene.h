#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace terrabo::pod {

// Block identifiers of the model format.
enum Tag : std::uint32_t {
    kVersion = 1000,
    kScene = 1001,
    kNumCameras = 2002,
    kNumLights = 2003,
    kNumMeshes = 2004,
    kNumNodes = 2005,
    kNumMeshNodes = 2006,
    kNumTextures = 2007,
    kNumMaterials = 2008,
    kNumFrames = 2009,
    kMesh = 2012,
    kNode = 2013,
    kTexture = 2014,
    kMaterial = 2015,
    kFlags = 2016,
    kMaterialName = 3000,
    kMaterialTexture = 3001,
    kMaterialOpacity = 3002,
    kMaterialAmbient = 3003,
    kMaterialDiffuse = 3004,
    kMaterialSpecular = 3005,
    kMaterialShininess = 3006,
    kTextureFile = 4000,
    kNodeIndex = 5000,
    kNodeName = 5001,
    kNodeMaterial = 5002,
    kNodeParent = 5003,
    kNodeOldPosition = 5004,
    kNodeOldRotation = 5005,
    kNodeOldScale = 5006,
    kNodePosition = 5007,
    kNodeRotation = 5008,
    kNodeScale = 5009,
    kNodeOldMatrix = 5010,
    kNodeMatrix = 5011,
    kNodeAnimationFlags = 5012,
    kMeshNumVertices = 6000,
    kMeshNumFaces = 6001,
    kMeshNumUvw = 6002,
    kMeshFaces = 6003,
    kMeshStripLengths = 6004,
    kMeshNumStrips = 6005,
    kMeshPositions = 6006,
    kMeshNormals = 6007,
    kMeshUvw = 6010,
    kMeshInterleaved = 6014,
    kDataType = 9000,
    kDataComponents = 9001,
    kDataStride = 9002,
    kData = 9003,
};
constexpr std::uint32_t kEndBit = 0x80000000u;
constexpr const char* kVersionString = "AB.POD.2.0";
// Bit 0 of the scene flags: colours, transforms and material values are 16.16 fixed point.
constexpr std::uint32_t kFixedPointFlag = 0x1u;

enum DataType : std::uint32_t {
    kFloat = 1,
    kInt = 2,
    kUnsignedShort = 3,
    kFixed16_16 = 9,
    kUnsignedByte = 10,
    kShort = 11,
    kShortNorm = 12,
    kByte = 13,
    kByteNorm = 14,
    kUnsignedByteNorm = 15,
    kUnsignedShortNorm = 16,
    kUnsignedInt = 17,
};

// One vertex attribute: element v starts at byte v * stride + offset of the
// mesh's vertex data.
struct Attribute {
    std::uint32_t type = 0;
    std::uint32_t components = 0;
    std::uint32_t stride = 0;
    std::uint32_t offset = 0;
    bool present() const { return components > 0; }
};

struct Mesh {
    std::uint32_t numVertices = 0;
    std::uint32_t numFaces = 0;
    std::vector<std::uint32_t> stripLengths; // triangles per strip; empty: triangle list
    // The interleaved array as stored. A file with one array per attribute has
    // those arrays laid end to end here, each attribute's offset at its start.
    std::vector<std::uint8_t> interleaved;
    Attribute positions, normals, uvs;
    std::vector<std::uint16_t> indices;
};

struct Node {
    std::string name;
    std::int32_t index = -1; // mesh index for mesh nodes
    std::int32_t material = -1;
    std::int32_t parent = -1;
    std::array<float, 3> position{0, 0, 0};
    std::array<float, 4> rotation{0, 0, 0, 1}; // stored quaternion x, y, z, w
    std::array<float, 3> scale{1, 1, 1};
    // When present it replaces position, rotation and scale; column-major.
    std::optional<std::array<float, 16>> matrix;
};

struct Material {
    std::string name;
    std::int32_t texture = -1;
    float opacity = 1.0f;
    std::array<float, 3> ambient{1, 1, 1};
    std::array<float, 3> diffuse{1, 1, 1};
    std::array<float, 3> specular{0, 0, 0};
    float shininess = 0.0f;
};

// Nodes 0 .. numMeshNodes-1 are mesh instances; the rest are lights, cameras
// and helpers, which carry only their place in the tree here.
struct Scene {
    std::uint32_t numMeshNodes = 0;
    std::vector<Mesh> meshes;
    std::vector<Node> nodes;
    std::vector<Material> materials;
    std::vector<std::string> textures;
};

// Reads what it can. A damaged file yields the complete blocks before the
// damage and sets `error` to one line saying what and where; it never reads
// outside the buffer and allocates no more than the buffer holds.
Scene read(const std::vector<std::uint8_t>& bytes, std::string& error);

// The file at `path`; nullopt when it cannot be opened. Logs one line when the
// file is missing or damaged.
std::optional<Scene> loadFile(const std::string& path);

} // namespace terrabo::pod
