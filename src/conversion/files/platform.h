#pragma once

// The system calls the conversion needs beyond the standard library, behind one narrow
// interface with one implementation per system (platform_linux*.cpp, platform_windows*.cpp) and
// the parts both share (platform.cpp).
// Errors cross it as std::error_code, alone or in a Result beside what a call makes; paths as
// std::filesystem::path; text that names a file (a message, a command-line argument) is bytes,
// turned into a path and back only here.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "conversion/files/file_error.h"
#include "conversion/files/result.h"

namespace skelvane::conversion::platform {

/// An open file of the system: a descriptor on Linux, a HANDLE on Windows.
using Handle = std::intptr_t;
/// The value of a handle that is not open.
inline constexpr Handle kNoHandle = -1;
/// The handles of standard input, output and error, which pass bytes unchanged.
Handle standardInput();
Handle standardOutput();
Handle standardError();

/// True when `handle` is a terminal (a console on Windows), where a person reads as it comes.
bool isTerminal(Handle handle);

/// A path from the bytes that name it: Linux takes them as they are, Windows decodes them as
/// UTF-8 (WTF-8, so that a name with an unpaired surrogate reaches its file too).
std::filesystem::path pathFromBytes(std::string_view bytes);
/// The bytes of a path, as pathFromBytes takes them back: Linux's own, UTF-8 on Windows.
std::string bytesOfPath(const std::filesystem::path& path);

/// The program's arguments after its name, as bytes that pathFromBytes turns into the files
/// they name: Linux passes `argv` on, Windows reads its command line as UTF-16.
std::vector<std::string> programArguments(int argc, char** argv);

/// What tells two names of one file apart from names of two files: device and inode on Linux,
/// volume serial number and file index on Windows.
struct FileId {
    std::uint64_t device;
    std::uint64_t inode;
    /// The device of a file whose volume the system does not tell, only its index (Windows'
    /// standard handles under wine): such a file may be any file with its index.
    static constexpr std::uint64_t kUnknownDevice = ~std::uint64_t{0};
    friend bool operator==(const FileId&, const FileId&) = default;
    friend auto operator<=>(const FileId&, const FileId&) = default;
};

/// True when two identities may be one file: they are equal, or one does not know its device
/// and the indexes agree.
bool mayBeOneFile(const FileId& a, const FileId& b);

/// A handle that is closed when the object goes.
class File {
public:
    File() = default;
    explicit File(Handle handle) : handle_(handle) {}
    ~File();
    File(File&& other) noexcept : handle_(other.release()) {}
    File& operator=(File&& other) noexcept;

