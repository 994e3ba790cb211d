#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <memory>

#include "conversion/files/byte_sink.h"
#include "conversion/files/platform.h"
#include "conversion/rename/compiled_mapping.h"
#include "conversion/rename/line_renamer.h"
#include "conversion/rename/line_scan.h"

namespace skelvane::conversion {

/// Why a stream conversion stopped: which side failed and the system's reason.
struct StreamError {
    enum class Side { Read, Write };
    Side side;
    std::error_code error;
};

/// The conversion of one input handed over in blocks of any size, written to a sink. Lines end
/// at CR LF, LF or a lone CR, also across block edges; every written line ends with CR LF, the
/// last one too; all other bytes pass through. Lines that come out as they went in are passed
/// on as whole stretches of the block; other output goes to the sink in pieces as small as
/// a line end, so a sink that writes to a file collects them first.
class BlockConverter final : private ByteSink {
public:
    /// A conversion under `mapping`, which must outlive it.
    BlockConverter(const CompiledMapping& mapping, ByteSink& sink);

    /// Converts the next block of input; returns the sink's error, or nothing.
    std::error_code convert(std::string_view block);
    /// Ends the input: writes what is left of the last line; returns the sink's error, or
    /// nothing.
    std::error_code finish();

private:
    std::error_code convertLines();
    // Takes the output of a line, from the renamer too: bytes that lie right after the pending
    // stretch of the block extend it, other bytes go to the sink after it.
    std::error_code write(std::string_view bytes) override;
    std::error_code writeStretch();

    std::unique_ptr<Renamer> renamer_;
    ByteSink& sink_;
    const ScanTable& scanTable_;
    LineEndFinder findLineEnd_;
    bool jointLinesOnly_;
    // The block being converted, and the stretch of it that goes out as it came in but is not
    // yet handed to the sink: lines no rule changes pile up there and go out in one piece.
    std::string_view block_;
    std::size_t stretchFrom_ = 0;
    std::size_t stretchTo_ = 0;
    // The last line of a block may go on in the next one.
    bool lineOpen_ = false;
    // A block that ended in CR: an LF at the start of the next one belongs to that CR.
    bool skipLeadingLf_ = false;
};

/// Streams `in` to `out` line by line through the mapping. Lines end at CR LF, LF or a
/// lone CR; every written line ends with CR LF, the last one too; all other bytes pass through.
/// Memory stays flat whatever the input: fixed-size buffers, and a line longer than a read
/// block flows through the rules in pieces. The output is collected in blocks and written on a
/// second thread while the input is read and converted. `alreadyRead`, when given, is the start of
/// the input that was read from `in` before. Closes nothing.
std::optional<StreamError> convertStream(platform::Handle in, platform::Handle out,
                                         const CompiledMapping& mapping,
                                         std::string_view alreadyRead = {});

class WriteBehind;

/// The same into a writer that serves a whole run (already set to its output, and flushed
/// here), reading through `block`, which sets the size of each read.
std::optional<StreamError> convertStream(platform::Handle in, WriteBehind& out,
                                         const CompiledMapping& mapping,
                                         std::string_view alreadyRead, std::vector<char>& block);

}  // namespace skelvane::conversion
