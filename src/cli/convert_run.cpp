#include "cli/convert_run.h"

#include <algorithm>
#include <iostream>

#include "cli/check_report.h"
#include "cli/dry_run_report.h"
#include "cli/progress_line.h"
#include "cli/terminal_text.h"
#include "conversion/files/platform.h"
#include "conversion/mapping/presets.h"

namespace skelvane::cli {

namespace {

namespace platform = conversion::platform;
using conversion::Job;
using conversion::JobResult;
using conversion::JobStatus;
using conversion::JointReport;

constexpr std::string_view kStandardInput = "standard input";
constexpr std::string_view kStandardOutput = "standard output";

// What --map auto chose for a file, in words.
std::string fitNote(const conversion::FitResult& fit) {
    const bool kept = &fit.choice() == &conversion::keepNamesMapping();
    return fit.summary() + (kept ? "; names kept" : "");
}

// How a message names the file a result is about.
std::string culpritOf(const Job& job, const JobResult& result) {
    const bool source = result.failure.side == conversion::Side::Source;
    if (job.standardStreams) return std::string(source ? kStandardInput : kStandardOutput);
    return platform::bytesOfPath(source ? job.source : job.output);
}

// One line per file on standard error, as each is done; quiet, for the failed ones only.
class ConversionLines final : public conversion::JobObserver {
public:
    ConversionLines(std::span<const Job> jobs, bool quiet, ProgressLine* progress)
        : jobs_(jobs), quiet_(quiet), progress_(progress) {}

    void jobStarting(std::size_t i) override {
        if (progress_ != nullptr) progress_->starting(jobs_[i].name);
    }

    void jobFinished(std::size_t i, const JobResult& result, const JointReport*) override {
        if (progress_ == nullptr) return tell(i, result);
        progress_->finished();
        progress_->aside([&] { tell(i, result); });
    }

private:
    void tell(std::size_t i, const JobResult& result) {
        const Job& job = jobs_[i];
        if (result.status == JobStatus::Done) {
            if (quiet_) return;
            std::cerr << printable(job.name) << " -> "
                      << (job.standardStreams ? std::string(kStandardOutput)
                                              : printable(platform::bytesOfPath(job.output)));
            if (result.fit) std::cerr << "  (" << fitNote(*result.fit) << ")";
            if (result.roles) std::cerr << "  (" << rolesNote(*result.roles) << ")";
            std::cerr << "\n";
            // What the target would still refuse in the output, which was written all the same.
            if (!result.stillRefused.empty())
                std::cerr << "  " << printable(result.stillRefused) << "\n";
            return;
        }
        std::cerr << "skelvane-convert: ";
        // Neither stream alone is at fault, so the message names the FILE as given.
        if (result.failure.error == conversion::RunError::StreamsAreOneFile ||
            result.failure.error == conversion::RunError::StreamsMayBeOneFile) {
            std::cerr << printable(job.name) << ": " << result.failure.error.message() << "\n";
            return;
        }
        const std::string culprit = culpritOf(job, result);
        std::cerr << printable(job.standardStreams ? culprit : job.name) << ": ";
        if (!job.standardStreams && culprit != job.name) std::cerr << printable(culprit) << ": ";
        std::cerr << printable(conversion::reasonOf(result, jobs_));
        if (result.failure.error == conversion::RunError::NotBvh)
            std::cerr << " (--force converts it anyway)";
        std::cerr << "\n";
    }

    std::span<const Job> jobs_;
    bool quiet_;
    ProgressLine* progress_;
};

// The dry run's report on standard output, a file at a time as each is read, so that its
// memory stays flat however many files and joints there are. A failed write is kept and ends
// the writing.
class DryRunReport final : public conversion::JobObserver {
public:
    DryRunReport(std::span<const Job> jobs, bool json, ProgressLine* progress)
        : jobs_(jobs), json_(json), progress_(progress) {}

    void jobStarting(std::size_t i) override {
        if (progress_ != nullptr) progress_->starting(jobs_[i].name);
    }

    void jobFinished(std::size_t i, const JobResult& result, const JointReport* joints) override {
        if (progress_ == nullptr) return tell(i, result, joints);
        progress_->finished();
        // Standard output may be the terminal the line is drawn on.
        progress_->aside([&] { tell(i, result, joints); });
    }

