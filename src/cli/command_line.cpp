#include "cli/command_line.h"

#include <optional>
#include <string_view>

#include "common/body_parts.h"
#include "common/title_rule.h"
#include "conversion/files/platform.h"

namespace skelvane::cli {

namespace {

enum class OptionId {
    OutputDir,
    Drop,
    Map,
    To,
    From,
    DryRun,
    Check,
    Json,
    Force,
    Quiet,
    ListMaps,
    ListRigs,
    Help,
    Version
};

// One option of the command line: its letter ('\0' for none), its long name and what its
// value is, as a usage error names it; flags have no value.
struct Option {
    OptionId id;
    char letter;
    std::string_view name;
    std::string_view value;
};

constexpr Option kOptions[] = {
    {OptionId::OutputDir, 'o', "output-dir", "a folder"},
    {OptionId::Drop, '\0', "drop", "a body part"},
    {OptionId::Map, 'm', "map", "a mapping name, a mapping file or auto"},
    {OptionId::To, '\0', "to", "a rig profile's name or a profile file"},
    {OptionId::From, '\0', "from", "a rig profile's name, a profile file, auto or shape"},
    {OptionId::DryRun, 'n', "dry-run", ""},
    {OptionId::Check, '\0', "check", ""},
    {OptionId::Json, '\0', "json", ""},
    {OptionId::Force, '\0', "force", ""},
    {OptionId::Quiet, 'q', "quiet", ""},
    {OptionId::ListMaps, '\0', "list-maps", ""},
    {OptionId::ListRigs, '\0', "list-rigs", ""},
    {OptionId::Help, 'h', "help", ""},
    {OptionId::Version, '\0', "version", ""},
};

// Every message about an argument names it first, as messages about a file name the file.
UsageError usage(std::string_view subject, std::string_view reason) {
    return {std::string(subject) + ": " + std::string(reason)};
}

const Option* optionNamed(std::string_view name) {
    for (const Option& option : kOptions) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

const Option* optionLettered(char letter) {
    for (const Option& option : kOptions) {
        if (option.letter != '\0' && option.letter == letter) return &option;
    }
    return nullptr;
}

// How many bytes the UTF-8 character at `at` takes, as far as the text holds them.
std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    while (length > 1 && (at + length > text.size() ||
                          (static_cast<unsigned char>(text[at + length - 1]) & 0xC0) != 0x80)) {
        --length;
    }
    return length;
}

// Long options are never abbreviated, since a new option could make an abbreviation in a
// script mean something else; the one a user probably meant is named instead.
UsageError unknownLongOption(std::string_view spelled) {
    const Option* meant = nullptr;
    int candidates = 0;
    for (const Option& option : kOptions) {
        if (option.name.starts_with(spelled.substr(2))) {
            meant = &option;
            ++candidates;
        }
    }
    if (candidates != 1) return usage(spelled, "unknown option");
    return usage(spelled, "unknown option (did you mean --" + std::string(meant->name) + "?)");
}

// Puts what one option asks for into the request; help and the version end the parse, as does
// a value that is no good.
std::optional<Command> apply(const Option& option, std::string_view spelled,
                             const std::string& value, ConvertRequest& request) {
    switch (option.id) {
        case OptionId::OutputDir:
            request.outputDir = conversion::platform::pathFromBytes(value);
            break;
        case OptionId::Drop:
            if (const int part = common::partNumberOf(value); part != 0) {
                request.dropped.set(part);
                break;
            }
            return usage(spelled, "unknown body part '" + value +
                                      "' (use 1..23 or a joint name such as rShldr)");
        case OptionId::Map:
            request.map = value;
            break;
        case OptionId::To:
            request.to = value;
            break;
        case OptionId::From:
            request.from = value;
            break;
        case OptionId::DryRun:
            request.dryRun = true;
            break;
        case OptionId::Check:
            request.check = true;
            break;
        case OptionId::Json:
            request.json = true;
            break;
        case OptionId::Force:
            request.force = true;
            break;
        case OptionId::Quiet:
            request.quiet = true;
            break;
        case OptionId::ListMaps:
            request.listMaps = true;
            break;
        case OptionId::ListRigs:
            request.listRigs = true;
            break;
        case OptionId::Help:
            return ShowHelp{};
        case OptionId::Version:
            return ShowVersion{};
    }
    return std::nullopt;
}

// One body part of the help's list: the joint name a user types, or for the parts that govern
// no joint their own name.
std::string partEntry(const common::BodyPart& part) {
    const std::string number = std::to_string(part.number);
    std::string entry = std::string(4 - number.size(), ' ') + number + " ";
    if (part.poserJoint.empty()) return entry + std::string(part.imageName) + " (always nothing)";
    return entry + std::string(part.poserJoint);
}

}  // namespace

Command parseCommandLine(const std::vector<std::string>& args) {
    ConvertRequest request;
    std::size_t next = 0;
    // One option as the user spelled it, with the value written into its argument if any; one
    // that takes a value and has none there takes the next argument, whatever it is.
    const auto take = [&](const Option& option, std::string_view spelled,
                          std::optional<std::string> value) -> std::optional<Command> {
        if (option.value.empty()) {
            if (value) return usage(spelled, "takes no value");
            return apply(option, spelled, "", request);
        }
        if (!value && next < args.size()) value = args[next++];
        if (!value || value->empty()) return usage(spelled, "needs " + std::string(option.value));
        return apply(option, spelled, *value, request);
    };

    bool optionsEnded = false;
    while (next < args.size()) {
        const std::string& arg = args[next++];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            request.files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg[1] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string_view spelled = std::string_view(arg).substr(0, equals);
            const Option* option = optionNamed(spelled.substr(2));
            if (option == nullptr) return unknownLongOption(spelled);
            std::optional<std::string> value;
            if (equals != std::string::npos) value = arg.substr(equals + 1);
            if (std::optional<Command> ended = take(*option, spelled, value)) return *ended;
        } else {
            for (std::size_t at = 1; at < arg.size(); ++at) {
                const Option* option = optionLettered(arg[at]);
                if (option == nullptr) {
                    // Named whole, not by its first byte, when it is a letter beyond ASCII.
                    return usage("-" + arg.substr(at, characterLength(arg, at)), "unknown option");
                }
                const std::string spelled{'-', arg[at]};
                // A letter that takes a value takes the rest of its argument, if any.
                const bool valueFollows = !option->value.empty() && at + 1 < arg.size();
                std::optional<std::string> value;
                if (valueFollows) value = arg.substr(at + 1);
                if (std::optional<Command> ended = take(*option, spelled, value)) return *ended;
                if (!option->value.empty()) break;
            }
        }
    }
    if (request.files.empty() && !request.listMaps && !request.listRigs) {
        return UsageError{"no input file given"};
    }
    if (request.check && request.dryRun) return usage("--check", "cannot go with --dry-run");
    if (request.json && !request.dryRun && !request.check) {
        return usage("--json", "goes only with --dry-run or --check");
    }
    if (!request.map.empty() && (!request.to.empty() || !request.from.empty())) {
        return usage("--map", "goes not with --to or --from (--map auto is --from auto --to max)");
    }
    if (!request.from.empty() && request.to.empty()) return usage("--from", "goes only with --to");
    if (request.map == "auto") {
        request.map.clear();
        request.from = "auto";
        request.to = "max";
    }
    if (!request.to.empty() && request.from.empty()) request.from = "auto";
    return request;
}

