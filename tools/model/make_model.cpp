// Writes Balls.pod and the beach ball's texture into the given folder.
#include "tools/model/BallsModel.h"
#include "tools/model/PodWriter.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_model OUTPUT_DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    if (!writeFile(dir + "/Balls.pod", terrabo::pod::write(terrabo::pod::ballsScene())) ||
        !writeFile(dir + "/beachball.png", terrabo::pod::beachBallPng())) {
        std::cerr << "make_model: cannot write into " << dir << "\n";
        return 1;
    }
    return 0;
}
