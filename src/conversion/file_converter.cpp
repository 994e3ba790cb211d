#include "conversion/file_converter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "conversion/stream_converter.h"

namespace skelvane::conversion {

namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::string reasonOf(int errorNumber) {
    return std::strerror(errorNumber != 0 ? errorNumber : EIO);
}

// A link to a file is written through: the file it points at gets the new content.
fs::path resolveOutput(const fs::path& output) {
    std::error_code ec;
    if (!fs::is_symlink(output, ec)) return output;
    fs::path target = fs::canonical(output, ec);
    return ec ? output : target;
}

// Creates a new, empty temporary file beside `target`; never opens an existing file.
FileHandle createTemporaryBeside(const fs::path& target, fs::path& temporary, int& errorNumber) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Hidden, and named after the target so a leftover is easy to place.
        std::string name = target.filename().string();
        name.insert(0, 1, '.');
        name.append(".").append(std::to_string(random() % 1000000000)).append(".tmp");
        temporary = folder / name;
        errno = 0;
        // "x": fail instead of opening a file that already exists.
        if (std::FILE* file = std::fopen(temporary.c_str(), "wbx")) return FileHandle(file);
        if (errno != EEXIST) break;
    }
    errorNumber = errno != 0 ? errno : EEXIST;
    return nullptr;
}

std::optional<FileFailure> convertFileOrFail(const fs::path& source, const fs::path& output,
                                             const DroppedParts& dropped) {
    // Opening the output would truncate the source when both are the same file, however the
    // two names reach it.
    std::error_code ec;
    if (fs::equivalent(source, output, ec)) {
        return FileFailure{output.string(), "the output is the source file itself"};
    }

    errno = 0;
    FileHandle in(std::fopen(source.c_str(), "rb"));
    if (!in) return FileFailure{source.string(), reasonOf(errno)};

    const fs::path target = resolveOutput(output);
    fs::path temporary;
    int createError = 0;
    FileHandle out = createTemporaryBeside(target, temporary, createError);
    if (!out) return FileFailure{output.string(), reasonOf(createError)};

    std::optional<StreamError> error = convertStream(in.get(), out.get(), dropped);
    in.reset();
    errno = 0;
    if (std::fclose(out.release()) != 0 && !error) {
        error = StreamError{StreamError::Side::Write, errno};
    }
    if (error) {
        fs::remove(temporary, ec);
        const fs::path& culprit = error->side == StreamError::Side::Read ? source : output;
        return FileFailure{culprit.string(), reasonOf(error->errorNumber)};
    }

    // An existing output keeps its permissions.
    const fs::file_status existing = fs::status(target, ec);
    if (!ec && fs::is_regular_file(existing)) {
        fs::permissions(temporary, existing.permissions(), ec);
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return FileFailure{output.string(), ec.message()};
    }
    return std::nullopt;
}

}  // namespace

std::optional<FileFailure> convertFile(const fs::path& source, const fs::path& output,
                                       const DroppedParts& dropped) {
    try {
        return convertFileOrFail(source, output, dropped);
    } catch (const std::exception& error) {
        // Out of memory on a huge line, or a path the system cannot represent.
        return FileFailure{output.string(), error.what()};
    }
}

}  // namespace skelvane::conversion