    // Ends the report; returns the first error of writing it, or nothing.
    std::error_code finish() {
        if (json_) write(dryRunJsonEnd(jobs_.empty()));
        return error_;
    }

private:
    void tell(std::size_t i, const JobResult& result, const JointReport* joints) {
        const Job& job = jobs_[i];
        DryRunFile file{
            job.name,
            job.standardStreams ? std::string(kStandardOutput) : platform::bytesOfPath(job.output),
            std::nullopt,
            result.bvh,
            joints,
            result.mapping,
            result.fit.has_value(),
            result.replacesExisting};
        if (result.roles) file.roles = &*result.roles;
        if (result.status == JobStatus::Failed) {
            file.refusal = conversion::reasonOf(result, jobs_);
        }
        write(json_ ? dryRunJson(file, i == 0) : dryRunText(file, i == 0));
    }

    void write(std::string_view text) {
        if (!error_) error_ = platform::writeAll(platform::standardOutput(), text);
    }

    std::span<const Job> jobs_;
    bool json_;
    ProgressLine* progress_;
    std::error_code error_;
};

// The check's report on standard output, a file at a time as each is read; a file that cannot
// be read is told on standard error. A failed write is kept and ends the writing.
class CheckReport final : public conversion::JobObserver {
public:
    CheckReport(std::span<const Job> jobs, bool json) : jobs_(jobs), json_(json) {}

    void jobFinished(std::size_t i, const JobResult& result, const JointReport* joints) override {
        const Job& job = jobs_[i];
        const std::string name = job.standardStreams ? std::string(kStandardInput) : job.name;
        const conversion::Findings* findings =
            joints != nullptr && joints->findings ? &*joints->findings : nullptr;
        std::string failure;
        if (findings == nullptr) {
            failure = conversion::reasonOf(result, jobs_);
            ++unread_;
            std::cerr << "skelvane-convert: " << printable(name) << ": " << printable(failure)
                      << "\n";
        } else {
            errors_ += findings->errors();
            warnings_ += findings->warnings();
            if (findings->errors() > 0) ++faulty_;
        }
        if (json_) {
            write(checkJson(name, findings, failure, i == 0));
        } else if (findings != nullptr) {
            write(findingsText(name, *findings));
        }
    }

    // Ends the report; returns the first error of writing it, or nothing.
    std::error_code finish() {
        if (json_) write(dryRunJsonEnd(jobs_.empty()));
        return error_;
    }

    // The run in one line, such as "3 files checked: 2 errors, 1 warning; 1 could not be read".
    std::string summary() const {
        std::string line = std::to_string(jobs_.size()) + (jobs_.size() == 1 ? " file" : " files") +
                           " checked: " + std::to_string(errors_) +
                           (errors_ == 1 ? " error, " : " errors, ") + std::to_string(warnings_) +
                           (warnings_ == 1 ? " warning" : " warnings");
        if (unread_ > 0) line += "; " + std::to_string(unread_) + " could not be read";
        return line;
    }

    bool clean() const { return faulty_ == 0 && unread_ == 0; }

private:
    void write(std::string_view text) {
        if (!error_) error_ = platform::writeAll(platform::standardOutput(), text);
    }

