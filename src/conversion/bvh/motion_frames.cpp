#include "conversion/bvh/motion_frames.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "conversion/files/read_blocks.h"

namespace skelvane::conversion {

namespace {

// Most bytes of a word that is no number that a fault shows.
constexpr std::size_t kShownWord = 24;

// What a malformed keyword line lacks or has too much of.
std::string malformed(LineKind kind) {
    const std::string keyword(keywordText(kind));
    switch (kind) {
        case LineKind::Root:
        case LineKind::Joint:
            return keyword + " without a name";
        case LineKind::Offset:
            return "OFFSET does not hold three numbers";
        case LineKind::Channels:
            return "CHANNELS does not hold a count and as many channels";
        case LineKind::Frames:
            return "Frames: does not hold one count";
        case LineKind::FrameTime:
            return "Frame Time: does not hold one number";
        case LineKind::CloseBrace:
            return "} closes nothing";
        default:
            return keyword + " followed by more words";
    }
}

std::string backquoted(std::string_view name) {
    return '`' + std::string(name) + '`';
}

std::string jointName(const Joint& joint) {
    return joint.endSite ? std::string("an End Site") : backquoted(joint.name);
}

}  // namespace

MotionReader::MotionReader(std::uint64_t mostBytes)
    : reader_(ReaderOptions{Reading::Hierarchy, PlainLines::Joined}), mostBytes_(mostBytes) {}

void MotionReader::feed(std::string_view block) {
    reader_.feed(block, *this);
}

void MotionReader::take(const LinePiece& piece) {
    const Line& line = piece.line;
    // A line whose first word a block cut may still be a frame line.
    if (inMotion_ && (line.kind == LineKind::Pending || line.kind == LineKind::Frame)) {
        readNumbers(piece.bytes);
    }
    if (piece.lineEnds) endLine(line);
}

void MotionReader::takePlainLines(std::string_view lines, const Line& last) {
    const auto count = static_cast<std::uint64_t>(std::count(lines.begin(), lines.end(), '\n'));
    std::uint64_t number = last.number + 1 - count;
    if (last.kind != LineKind::Frame) {
        fault(number, "a line that is no part of a hierarchy");
        return;
    }
    // Each line of a run ends in CR LF.
    while (!lines.empty()) {
        const std::size_t end = lines.find('\r');
        readNumbers(lines.substr(0, end));
        endFrameLine(number++);
        lines.remove_prefix(end + 2);
    }
}

void MotionReader::readNumbers(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (isBlank(bytes[at])) {
            endNumber();
            ++at;
            continue;
        }
        std::size_t stop = at;
        while (stop < bytes.size() && !isBlank(bytes[stop])) ++stop;
        const std::string_view piece = bytes.substr(at, stop - at);
        if (word_.empty() && stop < bytes.size()) {
            // The whole word is here, as most are.
            takeWord(piece);
        } else {
            // A word the piece's end may cut, kept until its end comes.
            word_.append(piece.substr(
                0, kMostNumberBytes + 1 - std::min(kMostNumberBytes + 1, word_.size())));
        }
        at = stop;
    }
}

void MotionReader::endNumber() {
    if (word_.empty()) return;
    takeWord(word_);
    word_.clear();
}

void MotionReader::takeWord(std::string_view word) {
    const std::optional<float> number = numberOf<float>(word);
    if (!number) {
        if (notNumber_.empty()) notNumber_ = word.substr(0, kShownWord);
    } else if (numbers_ < line_.size()) {
        line_[numbers_] = *number;
    }
    ++numbers_;
}

void MotionReader::endLine(const Line& line) {
    if (line.kind == LineKind::Frame) {
        endFrameLine(line.number);
        return;
    }
    // A channel of another name is only not drawn.
    if (!line.wellFormed() && line.fault != LineFault::NotAChannel) {
        fault(line.number, malformed(line.kind));
    }
    switch (line.kind) {
        case LineKind::Other:
            fault(line.number, "a line that is no part of a hierarchy");
            break;
        case LineKind::Motion:
            if (!inMotion_) {
                checkHierarchy();
                layOut();
            }
            inMotion_ = true;
            break;
        case LineKind::Blank:
        case LineKind::Frames:
        case LineKind::FrameTime:
            break;
        default:
            if (inMotion_) fault(line.number, std::string(keywordText(line.kind)) + " after MOTION");
            break;
    }
    numbers_ = 0;
    notNumber_.clear();
    word_.clear();
}

void MotionReader::endFrameLine(std::uint64_t number) {
    endNumber();
    if (!sampling_) planSampling();
    const std::uint64_t index = frames_.frameLines++;
    if (!notNumber_.empty()) {
        fault(number, backquoted(notNumber_) + " is not a number");
    } else if (numbers_ != frames_.channels) {
        fault(number, std::to_string(numbers_) + " numbers where the joints' channels take " +
                          std::to_string(frames_.channels));
    } else if (frames_.faultCount == 0 && index % frames_.step == 0) {
        keep(index);
    }
    numbers_ = 0;
    notNumber_.clear();
}

