#include "engine3d/pod/BlockWalker.h"
#include "engine3d/pod/PodScene.h"
#include "platform/Log.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace terrabo::pod {
namespace {

// A big-endian writer's version tag, read little-endian.
constexpr std::uint32_t kSwappedVersionTag = 0xE8030000u;

class SceneReader {
  public:
    SceneReader(const std::vector<std::uint8_t>& bytes, std::string& error)
        : walker_(bytes, error), error_(error) {}

    Scene read() {
        Scene scene;
        if (walker_.size() >= 4 && readU32(walker_.at(0)) == kSwappedVersionTag) {
            error_ = "written in big-endian byte order";
            return scene;
        }
        bool versionSeen = false;
        Block b;
        while (walker_.next(0, b)) {
            if (b.id == kVersion) {
                if (b.length != 11 || text(b) != kVersionString) {
                    walker_.fail("not version " + std::string(kVersionString), b.at);
                    return scene;
                }
                versionSeen = true;
            } else if (b.id == kScene && b.container) {
                if (!versionSeen)
                    walker_.fail("scene before the version block", b.at);
                else
                    readScene(b, scene);
                return scene;
            } else {
                walker_.skip(b, 1);
            }
        }
        if (!walker_.failed())
            walker_.note(versionSeen ? "no scene block" : "no version block", walker_.position());
        return scene;
    }

