#include "support/posix/unprivileged_user.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace skelvane::testing {

std::string asUnprivilegedUser(const std::function<std::string()>& work) {
    constexpr uid_t kNobody = 65534;
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string answer;
        // Without root's supplementary groups, which would let it into their folders.
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            answer = "cannot become nobody";
        } else {
            answer = work();
        }
        const ssize_t written = write(channel[1], answer.data(), answer.size());
        _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t count; (count = read(channel[0], buffer, sizeof buffer)) > 0;) {
        answer.append(buffer, static_cast<std::size_t>(count));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? answer : "the child ended abnormally";
}

std::optional<std::string> unreachableForUnprivilegedUser(const std::filesystem::path& path) {
    const std::string answer = asUnprivilegedUser([&path] {
        return ::access(path.c_str(), F_OK) == 0 ? std::string() : std::strerror(errno);
    });
    if (answer.empty()) return std::nullopt;
    return "the unprivileged user cannot reach " + path.string() + ": " + answer;
}

}  // namespace skelvane::testing
