#include "conversion/stream_converter.h"

#include <string>
#include <vector>

namespace skelvane::conversion {

namespace {

constexpr std::size_t kBlockSize = 1 << 18;
constexpr std::string_view kCrLf = "\r\n";

// What the line scanner needs to know of a byte: nothing, a line end, or the first byte of
// some search text (so the line has to go through the rules).
enum ByteClass : unsigned char { kPlain = 0, kLineEnd = 1, kSearchStart = 2 };

constexpr std::array<unsigned char, 256> kByteClasses = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        if (kSearchStartBytes[byte]) table[byte] = kSearchStart;
    }
    table['\r'] = kLineEnd;
    table['\n'] = kLineEnd;
    return table;
}();

// Line ends are below 0x20 and every search text starts with a lower-case letter (0x61 and
// up), so a stretch whose bytes all lie in 0x20..0x5F (digits, blanks, signs, dots, capitals:
// motion data) holds nothing the scanner has to look at.
static_assert([] {
    for (int byte = 0x20; byte < 0x60; ++byte) {
        if (kByteClasses[static_cast<std::size_t>(byte)] != kPlain) return false;
    }
    return true;
}());

constexpr std::size_t kStride = 64;

// Shifted down by 0x20, a byte in 0x20..0x5F keeps its top two bits clear and every other
// byte sets one of them. Written as a plain loop over a fixed stride, which the compiler
// turns into vector instructions.
bool mayHoldSpecialBytes(const char* data) {
    unsigned char seen = 0;
    for (std::size_t i = 0; i < kStride; ++i) {
        seen |= static_cast<unsigned char>(static_cast<unsigned char>(data[i]) - 0x20u);
    }
    return (seen & 0xC0u) != 0;
}

// Finds the end of the line that starts at `pos`: the index of its CR or LF, or `size` when
// the block ends first. Tells whether the line may hold a search text.
std::size_t findLineEnd(const char* data, std::size_t pos, std::size_t size, bool& mayMatch) {
    for (;;) {
        if (pos + kStride <= size && !mayHoldSpecialBytes(data + pos)) {
            pos += kStride;
            continue;
        }
        const std::size_t stop = std::min(pos + kStride, size);
        for (; pos < stop; ++pos) {
            const unsigned char cls = kByteClasses[static_cast<unsigned char>(data[pos])];
            if (cls == kLineEnd) return pos;
            mayMatch |= cls == kSearchStart;
        }
        if (pos == size) return size;
    }
}

// Small pieces of output are collected, large ones written straight through.
constexpr std::size_t kBufferSize = 256 * 1024;
constexpr std::size_t kDirectWrite = 64 * 1024;

class HandleSink final : public ByteSink {
public:
    explicit HandleSink(platform::Handle out) : out_(out) {}
    int write(std::string_view bytes) override { return platform::writeAll(out_, bytes); }

private:
    platform::Handle out_;
};

}  // namespace

BlockConverter::BlockConverter(const DroppedParts& dropped, ByteSink& sink)
    : renamer_(dropped), sink_(sink) {
    buffer_.reserve(kBufferSize);
}

int BlockConverter::write(std::string_view bytes) {
    if (bytes.size() >= kDirectWrite) {
        const int error = drain();
        return error != 0 ? error : sink_.write(bytes);
    }
    buffer_.append(bytes);
    return buffer_.size() < kBufferSize ? 0 : drain();
}

int BlockConverter::writeLine(std::string_view line) {
    if (const int error = write(line)) return error;
    buffer_.append(kCrLf);
    return buffer_.size() < kBufferSize ? 0 : drain();
}

int BlockConverter::drain() {
    const int error = buffer_.empty() ? 0 : sink_.write(buffer_);
    buffer_.clear();
    return error;
}

int BlockConverter::convert(std::string_view block) {
    const char* data = block.data();
    const std::size_t size = block.size();
    std::size_t pos = 0;
    if (size == 0) return 0;
    if (skipLeadingLf_ && data[0] == '\n') pos = 1;
    skipLeadingLf_ = false;

    // Bytes that come out as they went in (no rule matched, CR LF end) are not copied: they
    // pile up in this stretch of the block, written in one go.
    std::size_t unchangedFrom = pos;
    const auto writeUnchanged = [&](std::size_t upTo) {
        const int error = write({data + unchangedFrom, upTo - unchangedFrom});
        unchangedFrom = upTo;
        return error;
    };

    while (pos < size) {
        bool mayMatch = false;
        std::size_t end = findLineEnd(data, pos, size, mayMatch);
        const std::string_view piece(data + pos, end - pos);
        const bool renaming = mayMatch || !renamer_.holdsNothing();
        if (end == size) {
            // What the rules have decided of this line goes out now; the few bytes they hold
            // back wait for the rest of the line.
            if (renaming) {
                if (const int error = writeUnchanged(pos)) return error;
                if (const int error = write(renamer_.feed(piece, false))) return error;
                unchangedFrom = size;
            }
            lineOpen_ = true;
            pos = size;
            break;
        }
        lineOpen_ = false;
        const bool endsInCrLf = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n';
        const std::string_view renamed = renaming ? renamer_.feed(piece, true) : piece;
        const bool unchanged =
            renamed.data() == piece.data() && renamed.size() == piece.size() && endsInCrLf;
        if (!unchanged) {
            if (const int error = writeUnchanged(pos)) return error;
            if (const int error = writeLine(renamed)) return error;
        }

        if (data[end] == '\r') {
            if (endsInCrLf) {
                ++end;
            } else if (end + 1 == size) {
                skipLeadingLf_ = true;
            }
        }
        pos = end + 1;
        if (!unchanged) unchangedFrom = pos;
    }
    return writeUnchanged(pos);
}

int BlockConverter::finish() {
    // The last line may have no terminator; it is written all the same.
    if (lineOpen_) {
        lineOpen_ = false;
        if (const int error = writeLine(renamer_.feed({}, true))) return error;
    }
    return drain();
}

std::optional<StreamError> convertStream(platform::Handle in, platform::Handle out,
                                         const DroppedParts& dropped,
                                         std::string_view alreadyRead) {
    HandleSink sink(out);
    BlockConverter converter(dropped, sink);
    if (const int error = converter.convert(alreadyRead)) {
        return StreamError{StreamError::Side::Write, error};
    }
    std::vector<char> block(kBlockSize);
    for (;;) {
        int readError = 0;
        const std::ptrdiff_t count = platform::readSome(in, block.data(), block.size(), readError);
        if (count < 0) return StreamError{StreamError::Side::Read, readError};
        if (count == 0) break;
        if (const int error = converter.convert({block.data(), static_cast<std::size_t>(count)})) {
            return StreamError{StreamError::Side::Write, error};
        }
    }
    if (const int error = converter.finish()) return StreamError{StreamError::Side::Write, error};
    return std::nullopt;
}

}  // namespace skelvane::conversion
