#include "cli/posix/convert_command.h"

#include <sys/wait.h>
#include <unistd.h>

namespace skelvane::cli {

namespace fs = std::filesystem;

std::string shellWord(const fs::path& path) {
    std::string word(1, '\'');
    word.append(path.string()).push_back('\'');
    return word;
}

Outcome ConvertCommandTest::runAfter(const std::string& prelude, const std::string& arguments,
                                     const std::string& redirections) {
    using skelvane::testing::readFile;
    const std::string command = "cd '" + folder_.path().string() + "' && " + prelude + " " +
                                shellWord(program_) + " " + arguments +
                                " >stdout.txt 2>stderr.txt " + redirections;
    // bash rather than sh: the tests use its process substitution.
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/bash", "bash", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(folder_ / "stdout.txt"),
                    readFile(folder_ / "stderr.txt")};
    fs::remove(folder_ / "stdout.txt");
    fs::remove(folder_ / "stderr.txt");
    return outcome;
}

std::string ConvertCommandTest::fixture(std::string_view name) {
    return (skelvane::testing::testdataDir() / name).string();
}

}  // namespace skelvane::cli
