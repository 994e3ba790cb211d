#include "support/test_files.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace skelvane::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = fs::temp_directory_path() / ("skelvane-test-" + std::to_string(seed()));
        if (fs::create_directory(path_)) return;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // A test may have taken permissions away; give them back so everything can go.
    for (const auto& entry : fs::recursive_directory_iterator(path_, ec)) {
        if (entry.is_directory(ec) && !entry.is_symlink(ec)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(path_, ec);
}

WorkingDirectory::WorkingDirectory(const fs::path& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code ec;
    fs::current_path(previous_, ec);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path testdataDir() {
    return SKELVANE_TESTDATA_DIR;
}

fs::path exampleFile() {
    return fs::path(SKELVANE_EXAMPLES_DIR) / "poser_wave.bvh";
}

std::vector<fs::path> testdataFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(testdataDir())) {
        if (entry.path().extension() == ".bvh") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string referenceConversionOf(const fs::path& source, const conversion::DroppedParts& dropped) {
    return reference::referenceConversion(readFile(source), dropped);
}

bool folderPermissionsBind() {
#ifdef _WIN32
    return false;
#else
    return geteuid() != 0;
#endif
}

bool underWine() {
#ifdef _WIN32
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

Stream streamHolding(std::string_view bytes) {
    Stream file(std::tmpfile());
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return file;
}

conversion::platform::Handle handleOf(std::FILE* file) {
#ifdef _WIN32
    return static_cast<conversion::platform::Handle>(_get_osfhandle(_fileno(file)));
#else
    return fileno(file);
#endif
}

std::vector<std::string> fileNamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(conversion::platform::bytesOfPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace skelvane::testing
