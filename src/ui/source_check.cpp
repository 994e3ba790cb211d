#include "ui/source_check.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "conversion/bvh/bvh_start.h"
#include "conversion/files/platform.h"

namespace skelvane::ui {

namespace {

// A start still undecided after this much (white space, mostly) counts as not BVH here: showing a
// tooltip must not read a whole file.
constexpr std::size_t kMostBytesRead = 64 * 1024;
constexpr std::size_t kPieceSize = 4096;

}  // namespace

bool doesNotStartLikeBvh(const std::string& path) {
    using Verdict = conversion::BvhStartCheck::Verdict;
    namespace platform = conversion::platform;
    // Only a regular file is looked at. The bytes of a named pipe are Convert's, and merely
    // opening one would wake a writer that waits for its reader, then leave it with none. A
    // file put in the place of this one meanwhile is opened without waiting and left unread.
    const std::filesystem::path file = platform::pathFromBytes(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return false;
    const platform::File source = platform::openForReadingWithoutWaiting(file, error);
    if (!source.isOpen() || !platform::regularFileIdOf(source.handle())) return false;
    conversion::BvhStartCheck check;
    std::array<char, kPieceSize> piece{};
    std::size_t read = 0;
    while (check.verdict() == Verdict::NeedMore && read < kMostBytesRead) {
        const std::ptrdiff_t got =
            platform::readSome(source.handle(), piece.data(), piece.size(), error);
        if (got < 0) return false;
        if (got == 0) return check.finish() == Verdict::NotBvh;
        check.feed({piece.data(), static_cast<std::size_t>(got)});
        read += static_cast<std::size_t>(got);
    }
    return check.verdict() != Verdict::Bvh;
}

}  // namespace skelvane::ui
