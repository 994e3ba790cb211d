#include "conversion/stream_converter.h"

#include <cerrno>
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
    for (const RenameRule& rule : kRenameRules) {
        table[static_cast<unsigned char>(rule.search.front())] = kSearchStart;
    }
    table['\r'] = kLineEnd;
    table['\n'] = kLineEnd;
    return table;
}();

// Collects output in one block and hands it to the stream in large writes.
class BlockWriter {
public:
    explicit BlockWriter(std::FILE* out) : out_(out) { buffer_.reserve(kBlockSize + 4096); }

    bool writeLine(std::string_view line) {
        buffer_.append(line);
        buffer_.append(kCrLf);
        return buffer_.size() < kBlockSize || flush();
    }

    bool flush() {
        if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) {
            return false;
        }
        buffer_.clear();
        return std::fflush(out_) == 0;
    }

private:
    std::FILE* out_;
    std::string buffer_;
};

}  // namespace

std::optional<StreamError> convertStream(std::FILE* in, std::FILE* out,
                                         const DroppedParts& dropped) {
    LineRenamer renamer(dropped);
    BlockWriter writer(out);
    std::vector<char> block(kBlockSize);

    // A line cut by the end of a block waits here for the rest of it.
    std::string partialLine;
    bool partialMayMatch = false;
    // A block that ended in CR: an LF at the start of the next one belongs to that CR.
    bool skipLeadingLf = false;

    auto writeLine = [&](std::string_view line, bool mayMatch) {
        return writer.writeLine(mayMatch ? renamer.rename(line) : line);
    };
    auto writeError = [] { return StreamError{StreamError::Side::Write, errno}; };

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

        while (pos < size) {
            std::size_t end = pos;
            bool mayMatch = false;
            unsigned char cls = kPlain;
            for (; end < size; ++end) {
                cls = kByteClasses[static_cast<unsigned char>(data[end])];
                if (cls == kLineEnd) break;
                mayMatch |= cls == kSearchStart;
            }
            const std::string_view piece(data + pos, end - pos);
            if (end == size) {
                partialLine.append(piece);
                partialMayMatch |= mayMatch;
                break;
            }

            bool written;
            if (partialLine.empty()) {
                written = writeLine(piece, mayMatch);
            } else {
                partialLine.append(piece);
                written = writeLine(partialLine, mayMatch || partialMayMatch);
                partialLine.clear();
                partialMayMatch = false;
            }
            if (!written) return writeError();

            if (data[end] == '\r') {
                if (end + 1 < size) {
                    if (data[end + 1] == '\n') ++end;
                } else {
                    skipLeadingLf = true;
                }
            }
            pos = end + 1;
        }
    }

    // The last line may have no terminator; it is written all the same.
    if (!partialLine.empty() && !writeLine(partialLine, partialMayMatch)) return writeError();
    if (!writer.flush()) return writeError();
    return std::nullopt;
}

}  // namespace skelvane::conversion
