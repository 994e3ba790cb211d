#pragma once

#include <filesystem>
#include <functional>
#include <system_error>

#include "conversion/files/platform.h"

namespace skelvane::testing {

/// The real file system with the steps a test wants otherwise: only named temporaries, as on
/// filesystems without unnamed files; permission changes refused, as FAT refuses them; a sync
/// of the filesystem that fails; something done before the outputs are put in place; and a
/// count of the outputs synced one by one.
class TestFileSystem final : public conversion::platform::RealFileSystem {
public:
    bool namedTemporariesOnly = false;
    bool refusePermissionChanges = false;
    std::error_code filesystemSyncError;
    std::function<void()> onBeforePlacing;
    int dataSyncs = 0;

    bool offersUnnamedFiles() const override {
        return !namedTemporariesOnly && RealFileSystem::offersUnnamedFiles();
    }
    std::error_code changeMode(conversion::platform::Handle file, std::uint32_t mode) override {
        if (refusePermissionChanges)
            return std::make_error_code(std::errc::operation_not_permitted);
        return RealFileSystem::changeMode(file, mode);
    }
    std::error_code syncData(conversion::platform::Handle file) override {
        ++dataSyncs;
        return RealFileSystem::syncData(file);
    }
    std::error_code syncFilesystem(conversion::platform::Handle file) override {
        if (filesystemSyncError) return filesystemSyncError;
        return RealFileSystem::syncFilesystem(file);
    }
    void beforePlacing() override {
        if (onBeforePlacing) onBeforePlacing();
    }
};

/// Where `output` will be written, with its folders opened for it alone.
inline conversion::Result<conversion::platform::OutputTarget> resolvedOutput(
    const std::filesystem::path& output) {
    conversion::platform::FolderCache folders;
    return conversion::platform::OutputTarget::resolve(output, folders);
}

/// Commits one output on its own, each of the four steps in turn; the first error, or none.
inline std::error_code commitAlone(conversion::platform::PendingOutput& output) {
    if (const std::error_code error = output.prepare()) return error;
    if (const std::error_code error = output.syncData()) return error;
    if (const std::error_code error = output.place()) return error;
    return output.syncFolder();
}

}  // namespace skelvane::testing
