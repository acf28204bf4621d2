#include "engine3d/pod/PodScene.h"

#include <cstring>
#include <optional>

namespace terrabo::pod {
namespace {

// Walks the blocks of one container, never past its end.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    struct Block {
        std::uint32_t id;
        const std::uint8_t* data;
        std::uint32_t length;
        bool container;
    };

    // The next child block; nullopt at the container's end tag or on damage.
    std::optional<Block> next(std::uint32_t container, std::string& error) {
        if (done_)
            return std::nullopt;
        std::uint32_t tag = 0, length = 0;
        if (!u32(tag) || !u32(length)) {
            fail(error, "truncated block header");
            return std::nullopt;
        }
        if (tag == (container | kEndBit)) {
            done_ = true;
            return std::nullopt;
        }
        if (tag & kEndBit) {
            fail(error, "unexpected end tag");
            return std::nullopt;
        }
        if (length > size_ - pos_) {
            fail(error, "block runs past the end of the file");
            return std::nullopt;
        }
        Block block{tag, data_ + pos_, length, false};
        pos_ += length;
        // A leaf's end tag follows its data; a container (length 0) has children first.
        std::uint32_t end = 0, endLength = 0;
        if (size_ - pos_ >= 4) {
            end = readAt(pos_);
            if (end == (tag | kEndBit)) {
                pos_ += 4;
                if (!u32(endLength)) {
                    fail(error, "truncated end tag");
                    return std::nullopt;
                }
                return block;
            }
        }
        if (length != 0) {
            fail(error, "block without its end tag");
            return std::nullopt;
        }
        block.container = true;
        return block;
    }

