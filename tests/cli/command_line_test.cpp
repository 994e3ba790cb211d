#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace skelvane::cli {
namespace {

// A command as one line, so that each row of the table below spells out all it asks for.
std::string described(const Command& command) {
    if (std::holds_alternative<ShowHelp>(command)) return "help";
    if (std::holds_alternative<ShowVersion>(command)) return "version";
    if (const auto* error = std::get_if<UsageError>(&command)) return "usage: " + error->message;
    const ConvertRequest& request = std::get<ConvertRequest>(command);
    std::string text = "files";
    for (const std::string& file : request.files) text += " [" + file + "]";
    if (!request.outputDir.empty()) text += " out=[" + request.outputDir.string() + "]";
    for (int part = 1; part <= common::kPartCount; ++part) {
        if (request.dropped.test(static_cast<std::size_t>(part)))
            text += " drop=" + std::to_string(part);
    }
    if (!request.map.empty()) text += " map=[" + request.map + "]";
    if (!request.to.empty()) text += " to=[" + request.to + "]";
    if (!request.from.empty()) text += " from=[" + request.from + "]";
    for (const auto& [set, word] : {std::pair{request.dryRun, " dry-run"},
                                    {request.check, " check"},
                                    {request.json, " json"},
                                    {request.force, " force"},
                                    {request.quiet, " quiet"},
                                    {request.listMaps, " list-maps"},
                                    {request.listRigs, " list-rigs"}}) {
        if (set) text += word;
    }
    return text;
}

struct ParseCase {
    const char* name;
    std::vector<std::string> args;
    const char* expected;
};

const ParseCase kParseCases[] = {
    {"LongValueAfterEquals", {"--output-dir=out", "a.bvh"}, "files [a.bvh] out=[out]"},
    {"ShortValueAttached", {"-oout", "a.bvh"}, "files [a.bvh] out=[out]"},
    {"BundleEndsInAttachedValue", {"-nqoout", "a.bvh"}, "files [a.bvh] out=[out] dry-run quiet"},
    {"BundleEndsInValueLetter", {"-nqo", "out", "a.bvh"}, "files [a.bvh] out=[out] dry-run quiet"},
    {"ValueTakesTheRestOfTheBundle", {"-onq", "a.bvh"}, "files [a.bvh] out=[nq]"},
    {"ValueMayStartWithADash", {"-o", "-n", "a.bvh"}, "files [a.bvh] out=[-n]"},
    {"ValueAfterEqualsKeepsItsEquals", {"--map=a=b.map", "a.bvh"}, "files [a.bvh] map=[a=b.map]"},
    {"DropByNumberJointAndPartName",
     {"--drop=7", "--drop", "rthigh", "--drop=lThiqh", "a.bvh"},
     "files [a.bvh] drop=7 drop=16 drop=21"},
    {"MapLongAndShort",
     {"-m", "auto", "a.bvh", "--map", "poser-max"},
     "files [a.bvh] map=[poser-max]"},
    {"ToAloneFindsEachSourcesRig", {"--to=sl", "a.bvh"}, "files [a.bvh] to=[sl] from=[auto]"},
    {"FromGivenWithTo",
     {"--from", "mixamo", "a.bvh", "--to", "rigs/my.csv"},
     "files [a.bvh] to=[rigs/my.csv] from=[mixamo]"},
    {"MapAutoIsFromAutoToMax", {"-m", "auto", "a.bvh"}, "files [a.bvh] to=[max] from=[auto]"},
    {"FromWithoutTo", {"--from", "mixamo", "a.bvh"}, "usage: --from: goes only with --to"},
    {"MapWithTo",
     {"--map", "auto", "--to", "sl", "a.bvh"},
     "usage: --map: goes not with --to or --from (--map auto is --from auto --to max)"},
    {"MapWithFrom",
     {"-m", "poser-max", "--from", "auto", "a.bvh"},
     "usage: --map: goes not with --to or --from (--map auto is --from auto --to max)"},
    {"ListRigsNeedsNoFile", {"--list-rigs"}, "files list-rigs"},
    {"OptionsAfterFiles",
     {"a.bvh", "-n", "b.bvh", "--force"},
     "files [a.bvh] [b.bvh] dry-run force"},
    {"DoubleDashEndsOptions",
     {"-n", "--", "-q", "--json", "--"},
     "files [-q] [--json] [--] dry-run"},
    {"LoneDashAndEmptyAreFiles", {"-", "", "-n"}, "files [-] [] dry-run"},
    {"ListMapsNeedsNoFile", {"--list-maps"}, "files list-maps"},
    {"HelpInABundle", {"a.bvh", "-nh"}, "help"},
    {"FirstOfHelpAndAnErrorWins", {"--help", "--bogus"}, "help"},
    {"ErrorBeforeHelpWins", {"--bogus", "--help"}, "usage: --bogus: unknown option"},
    {"AbbreviationIsUnknown",
     {"--dry", "a.bvh"},
     "usage: --dry: unknown option (did you mean --dry-run?)"},
    {"AmbiguousAbbreviationIsJustUnknown", {"--d", "a.bvh"}, "usage: --d: unknown option"},
    {"UnknownLetterInABundle", {"-nx", "a.bvh"}, "usage: -x: unknown option"},
    {"UnknownLetterBeyondAsciiIsNamedWhole",
     {"-n\xc3\xa9", "a.bvh"},
     "usage: -\xc3\xa9: unknown option"},
    {"UnknownCharacterCutShortIsNamedAsFarAsItGoes",
     {"-\xe2\x82", "a.bvh"},
     "usage: -\xe2\x82: unknown option"},
    {"UnknownLongWithValue", {"--frobnicate=3", "a.bvh"}, "usage: --frobnicate: unknown option"},
    {"FlagGivenAValue", {"--json=yes", "-n", "a.bvh"}, "usage: --json: takes no value"},
    {"LongValueMissing", {"a.bvh", "--drop"}, "usage: --drop: needs a body part"},
    {"ShortValueMissingAtBundleEnd", {"a.bvh", "-no"}, "usage: -o: needs a folder"},
    {"EmptyValue", {"--output-dir=", "a.bvh"}, "usage: --output-dir: needs a folder"},
    {"UnknownPart",
     {"--drop", "elbow", "a.bvh"},
     "usage: --drop: unknown body part 'elbow' (use 1..23 or a joint name such as rShldr)"},
    {"NoFile", {"-n"}, "usage: no input file given"},
    {"JsonWithoutDryRun",
     {"--json", "a.bvh"},
     "usage: --json: goes only with --dry-run or --check"},
    {"CheckWithJson", {"--json", "a.bvh", "--check"}, "files [a.bvh] check json"},
    {"CheckAndDryRunAreTwoRuns",
     {"--check", "-n", "a.bvh"},
     "usage: --check: cannot go with --dry-run"},
};

// Names the case in ctest's list instead of its bytes.
void PrintTo(const ParseCase& parseCase, std::ostream* out) {
    *out << parseCase.name;
}

class ParseCommandLine : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLine, ReadsArgumentsAsGnuToolsDo) {
    EXPECT_EQ(described(parseCommandLine(GetParam().args)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseCommandLine, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skelvane::cli
