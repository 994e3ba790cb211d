#include "conversion/rename/stream_converter.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "conversion/files/write_behind.h"

namespace skelvane::conversion {

namespace {

// Large enough that a read costs little beside its copy, small enough to stay in the
// processor's cache.
constexpr std::size_t kBlockSize = 1 << 18;
constexpr std::string_view kCrLf = "\r\n";

// A joint line starts, after blanks, with ROOT or JOINT; motion lines start with a digit or a
// sign, so nearly every line is told apart at its first byte.
bool mayBeJointLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && (line[first] == 'R' || line[first] == 'J');
}

}  // namespace

BlockConverter::BlockConverter(const CompiledMapping& mapping, ByteSink& sink)
    : renamer_(makeRenamer(mapping)),
      sink_(sink),
      scanTable_(mapping.scanTable()),
      findLineEnd_(lineEndFinder(mapping.scanTable())),
      jointLinesOnly_(mapping.jointLinesOnly()) {}

std::error_code BlockConverter::write(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (stretchTo_ < block_.size() && bytes.data() == block_.data() + stretchTo_) {
        stretchTo_ += bytes.size();
        return {};
    }
    if (const std::error_code error = writeStretch()) return error;
    // A view into the block (the renamer passes what it does not change as it lies) starts a
    // stretch of its own.
    const std::less<const char*> before;
    if (!before(bytes.data(), block_.data()) &&
        before(bytes.data(), block_.data() + block_.size())) {
        stretchFrom_ = static_cast<std::size_t>(bytes.data() - block_.data());
        stretchTo_ = stretchFrom_ + bytes.size();
        return {};
    }
    return sink_.write(bytes);
}

std::error_code BlockConverter::writeStretch() {
    const std::string_view stretch = block_.substr(stretchFrom_, stretchTo_ - stretchFrom_);
    stretchFrom_ = stretchTo_;
    return stretch.empty() ? std::error_code() : sink_.write(stretch);
}

std::error_code BlockConverter::convert(std::string_view block) {
    if (block.empty()) return {};
    block_ = block;
    std::error_code error = convertLines();
    if (!error) error = writeStretch();
    // The block is the caller's only until this returns.
    block_ = {};
    stretchFrom_ = stretchTo_ = 0;
    return error;
}

std::error_code BlockConverter::convertLines() {
    const char* data = block_.data();
    const std::size_t size = block_.size();
    std::size_t pos = 0;
    if (skipLeadingLf_ && data[0] == '\n') pos = 1;
    skipLeadingLf_ = false;

    // Bytes that come out as they went in (no rule matched, CR LF end) are not handed on line
    // by line: they pile up in the stretch, which runs to `pos` between lines.
    stretchFrom_ = pos;
    while (pos < size) {
        bool mayMatch = false;
        std::size_t end = findLineEnd_(scanTable_, data, pos, size, mayMatch);
        const std::string_view piece(data + pos, end - pos);
        if (jointLinesOnly_) mayMatch = mayBeJointLine(piece);
        const bool renaming = mayMatch || !renamer_->holdsNothing();
        if (end == size) {
            // What the renamer has decided of this line goes out now; the few bytes it holds
            // back wait for the rest of the line. It sees the start of every line that goes on
            // into the next block, so that it knows where the line began.
            stretchTo_ = pos;
            lineOpen_ = true;
            return renamer_->feed(piece, false, *this);
        }
        lineOpen_ = false;
        const bool endsInCrLf = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n';
        const bool unchanged = !renaming && endsInCrLf;
        if (!unchanged) {
            stretchTo_ = pos;
            std::error_code error = renaming ? renamer_->feed(piece, true, *this) : write(piece);
            if (!error) error = write(endsInCrLf ? block_.substr(end, 2) : kCrLf);
            if (error) return error;
        }

        if (data[end] == '\r') {
            if (endsInCrLf) {
                ++end;
            } else if (end + 1 == size) {
                skipLeadingLf_ = true;
            }
        }
        pos = end + 1;
        // A line that came out as it went in, CR LF and all, leaves the stretch running.
        if (!unchanged && stretchTo_ != pos) {
            if (const std::error_code error = writeStretch()) return error;
            stretchFrom_ = pos;
        }
    }
    stretchTo_ = pos;
    return {};
}

std::error_code BlockConverter::finish() {
    // The last line may have no terminator; it is written all the same.
    if (!lineOpen_) return {};
    lineOpen_ = false;
    if (const std::error_code error = renamer_->feed({}, true, *this)) return error;
    return sink_.write(kCrLf);
}

std::optional<StreamError> convertStream(platform::Handle in, platform::Handle out,
                                         const CompiledMapping& mapping,
                                         std::string_view alreadyRead) {
    WriteBehind sink(out);
    std::vector<char> block(kBlockSize);
    return convertStream(in, sink, mapping, alreadyRead, block);
}

std::optional<StreamError> convertStream(platform::Handle in, WriteBehind& out,
                                         const CompiledMapping& mapping,
                                         std::string_view alreadyRead, std::vector<char>& block) {
    BlockConverter converter(mapping, out);
    if (const std::error_code error = converter.convert(alreadyRead)) {
        return StreamError{StreamError::Side::Write, error};
    }
    // Read to the start of a cache line. A large block begins 16 bytes into a page, and there
    // half of the line scan's 32-byte loads straddle two cache lines: on a 2-core AMD EPYC
    // (AVX2) the 50 MB filter took 0.04-0.05 s read there against 0.02 s read here.
    constexpr std::size_t kCacheLine = 64;
    const auto misalignment = reinterpret_cast<std::uintptr_t>(block.data()) % kCacheLine;
    const std::size_t skip = misalignment == 0 ? 0 : kCacheLine - misalignment;
    char* const start = block.data() + std::min(skip, block.size());
    const std::size_t room = block.size() - static_cast<std::size_t>(start - block.data());
    for (;;) {
        std::error_code readError;
        const std::ptrdiff_t count = platform::readSome(in, start, room, readError);
        if (count < 0) return StreamError{StreamError::Side::Read, readError};
        if (count == 0) break;
        if (const std::error_code error =
                converter.convert({start, static_cast<std::size_t>(count)})) {
            return StreamError{StreamError::Side::Write, error};
        }
    }
    std::error_code error = converter.finish();
    if (!error) error = out.flush();
    if (error) return StreamError{StreamError::Side::Write, error};
    return std::nullopt;
}

}  // namespace skelvane::conversion