    // A container's children, continuing from the current position.
    void skip(std::size_t n) { pos_ += n; }
    std::size_t position() const { return pos_; }
    bool atEnd() const { return pos_ >= size_; }

private:
    std::uint32_t readAt(std::size_t at) const {
        return static_cast<std::uint32_t>(data_[at]) | static_cast<std::uint32_t>(data_[at + 1]) << 8 |
               static_cast<std::uint32_t>(data_[at + 2]) << 16 |
               static_cast<std::uint32_t>(data_[at + 3]) << 24;
    }
    bool u32(std::uint32_t& v) {
        if (size_ - pos_ < 4)
            return false;
        v = static_cast<std::uint32_t>(data_[pos_]) | static_cast<std::uint32_t>(data_[pos_ + 1]) << 8 |
            static_cast<std::uint32_t>(data_[pos_ + 2]) << 16 |
            static_cast<std::uint32_t>(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    void fail(std::string& error, const char* what) {
        done_ = true;
        if (error.empty())
            error = what;
    }
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool done_ = false;
};

std::uint32_t readU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

float readF32(const std::uint8_t* p) {
    const std::uint32_t bits = readU32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

bool scalar(const Reader::Block& b, std::uint32_t& out) {
    if (b.length != 4)
        return false;
    out = readU32(b.data);
    return true;
}

bool scalarI(const Reader::Block& b, std::int32_t& out) {
    std::uint32_t u = 0;
    if (!scalar(b, u))
        return false;
    out = static_cast<std::int32_t>(u);
    return true;
}

template <std::size_t N> void floats(const Reader::Block& b, std::array<float, N>& out) {
    if (b.length < 4 * N)
        return;
    for (std::size_t i = 0; i < N; ++i)
        out[i] = readF32(b.data + 4 * i);
}

std::string text(const Reader::Block& b) {
    std::string s(reinterpret_cast<const char*>(b.data), b.length);
    if (auto nul = s.find('\0'); nul != std::string::npos)
        s.resize(nul);
    return s;
}

// A container: parse its children with `onChild`, then continue after its end tag.
std::size_t skipContainer(std::uint32_t id, const std::uint8_t* at, std::size_t size,
                          std::string& error, int depth);

template <class F> std::size_t container(const std::uint8_t* at, std::size_t size, std::uint32_t id,
                                         std::string& error, F onChild, int depth = 0) {
    Reader r(at, size);
    while (auto block = r.next(id, error)) {
        if (!block->container) {
            onChild(*block, nullptr, 0);
            continue;
        }
        // Children follow inline; whoever reads them reports how far they went.
        const std::uint8_t* inner = at + r.position();
        const std::size_t left = size - r.position();
        std::size_t used = onChild(*block, inner, left);
        if (used == 0)
            used = skipContainer(block->id, inner, left, error, depth + 1);
        r.skip(used);
    }
    return r.position();
}

std::size_t skipContainer(std::uint32_t id, const std::uint8_t* at, std::size_t size,
                          std::string& error, int depth) {
    if (depth > 8) {
        if (error.empty())
            error = "blocks nested too deep";
        return size;
    }
    return container(
        at, size, id, error, [](const Reader::Block&, const std::uint8_t*, std::size_t) -> std::size_t { return 0; },
        depth);
}

std::size_t readData(const std::uint8_t* at, std::size_t size, std::uint32_t id, Attribute& attr,
                     std::vector<std::uint8_t>* raw, std::string& error) {
    return container(at, size, id, error,
                     [&](const Reader::Block& b, const std::uint8_t*, std::size_t) -> std::size_t {
                         switch (b.id) {
                         case kDataType: scalar(b, attr.type); break;
                         case kDataComponents: scalar(b, attr.components); break;
                         case kDataStride: scalar(b, attr.stride); break;
                         case kData:
                             if (raw)
                                 raw->assign(b.data, b.data + b.length);
                             else
                                 scalar(b, attr.offset);
                             break;
                         default: break;
                         }
                         return 0;
                     });
}

std::size_t readMesh(const std::uint8_t* at, std::size_t size, Mesh& mesh, std::string& error) {
    std::vector<std::uint8_t> indexBytes;
    Attribute indexAttr;
    std::uint32_t numStrips = 0;
    const std::size_t used = container(
        at, size, kMesh, error,
        [&](const Reader::Block& b, const std::uint8_t* inner, std::size_t left) -> std::size_t {
            switch (b.id) {
            case kMeshNumVertices: scalar(b, mesh.numVertices); break;
            case kMeshNumFaces: scalar(b, mesh.numFaces); break;
            case kMeshNumStrips: scalar(b, numStrips); break;
            case kMeshStripLengths:
                for (std::uint32_t i = 0; i + 4 <= b.length; i += 4)
                    mesh.stripLengths.push_back(readU32(b.data + i));
                break;
            case kMeshInterleaved: mesh.interleaved.assign(b.data, b.data + b.length); break;
            case kMeshFaces:
                return inner ? readData(inner, left, b.id, indexAttr, &indexBytes, error) : 0;
            case kMeshPositions:
                return inner ? readData(inner, left, b.id, mesh.positions, nullptr, error) : 0;
            case kMeshNormals:
                return inner ? readData(inner, left, b.id, mesh.normals, nullptr, error) : 0;
            case kMeshUvw:
                // Only the first channel is used.
                if (inner) {
                    Attribute uv;
                    const std::size_t n = readData(inner, left, b.id, uv, nullptr, error);
                    if (!mesh.uvs.present())
                        mesh.uvs = uv;
                    return n;
                }
                break;
            default: break;
            }
            return 0;
        });
    if (numStrips == 0)
        mesh.stripLengths.clear();
    if (indexAttr.type == kUnsignedShort)
        for (std::size_t i = 0; i + 2 <= indexBytes.size(); i += 2)
            mesh.indices.push_back(static_cast<std::uint16_t>(indexBytes[i] | indexBytes[i + 1] << 8));
    else if (!indexBytes.empty() && error.empty())
        error = "mesh indices are not 16-bit";
    return used;
}

} // namespace

Scene read(const std::vector<std::uint8_t>& bytes, std::string& error) {
    Scene scene;
    Reader top(bytes.data(), bytes.size());
    bool versionOk = false;
    while (!top.atEnd()) {
        auto block = top.next(0xFFFFFFFFu & ~kEndBit, error);
        if (!block)
            break;
        if (block->id == kVersion) {
            versionOk = block->length == 11 && text(*block) == kVersionString;
            if (!versionOk) {
                error = "not a model file of version AB.POD.2.0";
                return scene;
            }
            continue;
        }
        if (!versionOk) {
            error = "the version block is missing";
            return scene;
        }
        if (block->id != kScene || !block->container) {
            if (block->container)
                top.skip(skipContainer(block->id, bytes.data() + top.position(),
                                       bytes.size() - top.position(), error, 1));
            continue;
        }
        const std::uint8_t* at = bytes.data() + top.position();
        const std::size_t left = bytes.size() - top.position();
        const std::size_t used = container(
            at, left, kScene, error,
            [&](const Reader::Block& b, const std::uint8_t* inner, std::size_t rest) -> std::size_t {
                switch (b.id) {
                case kNumMeshNodes: scalar(b, scene.numMeshNodes); break;
                case kMesh:
                    if (inner) {
                        scene.meshes.emplace_back();
                        return readMesh(inner, rest, scene.meshes.back(), error);
                    }
                    break;
                case kNode:
                    if (inner) {
                        Node& node = scene.nodes.emplace_back();
                        return container(inner, rest, kNode, error,
                                         [&](const Reader::Block& c, const std::uint8_t*,
                                             std::size_t) -> std::size_t {
                                             switch (c.id) {
                                             case kNodeIndex: scalarI(c, node.index); break;
                                             case kNodeName: node.name = text(c); break;
                                             case kNodeMaterial: scalarI(c, node.material); break;
                                             case kNodeParent: scalarI(c, node.parent); break;
                                             case kNodePosition: floats(c, node.position); break;
                                             case kNodeRotation: floats(c, node.rotation); break;
                                             case kNodeScale: floats(c, node.scale); break;
                                             default: break;
                                             }
                                             return 0;
                                         });
                    }
                    break;
                case kTexture:
                    if (inner) {
                        std::string& name = scene.textures.emplace_back();
                        return container(inner, rest, kTexture, error,
                                         [&](const Reader::Block& c, const std::uint8_t*, std::size_t) -> std::size_t {
                                             if (c.id == kTextureFile)
                                                 name = text(c);
                                             return 0;
                                         });
                    }
                    break;
                case kMaterial:
                    if (inner) {
                        Material& m = scene.materials.emplace_back();
                        return container(inner, rest, kMaterial, error,
                                         [&](const Reader::Block& c, const std::uint8_t*, std::size_t) -> std::size_t {
                                             switch (c.id) {
                                             case kMaterialName: m.name = text(c); break;
                                             case kMaterialTexture: scalarI(c, m.texture); break;
                                             case kMaterialOpacity:
                                                 if (c.length == 4) m.opacity = readF32(c.data);
                                                 break;
                                             case kMaterialAmbient: floats(c, m.ambient); break;
                                             case kMaterialDiffuse: floats(c, m.diffuse); break;
                                             case kMaterialSpecular: floats(c, m.specular); break;
                                             case kMaterialShininess:
                                                 if (c.length == 4) m.shininess = readF32(c.data);
                                                 break;
                                             default: break;
                                             }
                                             return 0;
                                         });
                    }
                    break;
                default: break;
                }
                return 0;
            });
        top.skip(used);
        return scene;
    }
    if (!versionOk && error.empty())
        error = "the version block is missing";
    else if (error.empty())
        error = "the scene block is missing";
    return scene;
}

} // namespace terrabo::pod
