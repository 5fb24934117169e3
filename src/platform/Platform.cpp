#include "platform/Platform.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cstring>

#include "platform/Launch.h"

#ifdef __linux__
#include <dirent.h>
#include <sched.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstdlib>
#include <vector>
#endif

namespace {

#ifdef __linux__
// Nice values and scheduling policies are per thread here: a class is given to every thread.
std::vector<pid_t> Threads() {
    std::vector<pid_t> ids;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (const dirent* e = ::readdir(dir))
            if (e->d_name[0] != '.') ids.push_back(pid_t(std::atoi(e->d_name)));
        ::closedir(dir);
    }
    if (ids.empty()) ids.push_back(0);
    return ids;
}

// Normal is nice 0; high is nice -5, which needs the right to raise priorities; idle is the
// idle scheduling policy (nice 19 where that policy is missing). Any other nice value is a
// class of its own, so that every request changes it.
uint32_t LinuxPriorityClass() {
    if (::sched_getscheduler(0) == SCHED_IDLE) return pcIdle;
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (errno != 0) return pcNormal;
    if (nice < 0) return pcHigh;
    if (nice == 0) return pcNormal;
    return nice >= 19 ? uint32_t(pcIdle) : 0u;
}

void LinuxSetPriorityClass(uint32_t priorityClass) {
    if (priorityClass != pcNormal && priorityClass != pcHigh && priorityClass != pcIdle) return;
    const sched_param param{};
    for (const pid_t id : Threads()) {
        if (priorityClass == pcIdle) {
            if (::sched_setscheduler(id, SCHED_IDLE, &param) != 0) ::setpriority(PRIO_PROCESS, id_t(id), 19);
            continue;
        }
        if (::sched_getscheduler(id) == SCHED_IDLE) ::sched_setscheduler(id, SCHED_OTHER, &param);
        ::setpriority(PRIO_PROCESS, id_t(id), priorityClass == pcHigh ? -5 : 0);
    }
}
#endif

// xdg-open's exit codes, for a failure it gave no words for.
QString XdgOpenReason(int status) {
    switch (status) {
    case 1: return QStringLiteral("xdg-open: wrong arguments");
    case 2: return QStringLiteral("xdg-open: the file does not exist");
    case 3: return QStringLiteral("xdg-open: a tool it needs was not found");
    case 4: return QStringLiteral("xdg-open: the desktop could not open the file");
    case 127: return QStringLiteral("xdg-open: not found");
    default: return QStringLiteral("xdg-open: exit status %1").arg(status);
    }
}

class TRealPlatform : public TPlatform {
public:
    QString ProgramFile() const override { return QCoreApplication::applicationFilePath(); }
    QString ProgramFolder() const override { return QCoreApplication::applicationDirPath(); }

    void StartProgram(const QString& program, const QString& parameters) override {
        // Detached: the helper outlives us and we never wait for it.
        QProcess::startDetached(program, QProcess::splitCommand(parameters));
    }

    void OpenDocument(const QString& pathOrUrl) override {
        const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
        QDesktopServices::openUrl(url);
    }

    bool StartProgramFile(const TPath& file, QString* reason) override {
        const int err = ::StartProgramFile(file.Bytes());
        if (err && reason) *reason = QString::fromLocal8Bit(std::strerror(err));
        return err == 0;
    }

    void OpenFile(const TPath& file, std::function<void(const QString&)> failed) override {
        // xdg-open says when no handler took the file, which the desktop services do not.
        RunAndWatch({"xdg-open", file.Bytes()}, [failed](int status, const QString& errors) {
            if (status == 0 || !failed) return;
            failed(errors.isEmpty() ? XdgOpenReason(status) : errors);
        });
    }

    void SetClipboardText(const QString& text) override {
        if (auto* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
    }

    void PlaySound(const QString& file) override {
        if (player_) {
            player_->kill();
            player_->waitForFinished(200);
            delete player_;
        }
        QString tool = QStandardPaths::findExecutable(QStringLiteral("paplay"));
        if (tool.isEmpty()) tool = QStandardPaths::findExecutable(QStringLiteral("aplay"));
        if (tool.isEmpty()) return;
        player_ = new QProcess(QCoreApplication::instance());
        player_->start(tool, {file});
    }

#ifdef __linux__
    uint32_t PriorityClass() const override { return LinuxPriorityClass(); }
    void SetPriorityClass(uint32_t priorityClass) override { LinuxSetPriorityClass(priorityClass); }
#endif

private:
    QPointer<QProcess> player_;
};

TPlatform* g_platform = nullptr;

}  // namespace

TPlatform& Platform() {
    static TRealPlatform real;
    return g_platform ? *g_platform : real;
}

void SetPlatform(TPlatform* platform) { g_platform = platform; }

TProgramLayout ProgramLayout() { return TProgramLayout(Platform().ProgramFolder().toStdString()); }

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator())) return folder + name;
    return folder + QLatin1Char('/') + name;
}
