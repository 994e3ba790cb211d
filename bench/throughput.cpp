// skelvane-bench: makes Poser-style BVH files and measures the conversion's throughput against
// a plain copy of the same file and against the plain find-and-replace reference.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "joblist/batch_run.h"
#include "conversion/files/platform.h"
#include "conversion/files/read_blocks.h"
#include "conversion/mapping/presets.h"
#include "conversion/run/run.h"
#include "joblist/job_list.h"
#include "common/title_rule.h"
#include "poser_bvh.h"
#include "race.h"
#include "reference/reference_conversion.h"

namespace {

namespace fs = std::filesystem;
namespace conversion = skelvane::conversion;
namespace joblist = skelvane::joblist;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File open(const fs::path& path, const char* mode) {
    File file(std::fopen(path.c_str(), mode));
    if (!file) {
        std::fprintf(stderr, "skelvane-bench: %s: %s\n", path.c_str(), std::strerror(errno));
        std::exit(1);
    }
    return file;
}

int generate(const fs::path& path, double megabytes) {
    // Size one frame from a sample, then write enough frames for the size asked for.
    File sample(std::tmpfile());
    skelvane::bench::writePoserBvh(sample.get(), 0);
    const long header = std::ftell(sample.get());
    skelvane::bench::writePoserBvh(sample.get(), 100);
    const double perFrame = static_cast<double>(std::ftell(sample.get()) - 2 * header) / 100.0;
    const long frames = std::max(1L, static_cast<long>(megabytes * 1e6 / perFrame));
    File out = open(path, "wb");
    skelvane::bench::writePoserBvh(out.get(), frames);
    std::printf("wrote %s: %ld frames of %d channels\n", path.c_str(), frames,
                skelvane::bench::poserChannelCount());
    return 0;
}

void plainCopy(const fs::path& source, const fs::path& target) {
    File in = open(source, "rb");
    File out = open(target, "wb");
    std::vector<char> buffer(1 << 20);
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in.get())) {
        std::fwrite(buffer.data(), 1, n, out.get());
    }
}

void conversionRun(const fs::path& source, const fs::path& target) {
    conversion::Job job;
    job.source = source;
    job.output = target;
    conversion::JobObserver quiet;
    const conversion::JobResult result = conversion::runJobs({&job, 1}, {}, quiet).front();
    if (result.status != conversion::JobStatus::Done) {
        std::fprintf(stderr, "skelvane-bench: %s: %s\n", source.c_str(),
                     result.failure.error.message().c_str());
        std::exit(1);
    }
}

// The obvious way the tests use too: read a line, 36 find-and-replace passes, write it.
void referenceRun(const fs::path& source, const fs::path& target) {
    std::ifstream in(source, std::ios::binary);
    std::ofstream out(target, std::ios::binary);
    skelvane::reference::convertPlain(in, out, {});
}