    Handle handle() const { return handle_; }
    bool isOpen() const { return handle_ != kNoHandle; }
    /// Gives the handle up without closing it.
    Handle release() { return std::exchange(handle_, kNoHandle); }

private:
    Handle handle_ = kNoHandle;
};

/// Opens a file for reading, or tells why it cannot be.
Result<File> openForReading(const std::filesystem::path& path);

/// Opens a file for reading as openForReading does, but without waiting for a program to open
/// a named pipe for writing: a named pipe that no program writes to and that holds no data
/// fails at once with std::errc::broken_pipe. Reads then wait for data as usual. For the
/// window, which must not freeze on a file.
Result<File> openForReadingWithoutWaiting(const std::filesystem::path& path);

/// The file a path names, through any links; nothing when there is none to reach (or, on
/// Windows, it is a pipe or a device, which has no identity). An error when it is a file whose
/// identity the system does not tell: it must then be taken for any file.
Result<std::optional<FileId>> fileIdOf(const std::filesystem::path& path);

/// The identity of an open regular file; nothing for a pipe, a terminal or a device.
std::optional<FileId> regularFileIdOf(Handle handle);

/// What a run needs to know of an open source: its identity when it is a regular file, and its
/// permission bits.
struct FileInfo {
    std::optional<FileId> regularId;
    std::uint32_t permissions = 0;
};

/// What the system knows of an open file; nothing for a file on a disk whose identity it does
/// not tell, which must then be taken for any file.
std::optional<FileInfo> fileInfoOf(Handle handle);

/// Whether two open files are one.
enum class Sameness { Different, Same, CannotTell };

/// Whether two handles are one regular file. A pipe, a terminal or a device is never the same
/// file as another; a file on a disk whose identity the system does not tell cannot be told
/// apart from the other.
Sameness samenessOf(Handle a, Handle b);

/// Reads up to `size` bytes; returns the count (0 at the end), or the system's error.
Result<std::size_t> readSome(Handle handle, char* data, std::size_t size);

/// Writes all bytes; returns the error, or nothing.
std::error_code writeAll(Handle handle, std::string_view bytes);

/// A folder held open for the outputs written into it.
struct Folder {
    File handle;
    FileId id{};
    /// Where it is, every link on the way resolved: Windows names files by path alone (unused
    /// on Linux, which names them by the folder's handle).
    std::filesystem::path path;
    /// False for a folder that may be written but not read: it cannot be opened for its own
    /// sync, so the whole filesystem is synced instead.
    bool syncs = true;
    /// Whether the temporaries that killed runs left in it have been swept away, which the
    /// first output written into it during a run does (Linux).
    mutable bool swept = false;
};

/// A file name as its folder compares names: as it is on Linux, in upper case on Windows, whose
/// folders take "A.bvh" and "a.bvh" for one file.
std::filesystem::path comparableName(const std::filesystem::path& name);

/// The folders a run has opened, by the path that named them, so that a run writing many
/// outputs into one folder opens it once. Bounded: it forgets them all when it is full.
class FolderCache {
public:
    /// The folder at `path`, opened now or earlier in the run, or why it cannot be opened.
    Result<std::shared_ptr<const Folder>> open(const std::filesystem::path& path);
    /// Forgets every folder, closing those that no output holds.
    void clear() { folders_.clear(); }
    /// True when it holds no folder.
    bool empty() const { return folders_.empty(); }

private:
    std::map<std::filesystem::path, std::shared_ptr<const Folder>> folders_;
};

/// Where an output will be written, found once: the output's name followed through any links
/// to the name it finally stands for, with that name's folder held open. Everything done to the
/// output afterwards goes through that folder and name, so a link swapped meanwhile cannot
/// redirect the commit onto some other file.
class OutputTarget {
public:
    /// Resolves `output`, opening folders through `folders`. Fails with FileError::DanglingLink
    /// for a link that leads nowhere, FileError::NotRegularOutput for a device, pipe or socket
    /// (on Windows also a reserved device name such as NUL or COM1.bvh),
    /// "Is a directory" for a folder, "Permission denied" for a file the user may not write, or
    /// the system's reason.
    static Result<OutputTarget> resolve(const std::filesystem::path& output, FolderCache& folders);

    /// The file under the final name when it was resolved; nothing when the output will be a
    /// new file.
    const std::optional<FileId>& existing() const { return existing_; }
    /// The file under the final name now, looked up again; nothing when there is none.
    std::optional<FileId> fileNow() const;
    /// The folder the output lands in and its name there: the output however it was named.
    const FileId& folderId() const { return folder_->id; }
    const std::filesystem::path& name() const { return name_; }
    /// The folder itself.
    const std::shared_ptr<const Folder>& folder() const { return folder_; }

private:
    OutputTarget() = default;
    friend class PendingOutput;

    std::shared_ptr<const Folder> folder_;
    std::filesystem::path name_;
    std::optional<FileId> existing_;
    std::uint32_t existingMode_ = 0;
};

/// The steps of writing outputs that filesystems take their own ways, or that may fail. The
/// engine takes them through this interface, and tests pass in one of their own to take another
/// filesystem's way (no unnamed files, no permission bits) or to make a step fail.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    /// True when a new output may be an unnamed file in its folder, named only as it is placed.
    virtual bool offersUnnamedFiles() const = 0;
    /// Gives an open file these permission bits; a filesystem that keeps none refuses with
    /// EPERM or ENOTSUP, which the caller takes for "nothing to keep".
    virtual std::error_code changeMode(Handle file, std::uint32_t mode) = 0;
    /// Flushes a file's data to the disk.
    virtual std::error_code syncData(Handle file) = 0;
    /// Flushes every file of the filesystem that `file` lies on; one call makes many outputs
    /// durable. Its error may come from any file of that filesystem.
    virtual std::error_code syncFilesystem(Handle file) = 0;
    /// True when syncFilesystem reports the write errors of the files it flushes (Linux 5.8 and
    /// later); otherwise only a sync of each file can tell.
    virtual bool filesystemSyncReportsErrors() const = 0;
    /// Called in each commit once the outputs are durable, before any is put in place.
    virtual void beforePlacing() {}
};

