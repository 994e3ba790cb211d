#include "conversion/joint_report.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "conversion/joint_scanner.h"
#include "conversion/line_renamer.h"

namespace skelvane::conversion {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

JointEntry jointEntryFor(std::string_view name, const DroppedParts& dropped) {
    LineRenamer renamer(dropped);
    return jointEntryFor(name, renamer, dropped);
}

JointEntry jointEntryFor(std::string_view name, LineRenamer& renamer, const DroppedParts& dropped) {
    RuleHits hits;
    JointEntry entry;
    entry.oldName = name;
    entry.newName = renamer.rename(name, &hits);
    if (hits.none()) return entry;

    entry.outcome = JointOutcome::Renamed;
    bool wholeName = false;
    for (std::size_t i = 0; i < kRenameRules.size(); ++i) {
        if (!hits.test(i)) continue;
        if (replacementOf(kRenameRules[i], dropped) == kNothing) {
            entry.outcome = JointOutcome::Dropped;
        }
        wholeName = wholeName || kRenameRules[i].search == name;
    }
    // A name that is exactly one search text is replaced whole, and no search text occurs in
    // any replacement, so that rule is its only hit; every other hit lands inside a longer word.
    entry.partialWord = !(wholeName && hits.count() == 1);
    return entry;
}

std::variant<JointReport, StreamError> jointReportOf(std::FILE* in, const DroppedParts& dropped) {
    try {
        JointScanner scanner(dropped);
        std::vector<char> block(kBlockSize);
        for (;;) {
            errno = 0;
            const std::size_t size = std::fread(block.data(), 1, block.size(), in);
            if (size == 0) {
                if (std::ferror(in)) {
                    return StreamError{StreamError::Side::Read, errno != 0 ? errno : EIO};
                }
                break;
            }
            scanner.feed({block.data(), size});
        }
        return scanner.finish();
    } catch (const std::bad_alloc&) {
        // Only a joint name of absurd length gets here.
        return StreamError{StreamError::Side::Read, ENOMEM};
    }
}

std::variant<JointReport, FileFailure> jointReportOf(const std::filesystem::path& source,
                                                     const DroppedParts& dropped) {
    try {
        errno = 0;
        std::unique_ptr<std::FILE, FileCloser> in(std::fopen(source.c_str(), "rb"));
        if (!in) return FileFailure{source.string(), std::strerror(errno != 0 ? errno : EIO)};
        auto result = jointReportOf(in.get(), dropped);
        if (const auto* error = std::get_if<StreamError>(&result)) {
            return FileFailure{source.string(), std::strerror(error->errorNumber)};
        }
        return std::get<JointReport>(std::move(result));
    } catch (const std::exception& error) {
        return FileFailure{source.string(), error.what()};
    }
}

}  // namespace skelvane::conversion
