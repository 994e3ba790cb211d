#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "conversion/files/byte_sink.h"
#include "conversion/files/platform.h"
#include "conversion/files/read_blocks.h"

namespace skelvane::conversion {

/// A sink that collects bytes in blocks and writes each full block on a thread of its own, so
/// that the system's write of one block (for a file, mostly the copy into the system's cache)
/// overlaps the reading and converting of the next. One serves a whole run, file after file:
/// its thread starts with the first file that fills a block, and a file that fits in one block
/// is written in turn, without a word to the thread. When no thread can be started, blocks are
/// written in turn. Memory stays fixed: a small ring of blocks.
class WriteBehind final : public ByteSink {
public:
    /// A sink with no output yet; blocks go out on a thread of their own unless `inTurn` asks
    /// for the writes in turn.
    explicit WriteBehind(bool inTurn = false);
    /// A sink writing to `out`.
    explicit WriteBehind(platform::Handle out, bool inTurn = false);
    /// Stops writing; what was taken but not yet written is dropped (flush() first).
    ~WriteBehind() override;
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    /// Writes what follows to `out`, once everything taken before is written or dropped; an
    /// earlier write error is forgotten.
    void setOutput(platform::Handle out);

    /// Takes the bytes; returns the error of an earlier write that failed, or nothing.
    std::error_code write(std::string_view bytes) override;
    /// Writes everything taken; returns the system's error, or nothing.
    std::error_code flush();
    /// The bytes taken for the current output.
    std::uint64_t bytesTaken() const { return taken_; }

private:
    void writeBlocks();
    bool startWriter();
    std::error_code handOver();
    void waitForWriter();
    char* slot(std::size_t sequence) { return blocks_.data() + (sequence % kSlots) * kBlockSize; }

    static constexpr std::size_t kSlots = 4;

    platform::Handle out_ = platform::kNoHandle;
    bool inTurn_;
    std::vector<char> blocks_;
    std::size_t lengths_[kSlots] = {};
    std::size_t filling_ = 0;  // bytes in the block being filled; only the taking side uses it
    std::size_t handedOverAtStart_ = 0;  // blocks handed over before the current output's first
    std::uint64_t taken_ = 0;

    std::mutex mutex_;
    std::condition_variable blockFull_;
    std::condition_variable blockWritten_;
    std::size_t handedOver_ = 0;  // blocks given to the writer
    std::size_t written_ = 0;     // blocks the writer has written, or dropped after an error
    std::error_code error_;       // the first write error of the current output
    bool stopping_ = false;

    std::thread writer_;  // not joinable while no block has needed it, or when in turn
};

}  // namespace skelvane::conversion
