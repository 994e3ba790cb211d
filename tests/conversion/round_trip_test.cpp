// Conversions through roles between every pair of shipped rig profiles, on the real files: what
// goes from A to B and back to A comes back under the names it had in A.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "conversion/mapping/rig_profile_catalog.h"
#include "conversion/run/run.h"
#include "run_test.h"
#include "support/joint_names.h"
#include "support/sanitizers.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::jointNamesIn;
using skelvane::testing::readFile;

std::vector<fs::path> realFiles() {
    std::vector<fs::path> files = skelvane::testing::testdataFiles();
    for (const auto& entry :
         fs::directory_iterator(skelvane::testing::testdataDir() / "other-rigs")) {
        if (entry.path().extension() == ".bvh") files.push_back(entry.path());
    }
    files.push_back(skelvane::testing::exampleFile());
    // Every pair of rigs is what is checked; the files only give it real skeletons. Where a
    // round costs more (sanitizers, emulator), files spread evenly over the list stand for all.
    const std::size_t kept = std::min(
        files.size(),
        std::max<std::size_t>(2, skelvane::testing::rounds(static_cast<int>(files.size()))));
    std::vector<fs::path> spread;
    for (std::size_t i = 0; i < kept; ++i) spread.push_back(files[i * files.size() / kept]);
    return spread;
}

// The outputs are read back at once and thrown away: nothing needs to reach the disk.
class NoSyncs final : public platform::RealFileSystem {
public:
    std::error_code syncData(platform::Handle) override { return {}; }
    std::error_code syncFilesystem(platform::Handle) override { return {}; }
};

// Runs the jobs, each of which must be done.
void runAll(const std::vector<Job>& jobs) {
    JobObserver quiet;
    NoSyncs system;
    const std::vector<JobResult> results = runJobs(jobs, kCommandLine, quiet, system);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        ASSERT_EQ(outcome(results[i], jobs), "done") << jobs[i].name;
    }
}

TEST(RoundTrip, ANameWhoseRoleBothRigsHaveComesBackFromEveryOtherRig) {
    skelvane::testing::TempFolder folder;
    const std::span<const RigProfile> rigs = rigProfiles();
    const std::vector<fs::path> files = realFiles();
    // Each rig's finder knows that rig alone, as --from does.
    std::vector<std::unique_ptr<RoleFinder>> finders;
    for (const RigProfile& rig : rigs) {
        const RigProfile* const only[] = {&rig};
        finders.push_back(std::make_unique<RoleFinder>(only));
    }
    const auto job = [&](const fs::path& source, const fs::path& output, MappingChoice choice) {
        Job made = fileJob(source, output);
        made.mapping = choice;
        return made;
    };
    const auto inA = [&](std::size_t a, std::size_t f) {
        return folder / (rigs[a].name + "_" + std::to_string(f) + ".bvh");
    };
    const auto inB = [&](std::size_t a, std::size_t b, std::size_t f, bool back) {
        return folder / (rigs[a].name + "_" + rigs[b].name + (back ? "_back_" : "_") +
                         std::to_string(f) + ".bvh");
    };

    // Every file into every rig, its own rig found by its names and skeleton; then into every
    // other and back, the rig given each time.
    std::vector<Job> intoA;
    std::vector<Job> intoB;
    std::vector<Job> back;
    for (std::size_t a = 0; a < rigs.size(); ++a) {
        for (std::size_t f = 0; f < files.size(); ++f) {
            intoA.push_back(job(files[f], inA(a, f),
                                MappingChoice::throughRoles(builtInRoleFinder(), rigs[a], nullptr,
                                                            RoleEvidence::NamesAndSkeleton)));
            for (std::size_t b = 0; b < rigs.size(); ++b) {
                intoB.push_back(job(inA(a, f), inB(a, b, f, false),
                                    MappingChoice::throughRoles(*finders[a], rigs[b], &rigs[a])));
                back.push_back(job(inB(a, b, f, false), inB(a, b, f, true),
                                   MappingChoice::throughRoles(*finders[b], rigs[a], &rigs[b])));
            }
        }
    }
    ASSERT_NO_FATAL_FAILURE(runAll(intoA));
    ASSERT_NO_FATAL_FAILURE(runAll(intoB));
    ASSERT_NO_FATAL_FAILURE(runAll(back));

    std::size_t namesChecked = 0;
    for (std::size_t a = 0; a < rigs.size(); ++a) {
        for (std::size_t b = 0; b < rigs.size(); ++b) {
            for (std::size_t f = 0; f < files.size(); ++f) {
                SCOPED_TRACE(rigs[a].name + " to " + rigs[b].name +
                             " and back: " + files[f].filename().string());
                const std::vector<std::string> first = jointNamesIn(readFile(inA(a, f)));
                const std::vector<std::string> there = jointNamesIn(readFile(inB(a, b, f, false)));
                const std::vector<std::string> again = jointNamesIn(readFile(inB(a, b, f, true)));
                ASSERT_EQ(there.size(), first.size());
                ASSERT_EQ(again.size(), first.size());
                for (std::size_t j = 0; j < first.size(); ++j) {
                    const std::optional<common::Role> role = rigs[a].roleOf(first[j]);
                    if (!role || rigs[b].nameOf(*role).empty()) continue;
                    EXPECT_EQ(there[j], rigs[b].nameOf(*role)) << first[j];
                    EXPECT_EQ(again[j], first[j]);
                    ++namesChecked;
                }
            }
        }
    }
    // The 17 names of the body at least, in each file and pair; most files have more.
    EXPECT_GT(namesChecked, 17 * files.size() * rigs.size() * rigs.size());
}

}  // namespace
}  // namespace skelvane::conversion
