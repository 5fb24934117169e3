// tavrfix and the association state, in a scratch home: HOME and the XDG folders point at a
// temporary folder, so nothing here touches the real user's desktop.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "fakes/FakePlatform.h"
#include "desktop/DesktopIntegration.h"
#include "platform/Integration.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kHelper = TAV_BINARY_DIR "/bin/tavrfix";

struct Outcome {
    int Code = -1;
    std::string Out;
    std::string Err;
};

Outcome Execute(const std::string& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(program), args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput().trimmed().toStdString(),
            p.readAllStandardError().toStdString()};
}

// Every file and folder under `root`, with the bytes and mode of each file.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = e.path().lexically_relative(root).string();
        entries[rel] = e.is_symlink() ? "-> " + fs::read_symlink(e.path()).string()
                     : e.is_directory() ? "<dir>"
                                        : std::to_string(static_cast<int>(e.status().permissions())) + ":" + ReadBytes(e.path());
    }
    return entries;
}

class Integration : public ::testing::Test {
protected:
    TempDir dir_;
    fs::path root_ = dir_.path() / "scratch";
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    TDesktopEnv desktop_;
    TFakePlatform platform_;

    void SetUp() override {
        for (const char* sub : {"home", "data", "config", "cache"}) fs::create_directories(root_ / sub);
        env_.insert("HOME", Q(root_ / "home"));
        env_.insert("XDG_DATA_HOME", Q(root_ / "data"));
        env_.insert("XDG_CONFIG_HOME", Q(root_ / "config"));
        env_.insert("XDG_CACHE_HOME", Q(root_ / "cache"));
        env_.insert("XDG_DATA_DIRS", "/usr/share");
        env_.insert("XDG_CONFIG_DIRS", "/etc/xdg");
        env_.remove("XDG_CURRENT_DESKTOP");
        env_.remove("DBUS_SYSTEM_BUS_ADDRESS");
        desktop_.Home = (root_ / "home").string();
        desktop_.DataHome = (root_ / "data").string();
        desktop_.ConfigHome = (root_ / "config").string();
        desktop_.CacheHome = (root_ / "cache").string();
        desktop_.DataDirs = {"/usr/share"};
        desktop_.ConfigDirs = {"/etc/xdg"};
        platform_.Folder = QString::fromStdString(dir_.file("prog"));
        SetPlatform(&platform_);
    }
    void TearDown() override { SetPlatform(nullptr); }

    static QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }
    Outcome Helper(const QStringList& args, const std::string& helper = kHelper) { return Execute(helper, args, env_); }
    std::string Tool(const std::string& program, const QStringList& args) { return Execute(program, args, env_).Out; }
};