/// The file system as the system offers it.
class RealFileSystem : public FileSystem {
public:
    bool offersUnnamedFiles() const override;
    std::error_code changeMode(Handle file, std::uint32_t mode) override;
    std::error_code syncData(Handle file) override;
    std::error_code syncFilesystem(Handle file) override;
    bool filesystemSyncReportsErrors() const override;
};

/// The one real file system, for the front ends to pass in.
FileSystem& realFileSystem();

/// A new output being written, invisible to others until it is committed: an unnamed file in
/// the target's folder where the system offers one, named only as it is placed, otherwise a
/// hidden, private temporary file with a short name that the signal cleanup removes and that a
/// later run sweeps away if this one was killed outright. Destroying it before it is placed
/// removes whatever it wrote.
///
/// Committing takes four steps, so that many outputs can share the costly one, the sync:
/// prepare() each, make the data durable (syncData() each, or the file system's
/// syncFilesystem() once for all on one filesystem), place() each, then syncFolder() once per
/// folder.
class PendingOutput {
public:
    /// Creates it in the folder of `target`, for a new output with `newFileMode` masked by the
    /// umask (the permissions it gets), taking the steps of `system`, which must outlive it; or
    /// tells why it cannot be created.
    static Result<std::unique_ptr<PendingOutput>> create(const OutputTarget& target,
                                                         std::uint32_t newFileMode,
                                                         FileSystem& system);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    Handle handle() const { return file_.handle(); }

    /// Gives the written content its final permissions: an existing file's own, less
    /// set-user-ID and set-group-ID; a new file has had them since it was made; where the
    /// filesystem keeps no modes, none.
    std::error_code prepare();
    /// Flushes the written content to the disk.
    std::error_code syncData();
    /// Puts the content in place in one step: under the target's name, replacing what is there.
    std::error_code place();
    /// Flushes the folder, so that the name lasts too.
    std::error_code syncFolder();

    /// The identity of the file written; on Windows, whose folders cannot replace an open file,
    /// nothing once it is placed and its handle closed.
    std::optional<FileId> id() const { return regularFileIdOf(file_.handle()); }
    /// Where it goes.
    const OutputTarget& target() const { return target_; }
    /// True while it holds one of the kMaxTemporaries slots of the signal cleanup.
    bool holdsCleanupSlot() const { return cleanupSlot_ >= 0; }

private:
    // Leaves handle() kNoHandle and sets `error` when it cannot be created.
    PendingOutput(const OutputTarget& target, std::uint32_t newFileMode, FileSystem& system,
                  std::error_code& error);
    std::error_code nameForReplacing();

    OutputTarget target_;
    FileSystem& system_;
    File file_;
    std::filesystem::path temporaryName_;  // empty for an unnamed file
    int cleanupSlot_ = -1;                 // its slot in the signal cleanup, while named
    std::uint32_t newFileMode_;
};

/// Most named temporary files that can exist at once; creating one more is an error. A commit
/// group leaves one free, for an output that needs its name only when it is placed.
inline constexpr int kMaxTemporaries = 512;

/// How many files the process may hold open, after raising that limit, as far as the system
/// lets it, to `wanted` where it is lower: Linux's soft limit of descriptors, which is often
/// 1024 below a far higher hard one; Windows sets no such limit on handles.
std::size_t allowOpenFiles(std::size_t wanted);

/// How many named temporary files the signal cleanup holds right now: none once every output
/// is placed or abandoned.
int heldTemporaries();

/// Makes the signals that end a program from its terminal, its session or a timer remove any
/// named temporary file before ending it as the signal would: SIGINT, SIGTERM, SIGHUP, SIGQUIT
/// and SIGALRM on Linux, where SIGXFSZ and SIGPIPE are ignored so that a file-size limit or a
/// reader gone away becomes a write error of the file at hand; Ctrl+C, Ctrl+Break and the
/// console's closing on Windows. Called once by each front end at start.
void installSignalCleanup();

/// Puts a handle that fails every read and write where standard input, output or error is
/// closed, so that no file opened later takes their place and a write there fails as it
/// should, and makes the standard streams pass bytes unchanged (Windows would turn LF into
/// CR LF). Called once by the command line at start.
void holdClosedStandardStreams();

}  // namespace skelvane::conversion::platform
