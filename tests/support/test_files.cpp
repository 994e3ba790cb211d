#include "support/test_files.h"

#include <sys/wait.h>
#include <unistd.h>

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

std::vector<std::string> fileNamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string asUnprivilegedUser(const std::function<std::string()>& work) {
    constexpr uid_t kNobody = 65534;
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string answer;
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            answer = "cannot become nobody";
        } else {
            answer = work();
        }
        const ssize_t written = write(channel[1], answer.data(), answer.size());
        _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t count; (count = read(channel[0], buffer, sizeof buffer)) > 0;) {
        answer.append(buffer, static_cast<std::size_t>(count));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? answer : "the child ended abnormally";
}

}  // namespace skelvane::testing
