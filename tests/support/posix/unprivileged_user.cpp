#include "support/posix/unprivileged_user.h"

#include <sys/wait.h>
#include <unistd.h>

namespace skelvane::testing {

std::string asUnprivilegedUser(const std::function<std::string()>& work) {
    constexpr uid_t kNobody = 65534;
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string answer;
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
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

}  // namespace skelvane::testing