  private:
    static std::string text(const Block& b) {
        std::string s(reinterpret_cast<const char*>(b.data), b.length);
        if (const auto nul = s.find('\0'); nul != std::string::npos)
            s.resize(nul);
        return s;
    }
    static bool u32(const Block& b, std::uint32_t& out) {
        if (b.length != 4)
            return false;
        out = readU32(b.data);
        return true;
    }
    static void i32(const Block& b, std::int32_t& out) {
        std::uint32_t u = 0;
        if (u32(b, u))
            out = static_cast<std::int32_t>(u);
    }
    float value(const std::uint8_t* p) const {
        if (fixedPoint_)
            return static_cast<float>(static_cast<std::int32_t>(readU32(p))) / 65536.0f;
        const std::uint32_t bits = readU32(p);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    // The first N values; animated blocks hold one such entry per frame and
    // the first is the rest pose.
    template <std::size_t N> void values(const Block& b, std::array<float, N>& out) const {
        if (b.length < 4 * N)
            return;
        for (std::size_t i = 0; i < N; ++i)
            out[i] = value(b.data + 4 * i);
    }
    void value(const Block& b, float& out) const {
        if (b.length >= 4)
            out = value(b.data);
    }

    void readScene(const Block& sceneBlock, Scene& scene) {
        std::uint32_t meshes = 0, nodes = 0, textures = 0, materials = 0;
        Block b;
        while (walker_.next(sceneBlock.id, b)) {
            switch (b.id) {
            case kNumMeshNodes:
                u32(b, scene.numMeshNodes);
                break;
            case kNumMeshes:
                u32(b, meshes);
                break;
            case kNumNodes:
                u32(b, nodes);
                break;
            case kNumTextures:
                u32(b, textures);
                break;
            case kNumMaterials:
                u32(b, materials);
                break;
            case kFlags: {
                std::uint32_t flags = 0;
                if (u32(b, flags))
                    fixedPoint_ = flags & kFixedPointFlag;
                break;
            }
            case kMesh:
                keepIfWhole(b, scene.meshes, &SceneReader::readMesh);
                break;
            case kNode:
                keepIfWhole(b, scene.nodes, &SceneReader::readNode);
                break;
            case kTexture:
                keepIfWhole(b, scene.textures, &SceneReader::readTexture);
                break;
            case kMaterial:
                keepIfWhole(b, scene.materials, &SceneReader::readMaterial);
                break;
            default:
                walker_.skip(b, 2);
                break;
            }
        }
        if (walker_.failed())
            return;
        if (scene.meshes.size() != meshes || scene.nodes.size() != nodes ||
            scene.textures.size() != textures || scene.materials.size() != materials)
            walker_.note("block counts differ from the scene's counts", sceneBlock.at);
    }

    // An element cut short by damage is left out: the ones before it keep
    // their positions, so indices into the array stay right.
    template <class T>
    void keepIfWhole(const Block& b, std::vector<T>& into,
                     void (SceneReader::*parse)(const Block&, T&)) {
        if (!b.container) {
            walker_.skip(b, 2);
            return;
        }
        T element{};
        (this->*parse)(b, element);
        if (!walker_.failed())
            into.push_back(std::move(element));
    }

    void readTexture(const Block& container, std::string& file) {
        Block b;
        while (walker_.next(container.id, b)) {
            if (b.id == kTextureFile)
                file = text(b);
            walker_.skip(b, 3);
        }
    }

    void readMaterial(const Block& container, Material& m) {
        Block b;
        while (walker_.next(container.id, b)) {
            switch (b.id) {
            case kMaterialName:
                m.name = text(b);
                break;
            case kMaterialTexture:
                i32(b, m.texture);
                break;
            case kMaterialOpacity:
                value(b, m.opacity);
                break;
            case kMaterialAmbient:
                values(b, m.ambient);
                break;
            case kMaterialDiffuse:
                values(b, m.diffuse);
                break;
            case kMaterialSpecular:
                values(b, m.specular);
                break;
            case kMaterialShininess:
                value(b, m.shininess);
                break;
            default:
                walker_.skip(b, 3);
                break;
            }
        }
    }

    void readNode(const Block& container, Node& node) {
        Block b;
        while (walker_.next(container.id, b)) {
            switch (b.id) {
            case kNodeIndex:
                i32(b, node.index);
                break;
            case kNodeName:
                node.name = text(b);
                break;
            case kNodeMaterial:
                i32(b, node.material);
                break;
            case kNodeParent:
                i32(b, node.parent);
                break;
            case kNodeOldPosition:
            case kNodePosition:
                values(b, node.position);
                break;
            case kNodeOldRotation:
            case kNodeRotation:
                values(b, node.rotation);
                break;
            case kNodeOldScale:
            case kNodeScale:
                values(b, node.scale);
                break;
            case kNodeOldMatrix:
            case kNodeMatrix:
                if (b.length >= 64) {
                    std::array<float, 16> m;
                    values(b, m);
                    node.matrix = m;
                }
                break;
            default:
                walker_.skip(b, 3);
                break;
            }
        }
    }

    void readMesh(const Block& container, Mesh& mesh) {
        std::uint32_t numStrips = 0;
        bool interleaved = false;
        Attribute faces;
        std::vector<std::uint8_t> faceBytes;
        Block b;
        while (walker_.next(container.id, b)) {
            switch (b.id) {
            case kMeshNumVertices:
                u32(b, mesh.numVertices);
                break;
            case kMeshNumFaces:
                u32(b, mesh.numFaces);
                break;
            case kMeshNumStrips:
                u32(b, numStrips);
                break;
            case kMeshStripLengths:
                mesh.stripLengths.clear();
                for (std::uint32_t i = 0; i + 4 <= b.length; i += 4)
                    mesh.stripLengths.push_back(readU32(b.data + i));
                break;
            case kMeshInterleaved:
                // Only before any attribute array: later it would shift their offsets.
                if (mesh.interleaved.empty()) {
                    mesh.interleaved.assign(b.data, b.data + b.length);
                    interleaved = true;
                }
                break;
            case kMeshFaces:
                readData(b, faces, &faceBytes);
                break;
            case kMeshPositions:
                readAttribute(b, mesh, mesh.positions, interleaved);
                break;
            case kMeshNormals:
                readAttribute(b, mesh, mesh.normals, interleaved);
                break;
            case kMeshUvw:
                // The first channel is the one the engine draws with.
                if (mesh.uvs.present()) {
                    Attribute ignored;
                    readData(b, ignored, nullptr);
                } else {
                    readAttribute(b, mesh, mesh.uvs, interleaved);
                }
                break;
            default:
                walker_.skip(b, 3);
                break;
            }
        }
        if (numStrips == 0)
            mesh.stripLengths.clear();
        readIndices(faces, faceBytes, mesh, container.at);
    }

    void readAttribute(const Block& b, Mesh& mesh, Attribute& attr, bool interleaved) {
        std::vector<std::uint8_t> own;
        readData(b, attr, interleaved ? nullptr : &own);
        if (interleaved || own.empty())
            return;
        attr.offset = static_cast<std::uint32_t>(mesh.interleaved.size());
        mesh.interleaved.insert(mesh.interleaved.end(), own.begin(), own.end());
    }

    // A data group; its 9003 is the raw array when `raw` is given, else the
    // attribute's offset inside the interleaved array.
    void readData(const Block& container, Attribute& attr, std::vector<std::uint8_t>* raw) {
        if (!container.container) {
            walker_.skip(container, 3);
            return;
        }
        Block b;
        while (walker_.next(container.id, b)) {
            switch (b.id) {
            case kDataType:
                u32(b, attr.type);
                break;
            case kDataComponents:
                u32(b, attr.components);
                break;
            case kDataStride:
                u32(b, attr.stride);
                break;
            case kData:
                if (raw)
                    raw->assign(b.data, b.data + b.length);
                else
                    u32(b, attr.offset);
                break;
            default:
                walker_.skip(b, 4);
                break;
            }
        }
    }

    void readIndices(const Attribute& faces, const std::vector<std::uint8_t>& bytes, Mesh& mesh,
                     std::size_t meshAt) {
        if (bytes.empty())
            return;
        if (faces.type == kUnsignedShort) {
            for (std::size_t i = 0; i + 2 <= bytes.size(); i += 2)
                mesh.indices.push_back(static_cast<std::uint16_t>(bytes[i] | bytes[i + 1] << 8));
        } else if (faces.type == kUnsignedInt) {
            // Kept when every index fits the engine's 16 bits.
            for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
                const std::uint32_t index = readU32(bytes.data() + i);
                if (index > 0xFFFFu) {
                    mesh.indices.clear();
                    walker_.note("mesh indices beyond 16 bits", meshAt);
                    return;
                }
                mesh.indices.push_back(static_cast<std::uint16_t>(index));
            }
        } else {
            walker_.note("mesh indices of unknown type " + std::to_string(faces.type), meshAt);
        }
    }

    BlockWalker walker_;
    std::string& error_;
    bool fixedPoint_ = false;
};

} // namespace

Scene read(const std::vector<std::uint8_t>& bytes, std::string& error) {
    return SceneReader(bytes, error).read();
}

std::optional<Scene> loadFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        logLine(std::filesystem::exists(path, ec) ? "model %s cannot be read"
                                                  : "model %s is missing",
                path.c_str());
        return std::nullopt;
    }
    // Read through istream::read, which reports a failing read as a state
    // instead of throwing it.
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    if (!in.eof() || in.bad()) {
        logLine("model %s cannot be read", path.c_str());
        return std::nullopt;
    }
    std::string error;
    Scene scene = read(bytes, error);
    if (!error.empty())
        logLine("model %s: %s", path.c_str(), error.c_str());
    return scene;
}

} // namespace terrabo::pod
