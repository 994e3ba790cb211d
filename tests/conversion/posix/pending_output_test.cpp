// Named temporaries removed by the signals that end a program, tried in forked children.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "conversion/files/platform.h"
#include "conversion/pending_output_test.h"
#include "support/test_file_system.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

using skelvane::testing::fileNamesIn;

TEST_F(NamedTemporaryTest, SignalsRemoveItAndEndTheProgramAsTheyWould) {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signalNumber));
        const pid_t child = fork();
        if (child == 0) {
            platform::installSignalCleanup();
            const auto target = skelvane::testing::resolvedOutput(folder_ / "out.bvh");
            if (!target) _exit(10);
            const auto pending = platform::PendingOutput::create(*target, 0644, system_);
            if (!pending || platform::writeAll((*pending)->handle(), "HIERARCHY\r\n")) _exit(10);
            if (fileNamesIn(folder_.path()).size() != 1) _exit(11);  // the temporary is there
            raise(signalNumber);
            _exit(12);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), signalNumber);
        EXPECT_TRUE(fileNamesIn(folder_.path()).empty());
    }
}

}  // namespace
}  // namespace skelvane::conversion
