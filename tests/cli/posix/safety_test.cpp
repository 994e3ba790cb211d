// skelvane-convert tried as a hostile or unlucky user would: sources that can be read only
// once, outputs that are not files, reports that could grow without end or fail to be written,
// names that are terminal commands, and signals while it writes.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <ctime>

#include "cli/posix/convert_command.h"
#include "support/posix/unprivileged_user.h"
#include "support/sanitizers.h"

namespace skelvane::cli {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::writeFile;

TEST_F(ConvertCommandTest, ReadsEverySourceOnceWhateverKindOfFileItIs) {
    fs::copy_file(fixture("linden_avatar_walk_crlf.bvh"), folder_ / "w.bvh");
    std::string big;
    while (big.size() < (3 << 20)) big += readFile(folder_ / "w.bvh");
    writeFile(folder_ / "big.bvh", big);
    const std::string walk = referenceConversionOf(folder_ / "w.bvh");
    struct Case {
        const char* prelude;
        const char* arguments;
        const char* output;
        const std::string& expected;
    };
    const std::string bigConverted = referenceConversionOf(folder_ / "big.bvh");
    const Case cases[] = {
        {"", "<(cat w.bvh)", "_max.bvh", walk},
        {"cat big.bvh |", "/dev/stdin", "s_max.bvh", bigConverted},
        // A named pipe filled in two bursts: the check has decided before the rest comes.
        {"mkfifo f.bvh && { { head -c 5 w.bvh; sleep 0.2; tail -c +6 w.bvh; } >f.bvh & } &&",
         "f.bvh", "f_max.bvh", walk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Outcome outcome = runAfter(c.prelude, c.arguments);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_TRUE(readFile(folder_ / c.output) == c.expected);
        fs::remove(folder_ / c.output);
        fs::remove(folder_ / "f.bvh");
    }
    // The dry run reads through the same one handle.
    const Outcome dry = runAfter("cat w.bvh |", "-n /dev/stdin");
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_NE(dry.out.find("/dev/stdin -> s_max.bvh\n  14 frames, CR LF line ends, 21 joints"),
              std::string::npos)
        << dry.out;
}

TEST_F(ConvertCommandTest, ReplacesOnlyRegularFilesAndGoesOn) {
    for (const char* name : {"n.bvh", "p.bvh", "k.bvh"}) {
        fs::copy_file(fixture("opencollar_kneel.bvh"), folder_ / name);
    }
    fs::create_symlink("/dev/null", folder_ / "n_max.bvh");
    ASSERT_EQ(mkfifo((folder_ / "p_max.bvh").c_str(), 0600), 0);
    const Outcome outcome = run("n.bvh p.bvh k.bvh");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err,
              "skelvane-convert: n.bvh: n_max.bvh: the output is not a regular file (a device, a "
              "pipe or a socket)\n"
              "skelvane-convert: p.bvh: p_max.bvh: the output is not a regular file (a device, a "
              "pipe or a socket)\n"
              "k.bvh -> k_max.bvh\n"
              "3 files: 1 converted into the current folder, 2 refused\n");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_fifo(folder_ / "p_max.bvh"));
    EXPECT_TRUE(fs::exists(folder_ / "k_max.bvh"));
}

