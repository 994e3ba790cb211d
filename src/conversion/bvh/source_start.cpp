#include "conversion/bvh/source_start.h"

#include <array>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/files/read_blocks.h"

namespace skelvane::conversion {

Result<SourceStart> readSourceStart(platform::Handle in) {
    BvhStartCheck check;
    SourceStart result;
    std::array<char, kStartReadSize> block{};
    const std::error_code error = readBlocks(in, block, [&](std::string_view piece) {
        check.feed(piece);
        result.held.append(piece);
        return check.verdict() == BvhStartCheck::Verdict::NeedMore &&
               result.held.size() <= kMaxHeldStart;
    });
    if (error) return error;
    result.bvh = check.verdict() == BvhStartCheck::Verdict::Bvh;
    return result;
}

}  // namespace skelvane::conversion
