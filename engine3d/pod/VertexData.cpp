#include "engine3d/pod/VertexData.h"

#include <cstring>

namespace terrabo::pod {
namespace {

std::size_t sizeOf(std::uint32_t type) {
    switch (type) {
    case kFloat:
    case kInt:
    case kUnsignedInt:
    case kFixed16_16:
        return 4;
    case kShort:
    case kShortNorm:
    case kUnsignedShort:
    case kUnsignedShortNorm:
        return 2;
    case kByte:
    case kByteNorm:
    case kUnsignedByte:
    case kUnsignedByteNorm:
        return 1;
    default:
        return 0;
    }
}

// Little-endian, n bytes.
std::uint32_t readLittle(const std::uint8_t* p, std::size_t n) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
}

float decode(std::uint32_t type, const std::uint8_t* p) {
    const std::uint32_t u32 = readLittle(p, sizeOf(type));
    switch (type) {
    case kFloat: {
        float f;
        std::memcpy(&f, &u32, 4);
        return f;
    }
    case kInt:
        return static_cast<float>(static_cast<std::int32_t>(u32));
    case kUnsignedInt:
        return static_cast<float>(u32);
    case kFixed16_16:
        return static_cast<float>(static_cast<std::int32_t>(u32)) / 65536.0f;
    case kShort:
        return static_cast<float>(static_cast<std::int16_t>(u32));
    case kShortNorm:
        return static_cast<float>(static_cast<std::int16_t>(u32)) / 32767.0f;
    case kUnsignedShort:
        return static_cast<float>(u32);
    case kUnsignedShortNorm:
        return static_cast<float>(u32) / 65535.0f;
    case kByte:
        return static_cast<float>(static_cast<std::int8_t>(u32));
    case kByteNorm:
        return static_cast<float>(static_cast<std::int8_t>(u32)) / 127.0f;
    case kUnsignedByte:
        return static_cast<float>(u32);
    case kUnsignedByteNorm:
        return static_cast<float>(u32) / 255.0f;
    default:
        return 0.0f;
    }
}

} // namespace

bool readVertex(const Mesh& mesh, const Attribute& attr, std::uint32_t vertex, int count,
                float* out) {
    const std::size_t size = sizeOf(attr.type);
    if (size == 0 || count <= 0 || attr.components < static_cast<std::uint32_t>(count))
        return false;
    // At most (2^32 - 1)^2 + 2^32: no overflow in 64 bits.
    const std::uint64_t start = std::uint64_t{vertex} * attr.stride + attr.offset;
    const std::uint64_t bytes = size * static_cast<std::uint64_t>(count);
    const std::uint64_t available = mesh.interleaved.size();
    if (start > available || bytes > available - start)
        return false;
    const std::uint8_t* p = mesh.interleaved.data() + start;
    for (int i = 0; i < count; ++i, p += size)
        out[i] = decode(attr.type, p);
    return true;
}

} // namespace terrabo::pod