TEST_F(ConvertCommandTest, ExitStatusSaysWhatHappened) {
    fs::copy_file(fixture("opencollar_kneel.bvh"), folder_ / "w.bvh");
    struct Case {
        const char* arguments;
        const char* redirections;
        const char* message;
    };
    const Case cases[] = {
        {"-n --json w.bvh", ">/dev/full",
         "skelvane-convert: standard output: No space left on "
         "device\n"},
        {"-n w.bvh", ">&-", "skelvane-convert: standard output: Bad file descriptor\n"},
        {"-n --json w.bvh", ">&-", "skelvane-convert: standard output: Bad file descriptor\n"},
        // Refused at its first byte, as the real run refuses it, instead of read for ever.
        {"-n /dev/zero", "", "1 file: 1 would be refused; nothing was written\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " " + c.redirections);
        const Outcome outcome = runAfter("timeout 20", c.arguments, c.redirections);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, c.message);
    }
    EXPECT_EQ(fileNamesIn(folder_.path()), std::vector<std::string>{"w.bvh"});

    // A folder that may be written but not read: the output is replaced and said to be. The
    // program is run from the test's folder, which that user may enter wherever the build is.
    fs::permissions(folder_.path(), fs::perms::all);
    fs::copy_file(program_, folder_ / "skelvane-convert");
    program_ = folder_ / "skelvane-convert";
    if (const auto why = skelvane::testing::unreachableForUnprivilegedUser(program_)) {
        GTEST_SKIP() << *why;
    }
    const std::string seen = skelvane::testing::asUnprivilegedUser([&] {
        mkdir((folder_ / "drop").c_str(), 0700);
        chmod((folder_ / "drop").c_str(), 0333);
        const Outcome outcome = run("-o drop w.bvh");
        return std::to_string(outcome.exitCode) + " " + outcome.err;
    });
    EXPECT_EQ(seen, "0 w.bvh -> drop/w_max.bvh\n1 file: 1 converted into drop/\n");
    fs::permissions(folder_ / "drop", fs::perms::owner_all);
    EXPECT_TRUE(readFile(folder_ / "drop/w_max.bvh") == referenceConversionOf(folder_ / "w.bvh"));
}

TEST_F(ConvertCommandTest, NamesReachTheTerminalAsTextNeverAsControls) {
    const std::string hostile = "\x1b]0;TITLE\a\x1b[31mred";
    writeFile(folder_ / (hostile + ".bvh"), "HIERARCHY\nROOT hip\nJOINT \x1b[2Jx\xc2\x9b\n");
    Outcome outcome = run("./" + shellWord(hostile + ".bvh"));
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err,
              "./\\x1b]0;TITLE\\x07\\x1b[31mred.bvh -> \\x1b]0;TITLE\\x07\\x1b[31mred_max.bvh\n"
              "1 file: 1 converted into the current folder\n");

    // C1 controls, stray bytes and characters that turn text around, in a name and a joint.
    const std::string reordering =
        "a\xe2\x80\xae"
        "b\x9b"
        "c\xc2\x85";
    writeFile(folder_ / (reordering + ".bvh"), "HIERARCHY\nJOINT " + reordering + "\n");
    outcome = run("-n " + shellWord(reordering + ".bvh"));
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_NE(
        outcome.out.find("a\\u{202e}b\\x9bc\\u{0085}.bvh -> a\\u{202e}b\\x9bc\\u{0085}_max.bvh"),
        std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.out.find("  ! a\\u{202e}b\\x9bc\\u{0085}  "), std::string::npos)
        << outcome.out;
    outcome = run("-n " + shellWord(hostile + ".bvh"));
    EXPECT_NE(outcome.out.find("  ! \\x1b[2Jx\\u{009b}  "), std::string::npos) << outcome.out;
    for (const std::string& text : {outcome.out, outcome.err}) {
        EXPECT_EQ(text.find('\x1b'), std::string::npos);
    }
}

#if !SKELVANE_SANITIZED
TEST_F(ConvertCommandTest, TheDryRunsMemoryStaysFlatWhateverTheFile) {
    // 400,000 joints in 6 MB, which a report that kept each joint's entry (96 bytes) would need
    // 38 MB to hold, and one joint name of 100 MB.
    ASSERT_EQ(runAfter("{ echo HIERARCHY; yes 'JOINT rThumb1' | head -n 400000; } >many.bvh &&"
                       "{ echo HIERARCHY; printf 'ROOT '; head -c 100000000 /dev/zero | tr "
                       "'\\0' Z; echo; } >long.bvh && true",
                       "--version")
                  .exitCode,
              0);
    // Through roles the hierarchy is read first, its names kept for role finding.
    for (const char* arguments :
         {"-n many.bvh", "-n --json many.bvh", "-n long.bvh", "-n --json --to sl many.bvh",
          "--to max many.bvh", "--map auto long.bvh"}) {
        SCOPED_TRACE(arguments);
        const Outcome outcome = runAfter("/usr/bin/time -f %M -o peak.txt", arguments);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        const long peakKilobytes = std::stol(readFile(folder_ / "peak.txt"));
        EXPECT_LE(peakKilobytes, 16 * 1024);
    }
}

