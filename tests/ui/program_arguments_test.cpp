#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_files.h"
#include "ui/program_arguments.h"

namespace skelvane::ui {
namespace {

// The request in words: "help", "version", "error: ..." or "FILE|FILE; qt ARG ARG", with
// "; map MAP" when --map is given.
std::string parsed(std::vector<std::string> args) {
    args.insert(args.begin(), "skelvane");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    const auto request = parseProgramArguments(static_cast<int>(argv.size()), argv.data());
    if (std::holds_alternative<ShowProgramHelp>(request)) return "help";
    if (std::holds_alternative<ShowProgramVersion>(request)) return "version";
    if (const auto* error = std::get_if<ProgramUsageError>(&request))
        return "error: " + error->message;
    const auto& open = std::get<OpenWindow>(request);
    std::string words;
    for (const std::string& file : open.files) words += (words.empty() ? "" : "|") + file;
    words += "; qt";
    for (const char* arg : open.qtArguments) words += arg ? " " + std::string(arg) : " (end)";
    return open.map ? words + "; map " + *open.map : words;
}

TEST(ProgramArguments, SetsQtsOptionsAsideAndTakesTheRestAsFilesInOrder) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"b.bvh", "a.bvh", "-"}, "b.bvh|a.bvh|-; qt skelvane (end)"},
        // File names are bytes, kept as given whatever their encoding.
        {{"bad\xff\xfe.bvh"}, "bad\xff\xfe.bvh; qt skelvane (end)"},
        {{"-platform", "offscreen", "x.bvh", "--style", "Fusion", "-style=Windows", "-reverse"},
         "x.bvh; qt skelvane -platform offscreen --style Fusion -style=Windows -reverse (end)"},
        {{"a.bvh", "--", "--help", "-style", "Fusion"},
         "a.bvh|--help|-style|Fusion; qt skelvane (end)"},
        {{"a.bvh", "-h", "--frob"}, "help"},
        {{"--version"}, "version"},
        {{"a.bvh", "--frob", "--help"}, "error: unknown option --frob"},
        {{"-version"}, "error: unknown option -version"},
        {{"a.bvh", "-platform"}, "error: option -platform needs a value"},
        {{"--map", "auto", "a.bvh", "-m", "-x.csv"}, "a.bvh; qt skelvane (end); map -x.csv"},
        {{"--map=mixamo-max", "a.bvh", "-mmy rig.csv"}, "a.bvh; qt skelvane (end); map my rig.csv"},
        {{"a.bvh", "--map"}, "error: option --map needs a value"},
        {{"--map=", "a.bvh"}, "error: option --map needs a value"}};
    for (const auto& [args, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(parsed(args), expected);
    }
}

TEST(ProgramArguments, MapIsAutoAPresetOrAMappingFileLoadedOnceAndNamedByItsAbsolutePath) {
    namespace t = skelvane::testing;
    const t::TempFolder folder;
    const t::WorkingDirectory inFolder(folder.path());
    std::filesystem::create_directory(folder / "maps");
    t::writeFile(folder / "maps/rig.csv", "# skelvane-map 1\nfrom,to,part\nroot_bone,Hips,\n");
    t::writeFile(folder / "maps/bad.csv", "# skelvane-map 1\nfrom,to\n");
    conversion::MappingCatalog catalog;
    const auto chosen = [&](std::string_view value) -> std::string {
        const auto choice = mappingChoiceOf(value, catalog);
        if (const auto* problem = std::get_if<std::string>(&choice)) return "error: " + *problem;
        const auto& mapping = std::get<joblist::MappingChoice>(choice);
        if (mapping.bestFit) return "best fit";
        const std::string& name = mapping.mapping->name;
        return catalog.find(name) == mapping.mapping ? name : "not in catalog";
    };
    const std::pair<std::string_view, std::string> cases[] = {
        {"auto", "best fit"},
        {"cmu-max", "cmu-max"},
        {"maps/rig.csv", (folder / "maps/rig.csv").string()},
        {"cmu", "error: --map: no mapping named 'cmu' (see --help)"},
        {"maps/bad.csv", "error: maps/bad.csv:2: missing header row 'from,to,part'"},
        {"maps/gone.csv", "error: maps/gone.csv: No such file or directory"},
        {"gone.csv", "error: gone.csv: No such file or directory"}};
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(chosen(value), expected);
    }
}

}  // namespace
}  // namespace skelvane::ui
