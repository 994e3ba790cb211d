#pragma once

// The system calls the conversion needs beyond the standard library, behind one narrow
// interface: a port to another system replaces platform_posix.cpp and nothing else.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace skelvane::conversion::platform {

/// An open file descriptor of the system.
using Handle = int;
/// The handles of standard input and standard output.
inline constexpr Handle kStandardInput = 0;
inline constexpr Handle kStandardOutput = 1;

/// What tells two names of one file apart from names of two files: device and inode.
struct FileId {
    std::uint64_t device;
    std::uint64_t inode;
    friend bool operator==(const FileId&, const FileId&) = default;
    friend auto operator<=>(const FileId&, const FileId&) = default;
};

/// The file a path names, through any links; nothing when it cannot be reached.
std::optional<FileId> fileIdOf(const std::filesystem::path& path);

/// True when both handles are one and the same regular file (not a pipe or terminal).
bool sameRegularFile(Handle a, Handle b);

/// Reads up to `size` bytes; returns the count (0 at the end), or -1 with `errorNumber` set.
std::ptrdiff_t readSome(Handle handle, char* data, std::size_t size, int& errorNumber);

/// Writes all bytes; returns 0, or the system's error number.
int writeAll(Handle handle, std::string_view bytes);

/// The read position of a handle, or nothing when it cannot seek (a pipe, a terminal).
std::optional<std::int64_t> position(Handle handle);

/// Moves the read position; returns 0 or the system's error number.
int seekTo(Handle handle, std::int64_t offset);

/// Opens a file for reading; returns the handle, or -1 with `errorNumber` set.
Handle openForReading(const std::filesystem::path& path, int& errorNumber);

/// Closes a handle; returns 0 or the system's error number.
int close(Handle handle);

/// Why an output name cannot be written through: a link that points nowhere or into a loop.
/// Nothing when the name is free, a regular file, or a link to one.
std::optional<std::string> unusableLink(const std::filesystem::path& output);

struct CleanupSlot;

/// A new output being written, invisible to others until it is committed: an unnamed file in
/// the output's folder where the system offers one, otherwise a hidden, private temporary
/// file with a short name that the signal cleanup removes. Destroying it without a commit
/// removes whatever it wrote.
class PendingOutput {
public:
    /// Creates it in the folder of `target` (which must not be a link); on failure `handle()`
    /// is -1 and `error()` tells why.
    explicit PendingOutput(const std::filesystem::path& target);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    Handle handle() const { return handle_; }
    int error() const { return error_; }

    /// Makes the written content the file `target`, durably: flushes it to the disk, gives it
    /// its final permissions (an existing file's own; for a new file `newFileMode` masked by
    /// the umask), puts it in place (replacing an existing file in one step) and flushes the
    /// folder. Returns 0 or the system's error number.
    int commit(std::uint32_t newFileMode);

private:
    std::filesystem::path target_;
    std::string temporaryName_;       // empty for an unnamed file
    CleanupSlot* cleanup_ = nullptr;  // its slot in the signal cleanup, if named
    Handle handle_ = -1;
    int error_ = 0;
};

/// Memory for blocks that bytes are copied into and out of again and again: where the system
/// offers it on request, it is backed by huge pages, which spares the processor most address
/// translations during the copies. Throws std::bad_alloc.
class BlockMemory {
public:
    explicit BlockMemory(std::size_t size);
    ~BlockMemory();
    BlockMemory(const BlockMemory&) = delete;
    BlockMemory& operator=(const BlockMemory&) = delete;

    char* data() const { return data_; }

private:
    char* data_;
};

/// The permission bits of a file (through links), or nothing when it cannot be reached.
std::optional<std::uint32_t> permissionsOf(const std::filesystem::path& path);

namespace testing {
/// Makes new pending outputs use named temporary files even where unnamed ones are offered,
/// so that the way taken on filesystems without unnamed files can be tried anywhere.
void useNamedTemporaries(bool named);
}  // namespace testing

/// Makes SIGINT, SIGTERM and SIGHUP remove any named temporary file before ending the
/// program as the signal would, and ignores SIGXFSZ so that a file-size limit becomes a write
/// error of the file at hand. Called once by each front end at start.
void installSignalCleanup();

}  // namespace skelvane::conversion::platform