// Each round writes a fresh output: freeing the previous one's pages is not part of the work.
double bestSeconds(int rounds, const fs::path& output, const std::function<void()>& run) {
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        fs::remove(output);
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

bool sameContent(const fs::path& a, const fs::path& b) {
    File fa = open(a, "rb");
    File fb = open(b, "rb");
    std::vector<char> ba(1 << 20), bb(1 << 20);
    for (;;) {
        const std::size_t na = std::fread(ba.data(), 1, ba.size(), fa.get());
        const std::size_t nb = std::fread(bb.data(), 1, bb.size(), fb.get());
        if (na != nb || std::memcmp(ba.data(), bb.data(), na) != 0) return false;
        if (na == 0) return true;
    }
}

int measure(const fs::path& source, int rounds) {
    const double megabytes = static_cast<double>(fs::file_size(source)) / 1e6;
    const fs::path folder = source.parent_path();
    const fs::path copied = folder / "bench-copy.bvh";
    const fs::path converted = folder / "bench-converted.bvh";
    const fs::path reference = folder / "bench-reference.bvh";

    plainCopy(source, copied);  // warms the page cache
    const double copySeconds = bestSeconds(rounds, copied, [&] { plainCopy(source, copied); });
    const double convertSeconds =
        bestSeconds(rounds, converted, [&] { conversionRun(source, converted); });
    const double referenceSeconds =
        bestSeconds(rounds, reference, [&] { referenceRun(source, reference); });
    const bool identical = sameContent(converted, reference);
    for (const fs::path& output : {copied, converted, reference}) fs::remove(output);

    const double copyRate = megabytes / copySeconds;
    const double convertRate = megabytes / convertSeconds;
    const double referenceRate = megabytes / referenceSeconds;
    std::printf("file: %.1f MB (best of %d runs each)\n", megabytes, rounds);
    std::printf("  plain copy        %8.1f MB/s  %6.3f s\n", copyRate, copySeconds);
    std::printf("  conversion        %8.1f MB/s  %6.3f s\n", convertRate, convertSeconds);
    std::printf("  plain reference   %8.1f MB/s  %6.3f s\n", referenceRate, referenceSeconds);
    std::printf("conversion / copy      = %.2f  (target >= 0.5)  %s\n", convertRate / copyRate,
                convertRate / copyRate >= 0.5 ? "met" : "MISSED");
    std::printf("conversion / reference = %.2f  (target >= 5)    %s\n", convertRate / referenceRate,
                convertRate / referenceRate >= 5 ? "met" : "MISSED");
    std::printf("conversion output identical to the reference: %s\n", identical ? "yes" : "NO");
    return identical ? 0 : 1;
}

// The rename table as a sed script: sed applies its commands to each line in order, which is
// the sequential definition itself.
int sedScript() {
    for (const conversion::MappingRow& row : conversion::defaultMapping().rows) {
        const std::string_view to = conversion::replacementOf(row, {});
        std::printf("s/%.*s/%.*s/g\n", static_cast<int>(row.from.size()), row.from.data(),
                    static_cast<int>(to.size()), to.data());
    }
    return 0;
}

// One line without an end, of joint names and replacements: the worst case for memory.
int oneLine(const fs::path& path, double megabytes) {
    File out = open(path, "wb");
    std::string piece;
    for (const conversion::MappingRow& row : conversion::defaultMapping().rows) {
        piece.append(row.from)
            .append(" ")
            .append(conversion::replacementOf(row, {}))
            .append(" 0.125 ");
    }
    for (double written = 0; written < megabytes * 1e6;
         written += static_cast<double>(piece.size())) {
        std::fwrite(piece.data(), 1, piece.size(), out.get());
    }
    return 0;
}

// Standard input to standard output through a buffer of the converter's read size and nothing
// else: what any program that has to look at every byte pays at least.
int copyLoop() {
    std::vector<char> block(conversion::kBlockSize);
    std::error_code writeError;
    const std::error_code readError = conversion::readBlocks(0, block, [&](std::string_view bytes) {
        writeError = conversion::platform::writeAll(1, bytes);
        return !writeError;
    });
    return readError || writeError ? 1 : 0;
}

// Reads standard input to nowhere on one thread while another writes as many bytes to
// standard output: the most two threads can do when one reads and the other writes, whatever
// happens between them.
int readAndWriteApart() {
    struct stat input {};
    if (fstat(0, &input) != 0 || !S_ISREG(input.st_mode)) return 2;
    bool readFailed = false;
    std::thread reader([&] {
        std::vector<char> block(conversion::kBlockSize);
        readFailed = static_cast<bool>(
            conversion::readBlocks(0, block, [](std::string_view) { return true; }));
    });
    const std::vector<char> filler(conversion::kBlockSize, '7');
    std::error_code writeError;
    for (auto left = static_cast<std::size_t>(input.st_size); left > 0 && !writeError;) {
        const std::size_t count = std::min(left, filler.size());
        writeError = conversion::platform::writeAll(1, {filler.data(), count});
        left -= count;
    }
    reader.join();
    return readFailed || writeError ? 1 : 0;
}

// The window's run of its job list (at most 22 rows), without the window: each file a row with
// the name the window gives it, converted into the current folder.
int windowRun(int count, char** paths) {
    skelvane::joblist::JobList list;
    for (int i = 0; i < count; ++i) {
        const std::string title =
            skelvane::common::titleOf(fs::path(paths[i]).filename().string());
        if (list.appendRow(title, skelvane::common::defaultOutputName(title), "",
                           fs::absolute(paths[i]).string()) < 0) {
            std::fprintf(stderr, "skelvane-bench: the job list is full at %s\n", paths[i]);
            return 2;
        }
    }
    struct : joblist::RunObserver {
        void setProgressMaximum(float) override {}
        void setProgressValue(float) override {}
        void showInfo(std::string_view) override {}
    } quiet;
    const joblist::RunReport report = joblist::convertAll(list, quiet);
    for (const joblist::RowFailure& failure : report.failures) {
        std::fprintf(stderr, "skelvane-bench: %s: %s\n", failure.path.c_str(),
                     failure.reason.c_str());
    }
    return report.ok() ? 0 : 1;
}

int usage() {
    std::fprintf(stderr,
                 "usage: skelvane-bench generate FILE MEGABYTES\n"
                 "       skelvane-bench one-line FILE MEGABYTES\n"
                 "       skelvane-bench example FILE\n"
                 "       skelvane-bench measure FILE [ROUNDS]\n"
                 "       skelvane-bench sed-script\n"
                 "       skelvane-bench copy-loop <IN >OUT\n"
                 "       skelvane-bench read-and-write-apart <IN >OUT\n"
                 "       skelvane-bench window-run FILE...\n"
                 "       skelvane-bench race PAIRS NAME_A COMMAND_A NAME_B COMMAND_B [SETUP]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "generate" && argc == 4) return generate(argv[2], std::atof(argv[3]));
    if (command == "example" && argc == 3) {
        File out = open(argv[2], "wb");
        skelvane::bench::writePoserBvh(out.get(), 4);
        return 0;
    }
    if (command == "measure" && (argc == 3 || argc == 4)) {
        return measure(argv[2], argc == 4 ? std::atoi(argv[3]) : 3);
    }
    if (command == "one-line" && argc == 4) return oneLine(argv[2], std::atof(argv[3]));
    if (command == "sed-script" && argc == 2) return sedScript();
    if (command == "copy-loop" && argc == 2) return copyLoop();
    if (command == "read-and-write-apart" && argc == 2) return readAndWriteApart();
    if (command == "window-run" && argc > 2) return windowRun(argc - 2, argv + 2);
    if (command == "race" && (argc == 7 || argc == 8)) {
        skelvane::bench::race(std::atoi(argv[2]), argv[3], argv[4], argv[5], argv[6],
                              argc == 8 ? argv[7] : "");
        return 0;
    }
    return usage();
}
