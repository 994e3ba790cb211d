#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/program_arguments.h"

namespace skelvane::ui {
namespace {

// The request in words: "help", "version", "error: ..." or "FILE|FILE; qt ARG ARG".
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
    return words;
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
        {{"a.bvh", "-platform"}, "error: option -platform needs a value"}};
    for (const auto& [args, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(parsed(args), expected);
    }
}

}  // namespace
}  // namespace skelvane::ui
