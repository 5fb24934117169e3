#include "support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    ProcessResult result;
    if (argv.empty()) return result;
    // A program that stops reading its input must not end the test with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0) return result;
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return result;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (const std::string& name : options.Unset) unsetenv(name.c_str());
        for (const auto& [name, value] : options.Set) setenv(name.c_str(), value.c_str(), 1);
        if (!options.WorkDir.empty() && chdir(options.WorkDir.c_str()) != 0) _exit(127);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);

    // Feed the input and read both streams at once, so neither side can block the other.
    size_t written = 0;
    if (options.Input.empty()) {
        close(in[1]);
        in[1] = -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.TimeoutMs);
    bool timedOut = false;
    int open = 2;
    while (open > 0 || in[1] >= 0) {
        pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in[1], POLLOUT, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        if (poll(fds, 3, int(left.count())) < 0) continue;
        char buf[65536];
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                (i == 0 ? result.Out : result.Err).append(buf, size_t(n));
            } else {
                close(fds[i].fd);
                (i == 0 ? out[0] : err[0]) = -1;
                --open;
            }
        }
        if (in[1] >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = write(in[1], options.Input.data() + written, options.Input.size() - written);
            if (n > 0) written += size_t(n);
            if (n <= 0 || written == options.Input.size()) {
                close(in[1]);
                in[1] = -1;
            }
        }
    }
    for (int fd : {in[1], out[0], err[0]})
        if (fd >= 0) close(fd);
    if (timedOut) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    if (!timedOut && WIFEXITED(status)) result.Status = WEXITSTATUS(status);
    return result;
}
