#include "conversion/stream_converter.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace skelvane::conversion {

namespace {

constexpr std::size_t kBlockSize = 1 << 20;
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

// Collects small pieces of output and writes large ones straight through.
class OutputWriter {
public:
    explicit OutputWriter(std::FILE* out) : out_(out) { buffer_.reserve(kBlockSize + 4096); }

    bool write(std::string_view bytes) {
        if (bytes.size() >= kDirectWrite) {
            return drain() && std::fwrite(bytes.data(), 1, bytes.size(), out_) == bytes.size();
        }
        buffer_.append(bytes);
        return buffer_.size() < kBlockSize || drain();
    }

    bool writeLine(std::string_view line) {
        buffer_.append(line);
        buffer_.append(kCrLf);
        return buffer_.size() < kBlockSize || drain();
    }

    bool flush() { return drain() && std::fflush(out_) == 0; }

private:
    static constexpr std::size_t kDirectWrite = 64 * 1024;

    bool drain() {
        if (!buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) {
            return false;
        }
        buffer_.clear();
        return true;
    }

    std::FILE* out_;
    std::string buffer_;
};

}  // namespace

std::optional<StreamError> convertStream(std::FILE* in, std::FILE* out,
                                         const DroppedParts& dropped) {
    LineRenamer renamer(dropped);
    OutputWriter writer(out);
    std::vector<char> block(kBlockSize);

    // A line cut by the end of a block waits here for the rest of it.
    std::string partialLine;
    bool partialMayMatch = false;
    // A block that ended in CR: an LF at the start of the next one belongs to that CR.
    bool skipLeadingLf = false;

    auto writeError = [] { return StreamError{StreamError::Side::Write, errno ? errno : EIO}; };

    for (;;) {
        errno = 0;
        const std::size_t size = std::fread(block.data(), 1, block.size(), in);
        if (size == 0) {
            if (std::ferror(in)) return StreamError{StreamError::Side::Read, errno ? errno : EIO};
            break;
        }
        const char* data = block.data();
        std::size_t pos = 0;
        if (skipLeadingLf && data[0] == '\n') pos = 1;
        skipLeadingLf = false;

        // Lines that come out byte for byte as they went in (no rule matched, CR LF end) are
        // not copied: they pile up in this stretch of the block, written in one go.
        std::size_t unchangedFrom = pos;
        auto writeUnchanged = [&](std::size_t upTo) {
            const bool ok = writer.write({data + unchangedFrom, upTo - unchangedFrom});
            unchangedFrom = upTo;
            return ok;
        };

        while (pos < size) {
            bool mayMatch = false;
            std::size_t end = findLineEnd(data, pos, size, mayMatch);
            const std::string_view piece(data + pos, end - pos);
            if (end == size) {
                partialLine.append(piece);
                partialMayMatch |= mayMatch;
                break;
            }
            const bool endsInCrLf = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n';

            std::string_view line = piece;
            if (!partialLine.empty()) {
                partialLine.append(piece);
                line = partialLine;
                mayMatch |= partialMayMatch;
            }
            const std::string_view renamed = mayMatch ? renamer.rename(line) : line;
            const bool unchanged = renamed.data() == piece.data() && endsInCrLf;
            if (!unchanged && !(writeUnchanged(pos) && writer.writeLine(renamed))) {
                return writeError();
            }
            partialLine.clear();
            partialMayMatch = false;

            if (data[end] == '\r') {
                if (endsInCrLf) {
                    ++end;
                } else if (end + 1 == size) {
                    skipLeadingLf = true;
                }
            }
            pos = end + 1;
            if (!unchanged) unchangedFrom = pos;
        }
        if (!writeUnchanged(pos)) return writeError();
    }

    // The last line may have no terminator; it is written all the same.
    if (!partialLine.empty() &&
        !writer.writeLine(partialMayMatch ? renamer.rename(partialLine) : partialLine)) {
        return writeError();
    }
    if (!writer.flush()) return writeError();
    return std::nullopt;
}

}  // namespace skelvane::conversion
