#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace terrabo::pod {

inline std::uint32_t readU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Block {
    std::uint32_t id = 0;
    std::size_t at = 0; // offset of the start tag in the file
    const std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    // Its children follow; the walker stands at the first of them.
    bool container = false;
};

// Steps through the tagged blocks of a file, one cursor for all nesting
// levels. Every length is checked against the bytes that are left; the first
// damage stops the walk for good and is described, with its offset, in the
// error line.
class BlockWalker {
  public:
    BlockWalker(const std::vector<std::uint8_t>& bytes, std::string& error)
        : bytes_(bytes), error_(error) {}

    // The next child of container `parent` (0: the file's top level). False at
    // the parent's end tag, at the end of the file, or at damage.
    bool next(std::uint32_t parent, Block& block);
    // Steps over the children of a container that nobody reads; `depth` is its
    // nesting level, bounded so a file cannot nest without end.
    void skip(const Block& block, int depth);

    bool failed() const { return failed_; }
    void fail(const std::string& what, std::size_t at);
    // A fault that leaves the rest of the file readable.
    void note(const std::string& what, std::size_t at);

    std::size_t position() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }
    const std::uint8_t* at(std::size_t offset) const { return bytes_.data() + offset; }

  private:
    const std::vector<std::uint8_t>& bytes_;
    std::string& error_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace terrabo::pod