std::optional<UsageError> outputDirProblem(const std::filesystem::path& folder) {
    if (folder.empty()) return std::nullopt;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(folder, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return usage(conversion::platform::bytesOfPath(folder), "no such folder");
    }
    if (error) return usage(conversion::platform::bytesOfPath(folder), error.message());
    if (!std::filesystem::is_directory(status)) {
        return usage(conversion::platform::bytesOfPath(folder), "not a folder");
    }
    return std::nullopt;
}

std::string usageText() {
    std::string text =
        "Usage: skelvane-convert [OPTION]... FILE...\n"
        "Converts BVH files with Poser joint names into BVH files with Max joint names, or\n"
        "with --to, files of any humanoid rig into the joint names of another.\n"
        "Each FILE is written to <title>_max.bvh (with --to, <title>_TARGET.bvh) in the\n"
        "current folder, where <title> is the file name without its last 4 characters.\n"
        "'-' reads standard input and writes standard output. Lines are written with CR LF.\n"
        "\n"
        "Options:\n"
        "  -o, --output-dir=DIR  write the outputs into DIR instead; DIR must be a folder\n"
        "      --drop=PART       do not convert PART: its joints become \"nothing\";\n"
        "                        repeatable; PART is a number or a name from the list below\n"
        "  -m, --map=MAP         rename with MAP: a mapping's name (see --list-maps), a\n"
        "                        mapping file, or auto, which is --from auto --to max\n"
        "      --to=TARGET       write the names of the rig TARGET: a rig profile's name\n"
        "                        (see --list-rigs) or a profile file; each joint's role\n"
        "                        (hips, left forearm...) is found by its name and its place\n"
        "                        in the skeleton and written with TARGET's name for it; a\n"
        "                        joint without a role, or whose role TARGET lacks, keeps its\n"
        "                        name; no name is written twice; a line tells what TARGET's\n"
        "                        rules still refuse in the output\n"
        "      --from=RIG        the rig the FILEs are in: a rig profile's name, a profile\n"
        "                        file, auto (the default: found for each FILE, its names\n"
        "                        weighed against its skeleton: the hips, spine, neck, arms\n"
        "                        and legs by their parents and offsets) or shape (found by\n"
        "                        the skeleton alone, whatever the joints are called)\n"
        "      --list-maps       list the mappings that come with skelvane-convert\n"
        "      --list-rigs       list the rig profiles that come with skelvane-convert\n"
        "  -n, --dry-run         write nothing; show for each FILE the output it would write\n"
        "                        (or why not), the mapping and best fit, and its joints: old\n"
        "                        name, new name, what happens (renamed, renamed to nothing and\n"
        "                        why, untouched); with --to, each joint's role and how it was\n"
        "                        found (exact, normalised, skeleton...); untouched or kept\n"
        "                        joints, names the skeleton contradicts and partial-word hits\n"
        "                        (a letter beside the match: neckDummy) marked !; warnings for\n"
        "                        names several joints share, notes for an output that is\n"
        "                        replaced and line ends that change; what --check finds\n"
        "      --check           write nothing; check each FILE's structure and print each\n"
        "                        finding as FILE:LINE: error: reason (or warning:); with\n"
        "                        --to, also hold each FILE as it stands to TARGET's rules\n"
        "      --json            with --dry-run or --check: the same as JSON, one object\n"
        "                        per file\n"
        "      --force           convert a FILE that does not start like a BVH file\n"
        "                        (HIERARCHY) too; without it such a FILE is refused\n"
        "  -q, --quiet           print only failures and refusals: no line per converted\n"
        "                        file, no summary\n"
        "  -h, --help            show this help\n"
        "      --version         show the version\n"
        "\n"
        "Options may come after the FILEs; '--' ends them. Short options may be bundled\n"
        "(-nq); a value may be attached (-oDIR, --drop=7) or be the next argument. Long\n"
        "options are never abbreviated.\n"
        "\n"
        "Body parts (PART, as a number or a name, in any case):\n";
    constexpr std::size_t kRows = (common::kPartCount + 1) / 2;
    constexpr std::size_t kColumnWidth = 32;
    for (std::size_t row = 0; row < kRows; ++row) {
        std::string left = partEntry(common::kBodyParts[row]);
        if (row + kRows < common::kBodyParts.size()) {
            left.resize(kColumnWidth, ' ');
            left += partEntry(common::kBodyParts[row + kRows]);
        }
        text += left + "\n";
    }
    text +=
        "\n"
        "Each converted FILE is told on standard error as \"FILE -> OUTPUT\", each other as\n"
        "\"skelvane-convert: FILE: reason\". A FILE is refused when it is not a BVH file or\n"
        "its output would harm another file, and failed when the system could not read or\n"
        "write it; the other FILEs are converted all the same. The last line sums up the\n"
        "run, such as \"4 files: 2 converted into out/, 1 refused, 1 failed\"; with --dry-run,\n"
        "whose report goes to standard output, \"2 files: 1 would be converted into out/,\n"
        "1 would be refused; nothing was written\".\n"
        "\n"
        "No output is written over a FILE of the same run or over an output the run has\n"
        "already written.\n"
        "\n"
        "Exit status: 0 when every file was converted (or, with --dry-run, would be), 1 when\n"
        "any was refused or failed, 2 for a usage error, a DIR that does not exist or is not\n"
        "a folder included. With --check: 0 when no FILE has an error (warnings are\n"
        "printed all the same), 1 when one has or cannot be read, 2 for a usage error.\n";
    return text;
}

std::string outputNameFor(const std::filesystem::path& source, std::string_view target) {
    const std::string title = common::titleOf(conversion::platform::bytesOfPath(source.filename()));
    return common::outputFileName(title + "_" + std::string(target));
}

}  // namespace skelvane::cli
