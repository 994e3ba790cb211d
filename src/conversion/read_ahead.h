#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "conversion/platform.h"

namespace skelvane::conversion {

/// Reads an input on a thread of its own, a few blocks ahead of the one being converted and
/// written, so that copying the bytes out of the system's cache (or waiting for the disk)
/// overlaps the work on the blocks before. Memory stays fixed: a small ring of blocks.
/// Meant for regular files, whose reads never wait for anybody: a pipe or terminal could hold
/// the thread, and the end of the conversion with it, after the writing side has failed.
class ReadAhead {
public:
    /// A block of input; empty at the end of the input, or after a read error (errorNumber).
    struct Block {
        std::string_view bytes;
        int errorNumber = 0;
    };

    /// Starts reading `in` from its position; throws std::system_error when no thread can be
    /// started (nothing is read then).
    explicit ReadAhead(platform::Handle in);
    /// Stops reading, however far the input was read.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    /// The next block, valid until the next call; the block before goes back to the reader.
    Block next();

    /// The size of a read: large enough that a read costs little beside its copy, small
    /// enough that the ring stays in the processor's cache.
    static constexpr std::size_t kBlockSize = 1 << 18;

private:
    void readBlocks(platform::Handle in);
    char* slot(std::size_t sequence) { return blocks_.data() + (sequence % kSlots) * kBlockSize; }

    static constexpr std::size_t kSlots = 4;

    std::vector<char> blocks_;
    std::ptrdiff_t lengths_[kSlots] = {};
    int errors_[kSlots] = {};

    std::mutex mutex_;
    std::condition_variable blockRead_;
    std::condition_variable slotFree_;
    std::size_t read_ = 0;      // blocks the reader has filled
    std::size_t returned_ = 0;  // blocks given back to the reader
    bool stopping_ = false;
    std::size_t taken_ = 0;  // blocks handed out by next(); only the converting side uses it
    bool ended_ = false;

    std::thread reader_;
};

}  // namespace skelvane::conversion
