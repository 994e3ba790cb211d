#include "conversion/bvh/bvh_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace skelvane::conversion {
namespace {

// Keeps what a reader hands on: the bytes of every line with "|" where it ends, and each line's
// kind, its fault and the word at fault, and the bytes handed on as its name.
struct EventRecorder final : BvhVisitor {
    std::string lines;
    struct Seen {
        LineKind kind;
        LineFault fault;
        std::string faultWord;
        std::string name;
    };
    std::vector<Seen> seen;
    std::string name;

    void take(const LinePiece& piece) override {
        lines += piece.bytes;
        if (piece.inName) name += piece.bytes;
        if (!piece.lineEnds) return;
        lines += '|';
        seen.push_back({piece.line.kind, piece.line.fault, std::string(piece.line.faultWord),
                        std::exchange(name, {})});
    }
    void takePlainLines(std::string_view run, const Line&) override {
        for (const char byte : run) {
            if (byte == '\n') {
                lines += '|';
                seen.push_back({LineKind::Frame, LineFault::None, {}, {}});
            } else if (byte != '\r') {
                lines += byte;
            }
        }
    }
};

// Every way of feeding `input` that the tests try: whole, cut in two at each place, byte by byte.
std::vector<std::vector<std::string_view>> waysToFeed(std::string_view input) {
    std::vector<std::vector<std::string_view>> ways;
    for (std::size_t cut = 0; cut <= input.size(); ++cut) {
        ways.push_back({input.substr(0, cut), input.substr(cut)});
    }
    std::vector<std::string_view> bytes;
    for (std::size_t i = 0; i < input.size(); ++i) bytes.push_back(input.substr(i, 1));
    ways.push_back(bytes);
    return ways;
}

void read(BvhReader& reader, const std::vector<std::string_view>& pieces, BvhVisitor& visitor) {
    for (const std::string_view piece : pieces) reader.feed(piece, visitor);
    reader.finish(visitor);
}

constexpr std::string_view kSmallFile =
    "HIERARCHY\r\n"
    "ROOT Hips\r\n"
    "{\r\n"
    "\tOFFSET 0 35.5 -1e2\r\n"
    "\tCHANNELS 6 Xposition Yposition Zposition Zrotation Xrotation Yrotation\r\n"
    "\tJOINT left hip \t\r\n"
    "\t{\r\n"
    "\t\tOFFSET 5 -2 0\r\n"
    "\t\tCHANNELS 3 Zrotation Xrotation Yrotation\n"
    "\t\tEnd Site\r"
    "\t\t{\r\n"
    "\t\t\tOFFSET 0 -10 0\r\n"
    "\t\t}\r\n"
    "\t}\r\n"
    "\tJOINT chest\r\n"
    "\t{\r\n"
    "\t\tOFFSET 0 5 0\r\n"
    "\t\tCHANNELS 3 Zrotation Xrotation Yrotation\r\n"
    "\t}\r\n"
    "}\r\n"
    "MOTION\r\n"
    "Frames: 2\r\n"
    "Frame Time: 0.0125\r\n"
    "0 35.5 0 0 0 0 0 0 0 0 0 0\r\n"
    "0 35.5 0 0 0 0 0 0 0 0 0 0";

TEST(BvhReader, ReadsTheHierarchyAndTheMotionHeaderFedInPiecesOfAnySize) {
    using enum Channel;
    struct Expected {
        std::string name;
        std::size_t parent;
        bool endSite;
        std::uint64_t line, openLine, closeLine;
        std::array<double, 3> offset;
        std::vector<Channel> channels;
    };
    const Expected expected[] = {
        {"Hips",
         kNoJoint,
         false,
         2,
         3,
         20,
         {0, 35.5, -100},
         {Xposition, Yposition, Zposition, Zrotation, Xrotation, Yrotation}},
        {"left hip", 0, false, 6, 7, 14, {5, -2, 0}, {Zrotation, Xrotation, Yrotation}},
        {"", 1, true, 10, 11, 13, {0, -10, 0}, {}},
        {"chest", 0, false, 15, 16, 19, {0, 5, 0}, {Zrotation, Xrotation, Yrotation}},
    };
    for (const PlainLines plain : {PlainLines::OneByOne, PlainLines::Joined}) {
        for (const auto& pieces : waysToFeed(kSmallFile)) {
            SCOPED_TRACE(::testing::Message() << pieces.size() << " pieces, first "
                                              << pieces.front().size() << " bytes");
            BvhReader reader({Reading::Hierarchy, plain});
            EventRecorder recorder;
            read(reader, pieces, recorder);
            const Hierarchy& hierarchy = reader.hierarchy();
            EXPECT_EQ(hierarchy.hierarchyLine, 1u);
            EXPECT_EQ(hierarchy.declared, 4u);
            ASSERT_EQ(hierarchy.joints.size(), std::size(expected));
            for (std::size_t i = 0; i < hierarchy.joints.size(); ++i) {
                const Joint& joint = hierarchy.joints[i];
                const Expected& e = expected[i];
                SCOPED_TRACE("joint " + std::to_string(i));
                EXPECT_EQ(joint.name, e.name);
                EXPECT_EQ(joint.nameLength, e.name.size());
                EXPECT_EQ(joint.parent, e.parent);
                EXPECT_EQ(joint.endSite, e.endSite);
                EXPECT_EQ(joint.line, e.line);
                EXPECT_EQ(joint.openLine, e.openLine);
                EXPECT_EQ(joint.closeLine, e.closeLine);
                EXPECT_EQ(joint.offset, e.offset);
                EXPECT_EQ(joint.channelCount, e.channels.size());
                EXPECT_EQ(joint.channels, e.channels);
            }
            const MotionHeader& motion = reader.motion();
            EXPECT_EQ(motion.motionLine, 21u);
            EXPECT_EQ(motion.framesLine, 22u);
            EXPECT_EQ(motion.frames, 2u);
            EXPECT_EQ(motion.frameTimeLine, 23u);
            EXPECT_EQ(motion.frameTime, 0.0125);
            EXPECT_EQ(motion.frameLines, 2u);
            EXPECT_EQ(motion.firstFrameLine, 24u);
            EXPECT_EQ(reader.lineEnds().crLf, 22u);
            EXPECT_EQ(reader.lineEnds().lf, 1u);
            EXPECT_EQ(reader.lineEnds().cr, 1u);
            EXPECT_EQ(reader.start(), BvhStartCheck::Verdict::Bvh);
            ASSERT_EQ(recorder.seen.size(), 25u);
            EXPECT_EQ(recorder.seen[5].name, "left hip \t") << "the name runs to the line's end";
        }
    }
}

TEST(BvhReader, TellsEachLinesKindByItsWords) {
    using enum LineKind;
    using enum LineFault;
    struct Case {
        const char* name;
        std::string_view line;
        LineKind kind;
        LineFault fault;
        std::string_view faultWord = {};
    };
    // Each line comes after the start of a joint, or after MOTION when it is a frame's.
    const Case cases[] = {
        {"root", "  ROOT \t Hips \t", Root, None},
        {"root without a name", "ROOT  ", Root, NoName},
        {"keyword run on", "ROOTS x", Other, None},
        {"keyword with a colon", "JOINT:x", Other, None},
        {"joint", "JOINT a b", Joint, None},
        {"end site", "\tEnd   Site", EndSite, None},
        {"end site with more", "End Site x", EndSite, WordCount},
        {"end site in one word", "EndSite", Other, None},
        {"first of two words alone", "End", Other, None},
        {"offset", "OFFSET +1 -2 3.5e1", Offset, None},
        {"offset of two numbers", "OFFSET 1 2", Offset, WordCount},
        {"offset with a word", "OFFSET 1 2 x", Offset, NotANumber, "x"},
        {"offset of two dots", "OFFSET 1 2.0.1 1e", Offset, NotANumber, "2.0.1"},
        {"offset not finite", "OFFSET 1 2 nan", Offset, NotANumber, "nan"},
        {"channels", "CHANNELS 2 Xrotation Yrotation", Channels, None},
        {"channels short of its count", "CHANNELS 3 Xrotation", Channels, WordCount},
        {"channels without a count", "CHANNELS x", Channels, NotACount, "x"},
        {"channels naming none of the six", "CHANNELS 2 Xrotation xrotation", Channels, NotAChannel,
         "xrotation"},
        {"open brace with more", "{ x", OpenBrace, WordCount},
        {"close brace", "}", CloseBrace, None},
        {"frames right after the colon", "Frames:12", Frames, None},
        {"frames of two counts", "Frames: 1 2", Frames, WordCount},
        {"frames past 64 bits", "Frames: 18446744073709551616", Frames, NotACount,
         "18446744073709551616"},
        {"frame time", "Frame Time:\t0.5", FrameTime, None},
        {"frame time without seconds", "Frame  Time: x", FrameTime, NotANumber, "x"},
        {"frames without colon", "Frames 2", Other, None},
        {"keyword in lower case", "hierarchy", Other, None},
        {"blanks", " \t ", Blank, None},
        {"empty", "", Blank, None},
        {"numbers before motion", "0.5 1", Other, None},
        {"numbers after motion", "MOTION\n0.5 1", Frame, None},
        {"a joint after motion still declares one", "MOTION\nJOINT x", Joint, None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string input = "HIERARCHY\nROOT a\n{\n" + std::string(c.line) + "\n";
        for (const auto& pieces : waysToFeed(input)) {
            BvhReader reader;
            EventRecorder recorder;
            read(reader, pieces, recorder);
            ASSERT_FALSE(recorder.seen.empty());
            EXPECT_EQ(recorder.seen.back().kind, c.kind);
            EXPECT_EQ(recorder.seen.back().fault, c.fault);
            EXPECT_EQ(recorder.seen.back().faultWord, c.faultWord);
        }
    }
    // A closing brace with none open.
    BvhReader reader;
    EventRecorder recorder;
    read(reader, {"}"}, recorder);
    EXPECT_EQ(recorder.seen.back().fault, LineFault::ClosesNothing);
}

TEST(BvhReader, SplitsLinesAtCrLfLfAndALoneCrAcrossPieces) {
    const std::string_view input = "a\r\nb\nc\rd\r\r\n\re";
    for (const ReaderOptions options :
         {ReaderOptions{Reading::Lines, PlainLines::Joined}, ReaderOptions{}}) {
        for (const auto& pieces : waysToFeed(input)) {
            BvhReader reader(options);
            EventRecorder recorder;
            read(reader, pieces, recorder);
            EXPECT_EQ(recorder.lines, "a|b|c|d|||e|");
            EXPECT_EQ(reader.lineEnds().crLf, 2u);
            EXPECT_EQ(reader.lineEnds().lf, 1u);
            EXPECT_EQ(reader.lineEnds().cr, 3u);
            EXPECT_EQ(reader.lineEnds().style(), LineEnds::Mixed);
        }
    }
}

TEST(BvhReader, KeepsWithinItsBoundsWhateverTheFile) {
    BvhReader reader;
    EventRecorder recorder;
    // A name of 8 MB and a CHANNELS line naming a million channels, in pieces of 64 KiB.
    const std::string name(std::size_t{8} << 20, 'n');
    std::string channels = "\nCHANNELS 1000000";
    for (int i = 0; i < 1000000; ++i) channels += " Xrotation";
    const std::string start = "HIERARCHY\nROOT " + name + " \n{" + channels + "\n";
    for (std::size_t at = 0; at < start.size(); at += std::size_t{1} << 16) {
        reader.feed(std::string_view(start).substr(at, std::size_t{1} << 16), recorder);
    }
    // More joints than are kept, nested deeper than that too.
    for (std::size_t i = 0; i < kMostJoints + 10; ++i) reader.feed("JOINT j\n{\n", recorder);
    reader.finish(recorder);
    const Hierarchy& hierarchy = reader.hierarchy();
    ASSERT_EQ(hierarchy.joints.size(), kMostJoints);
    EXPECT_EQ(hierarchy.declared, kMostJoints + 11);
    EXPECT_TRUE(hierarchy.cut());
    const Joint& root = hierarchy.joints.front();
    EXPECT_EQ(root.name, name.substr(0, kKeptJointNameBytes));
    EXPECT_EQ(root.nameLength, name.size());
    EXPECT_EQ(root.channelCount, 1000000u);
    EXPECT_EQ(root.channels.size(), kMostChannels);
    EXPECT_EQ(hierarchy.joints.back().parent, kMostJoints - 2);
}

TEST(BvhReader, ReadsANumberToTheBitAsFromCharsDoes) {
    // Short plain decimals take a quicker way than std::from_chars; they must land on the same
    // double, sign of zero included, and the words it does not take must still be read.
    const std::pair<const char*, std::optional<double>> words[] = {
        {"0.1", 0.1},
        {"-0.000000", -0.0},
        {"5.", 5.0},
        {".5", 0.5},
        {"+2.5", 2.5},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1e3", 1000.0},
        {"123456789.123456", 123456789.123456},
        {"0.30000000000000004", 0.30000000000000004}};
    for (const auto& [word, value] : words) {
        const std::optional<double> read = numberOf(word);
        ASSERT_EQ(read.has_value(), value.has_value()) << word;
        if (value) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(*read), std::bit_cast<std::uint64_t>(*value))
                << word;
        }
    }
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 15);
        std::string word = random() % 2 != 0 ? "-" : "";
        const int dot = static_cast<int>(random() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == dot) word += '.';
            word += static_cast<char>('0' + random() % 10);
        }
        double expected = 0;
        std::from_chars(word.data(), word.data() + word.size(), expected);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(numberOf(word).value()),
                  std::bit_cast<std::uint64_t>(expected))
            << word;
    }
}

}  // namespace
}  // namespace skelvane::conversion
