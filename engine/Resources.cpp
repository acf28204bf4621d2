#include "platform/Resources.h"

namespace terrabo {
namespace {
std::string& dir() {
    static std::string d = ".";
    return d;
}
} // namespace

void setResourceDir(std::string d) { dir() = std::move(d); }
const std::string& resourceDir() { return dir(); }
std::string resourcePath(const std::string& fileName) { return dir() + "/" + fileName; }

} // namespace terrabo
