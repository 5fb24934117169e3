#include "platform/Launch.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

std::string Head(const std::string& path, size_t n) {
    std::string head(n, '\0');
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
    const ssize_t got = ::read(fd, head.data(), n);
    ::close(fd);
    head.resize(got > 0 ? size_t(got) : 0);
    return head;
}

// The interpreter and its one optional argument of a "#!" line; empty without one.
std::vector<std::string> Interpreter(const std::string& path) {
    const std::string head = Head(path, 256);
    if (head.rfind("#!", 0) != 0) return {};
    std::string line = head.substr(2, head.find('\n') == std::string::npos ? std::string::npos : head.find('\n') - 2);
    std::vector<std::string> words;
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos) return {};
    const size_t end = line.find_first_of(" \t", i);
    words.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
    if (end != std::string::npos) {
        const size_t arg = line.find_first_not_of(" \t", end);
        if (arg != std::string::npos) {
            std::string rest = line.substr(arg);
            while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) rest.pop_back();
            words.push_back(rest);
        }
    }
    return words;
}

std::vector<char*> Pointers(std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (std::string& a : argv) out.push_back(a.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

bool IsProgramFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) return true;
    const std::string head = Head(path, 4);
    return head == "\x7f" "ELF" || head.rfind("#!", 0) == 0;
}

int StartProgramFile(const std::string& file) {
    std::vector<std::string> argv{file};
    if (::access(file.c_str(), X_OK) != 0) {
        std::vector<std::string> interpreter = Interpreter(file);
        if (!interpreter.empty()) {
            interpreter.push_back(file);
            argv = std::move(interpreter);
        }
    }
    const size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
    // Everything the child needs is made before the fork: after it, only calls that are safe
    // in a child of a threaded process.
    std::vector<char*> args = Pointers(argv);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return errno;
    const pid_t child = ::fork();
    if (child < 0) {
        const int err = errno;
        ::close(report[0]);
        ::close(report[1]);
        return err;
    }
    if (child == 0) {
        // The grandchild runs the program; the child ends at once, so nobody waits for it.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        int err = 0;
        if (::chdir(folder.c_str()) != 0) err = errno;
        if (!err) {
            ::execve(args[0], args.data(), environ);
            err = errno;
        }
        [[maybe_unused]] const ssize_t n = ::write(report[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // A started program closes the pipe by its exec; a failure writes its errno first.
    int err = 0;
    ssize_t got;
    while ((got = ::read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (got == ssize_t(sizeof err)) return err;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return ECHILD;
    return 0;
}

void RunAndWatch(const std::vector<std::string>& argvIn, std::function<void(int, const QString&)> ended) {
    // Standard error goes to a file in memory: a pipe could fill up, or break under a program
    // the handler leaves running after it ends.
    const int errors = ::memfd_create("tavrenne-stderr", MFD_CLOEXEC);
    std::vector<std::string> argv = argvIn;
    std::vector<char*> args = Pointers(argv);
    const pid_t child = errors < 0 ? -1 : ::fork();
    if (child == 0) {
        ::dup2(errors, 2);
        ::execvp(args[0], args.data());
        const char* why = ::strerrordesc_np(errno);   // no locale, unlike strerror, after a fork
        [[maybe_unused]] ssize_t n = ::write(2, args[0], std::strlen(args[0]));
        n = ::write(2, ": ", 2);
        n = ::write(2, why, std::strlen(why));
        ::_exit(127);
    }
    if (child < 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        if (errors >= 0) ::close(errors);
        QTimer::singleShot(0, QCoreApplication::instance(), [ended, why] { ended(-1, why); });
        return;
    }
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, child, errors, ended] {
        int status = 0;
        const pid_t r = ::waitpid(child, &status, WNOHANG);
        if (r == 0) return;
        poll->stop();
        poll->deleteLater();
        std::string text;
        char buf[4096];
        ssize_t n;
        off_t at = 0;
        while ((n = ::pread(errors, buf, sizeof buf, at)) > 0 && text.size() < 65536) {
            text.append(buf, size_t(n));
            at += n;
        }
        ::close(errors);
        const int code = r == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        ended(code, QString::fromLocal8Bit(text.data(), qsizetype(text.size())).trimmed());
    });
    poll->start(50);
}
