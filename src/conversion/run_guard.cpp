#include "conversion/run_guard.h"

namespace skelvane::conversion {

namespace fs = std::filesystem;

void RunGuard::addSource(const fs::path& source, std::string description) {
    // Only a file's content can be lost; a folder or a device cannot be written over.
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) return;
    if (const auto id = platform::fileIdOf(source))
        sources_.try_emplace(*id, std::move(description));
}

void RunGuard::addWritten(const fs::path& output, std::string source) {
    if (const auto id = platform::fileIdOf(output)) {
        written_.try_emplace(*id, std::move(source));
    } else {
        writtenNames_.try_emplace(nameKey(output), std::move(source));
    }
}

std::optional<std::string> RunGuard::refusal(const fs::path& output, const fs::path& source) const {
    const auto id = platform::fileIdOf(output);
    if (!id) {
        const auto earlier = writtenNames_.find(nameKey(output));
        if (earlier == writtenNames_.end()) return std::nullopt;
        return "already written from " + earlier->second + " in this run";
    }
    if (id == platform::fileIdOf(source)) return "the output is the source file itself";
    if (const auto other = sources_.find(*id); other != sources_.end()) {
        return "the output is " + other->second;
    }
    if (const auto earlier = written_.find(*id); earlier != written_.end()) {
        return "already written from " + earlier->second + " in this run";
    }
    return std::nullopt;
}

std::string RunGuard::nameKey(const fs::path& path) {
    std::error_code ec;
    const fs::path absolute = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return (ec ? path : absolute).lexically_normal().string();
}

}  // namespace skelvane::conversion
