#pragma once

#include <memory>
#include <string_view>
#include <system_error>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/files/byte_sink.h"
#include "conversion/files/file_error.h"
#include "conversion/files/platform.h"
#include "conversion/files/read_blocks.h"
#include "conversion/rename/compiled_mapping.h"
#include "conversion/rename/line_renamer.h"

namespace skelvane::conversion {

/// The conversion of one input handed over in blocks of any size, written to a sink. The BVH
/// reader splits the input into lines, which end at CR LF, LF or a lone CR, also across block
/// edges; every written line ends with CR LF, the last one too; all other bytes pass through.
/// The renamer sees the lines that hold a byte some row's text starts with (contains) or the
/// names of joint lines (exact). Lines that come out as they went in are passed on as whole
/// stretches of the block; other output goes to the sink in pieces as small as a line end, so
/// a sink that writes to a file collects them first.
class BlockConverter final : private BvhVisitor, private ByteSink {
public:
    /// A conversion under `mapping`, which must outlive it.
    BlockConverter(const CompiledMapping& mapping, ByteSink& sink);

    /// Converts the next block of input; returns the sink's error, or nothing.
    std::error_code convert(std::string_view block);
    /// Ends the input: writes what is left of the last line; returns the sink's error, or
    /// nothing.
    std::error_code finish();

    /// What the reader has found so far: the hierarchy, the motion header, the line ends.
    const BvhReader& reader() const { return reader_; }

private:
    void take(const LinePiece& piece) override;
    void takePlainLines(std::string_view lines, const Line& last) override;
    // Takes the output of a line, from the renamer too: bytes that lie right after the pending
    // stretch of the block extend it, other bytes go to the sink after it.
    std::error_code write(std::string_view bytes) override;
    // The same for bytes of the block, which nearly always extend the stretch.
    std::error_code pass(std::string_view bytes) {
        if (bytes.data() != block_.data() + stretchTo_) return write(bytes);
        stretchTo_ += bytes.size();
        return {};
    }
    std::error_code writeStretch();

    std::unique_ptr<Renamer> renamer_;
    ByteSink& sink_;
    BvhReader reader_;
    bool jointNamesOnly_;
    // Whether the renamer holds back part of the line at hand.
    bool renamerHolds_ = false;
    // The first error of the sink: the conversion stops there.
    std::error_code error_;
    // The block being converted, and the stretch of it that goes out as it came in but is not
    // yet handed to the sink: lines no rule changes pile up there and go out in one piece.
    std::string_view block_;
    std::size_t stretchFrom_ = 0;
    std::size_t stretchTo_ = 0;
};

class WriteBehind;

/// Streams `in` to `out`, a writer that serves a whole run (already set to its output, and
/// flushed here), line by line through the mapping, reading through `block`. Lines end at CR LF,
/// LF or a lone CR; every written line ends with CR LF, the last one too; all other bytes pass
/// through. Memory stays flat whatever the input: fixed-size buffers, and a line longer than a
/// read block flows through the rules in pieces. `alreadyRead` is the start of the input that
/// was read from `in` before. Every byte written is handed to `watcher` too, if any, whose
/// errors are its own. Closes nothing. Returns the first error and the file it concerns (the
/// source read, or the output written), or nothing.
Failure convertStream(platform::Handle in, WriteBehind& out, const CompiledMapping& mapping,
                      std::string_view alreadyRead, ReadBlock& block, ByteSink* watcher = nullptr);

}  // namespace skelvane::conversion