TEST_F(Integration, AssociateAndRemoveLeaveTheScratchHomeAsItWas) {
    // The user's own defaults are kept, byte for byte.
    const std::string mimeapps = "[Default Applications]\ntext/plain=org.example.Editor.desktop;\n\n"
                                 "[Added Associations]\nimage/png=viewer.desktop;\n";
    std::ofstream(root_ / "config/mimeapps.list") << mimeapps;
    std::ofstream(root_ / "x.MD5") << "d41d8cd98f00b204e9800998ecf8427e *x\n";
    std::ofstream(root_ / "y.md5") << "d41d8cd98f00b204e9800998ecf8427e *y\n";
    const auto before = Snapshot(root_);

    ASSERT_EQ(Helper({"-I", "7"}).Code, 0);
    for (const char* file : {"x.MD5", "y.md5"})
        EXPECT_EQ(Tool("xdg-mime", {"query", "filetype", Q(root_ / file)}), kMd5MimeType) << file;
    EXPECT_EQ(Tool("xdg-mime", {"query", "default", kMd5MimeType}), kDesktopId);
    const fs::path entry = root_ / "data/applications/tavrenne.desktop";
    EXPECT_EQ(Execute("desktop-file-validate", {Q(entry)}, env_).Code, 0);
    EXPECT_NE(ReadBytes(entry).find("Exec=" TAV_BINARY_DIR "/bin/tavrenne %F\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(root_ / "data/icons/hicolor/scalable/mimetypes/tavrenne-md5-7.svg"));
    EXPECT_NE(ReadBytes(root_ / "config/mimeapps.list").find("text/plain=org.example.Editor.desktop;"), std::string::npos);

    TAssociationControl control(desktop_);
    EXPECT_TRUE(control.IsAssociated());
    EXPECT_TRUE(control.PreviewVisible());
    EXPECT_EQ(control.PreviewIcon(), 7);
    EXPECT_EQ(control.FIconIndex, 7);

    ASSERT_EQ(Helper({"-F"}).Code, 0);
    EXPECT_EQ(Snapshot(root_), before);
    EXPECT_EQ(Tool("xdg-mime", {"query", "filetype", Q(root_ / "x.MD5")}), "text/plain");
    EXPECT_FALSE(control.IsAssociated());
    EXPECT_FALSE(control.PreviewVisible());
}

TEST_F(Integration, AListKeptElsewhereStaysALinkAndAListWithOnlyCommentsStays) {
    fs::create_directories(root_ / "dotfiles");
    std::ofstream(root_ / "dotfiles/mimeapps.list") << "# managed by hand\n";
    fs::create_symlink("../dotfiles/mimeapps.list", root_ / "config/mimeapps.list");
    const auto before = Snapshot(root_);
    ASSERT_EQ(Helper({"-I", "1"}).Code, 0);
    EXPECT_TRUE(fs::is_symlink(root_ / "config/mimeapps.list"));
    EXPECT_EQ(Tool("xdg-mime", {"query", "default", kMd5MimeType}), kDesktopId);
    ASSERT_EQ(Helper({"-F"}).Code, 0);
    EXPECT_EQ(Snapshot(root_), before);
}

TEST_F(Integration, ADefaultChosenInTheDesktopSettingsShowsAndIsKept) {
    ASSERT_EQ(Helper({"-I", "3"}).Code, 0);
    TAssociationControl control(desktop_);
    ASSERT_TRUE(control.IsAssociated());
    ASSERT_EQ(Execute("xdg-mime", {"default", "org.example.Other.desktop", kMd5MimeType}, env_).Code, 0);
    EXPECT_FALSE(control.IsAssociated());
    EXPECT_FALSE(control.PreviewVisible());

    ASSERT_EQ(Helper({"-F"}).Code, 0);
    EXPECT_EQ(DefaultApplication(desktop_, kMd5MimeType), "org.example.Other.desktop");

    // Our entry as default without our package installed is no association either.
    ASSERT_EQ(Helper({"-I", "3"}).Code, 0);
    ASSERT_EQ(Execute("xdg-mime", {"default", kDesktopId, kMd5MimeType}, env_).Code, 0);
    ASSERT_TRUE(control.IsAssociated());
    fs::remove(root_ / "data/mime/packages/tavrenne-md5.xml");
    EXPECT_FALSE(control.IsAssociated());
}

TEST_F(Integration, AWrongCommandLineChangesNothing) {
    const auto before = Snapshot(root_);
    for (const QStringList& args : {QStringList{"-I"}, QStringList{"-I", "15"}, QStringList{"-I", "x"},
                                    QStringList{"-I", "-1"}, QStringList{"-X"}, QStringList{"-F", "-S"}}) {
        EXPECT_EQ(Helper(args).Code, 2) << args.join(' ').toStdString();
    }
    EXPECT_EQ(Snapshot(root_), before);
}

TEST_F(Integration, FileManagerActionsComeAndGo) {
    const auto before = Snapshot(root_);
    ASSERT_EQ(Helper({"-S"}).Code, 0);
    TAssociationControl control(desktop_);
    EXPECT_TRUE(control.IsShellIntegrated());

    const fs::path dolphin = root_ / "data/kio/servicemenus/tavrenne.desktop";
    const std::string menu = ReadBytes(dolphin);
    EXPECT_NE(fs::status(dolphin).permissions() & fs::perms::owner_exec, fs::perms::none);
    for (const char* exec : {"tavrenne %f\n", "tavrenne -m %f\n", "tavrenne -h %f\n", "tavrenne -c %f\n", "tavrenne -2 %f\n",
                             "tavrenne -a %f\n"})
        EXPECT_NE(menu.find(std::string("Exec=" TAV_BINARY_DIR "/bin/") + exec), std::string::npos) << exec;

    // The Nautilus script hands the selected file over with its switch.
    const fs::path script = root_ / "data/nautilus/scripts/Tavrenne/Tavrenne: CRC32";
    EXPECT_EQ(ReadBytes(script), "#!/bin/sh\n# Sends the first selected file to Tavrenne.\nexec '" TAV_BINARY_DIR
                                 "/bin/tavrenne' -c \"$1\"\n");
    EXPECT_EQ(ReadBytes(root_ / "data/nautilus/scripts/Tavrenne/Tavrenne: SHA256"),
              "#!/bin/sh\n# Sends the first selected file to Tavrenne.\nexec '" TAV_BINARY_DIR "/bin/tavrenne' -2 \"$1\"\n");
    EXPECT_NE(ReadBytes(root_ / "data/nemo/actions/tavrenne-sha1.nemo_action").find("Exec='" TAV_BINARY_DIR
                                                                                    "/bin/tavrenne' -h %F\n"),
              std::string::npos);

    ASSERT_EQ(Helper({"-D"}).Code, 0);
    EXPECT_FALSE(control.IsShellIntegrated());
    EXPECT_EQ(Snapshot(root_), before);
}

TEST_F(Integration, CleanUpRemovesWhatAMovedInstallLeftAndKeepsTheRest) {
    const auto before = Snapshot(root_);
    // An older copy of the helper whose program is gone.
    const fs::path old = dir_.path() / "old";
    fs::create_directories(old);
    fs::copy_file(kHelper, old / "tavrfix");
    ASSERT_EQ(Helper({"-I", "2"}, (old / "tavrfix").string()).Code, 0);
    ASSERT_EQ(Helper({"-S"}, (old / "tavrfix").string()).Code, 0);
    std::ofstream(root_ / "data/mime/packages/tavrenne-md5.xml.tavrfix-tmp") << "half";
    ASSERT_EQ(Helper({"-O"}).Code, 0);
    EXPECT_EQ(Snapshot(root_), before);

    // Entries that start a program that is there stay; no argument takes them all away.
    ASSERT_EQ(Helper({"-I", "2"}).Code, 0);
    ASSERT_EQ(Helper({"-S"}).Code, 0);
    const auto installed = Snapshot(root_);
    ASSERT_EQ(Helper({"-O"}).Code, 0);
    EXPECT_EQ(Snapshot(root_), installed);
    ASSERT_EQ(Helper({}).Code, 0);
    EXPECT_EQ(Snapshot(root_), before);
}

// Started by hand, the helper says why it failed.
TEST_F(Integration, AReadOnlyConfigFolderIsSaidOnStderr) {
    const fs::path config = root_ / "config";
    fs::permissions(config, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    std::string program = kHelper;
    QStringList args = {"-I", "1"};
    if (geteuid() == 0) {
        // Root writes anywhere: the helper runs as nobody, who owns the rest of the scratch home.
        fs::permissions(dir_.path(), fs::perms::all);
        for (const auto& e : fs::recursive_directory_iterator(root_))
            if (e.path() != config) lchown(e.path().c_str(), 65534, 65534);
        lchown(root_.c_str(), 65534, 65534);
        if (Execute("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "true"}, env_).Code != 0)
            GTEST_SKIP() << "cannot run a program as nobody with setpriv";
        program = "setpriv";
        args = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", QString::fromStdString(kHelper)} + args;
    }
    const Outcome o = Execute(program, args, env_);
    fs::permissions(config, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(o.Code, 1);
    EXPECT_EQ(o.Err, "tavrfix: " + (config / "mimeapps.list").string() + ": " + std::strerror(EACCES) + "\n");
}

TEST_F(Integration, TheIconIndexFollowsTheFirstComma) {
    struct Case {
        const char* text;
        bool shown;
        int index;   // FIconIndex afterwards (starts at 4)
    };
    const Case cases[] = {
        {"/opt/tavrenne,12", true, 12},
        {"/opt/tavrenne,0", true, 0},
        {"/opt/tavrenne", false, 4},
        {"/opt/tavrenne,", false, 4},
        {"/opt/tavrenne,x1", false, 4},
        {"/opt/a,b/tavrenne,3", false, 4},
    };
    for (const Case& c : cases) {
        TAssociationControl control(desktop_);
        control.FIconIndex = 4;
        control.ShowAssociatedIcon(c.text);
        EXPECT_EQ(control.PreviewVisible(), c.shown) << c.text;
        EXPECT_EQ(control.FIconIndex, c.index) << c.text;
    }
}

TEST_F(Integration, SwitchingStartsTheHelperAndShowsThePreviewAtOnce) {
    const QString helper = platform_.Folder + "/tavrfix";
    TAssociationControl control(desktop_);
    control.ShowAssociatedIcon("/opt/tavrenne,5");
    control.SetAssociation(false, 7);
    EXPECT_FALSE(control.PreviewVisible());
    control.SetAssociation(true, 7);
    EXPECT_TRUE(control.PreviewVisible());
    EXPECT_EQ(control.PreviewIcon(), 5);   // the picture waits for the next IsAssociated
    control.CheckOldVersion();             // no helper in the program folder: nothing
    fs::create_directories(platform_.Folder.toStdString());
    std::ofstream(platform_.Folder.toStdString() + "/tavrfix") << "#!/bin/sh\n";
    control.CheckOldVersion();
    EXPECT_EQ(platform_.Started, (std::vector<std::pair<QString, QString>>{
                                     {helper, "-F"}, {helper, "-I 7"}, {helper, "-O"}}));
}

TEST_F(Integration, FifteenIconsOfOurOwnEachItsOwn) {
    std::vector<QImage> images;
    for (int i = 0; i < kMd5IconCount; ++i) {
        const QPixmap pixmap = Md5IconPixmap(i);
        ASSERT_FALSE(pixmap.isNull()) << i;
        EXPECT_EQ(pixmap.size(), QSize(32, 32));
        images.push_back(pixmap.toImage());
        for (int j = 0; j < i; ++j) EXPECT_NE(images[i], images[j]) << i << " looks like " << j;
    }
    EXPECT_TRUE(Md5IconPixmap(kMd5IconCount).isNull());
    EXPECT_TRUE(Md5IconPixmap(-1).isNull());
}

// "-W" asks logind to power off; here logind is python3-dbusmock's template on a private bus.
TEST_F(Integration, ShutdownAsksLogindToPowerOffInteractively) {
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!bus.waitForStarted() || !bus.waitForReadyRead(10000)) GTEST_SKIP() << "no private D-Bus daemon";
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    ASSERT_FALSE(address.isEmpty());
    // Never the machine's own bus: everything below talks to the private one only.
    env_.insert("DBUS_SYSTEM_BUS_ADDRESS", address);

    const std::string log = dir_.file("logind.log");
    QProcess mock;
    mock.setProcessEnvironment(env_);
    mock.start("/usr/bin/python3", {"-m", "dbusmock", "--system", "--template", "logind", "-l", QString::fromStdString(log)});
    bool up = false;
    for (int i = 0; i < 100 && !up && mock.state() != QProcess::NotRunning; ++i) {
        up = Execute("dbus-send", {"--system", "--print-reply", "--dest=org.freedesktop.login1", "/org/freedesktop/login1",
                                   "org.freedesktop.DBus.Peer.Ping"}, env_).Code == 0;
        if (!up) QThread::msleep(100);
    }
    if (!up) {
        mock.kill();
        bus.kill();
        mock.waitForFinished();
        bus.waitForFinished();
        GTEST_SKIP() << "python3-dbusmock's logind template did not start";
    }
    EXPECT_EQ(Helper({"-W"}).Code, 0);
    mock.terminate();
    mock.waitForFinished();
    bus.terminate();
    bus.waitForFinished();
    EXPECT_NE(ReadBytes(log).find("PowerOff True"), std::string::npos) << ReadBytes(log);
}

}  // namespace