    std::span<const Job> jobs_;
    bool json_;
    std::error_code error_;
    std::uint64_t errors_ = 0;
    std::uint64_t warnings_ = 0;
    std::size_t faulty_ = 0;
    std::size_t unread_ = 0;
};

// Checks every FILE, held to the rules of --to's rig when given; returns the exit status.
int runCheck(const ConvertRequest& request, const conversion::MappingChoice& mapping,
             conversion::platform::FileSystem& system) {
    // The files are judged as they stand: no names are planned for them.
    const std::vector<Job> jobs = jobsOf(request);
    conversion::RunOptions options = optionsOf(request);
    options.judgeBy = mapping.target;
    CheckReport report(jobs, request.json);
    conversion::runJobs(jobs, options, report, system);
    if (const std::error_code error = report.finish()) {
        std::cerr << "skelvane-convert: " << kStandardOutput << ": " << error.message() << "\n";
        return 1;
    }
    if (!request.quiet) std::cerr << report.summary() << "\n";
    return report.clean() ? 0 : 1;
}

}  // namespace

namespace {

// The rig profile `name` stands for, given with `option`, or why it cannot be used.
std::variant<const conversion::RigProfile*, std::string> selectRig(
    std::string_view option, const std::string& name, conversion::RigProfileCatalog& rigs) {
    auto resolved = rigs.resolve(name);
    if (!resolved) {
        const conversion::MappingError& refused = resolved.error();
        if (refused.error == conversion::MappingFault::NoSuchName) {
            return std::string(option) + ": " + refused.reason + " (see --list-rigs)";
        }
        return refused.message();
    }
    return *resolved;
}

}  // namespace

std::variant<conversion::MappingChoice, std::string> selectMapping(const ConvertRequest& request,
                                                                   Catalogs& catalogs) {
    if (!request.to.empty()) {
        auto target = selectRig("--to", request.to, catalogs.rigs);
        if (auto* problem = std::get_if<std::string>(&target)) return std::move(*problem);
        const conversion::RigProfile& into = *std::get<const conversion::RigProfile*>(target);
        if (request.from == "shape") return conversion::MappingChoice::bySkeleton(into);
        if (request.from == "auto") {
            catalogs.roleFinder.emplace(catalogs.rigs.all());
            return conversion::MappingChoice::throughRoles(
                *catalogs.roleFinder, into, nullptr, conversion::RoleEvidence::NamesAndSkeleton);
        }
        auto given = selectRig("--from", request.from, catalogs.rigs);
        if (auto* problem = std::get_if<std::string>(&given)) return std::move(*problem);
        const conversion::RigProfile* source = std::get<const conversion::RigProfile*>(given);
        const conversion::RigProfile* const only[] = {source};
        catalogs.roleFinder.emplace(only);
        return conversion::MappingChoice::throughRoles(*catalogs.roleFinder, into, source);
    }
    if (request.map.empty()) return conversion::MappingChoice{};
    conversion::MappingCatalog& catalog = catalogs.mappings;
    auto resolved = catalog.resolve(request.map);
    if (!resolved) {
        const conversion::MappingError& refused = resolved.error();
        if (refused.error == conversion::MappingFault::NoSuchName) {
            return "--map: " + refused.reason + " (see --list-maps)";
        }
        return refused.message();
    }
    return std::move(resolved).value();
}

std::string mappingList(const conversion::MappingChoice& choice) {
    std::vector<const conversion::Mapping*> mappings;
    for (const conversion::Mapping& preset : conversion::presets()) mappings.push_back(&preset);
    if (!choice.bestFit && !conversion::findPreset(choice.mapping->name)) {
        mappings.push_back(choice.mapping);
    }
    std::size_t nameWidth = 4;
    for (const conversion::Mapping* mapping : mappings) {
        nameWidth = std::max(nameWidth, displayWidth(printable(mapping->name)));
    }
    const auto padded = [](std::string text, std::size_t width) {
        text.append(width - std::min(width, displayWidth(text)) + 2, ' ');
        return text;
    };
    std::string list = padded("name", nameWidth) + "match     rows  from      title\n";
    for (const conversion::Mapping* mapping : mappings) {
        const bool exact = mapping->mode == conversion::MatchMode::Exact;
        std::string rows = std::to_string(mapping->rows.size());
        list += padded(printable(mapping->name), nameWidth) +
                padded(exact ? "exact" : "contains", 8) +
                padded(std::string(4 - std::min<std::size_t>(4, rows.size()), ' ') + rows, 4) +
                padded(conversion::findPreset(mapping->name) ? "built in" : "file", 8) +
                printable(mapping->title) + "\n";
    }
    return list;
}

std::string rigList(const conversion::MappingChoice& choice) {
    std::vector<const conversion::RigProfile*> rigs;
    for (const conversion::RigProfile& profile : conversion::rigProfiles())
        rigs.push_back(&profile);
    for (const conversion::RigProfile* chosen : {choice.source, choice.target}) {
        if (chosen != nullptr && !chosen->file.empty() &&
            std::find(rigs.begin(), rigs.end(), chosen) == rigs.end()) {
            rigs.push_back(chosen);
        }
    }
    std::size_t nameWidth = 4;
    for (const conversion::RigProfile* rig : rigs) {
        nameWidth = std::max(nameWidth, displayWidth(printable(rig->name)));
    }
    const auto padded = [](std::string text, std::size_t width) {
        text.append(width - std::min(width, displayWidth(text)) + 2, ' ');
        return text;
    };
    std::string list = padded("name", nameWidth) + "roles  from      title\n";
    for (const conversion::RigProfile* rig : rigs) {
        const auto roles = std::count_if(rig->names.begin(), rig->names.end(),
                                         [](const std::string& name) { return !name.empty(); });
        const std::string count = std::to_string(roles);
        list += padded(printable(rig->name), nameWidth) + std::string(5 - count.size(), ' ') +
                count + "  " + padded(rig->file.empty() ? "built in" : "file", 8) +
                printable(rig->title) + "\n";
    }
    return list;
}

std::string targetSuffix(const conversion::MappingChoice& choice) {
    if (!choice.roles()) return "max";
    const conversion::RigProfile& target = *choice.target;
    return target.file.empty() ? target.name : platform::bytesOfPath(target.file.stem());
}

std::vector<Job> jobsOf(const ConvertRequest& request, const conversion::MappingChoice& mapping) {
    const std::string suffix = targetSuffix(mapping);
    std::vector<Job> jobs;
    for (const std::string& file : request.files) {
        Job job;
        job.dropped = request.dropped;
        job.mapping = mapping;
        job.name = file;
        if (file == "-") {
            job.standardStreams = true;
        } else {
            job.source = platform::pathFromBytes(file);
            // A check writes nothing, and so reads only the source.
            if (!request.check) {
                job.output =
                    request.outputDir / platform::pathFromBytes(outputNameFor(job.source, suffix));
            }
            job.sourceRole = "one of the inputs (" + file + ")";
        }
        jobs.push_back(std::move(job));
    }
    return jobs;
}

conversion::RunOptions optionsOf(const ConvertRequest& request) {
    // A check tells a file that is not BVH among its findings.
    return {.requireBvh = !request.force && !request.check,
            .refuseRepeatedOutputs = true,
            .dryRun = request.dryRun || request.check,
            .check = request.dryRun || request.check};
}

RunTally tallyOf(std::span<const Job> jobs, std::span<const JobResult> results) {
    RunTally tally;
    tally.files = results.size();
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i].status == JobStatus::Done) {
            ++(jobs[i].standardStreams ? tally.toStandardOutput : tally.toFolder);
        } else if (results[i].status == JobStatus::Failed) {
            ++(conversion::isRefusal(results[i].failure.error) ? tally.refused : tally.failed);
        }
    }
    return tally;
}

