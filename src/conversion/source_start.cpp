#include "conversion/source_start.h"

#include <array>

#include "conversion/bvh_start.h"

namespace skelvane::conversion {

std::variant<SourceStart, StreamError> readSourceStart(platform::Handle in) {
    const std::optional<std::int64_t> start = platform::position(in);
    BvhStartCheck check;
    SourceStart result;
    std::array<char, 64 * 1024> block{};
    while (check.verdict() == BvhStartCheck::Verdict::NeedMore) {
        int readError = 0;
        const std::ptrdiff_t count = platform::readSome(in, block.data(), block.size(), readError);
        if (count < 0) return StreamError{StreamError::Side::Read, readError};
        if (count == 0) {
            check.finish();
            break;
        }
        const std::string_view piece(block.data(), static_cast<std::size_t>(count));
        check.feed(piece);
        if (!start) {
            if (result.held.size() + piece.size() > kMaxHeldStart) return result;
            result.held.append(piece);
        }
    }
    if (start) {
        if (const int error = platform::seekTo(in, *start)) {
            return StreamError{StreamError::Side::Read, error};
        }
    }
    result.bvh = check.verdict() == BvhStartCheck::Verdict::Bvh;
    return result;
}

}  // namespace skelvane::conversion
