// Streams that fail as only POSIX systems make them fail on demand: a device that is always
// full, and a folder opened as a file.
#include "conversion/rename/stream_converter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "conversion/files/write_behind.h"
#include "conversion/mapping/presets.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

using File = skelvane::testing::Stream;
using skelvane::testing::streamHolding;

const CompiledMapping kPosixPoserMax(defaultMapping(), {});

// Converts `in` into `out` as a run does.
Failure convert(std::FILE* in, std::FILE* out) {
    WriteBehind sink(platform::Handle{fileno(out)});
    ReadBlock block;
    return convertStream(fileno(in), sink, kPosixPoserMax, {}, block);
}

TEST(ConvertStream, ReportsAFullDevice) {
    // A short input fails when the end is written; a long one while the reader is blocks ahead.
    for (const std::string& input : {std::string("ROOT hip\r\n"), std::string(5 << 20, '7')}) {
        File in = streamHolding(input);
        File out(std::fopen("/dev/full", "wb"));
        if (!out) GTEST_SKIP() << "/dev/full is not available";
        const Failure failure = convert(in.get(), out.get());
        EXPECT_EQ(failure.side, Side::Output);
        EXPECT_EQ(failure.error, std::errc::no_space_on_device);
    }
}

TEST(WriteBehind, AFullDeviceFailsAWriteOrTheFlushOnItsThreadOrInTurn) {
    // The pieces of the test that writes to a file: 1 to 99 999 bytes, over several blocks.
    std::vector<std::string> pieces;
    for (std::size_t i = 0, size = 0; size < (3u << 20); ++i) {
        pieces.emplace_back((i * 7919) % 100000 + 1, static_cast<char>('a' + i % 26));
        size += pieces.back().size();
    }
    for (bool inTurn : {false, true}) {
        SCOPED_TRACE(inTurn ? "in turn" : "on its thread");
        File full(std::fopen("/dev/full", "wb"));
        if (!full) GTEST_SKIP() << "/dev/full is not available";
        WriteBehind failing(fileno(full.get()), inTurn);
        std::error_code error;
        for (const std::string& piece : pieces) error = error ? error : failing.write(piece);
        EXPECT_EQ(error ? error : failing.flush(), std::errc::no_space_on_device);
    }
}

TEST(ConvertStream, ReportsAnUnreadableSource) {
    skelvane::testing::TempFolder folder;
    File in(std::fopen(folder.path().c_str(), "rb"));  // a folder opens but cannot be read
    ASSERT_TRUE(in);
    File out(std::tmpfile());
    const Failure failure = convert(in.get(), out.get());
    EXPECT_EQ(failure.side, Side::Source);
    EXPECT_EQ(failure.error, std::errc::is_a_directory);
}

}  // namespace
}  // namespace skelvane::conversion
