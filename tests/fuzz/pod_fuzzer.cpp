// Any bytes at all must read without crashing or reading out of bounds.
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
    // Building nodes walks every index the file holds.
    terrabo::buildPodResource(scene, "fuzz");
    return 0;
}
