#include "conversion/files/platform.h"

#include "conversion/files/platform_parts.h"

// The parts of the platform layer that every system shares, built on each system's own.

namespace skelvane::conversion::platform {

namespace fs = std::filesystem;

File::~File() {
    if (isOpen()) detail::closeHandle(handle_);
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (isOpen()) detail::closeHandle(handle_);
        handle_ = other.release();
    }
    return *this;
}

bool mayBeOneFile(const FileId& a, const FileId& b) {
    const bool deviceUnknown =
        a.device == FileId::kUnknownDevice || b.device == FileId::kUnknownDevice;
    return a.inode == b.inode && (a.device == b.device || deviceUnknown);
}

Sameness samenessOf(Handle a, Handle b) {
    const std::optional<FileInfo> first = fileInfoOf(a);
    const std::optional<FileInfo> second = fileInfoOf(b);
    if ((first && !first->regularId) || (second && !second->regularId)) return Sameness::Different;
    if (!first || !second) return Sameness::CannotTell;
    return mayBeOneFile(*first->regularId, *second->regularId) ? Sameness::Same
                                                               : Sameness::Different;
}

Result<std::shared_ptr<const Folder>> FolderCache::open(const fs::path& path) {
    constexpr std::size_t kMostFolders = 64;
    const auto cached = folders_.find(path);
    if (cached != folders_.end()) return cached->second;
    auto folder = detail::openFolder(path);
    if (!folder) return folder;
    if (folders_.size() == kMostFolders) folders_.clear();
    folders_.emplace(path, *folder);
    return folder;
}

Result<std::unique_ptr<PendingOutput>> PendingOutput::create(const OutputTarget& target,
                                                             std::uint32_t newFileMode,
                                                             FileSystem& system) {
    std::error_code error;
    std::unique_ptr<PendingOutput> pending(new PendingOutput(target, newFileMode, system, error));
    if (error) return error;
    return pending;
}

FileSystem& realFileSystem() {
    static RealFileSystem system;
    return system;
}

}  // namespace skelvane::conversion::platform
