#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string_view>
#include <thread>

#include "conversion/platform.h"
#include "conversion/stream_converter.h"

namespace skelvane::conversion {

/// A sink that collects bytes in blocks and writes each full block on a thread of its own, so
/// that the system's write of one block (for a file, mostly the copy into the system's cache)
/// overlaps the reading and converting of the next. When no thread can be started, blocks are
/// written in turn. Memory stays fixed: a small ring of blocks.
class WriteBehind final : public ByteSink {
public:
    /// Writes to `out`; on a thread of its own unless `inTurn` asks for the writes in turn.
    explicit WriteBehind(platform::Handle out, bool inTurn = false);
    /// Stops writing; what was taken but not yet written is dropped (flush() first).
    ~WriteBehind() override;
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    /// Takes the bytes; returns the error of an earlier write that failed, or nothing.
    std::error_code write(std::string_view bytes) override;
    /// Writes everything taken; returns the system's error, or nothing.
    std::error_code flush();

private:
    void writeBlocks();
    std::error_code handOver();
    char* slot(std::size_t sequence) { return blocks_.data() + (sequence % kSlots) * kBlockSize; }

    static constexpr std::size_t kSlots = 4;
    static constexpr std::size_t kBlockSize = 1 << 18;

    platform::Handle out_;
    platform::BlockMemory blocks_;
    std::size_t lengths_[kSlots] = {};
    std::size_t filling_ = 0;  // bytes in the block being filled; only the taking side uses it

    std::mutex mutex_;
    std::condition_variable blockFull_;
    std::condition_variable blockWritten_;
    std::size_t handedOver_ = 0;  // blocks given to the writer
    std::size_t written_ = 0;     // blocks the writer has written
    std::error_code error_;       // the first write error; the writer stops there
    bool stopping_ = false;

    std::thread writer_;  // not joinable when blocks are written in turn
};

}  // namespace skelvane::conversion