// Once the hierarchy is read: how many values each frame line holds.
void MotionReader::layOut() {
    std::uint64_t channels = 0;
    for (const Joint& joint : frames_.hierarchy.joints) channels += joint.channelCount;
    const std::uint64_t frameBytes = channels * sizeof(float);
    if (frameBytes > mostBytes_) {
        fault(0, "frame lines of " + std::to_string(channels) + " values, more than are kept");
        return;
    }
    frames_.channels = static_cast<std::size_t>(channels);
    line_.assign(frames_.channels, 0.0f);
    if (frameBytes != 0) mostFrames_ = mostBytes_ / frameBytes;
}

// At the first frame line, once the header is read: the step that keeps as many frames as it
// declares within the bound.
void MotionReader::planSampling() {
    sampling_ = true;
    const auto declared = reader_.motion().frames;
    if (mostFrames_ == 0 || !declared || *declared == 0) return;
    frames_.step = (*declared + mostFrames_ - 1) / mostFrames_;
    const std::uint64_t kept = (*declared + frames_.step - 1) / frames_.step;
    frames_.values.reserve(static_cast<std::size_t>(kept * frames_.channels));
}

void MotionReader::keep(std::uint64_t index) {
    const std::size_t channels = frames_.channels;
    std::vector<float>& values = frames_.values;
    if (channels != 0 && frames_.keptFrames == mostFrames_) {
        // Every other frame kept goes, and the step doubles: frame i * step stays kept where
        // i is even, and this frame is kept when it falls on the new step.
        for (std::size_t i = 2; i < frames_.keptFrames; i += 2) {
            std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(i * channels), channels,
                        values.begin() + static_cast<std::ptrdiff_t>(i / 2 * channels));
        }
        frames_.keptFrames = (frames_.keptFrames + 1) / 2;
        values.resize(frames_.keptFrames * channels);
        frames_.step *= 2;
        if (index % frames_.step != 0) return;
    }
    if (values.size() + channels > values.capacity()) {
        // Grown by hand so that the capacity too stays within the bound.
        values.reserve(std::min<std::size_t>(std::max(2 * values.capacity(), channels),
                                             static_cast<std::size_t>(mostFrames_) * channels));
    }
    values.insert(values.end(), line_.begin(), line_.end());
    ++frames_.keptFrames;
}

void MotionReader::fault(std::uint64_t line, std::string what) {
    if (frames_.faults.size() < kMostMotionFaults) {
        frames_.faults.push_back({line, std::move(what)});
    }
    ++frames_.faultCount;
}

// What keeps the joints from being placed, once the hierarchy is read.
void MotionReader::checkHierarchy() {
    frames_.hierarchy = reader_.hierarchy();
    const Hierarchy& hierarchy = frames_.hierarchy;
    if (reader_.start() != BvhStartCheck::Verdict::Bvh) {
        fault(0, "the file does not start with HIERARCHY");
    }
    if (hierarchy.declared == 0) fault(0, "no joint is declared");
    if (hierarchy.cut()) {
        fault(0, std::to_string(hierarchy.declared) + " joints, more than the " +
                     std::to_string(kMostJoints) + " kept");
    }
    for (const Joint& joint : hierarchy.joints) {
        if (joint.openLine == 0) {
            fault(joint.line, jointName(joint) + " without its {");
        } else if (joint.closeLine == 0) {
            fault(joint.line, jointName(joint) + " without its }");
        }
        if (joint.offsetLine == 0) fault(joint.line, jointName(joint) + " without OFFSET");
        if (!joint.endSite && joint.channelsLine == 0) {
            fault(joint.line, jointName(joint) + " without CHANNELS");
        }
        if (joint.channelCount > kMostChannels) {
            fault(joint.channelsLine, std::to_string(joint.channelCount) + " channels of " +
                                          jointName(joint) + ", more than are kept");
        }
    }
}

MotionFrames MotionReader::finish() {
    reader_.finish(*this);
    if (!inMotion_) {
        checkHierarchy();
        fault(0, "no MOTION line");
    }
    frames_.header = reader_.motion();
    std::stable_sort(frames_.faults.begin(), frames_.faults.end(),
                     [](const MotionFault& a, const MotionFault& b) { return a.line < b.line; });
    if (frames_.faultCount != 0) {
        frames_.values = {};
        frames_.keptFrames = 0;
    }
    return std::move(frames_);
}

Result<MotionFrames> readMotionFrames(platform::Handle in,
                                      const std::function<bool(std::uint64_t)>& onBlock,
                                      std::uint64_t mostBytes) {
    MotionReader reader(mostBytes);
    ReadBlock block;
    std::uint64_t read = 0;
    bool stopped = false;
    const std::error_code error = readBlocks(in, block.bytes(), [&](std::string_view bytes) {
        reader.feed(bytes);
        read += bytes.size();
        stopped = !onBlock(read);
        return !stopped && !reader.hopeless();
    });
    if (error) return error;
    if (stopped) return std::errc::operation_canceled;
    return reader.finish();
}

}  // namespace skelvane::conversion
