#include "conversion/rename/stream_converter.h"

#include <functional>
#include <optional>

#include "conversion/files/write_behind.h"

namespace skelvane::conversion {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Writes to the writer and shows the same bytes to a watcher.
class Tee final : public ByteSink {
public:
    Tee(ByteSink& out, ByteSink& watcher) : out_(out), watcher_(watcher) {}

    std::error_code write(std::string_view bytes) override {
        watcher_.write(bytes);
        return out_.write(bytes);
    }

private:
    ByteSink& out_;
    ByteSink& watcher_;
};

}  // namespace

BlockConverter::BlockConverter(const CompiledMapping& mapping, ByteSink& sink)
    : renamer_(makeRenamer(mapping)),
      sink_(sink),
      // Contains rows look at every line alike; exact ones at the names of joint lines.
      reader_(mapping.scanTable(),
              {mapping.jointLinesOnly() ? Reading::Kinds : Reading::Lines, PlainLines::Joined}),
      jointNamesOnly_(mapping.jointLinesOnly()) {}

std::error_code BlockConverter::write(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (stretchTo_ < block_.size() && bytes.data() == block_.data() + stretchTo_) {
        stretchTo_ += bytes.size();
        return {};
    }
    if (const std::error_code error = writeStretch()) return error;
    // A view into the block (the reader hands lines on as they lie, and the renamer passes
    // what it does not change) starts a stretch of its own.
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
    if (block.empty() || error_) return error_;
    block_ = block;
    reader_.feed(block, *this);
    if (!error_) error_ = writeStretch();
    // The block is the caller's only until this returns.
    block_ = {};
    stretchFrom_ = stretchTo_ = 0;
    return error_;
}

void BlockConverter::take(const LinePiece& piece) {
    // Only a line that holds where some row's text may start can change (the scan table marks
    // those bytes), or under an exact mapping only a joint line's name; and whatever comes
    // while the renamer holds part of a line goes through it.
    const bool mayChange = jointNamesOnly_ ? piece.inName : piece.marked;
    if (!mayChange && !renamerHolds_) {
        // Nearly every line: it follows the stretch and ends in CR LF, and so extends it.
        const char* const next = block_.data() + stretchTo_;
        const std::size_t size = piece.bytes.size();
        if (piece.bytes.data() == next &&
            (!piece.lineEnds ||
             (piece.terminator.size() == 2 && piece.terminator.data() == next + size))) {
            stretchTo_ += size + piece.terminator.size();
            return;
        }
    }
    if (error_) return;
    if (mayChange || renamerHolds_) {
        error_ = renamer_->feed(piece.bytes, piece.lineEnds, *this);
        renamerHolds_ = !renamer_->holdsNothing();
    } else {
        error_ = pass(piece.bytes);
    }
    // A CR LF in the block goes out as it lies, so that a line that came in whole with it
    // leaves the stretch running.
    if (!error_ && piece.lineEnds) {
        error_ = piece.terminator == kCrLf ? pass(piece.terminator) : write(kCrLf);
    }
}

void BlockConverter::takePlainLines(std::string_view lines, const Line&) {
    // No row can change them, and they end in CR LF already.
    if (!error_) error_ = pass(lines);
}

std::error_code BlockConverter::finish() {
    // The last line may have no terminator; it is written all the same.
    reader_.finish(*this);
    return error_;
}

Failure convertStream(platform::Handle in, WriteBehind& out, const CompiledMapping& mapping,
                      std::string_view alreadyRead, ReadBlock& block, ByteSink* watcher) {
    std::optional<Tee> tee;
    if (watcher != nullptr) tee.emplace(out, *watcher);
    BlockConverter converter(mapping, tee ? static_cast<ByteSink&>(*tee) : out);
    std::error_code writeError = converter.convert(alreadyRead);
    if (writeError) return {writeError, Side::Output};
    const std::error_code readError = readBlocks(in, block.bytes(), [&](std::string_view piece) {
        writeError = converter.convert(piece);
        return !writeError;
    });
    if (writeError) return {writeError, Side::Output};
    if (readError) return {readError, Side::Source};
    writeError = converter.finish();
    if (!writeError) writeError = out.flush();
    return {writeError, Side::Output};
}

}  // namespace skelvane::conversion