std::string summaryOf(const RunTally& tally, const std::filesystem::path& outputDir, bool dryRun) {
    const std::string converted = dryRun ? " would be converted" : " converted";
    std::vector<std::string> parts;
    if (tally.toFolder > 0) {
        // Appending nothing ends the folder in a separator, unless it ends in one already.
        const std::string folder = outputDir.empty()
                                       ? std::string("the current folder")
                                       : printable(platform::bytesOfPath(outputDir / ""));
        parts.push_back(std::to_string(tally.toFolder) + converted + " into " + folder);
    }
    if (tally.toStandardOutput > 0) {
        parts.push_back(std::to_string(tally.toStandardOutput) +
                        (tally.toFolder > 0 ? "" : converted) + " to " +
                        std::string(kStandardOutput));
    }
    if (tally.refused > 0)
        parts.push_back(std::to_string(tally.refused) +
                        (dryRun ? " would be refused" : " refused"));
    if (tally.failed > 0) parts.push_back(std::to_string(tally.failed) + " failed");

    std::string line = counted(tally.files, "file", "files") + ":";
    for (std::size_t i = 0; i < parts.size(); ++i) line += (i == 0 ? " " : ", ") + parts[i];
    if (dryRun) line += "; nothing was written";
    return line;
}

int runConversion(const ConvertRequest& request, const conversion::MappingChoice& mapping,
                  conversion::platform::FileSystem& system) {
    if (request.check) return runCheck(request, mapping, system);
    const std::vector<Job> jobs = jobsOf(request, mapping);
    std::vector<JobResult> results;
    // A person at a terminal sees how far a long run is; a script and a quiet run see nothing.
    std::optional<ProgressLine> progress;
    if (!request.quiet && platform::isTerminal(platform::standardError())) {
        progress.emplace(jobs.size(),
                         [](std::string_view text) { std::cerr << text << std::flush; });
    }
    ProgressLine* const line = progress ? &*progress : nullptr;
    if (request.dryRun) {
        DryRunReport report(jobs, request.json, line);
        results = conversion::runJobs(jobs, optionsOf(request), report, system);
        progress.reset();
        // A summary of a report that did not reach its reader would mislead.
        if (const std::error_code error = report.finish()) {
            std::cerr << "skelvane-convert: " << kStandardOutput << ": " << error.message() << "\n";
            return 1;
        }
    } else {
        ConversionLines lines(jobs, request.quiet, line);
        results = conversion::runJobs(jobs, optionsOf(request), lines, system);
        progress.reset();
    }
    const RunTally tally = tallyOf(jobs, results);
    if (!request.quiet && tally.files > 0)
        std::cerr << summaryOf(tally, request.outputDir, request.dryRun) << "\n";
    return tally.refused + tally.failed == 0 ? 0 : 1;
}

int printRequested(platform::Handle out, std::string_view text) {
    if (const std::error_code error = platform::writeAll(out, text)) {
        std::cerr << "skelvane-convert: " << kStandardOutput << ": " << error.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace skelvane::cli
