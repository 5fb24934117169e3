// tavrfix: the maintenance helper. The program starts it with one switch and never waits;
// the exit code (0 done, 1 failed, 2 bad command line) is for scripts and tests.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/ProgramLayout.h"
#include "desktop/DesktopIntegration.h"

namespace {

int Usage() {
    std::fputs("usage: tavrfix [-I icon-index | -F | -S | -D | -O | -W]\n", stderr);
    return 2;
}

bool ParseIndex(const char* text, int& index) {
    if (!text || !*text || std::strlen(text) > 2) return false;
    index = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        index = index * 10 + (*p - '0');
    }
    return index < kMd5IconCount;
}

// logind's PowerOff, interactive: the desktop may ask the user (other sessions, inhibitors).
bool PowerOff() {
    return RunTool({"dbus-send", "--system", "--print-reply", "--dest=org.freedesktop.login1",
                    "/org/freedesktop/login1", "org.freedesktop.login1.Manager.PowerOff", "boolean:true"}) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const TDesktopEnv env = TDesktopEnv::FromEnvironment();
    // The program that our entries start is the one beside this helper.
    const std::string program = TProgramLayout::OfRunningProgram().File(ExecutableFileName("tavrenne"));
    TDesktopProblems problems;
    bool ok = false;
    if (argc == 1) {
        // The full initialisation: everything this helper ever wrote goes.
        ok = RemoveAssociation(env, RunTool, &problems);
        ok = RemoveActions(env, &problems) && ok;
    } else {
        const std::string sw = argv[1];
        int index = 0;
        if (sw == "-I" && argc == 3 && ParseIndex(argv[2], index))
            ok = InstallAssociation(env, program, index, RunTool, &problems);
        else if (sw.size() > 2 && sw.compare(0, 2, "-I") == 0 && argc == 2 && ParseIndex(argv[1] + 2, index))
            ok = InstallAssociation(env, program, index, RunTool, &problems);
        else if (argc != 2) return Usage();
        else if (sw == "-F") ok = RemoveAssociation(env, RunTool, &problems);
        else if (sw == "-S") ok = InstallActions(env, program, &problems);
        else if (sw == "-D") ok = RemoveActions(env, &problems);
        else if (sw == "-O") ok = RemoveStaleEntries(env, RunTool, &problems);
        else if (sw == "-W") {
            ok = PowerOff();
            if (!ok) problems.push_back("logind: PowerOff was refused or could not be asked");
        } else return Usage();
    }
    // Started by the program, nobody reads this; started by hand, it says why.
    for (const std::string& p : problems) std::fprintf(stderr, "tavrfix: %s\n", p.c_str());
    if (!ok && problems.empty()) std::fputs("tavrfix: failed\n", stderr);
    return ok ? 0 : 1;
}
