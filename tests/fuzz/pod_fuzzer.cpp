// Any bytes at all must read without crashing, reading out of bounds or
// allocating beyond the input's size, and build into nodes the same way.
#include "engine3d/PodModel.h"
#include "engine3d/pod/PodScene.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::string error;
    const terrabo::pod::Scene scene = terrabo::pod::read(bytes, error);
    // Building nodes walks every index and count the file holds.
    terrabo::buildPodResource(scene, "fuzz", [](const std::string& file) {
        return terrabo::Picture{file, nullptr};
    });
    return 0;
}