TEST_F(ConvertCommandTest, MemoryStaysFlatWhateverTheMappingWrites) {
    // One row that writes 4000 bytes for each byte of a line of 256 KiB; rows that each double
    // what the row before wrote, 24 of them (16 MiB from one byte) and 4096, whose output no run
    // could finish but must still stream out, here to a reader that stops after a MB.
    const std::string header = "# skelvane-map 1\n# match: contains\nfrom,to,part\n";
    std::string doubling;
    for (int i = 0; i < 4096; ++i) doubling += "1,11,\n";
    writeFile(folder_ / "b4000.map", header + "a," + std::string(4000, 'b') + ",\n");
    writeFile(folder_ / "double24.map", header + doubling.substr(0, 24 * 6));
    writeFile(folder_ / "double4096.map", header + doubling);
    writeFile(folder_ / "a.bvh", std::string(256 << 10, 'a'));
    writeFile(folder_ / "one.bvh", "1");
    writeFile(folder_ / "joint.bvh", "HIERARCHY\nROOT 1\n");
    struct Case {
        const char* arguments;
        const char* check;
        const char* result;
    };
    const Case cases[] = {
        // 2^30 bytes b, then CR LF.
        {"-m ./b4000.map --force - <a.bvh", "cksum", "3919060531 1048576002\n"},
        // 2^24 bytes 1, then CR LF.
        {"-m ./double24.map --force - <one.bvh", "cksum", "701049346 16777218\n"},
        {"-m ./double4096.map --force - <one.bvh", "head -c 1000000 | wc -c", "1000000\n"},
        // The dry run follows the new name's length, not the name.
        {"-n --json -m ./double24.map joint.bvh", "grep -o '\"new_length\": [0-9]*'",
         "\"new_length\": 16777216\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string measured =
            "/usr/bin/time -f %M -o peak.txt timeout 10 '" SKELVANE_CONVERT "' " +
            std::string(c.arguments) + " 2>/dev/null | " + c.check + " >result.txt;";
        ASSERT_EQ(runAfter(measured, "--version").exitCode, 0);
        EXPECT_EQ(readFile(folder_ / "result.txt"), c.result);
        // The peak is the last line: a run cut short by its reader says so first.
        const std::string peak = readFile(folder_ / "peak.txt");
        const long peakKilobytes =
            std::stol(peak.substr(peak.find_last_of('\n', peak.size() - 2) + 1));
        EXPECT_LE(peakKilobytes, 16 * 1024) << peak;
    }
}
#endif

// Starts the tool (the build that uses named temporary files) on a pipe and feeds it until its
// temporary output holds at least a block, then stops it with a signal and tells how it ended.
int killedWhileWriting(const fs::path& folder, int signalNumber) {
    const fs::path pipe = folder / "pipe.bvh";
    mkfifo(pipe.c_str(), 0600);
    const pid_t child = fork();
    if (child == 0) {
        // SIGQUIT would leave a core file in the folder.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        if (chdir(folder.c_str()) != 0) _exit(126);
        execl(SKELVANE_CONVERT_NAMED_TEMPORARIES, "skelvane-convert", "pipe.bvh",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    const int writeEnd = open(pipe.c_str(), O_WRONLY);
    std::string block = "HIERARCHY\n";
    while (block.size() < (64 << 10)) block += "JOINT rThumb1\n";
    const auto temporaryBytes = [&] {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".tmp") return entry.file_size();
        }
        return std::uintmax_t{0};
    };
    // The writing thread writes a block of 256 KiB once the converter has filled it.
    for (int fed = 0; temporaryBytes() < (256 << 10) && fed < 4000; ++fed) {
        EXPECT_EQ(write(writeEnd, block.data(), block.size()), static_cast<ssize_t>(block.size()));
        block.replace(0, 10, "JOINT hip\n");
    }
    EXPECT_GE(temporaryBytes(), 256u << 10);
    kill(child, signalNumber);
    int status = 0;
    waitpid(child, &status, 0);
    close(writeEnd);
    fs::remove(pipe);
    return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST_F(ConvertCommandTest, StoppedBySignalsWhileWritingItLeavesNothingBehind) {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM}) {
        SCOPED_TRACE(strsignal(signalNumber));
        EXPECT_EQ(killedWhileWriting(folder_.path(), signalNumber), signalNumber);
        EXPECT_TRUE(fileNamesIn(folder_.path()).empty());
    }
}

