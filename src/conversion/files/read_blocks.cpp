#include "conversion/files/read_blocks.h"

#include <cstdint>

namespace skelvane::conversion {

namespace {

constexpr std::size_t kCacheLine = 64;

}  // namespace

ReadBlock::ReadBlock() : storage_(kBlockSize + kCacheLine) {
    const auto misalignment = reinterpret_cast<std::uintptr_t>(storage_.data()) % kCacheLine;
    const std::size_t skip = misalignment == 0 ? 0 : kCacheLine - misalignment;
    bytes_ = std::span<char>(storage_.data() + skip, kBlockSize);
}

}  // namespace skelvane::conversion
