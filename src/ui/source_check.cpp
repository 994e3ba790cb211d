#include "ui/source_check.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/files/platform.h"
#include "conversion/files/read_blocks.h"

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
    const auto source = platform::openForReadingWithoutWaiting(file);
    if (!source || !platform::regularFileIdOf(source->handle())) return false;
    conversion::BvhStartCheck check;
    std::array<char, kPieceSize> piece{};
    std::size_t read = 0;
    const bool readable =
        !conversion::readBlocks(source->handle(), piece, [&](std::string_view bytes) {
            check.feed(bytes);
            read += bytes.size();
            return check.verdict() == Verdict::NeedMore && read < kMostBytesRead;
        });
    // A start still undecided, where the file ends or after kMostBytesRead, is not a BVH file's.
    return readable && check.verdict() != Verdict::Bvh;
}

}  // namespace skelvane::ui