std::vector<std::string> hiddenIn(const fs::path& folder) {
    std::vector<std::string> hidden;
    for (const std::string& name : fileNamesIn(folder)) {
        if (name.starts_with(".skelvane-")) hidden.push_back(name);
    }
    return hidden;
}

// Starts `program` on `sources` and then a pipe, which it opens once the sources' outputs wait
// in its commit group; kills it outright there.
void killedOutrightWhileOutputsWait(const fs::path& folder, const char* program,
                                    std::vector<std::string> sources) {
    mkfifo((folder / "pipe.bvh").c_str(), 0600);
    sources.insert(sources.begin(), "skelvane-convert");
    sources.push_back("pipe.bvh");
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        for (std::string& argument : sources) argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(program, argv.data());
        _exit(127);
    }
    const int writeEnd = open((folder / "pipe.bvh").c_str(), O_WRONLY);
    EXPECT_EQ(write(writeEnd, "HIERARCHY\n", 10), 10);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(writeEnd);
    fs::remove(folder / "pipe.bvh");
}

TEST_F(ConvertCommandTest, ARunKilledOutrightNamesNoOutputAndALaterRunSweepsWhatItLeft) {
    std::vector<std::string> sources;
    for (int i = 0; i < 12; ++i) {
        sources.push_back("s" + std::to_string(i) + ".bvh");
        fs::copy_file(fixture("opencollar_kneel.bvh"), folder_ / sources.back());
        writeFile(folder_ / ("s" + std::to_string(i) + "_max.bvh"), "OLD\n");
    }
    killedOutrightWhileOutputsWait(folder_.path(), SKELVANE_CONVERT, sources);
    EXPECT_EQ(hiddenIn(folder_.path()), std::vector<std::string>{});
    // Where the filesystem has no unnamed files, the killed run leaves its temporaries.
    killedOutrightWhileOutputsWait(folder_.path(), SKELVANE_CONVERT_NAMED_TEMPORARIES, sources);
    const std::vector<std::string> left = hiddenIn(folder_.path());
    ASSERT_GE(left.size(), 12u);
    EXPECT_EQ(readFile(folder_ / "s0_max.bvh"), "OLD\n");

    // Two that a sweep must leave alone: another host's, and one of a live process (this one).
    // A name reads .skelvane-HOST-PROCESS-RANDOM.tmp.
    std::string otherHost = left.front();
    otherHost[10] = otherHost[10] == '0' ? '1' : '0';
    std::string live = left.front();
    const std::size_t process = live.find('-', 10) + 1;
    live.replace(process, live.find('-', process) - process, std::to_string(getpid()));
    fs::copy_file(folder_ / left.front(), folder_ / otherHost);
    fs::copy_file(folder_ / left.front(), folder_ / live);

    // Temporaries written less than a minute ago may be a live run's on a stopped machine.
    ASSERT_EQ(run("s0.bvh").exitCode, 0);
    EXPECT_EQ(hiddenIn(folder_.path()).size(), left.size() + 2);
    const timespec twoMinutesAgo[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
    for (const std::string& name : hiddenIn(folder_.path())) {
        utimensat(AT_FDCWD, (folder_ / name).c_str(), twoMinutesAgo, 0);
    }
    ASSERT_EQ(run("s0.bvh").exitCode, 0);
    std::vector<std::string> kept{otherHost, live};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(hiddenIn(folder_.path()), kept);
}

TEST_F(ConvertCommandTest, AReaderThatGoesAwayFailsStandardOutputAloneAndTheRestIsCommitted) {
    fs::copy_file(fixture("opencollar_kneel.bvh"), folder_ / "a.bvh");
    std::string big;
    while (big.size() < (3 << 20)) big += readFile(fixture("linden_avatar_walk_crlf.bvh"));
    writeFile(folder_ / "big.bvh", big);
    for (const char* program : {SKELVANE_CONVERT, SKELVANE_CONVERT_NAMED_TEMPORARIES}) {
        SCOPED_TRACE(program);
        program_ = program;
        writeFile(folder_ / "a_max.bvh", "OLD\n");
        const Outcome outcome = run("a.bvh - <big.bvh", "> >(head -c 10 >/dev/null)");
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err,
                  "a.bvh -> a_max.bvh\n"
                  "skelvane-convert: standard output: Broken pipe\n"
                  "2 files: 1 converted into the current folder, 1 failed\n");
        EXPECT_TRUE(readFile(folder_ / "a_max.bvh") == referenceConversionOf(folder_ / "a.bvh"));
        EXPECT_EQ(hiddenIn(folder_.path()), std::vector<std::string>{});
    }
}

