#pragma once

#include <string>

namespace terrabo {

// The folder that keeps the user's files: the app's own data folder, or the
// one given on the command line. It is made when a file is first written.
class DocumentsFolder {
  public:
    explicit DocumentsFolder(std::string overridePath = {});
    const std::string& path() const { return path_; }
    std::string filePath(const std::string& fileName) const;

  private:
    std::string path_;
};

} // namespace terrabo
