#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/bvh/hierarchy.h"
#include "conversion/files/platform.h"
#include "conversion/files/result.h"

namespace skelvane::conversion {

/// Most bytes the values of a file's frames take in memory: a longer take keeps frames sampled
/// evenly from it.
inline constexpr std::uint64_t kMostFrameBytes = std::uint64_t{64} << 20;

/// Most faults a file's motion keeps; the rest are counted.
inline constexpr std::size_t kMostMotionFaults = 20;

/// Something wrong in a file that keeps its motion from being drawn: the line it is on (0 for
/// the file as a whole) and what it is.
struct MotionFault {
    std::uint64_t line = 0;
    std::string what;
};

/// A file's skeleton and motion as far as kept: the hierarchy, the motion header, the values of
/// every `step`-th frame line from the first, and what keeps them from being drawn.
struct MotionFrames {
    Hierarchy hierarchy;
    MotionHeader header;
    /// Values on each frame line: the channels all joints declare together.
    std::size_t channels = 0;
    /// Frame lines the file holds, and the kept frames' values, one frame after another.
    std::uint64_t frameLines = 0;
    std::uint64_t step = 1;
    std::size_t keptFrames = 0;
    std::vector<float> values;
    /// The first kMostMotionFaults faults, by line, and how many there are.
    std::vector<MotionFault> faults;
    std::uint64_t faultCount = 0;

    /// The values of a kept frame (`kept` < keptFrames).
    std::span<const float> frame(std::size_t kept) const {
        return std::span<const float>(values).subspan(kept * channels, channels);
    }
    /// The frame line a kept frame is, counted from 0.
    std::uint64_t frameLine(std::size_t kept) const { return kept * step; }
    /// True when frames were left out to keep within the bound.
    bool sampled() const { return step > 1 && frameLines > 1; }
};

/// Reads a file fed in blocks into MotionFrames, keeping its frames' values within `mostBytes`:
/// when they would take more, every other frame kept is let go and the step doubles, so the
/// frames kept stay evenly spaced whatever the `Frames:` line says. A file whose `Frames:`
/// line is right is sampled at the step that fits once, from its first frame.
class MotionReader final : private BvhVisitor {
public:
    explicit MotionReader(std::uint64_t mostBytes = kMostFrameBytes);

    /// Reads the next block.
    void feed(std::string_view block);
    /// True once so many faults are found that reading on tells nothing more.
    bool hopeless() const { return frames_.faultCount >= kMostMotionFaults; }
    /// Ends the file and hands over what was read.
    MotionFrames finish();

private:
    void take(const LinePiece& piece) override;
    void takePlainLines(std::string_view lines, const Line& last) override;
    void readNumbers(std::string_view bytes);
    void endNumber();
    void takeWord(std::string_view word);
    void endLine(const Line& line);
    void endFrameLine(std::uint64_t number);
    void layOut();
    void planSampling();
    void keep(std::uint64_t index);
    void fault(std::uint64_t line, std::string what);
    void checkHierarchy();

    BvhReader reader_;
    std::uint64_t mostBytes_;
    MotionFrames frames_;
    bool inMotion_ = false;
    bool sampling_ = false;
    // Most frames whose values fit in mostBytes_; none when frames hold no values.
    std::uint64_t mostFrames_ = 0;
    // The frame line at hand: its values, how many words it has, the first word that is no
    // number, and the start of a word that a block cut.
    std::vector<float> line_;
    std::size_t numbers_ = 0;
    std::string notNumber_;
    std::string word_;
};

/// Reads an open file through into MotionFrames (see MotionReader). `onBlock` is told how many
/// bytes have been read after each block; when it returns false the reading stops and ends in
/// std::errc::operation_canceled. Reading stops early, without error, once the file is hopeless.
Result<MotionFrames> readMotionFrames(platform::Handle in,
                                      const std::function<bool(std::uint64_t)>& onBlock,
                                      std::uint64_t mostBytes = kMostFrameBytes);

}  // namespace skelvane::conversion