TEST_F(ConvertCommandTest, NoOutputLandsOnAFileTheRunReadsOrHasWrittenByWhateverWayItIsReached) {
    fs::copy_file(fixture("opencollar_kneel.bvh"), folder_ / "k.bvh");
    fs::copy_file(fixture("linden_avatar_walk_crlf.bvh"), folder_ / "w.bvh");
    fs::create_directory(folder_ / "o1");
    const std::string kneel = referenceConversionOf(folder_ / "k.bvh");
    const std::string walk = referenceConversionOf(folder_ / "w.bvh");
    const std::string mapping = "# skelvane-map 1\nfrom,to,part\nhip,Hips,\n";
    writeFile(folder_ / "w_max.bvh", mapping);
    struct Case {
        const char* arguments;
        const char* redirections;
        const char* said;
        const std::string& o1Output;
    };
    const Case cases[] = {
        {"-o o1 - w.bvh", "<k.bvh >o1/w_max.bvh",
         "- -> standard output\n"
         "skelvane-convert: w.bvh: o1/w_max.bvh: already written from - in this run\n"
         "2 files: 1 converted to standard output, 1 refused\n",
         kneel},
        {"-o o1 w.bvh -", "<k.bvh >o1/w_max.bvh",
         "w.bvh -> o1/w_max.bvh\n"
         "skelvane-convert: standard output: already written from w.bvh in this run\n"
         "2 files: 1 converted into o1/, 1 refused\n",
         walk},
        // Appended onto a source that a later file of the run has still to read.
        {"-o o1 - w.bvh", "<k.bvh >>w.bvh",
         "skelvane-convert: standard output: the output is one of the inputs (w.bvh)\n"
         "w.bvh -> o1/w_max.bvh\n"
         "2 files: 1 converted into o1/, 1 refused\n",
         walk},
        // A mapping file is read as much as a source is.
        {"-m w_max.bvh w.bvh", "",
         "skelvane-convert: w.bvh: w_max.bvh: the output is the mapping file\n"
         "1 file: 1 refused\n",
         walk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " " + c.redirections);
        const Outcome outcome = run(c.arguments, c.redirections);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, c.said);
        EXPECT_TRUE(readFile(folder_ / "o1/w_max.bvh") == c.o1Output);
        EXPECT_TRUE(readFile(folder_ / "w.bvh") ==
                    readFile(fixture("linden_avatar_walk_crlf.bvh")));
        EXPECT_EQ(readFile(folder_ / "w_max.bvh"), mapping);
    }
}

// The sanitizers' runtime needs files of its own, which such a limit leaves it none of.
#if !SKELVANE_SANITIZED
TEST_F(ConvertCommandTest, CommitGroupsShrinkToTheOpenFileLimitSoEveryFileConverts) {
    std::string sources;
    for (int i = 0; i < 9; ++i) {
        fs::copy_file(fixture("opencollar_kneel.bvh"),
                      folder_ / ("s" + std::to_string(i) + ".bvh"));
        sources += " s" + std::to_string(i) + ".bvh";
    }
    // Files the test's own runner left open would count against the limit.
    const std::string closeInherited =
        "for fd in /proc/$$/fd/*; do fd=${fd##*/}; [ $fd -gt 2 ] && eval \"exec $fd>&-\"; done;";
    for (int limit = 6; limit <= 9; ++limit) {
        SCOPED_TRACE(limit);
        const Outcome outcome =
            runAfter(closeInherited + " ulimit -n " + std::to_string(limit) + " &&", sources);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_TRUE(outcome.err.ends_with("9 files: 9 converted into the current folder\n"))
            << outcome.err;
    }
}
#endif

}  // namespace
}  // namespace skelvane::cli
