#include "cli/convert_run.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>

#include "cli/dry_run_report.h"
#include "conversion/file_converter.h"
#include "conversion/joint_report.h"
#include "conversion/platform.h"
#include "conversion/run_guard.h"
#include "conversion/source_start.h"
#include "conversion/stream_converter.h"

namespace skelvane::cli {

namespace {

namespace fs = std::filesystem;
namespace platform = conversion::platform;

constexpr const char* kNotBvh = "not a BVH file";

void reportFailure(const std::string& file, const std::string& path, const std::string& reason) {
    std::cerr << "skelvane-convert: " << file << ": ";
    if (path != file) std::cerr << path << ": ";
    std::cerr << reason << "\n";
}

void reportNotBvh(const std::string& file) {
    std::cerr << "skelvane-convert: " << kNotBvh << ": " << file
              << " (--force converts it anyway)\n";
}

// Reads the start of a source; nothing when it is refused, with the reason already reported.
std::optional<conversion::SourceStart> startOfSource(platform::Handle in, const std::string& file,
                                                     bool force) {
    if (force) return conversion::SourceStart{true, {}};
    auto start = conversion::readSourceStart(in);
    if (const auto* error = std::get_if<conversion::StreamError>(&start)) {
        reportFailure(file, file, std::strerror(error->errorNumber));
        return std::nullopt;
    }
    if (!std::get<conversion::SourceStart>(start).bvh) {
        reportNotBvh(file);
        return std::nullopt;
    }
    return std::get<conversion::SourceStart>(std::move(start));
}

bool convertStandardStreams(const ConvertRequest& request) {
    // Reading a file while appending to it would never reach its end.
    if (platform::sameRegularFile(platform::kStandardInput, platform::kStandardOutput)) {
        std::cerr << "skelvane-convert: standard input and standard output are the same file\n";
        return false;
    }
    std::optional<conversion::StreamError> error;
    try {
        const auto start = startOfSource(platform::kStandardInput, "standard input", request.force);
        if (!start) return false;
        error = conversion::convertStream(platform::kStandardInput, platform::kStandardOutput,
                                          request.dropped, start->held);
    } catch (const std::bad_alloc&) {
        error = conversion::StreamError{conversion::StreamError::Side::Read, ENOMEM};
    }
    if (error) {
        const bool reading = error->side == conversion::StreamError::Side::Read;
        std::cerr << "skelvane-convert: " << (reading ? "standard input" : "standard output")
                  << ": " << std::strerror(error->errorNumber) << "\n";
        return false;
    }
    std::cerr << "- -> standard output\n";
    return true;
}

bool isBvh(const std::string& file, bool force) {
    if (force) return true;
    int error = 0;
    const platform::Handle in = platform::openForReading(file, error);
    if (in < 0) {
        reportFailure(file, file, std::strerror(error));
        return false;
    }
    const bool bvh = startOfSource(in, file, force).has_value();
    platform::close(in);
    return bvh;
}

bool convertOne(const std::string& file, const ConvertRequest& request,
                conversion::RunGuard& guard) {
    const fs::path output = request.outputDir / outputNameFor(file);
    if (auto reason = guard.refusal(output, file)) {
        reportFailure(file, output.string(), *reason);
        return false;
    }
    if (!isBvh(file, request.force)) return false;
    if (auto failure = conversion::convertFile(file, output, request.dropped)) {
        reportFailure(file, failure->path, failure->reason);
        return false;
    }
    guard.addWritten(output, file);
    std::cerr << file << " -> " << output.string() << "\n";
    return true;
}

// What the real run would do with one file, found out without writing anything.
DryRunFile planOne(const std::string& file, const ConvertRequest& request,
                   conversion::RunGuard& guard) {
    DryRunFile planned{file, "standard output", std::nullopt, std::nullopt};
    if (file == "-") {
        auto report = conversion::jointReportOf(stdin, request.dropped);
        if (auto* read = std::get_if<conversion::JointReport>(&report)) {
            planned.report = std::move(*read);
        } else {
            planned.refusal = std::strerror(std::get<conversion::StreamError>(report).errorNumber);
        }
    } else {
        const fs::path output = request.outputDir / outputNameFor(file);
        planned.output = output.string();
        planned.refusal = guard.refusal(output, file);
        auto report = conversion::jointReportOf(fs::path(file), request.dropped);
        if (auto* read = std::get_if<conversion::JointReport>(&report)) {
            planned.report = std::move(*read);
        } else if (!planned.refusal) {
            planned.refusal = std::get<conversion::FileFailure>(report).reason;
        }
        if (!planned.refusal) guard.addWritten(output, file);
    }
    if (!planned.refusal && planned.report && !planned.report->bvh && !request.force) {
        planned.refusal = kNotBvh;
    }
    return planned;
}

}  // namespace

int runConversion(const ConvertRequest& request) {
    // No output may land on any input, and none may replace one this run has written.
    conversion::RunGuard guard;
    for (const std::string& file : request.files) {
        if (file != "-") guard.addSource(file, "one of the inputs (" + file + ")");
    }
    bool allConverted = true;
    std::vector<DryRunFile> planned;
    for (const std::string& file : request.files) {
        if (request.dryRun) {
            planned.push_back(planOne(file, request, guard));
            allConverted = allConverted && !planned.back().refusal;
            continue;
        }
        const bool converted =
            file == "-" ? convertStandardStreams(request) : convertOne(file, request, guard);
        allConverted = allConverted && converted;
    }
    if (request.dryRun) std::cout << (request.json ? dryRunJson(planned) : dryRunText(planned));
    return allConverted ? 0 : 1;
}

}  // namespace skelvane::cli
