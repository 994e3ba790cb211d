#include "conversion/file_converter.h"

#include <cstring>

#include "conversion/platform.h"
#include "conversion/stream_converter.h"

namespace skelvane::conversion {

namespace fs = std::filesystem;

namespace {

std::string reasonOf(int errorNumber) {
    return std::strerror(errorNumber);
}

// A link to a file is written through: the file it points at gets the new content and the
// link stays a link.
fs::path resolveOutput(const fs::path& output) {
    std::error_code ec;
    if (!fs::is_symlink(output, ec)) return output;
    fs::path target = fs::canonical(output, ec);
    return ec ? output : target;
}

// Closes the source however the conversion ends.
class SourceHandle {
public:
    explicit SourceHandle(const fs::path& path) : handle_(platform::openForReading(path, error_)) {}
    ~SourceHandle() {
        if (handle_ >= 0) platform::close(handle_);
    }
    SourceHandle(const SourceHandle&) = delete;
    SourceHandle& operator=(const SourceHandle&) = delete;
    platform::Handle handle() const { return handle_; }
    int error() const { return error_; }

private:
    int error_ = 0;
    platform::Handle handle_;
};

// A new output file takes the source's permissions (less the umask), as a copy would.
constexpr std::uint32_t kModeWhenSourceUnknown = 0666;

std::optional<FileFailure> convertFileOrFail(const fs::path& source, const fs::path& output,
                                             const DroppedParts& dropped) {
    // Opening the output would truncate the source when both are the same file, however the
    // two names reach it.
    std::error_code ec;
    if (fs::equivalent(source, output, ec)) {
        return FileFailure{output.string(), "the output is the source file itself"};
    }
    if (auto reason = platform::unusableLink(output)) return FileFailure{output.string(), *reason};

    const SourceHandle in(source);
    if (in.handle() < 0) return FileFailure{source.string(), reasonOf(in.error())};

    platform::PendingOutput pending(resolveOutput(output));
    if (pending.handle() < 0) return FileFailure{output.string(), reasonOf(pending.error())};

    if (auto error = convertStream(in.handle(), pending.handle(), dropped)) {
        const fs::path& culprit = error->side == StreamError::Side::Read ? source : output;
        return FileFailure{culprit.string(), reasonOf(error->errorNumber)};
    }
    const std::uint32_t mode = platform::permissionsOf(source).value_or(kModeWhenSourceUnknown);
    if (const int error = pending.commit(mode))
        return FileFailure{output.string(), reasonOf(error)};
    return std::nullopt;
}

}  // namespace

std::optional<FileFailure> convertFile(const fs::path& source, const fs::path& output,
                                       const DroppedParts& dropped) {
    try {
        return convertFileOrFail(source, output, dropped);
    } catch (const std::exception& error) {
        // Out of memory, or a path the system cannot represent; the pending output is gone.
        return FileFailure{output.string(), error.what()};
    }
}

}  // namespace skelvane::conversion
