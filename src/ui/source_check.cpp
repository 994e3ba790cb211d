#include "ui/source_check.h"

#include <array>
#include <filesystem>
#include <fstream>

#include "conversion/bvh_start.h"
#include "conversion/platform.h"

namespace skelvane::ui {

namespace {

// A start still undecided after this much (white space, mostly) counts as not BVH here: adding a
// row must not read a whole file.
constexpr std::streamsize kMostBytesRead = 64 * 1024;
constexpr std::size_t kPieceSize = 4096;

}  // namespace

bool doesNotStartLikeBvh(const std::string& path) {
    using Verdict = conversion::BvhStartCheck::Verdict;
    std::ifstream file(conversion::platform::pathFromBytes(path), std::ios::binary);
    if (!file) return false;
    conversion::BvhStartCheck check;
    std::array<char, kPieceSize> piece{};
    std::streamsize read = 0;
    while (check.verdict() == Verdict::NeedMore && read < kMostBytesRead) {
        file.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const std::streamsize got = file.gcount();
        if (file.bad()) return false;
        if (got == 0) return check.finish() == Verdict::NotBvh;
        check.feed({piece.data(), static_cast<std::size_t>(got)});
        read += got;
    }
    return check.verdict() != Verdict::Bvh;
}

}  // namespace skelvane::ui
