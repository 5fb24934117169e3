#include "support/RunAs.h"

#include <sys/wait.h>
#include <unistd.h>

int AsOrdinaryUser(const std::filesystem::path& folder, const std::function<int()>& body) {
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(91);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
