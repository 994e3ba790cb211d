#include "conversion/bvh/source_start.h"

#include <array>

#include "conversion/bvh/bvh_start.h"

namespace skelvane::conversion {

std::variant<SourceStart, std::error_code> readSourceStart(platform::Handle in) {
    BvhStartCheck check;
    SourceStart result;
    std::array<char, 64 * 1024> block{};
    while (check.verdict() == BvhStartCheck::Verdict::NeedMore) {
        std::error_code error;
        const std::ptrdiff_t count = platform::readSome(in, block.data(), block.size(), error);
        if (count < 0) return error;
        if (count == 0) {
            check.finish();
            break;
        }
        const std::string_view piece(block.data(), static_cast<std::size_t>(count));
        check.feed(piece);
        result.held.append(piece);
        if (result.held.size() > kMaxHeldStart) break;
    }
    result.bvh = check.verdict() == BvhStartCheck::Verdict::Bvh;
    return result;
}

}  // namespace skelvane::conversion
