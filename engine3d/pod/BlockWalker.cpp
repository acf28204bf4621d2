#include "engine3d/pod/BlockWalker.h"

#include "engine3d/pod/PodScene.h"

namespace terrabo::pod {
namespace {

constexpr int kMaxNesting = 16;

} // namespace

bool BlockWalker::next(std::uint32_t parent, Block& block) {
    if (failed_)
        return false;
    const std::size_t size = bytes_.size();
    if (parent == 0 && pos_ == size)
        return false;
    const std::size_t start = pos_;
    if (size - start < 8) {
        fail("truncated", start);
        return false;
    }
    const std::uint32_t tag = readU32(at(start));
    const std::uint32_t length = readU32(at(start + 4));
    if (parent != 0 && tag == (parent | kEndBit)) {
        pos_ += 8;
        return false;
    }
    if (tag & kEndBit) {
        fail("stray end tag of block " + std::to_string(tag & ~kEndBit), start);
        return false;
    }
    if (length > size - start - 8) {
        fail("block " + std::to_string(tag) + " runs past the end of the file", start);
        return false;
    }
    block = {tag, start, at(start + 8), length, false};
    pos_ = start + 8 + length;
    // A leaf's end tag follows its data; a container (length 0) has its children first.
    if (size - pos_ >= 4 && readU32(at(pos_)) == (tag | kEndBit)) {
        if (size - pos_ < 8) {
            fail("truncated", pos_);
            return false;
        }
        pos_ += 8;
        return true;
    }
    if (length != 0) {
        if (size - pos_ < 8)
            fail("truncated", pos_);
        else
            fail("block " + std::to_string(tag) + " has no end tag", start);
        return false;
    }
    block.container = true;
    return true;
}

void BlockWalker::skip(const Block& block, int depth) {
    if (!block.container)
        return;
    if (depth > kMaxNesting) {
        fail("blocks nested too deep", block.at);
        return;
    }
    Block child;
    while (next(block.id, child))
        skip(child, depth + 1);
}

void BlockWalker::fail(const std::string& what, std::size_t offset) {
    if (!failed_)
        note(what, offset);
    failed_ = true;
}

void BlockWalker::note(const std::string& what, std::size_t offset) {
    if (error_.empty())
        error_ = what + " at byte " + std::to_string(offset);
}

} // namespace terrabo::pod
