// A password file written by the Digest tool lets a real client in through a real web server:
// Apache's mod_auth_digest on a loopback port, with a configuration of the test's own.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLineEdit>
#include <chrono>
#include <fstream>
#include <thread>

#include "fakes/AppFixture.h"
#include "tools/TDigestPassDlg.h"

namespace {

const char* const kApache = "/usr/sbin/apache2";
const char* const kModules = "/usr/lib/apache2/modules";

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

// The HTTP status curl gets with Digest credentials.
std::string Status(int port, const std::string& credentials) {
    return RunCommand("curl -s -o /dev/null -w '%{http_code}' --digest -u '" + credentials +
                      "' http://127.0.0.1:" + std::to_string(port) + "/index.html");
}

class Apache {
public:
    Apache(const std::filesystem::path& root, const std::string& passFile, const std::string& realm) {
        std::filesystem::create_directories(root / "htdocs");
        std::ofstream(root / "htdocs/index.html") << "in\n";
        port_ = FreePort();
        const std::string m = kModules;
        std::ofstream(root / "httpd.conf")
            << "ServerRoot \"" << root.string() << "\"\nServerName localhost\n"
            << "Listen 127.0.0.1:" << port_ << "\nPidFile " << (root / "httpd.pid").string() << "\n"
            << "ErrorLog " << (root / "error.log").string() << "\nDefaultRuntimeDir " << root.string() << "\n"
            << "LoadModule mpm_event_module " << m << "/mod_mpm_event.so\n"
            << "LoadModule authn_core_module " << m << "/mod_authn_core.so\n"
            << "LoadModule authn_file_module " << m << "/mod_authn_file.so\n"
            << "LoadModule authz_core_module " << m << "/mod_authz_core.so\n"
            << "LoadModule authz_user_module " << m << "/mod_authz_user.so\n"
            << "LoadModule auth_digest_module " << m << "/mod_auth_digest.so\n"
            << "DocumentRoot \"" << (root / "htdocs").string() << "\"\n"
            << "<Location />\n  AuthType Digest\n  AuthName \"" << realm << "\"\n"
            << "  AuthDigestProvider file\n  AuthUserFile \"" << passFile << "\"\n"
            << "  Require valid-user\n</Location>\n";
        pid_ = fork();
        if (pid_ == 0) {
            const std::string conf = (root / "httpd.conf").string();
            execl(kApache, kApache, "-f", conf.c_str(), "-DFOREGROUND", nullptr);
            _exit(127);
        }
        // Up when it answers at all (401 without credentials).
        for (int i = 0; i < 100 && Status(port_, "x:y") == "000"; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ~Apache() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    int Port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace

using DigestApacheTest = AppFixture;

TEST_F(DigestApacheTest, CurlIsLetInWithTheRightPasswordOnly) {
    if (access(kApache, X_OK) != 0 || system("command -v curl >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "apache2-bin and curl are needed";
    const std::string pass = dir_->file("pass.txt");
    {
        TDigestPassDlg d(w_.get(), QPixmap(), QStringLiteral("T"));
        d.SetTargetPath(TPath(QString::fromStdString(pass)));
        d.LabeledEdit1->setText(QStringLiteral("alice"));
        d.LabeledEdit3->setText(QStringLiteral("Members Only"));
        d.LabeledEdit2->setText(QStringLiteral("open:sesame"));
        d.QL_ImageLabel2Click();
        d.LabeledEdit1->setText(QStringLiteral("bob"));
        d.LabeledEdit2->setText(QStringLiteral("other"));
        d.QL_ImageLabel2Click();   // added: the file now has two sorted lines
    }
    ASSERT_TRUE(dialogs_.Calls.empty());
    const Apache server(dir_->path() / "apache", pass, "Members Only");
    EXPECT_EQ(Status(server.Port(), "alice:open:sesame"), "200");
    EXPECT_EQ(Status(server.Port(), "bob:other"), "200");
    EXPECT_EQ(Status(server.Port(), "alice:open:sesamE"), "401");
    EXPECT_EQ(Status(server.Port(), "carol:other"), "401");
}
