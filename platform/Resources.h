#pragma once

#include <string>

namespace terrabo {

// The folder the app's resources (model, images, interface file) live in.
void setResourceDir(std::string dir);
const std::string& resourceDir();
std::string resourcePath(const std::string& fileName);

} // namespace terrabo
