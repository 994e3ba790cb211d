#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/mapping/dropped_parts.h"
#include "conversion/files/platform.h"
#include "reference/reference_conversion.h"

namespace skelvane::testing {

using reference::referenceConversion;
using reference::renameLinePlain;
using reference::splitLines;

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

/// Makes a folder the current working directory for the lifetime of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& folder);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

/// The whole content of a file as bytes (empty when it cannot be read).
std::string readFile(const std::filesystem::path& path);
/// Writes bytes to a file, replacing it.
void writeFile(const std::filesystem::path& path, std::string_view bytes);
/// The folder of real BVH fixtures, and the project's example file.
std::filesystem::path testdataDir();
std::filesystem::path exampleFile();
/// The real fixtures, sorted by name.
std::vector<std::filesystem::path> testdataFiles();
/// What converting a file must give, worked out the slow and obvious way.
std::string referenceConversionOf(const std::filesystem::path& source,
                                  const conversion::DroppedParts& dropped = {});
/// True when taking a folder's write permission away keeps this process from writing into it:
/// not for root, and not on Windows, whose folders ignore their read-only mark.
bool folderPermissionsBind();
/// True when the tests run under wine, whose files have Unix names in UTF-8 underneath.
bool underWine();
/// A C stream that is closed when it goes.
struct StreamCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;
/// A temporary file holding `bytes`, to be read from the start.
Stream streamHolding(std::string_view bytes);
/// The system's handle of a C stream, as the platform's functions take it.
conversion::platform::Handle handleOf(std::FILE* file);
/// Names of the files in a folder as bytes (UTF-8 on Windows), sorted.
std::vector<std::string> fileNamesIn(const std::filesystem::path& folder);

}  // namespace skelvane::testing
