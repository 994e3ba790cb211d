#include "cli/command_line.h"

#include "joblist/body_parts.h"
#include "joblist/title_rule.h"

namespace skelvane::cli {

Command parseCommandLine(const std::vector<std::string>& args) {
    ConvertRequest request;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            request.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            return ShowHelp{};
        } else if (arg == "--version") {
            return ShowVersion{};
        } else if (arg == "-n" || arg == "--dry-run") {
            request.dryRun = true;
        } else if (arg == "--json") {
            request.json = true;
        } else if (arg == "--force") {
            request.force = true;
        } else if (arg == "-o" || arg == "--output-dir" || arg == "--drop") {
            if (i + 1 == args.size()) return UsageError{"option " + arg + " needs a value"};
            const std::string& value = args[++i];
            if (arg == "--drop") {
                const int part = joblist::partNumberOf(value);
                if (part == 0) {
                    return UsageError{"unknown body part '" + value +
                                      "' (use 1..23 or a name such as rShoulder)"};
                }
                request.dropped.set(part);
            } else {
                if (value.empty()) return UsageError{"option " + arg + " needs a folder"};
                request.outputDir = value;
            }
        } else {
            return UsageError{"unknown option " + arg};
        }
    }
    if (request.files.empty()) return UsageError{"no input file given"};
    if (request.json && !request.dryRun) return UsageError{"--json goes with --dry-run"};
    return request;
}

std::string usageText() {
    std::string text =
        "Usage: skelvane-convert [options] FILE...\n"
        "Converts BVH files with Poser joint names into BVH files with Max joint names.\n"
        "Each FILE is written to <title>_max.bvh in the current folder, where <title> is the\n"
        "file name without its last 4 characters. '-' reads standard input and writes\n"
        "standard output. Lines are written with CR LF.\n"
        "\n"
        "Options:\n"
        "  -o, --output-dir DIR  write the outputs into DIR instead\n"
        "      --drop PART       do not convert PART: its joints become \"nothing\";\n"
        "                        repeatable; PART is a number or a name from the list below\n"
        "  -n, --dry-run         write nothing; show for each FILE the output it would write\n"
        "                        (or why not) and its joints: old name, new name, what\n"
        "                        happens; untouched joints and partial-word hits marked !\n"
        "      --json            with --dry-run: the same as JSON, one object per file\n"
        "      --force           convert a FILE that does not start like a BVH file\n"
        "                        (HIERARCHY) too; without it such a FILE is refused\n"
        "  -h, --help            show this help\n"
        "      --version         show the version\n"
        "\n"
        "Body parts:\n";
    for (const joblist::BodyPart& part : joblist::kBodyParts) {
        text += "  " + std::to_string(part.number) + " " + std::string(part.imageName);
        text += part.poserJoint.empty() ? std::string(" (always dropped)")
                                        : " (joint " + std::string(part.poserJoint) + ")";
        text += "\n";
    }
    text +=
        "\n"
        "No output is written over a FILE of the same run or over an output the run has\n"
        "already written.\n"
        "\n"
        "Exit status: 0 when every file was converted (or, with --dry-run, would be), 1 when\n"
        "any failed, 2 for a usage error.\n";
    return text;
}

std::string outputNameFor(const std::filesystem::path& source) {
    return joblist::outputFileName(
        joblist::defaultOutputName(joblist::titleOf(source.filename().native())));
}

}  // namespace skelvane::cli
