#include "desktop/DesktopEnv.h"

#include <cstdlib>

#include "text/TextUtil.h"

namespace {

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(separator, start);
        const std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty()) parts.push_back(part);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

}  // namespace

TDesktopEnv TDesktopEnv::From(const char* (*get)(const char*)) {
    // The base directory rules ignore empty and relative values.
    auto absolute = [&](const char* name) -> std::string {
        const char* v = get(name);
        return v && v[0] == '/' ? std::string(v) : std::string();
    };
    TDesktopEnv env;
    const char* home = get("HOME");
    env.Home = home ? home : "";
    env.DataHome = absolute("XDG_DATA_HOME");
    if (env.DataHome.empty()) env.DataHome = env.Home + "/.local/share";
    env.ConfigHome = absolute("XDG_CONFIG_HOME");
    if (env.ConfigHome.empty()) env.ConfigHome = env.Home + "/.config";
    env.CacheHome = absolute("XDG_CACHE_HOME");
    if (env.CacheHome.empty()) env.CacheHome = env.Home + "/.cache";
    const char* dataDirs = get("XDG_DATA_DIRS");
    env.DataDirs = SplitList(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share", ':');
    const char* configDirs = get("XDG_CONFIG_DIRS");
    env.ConfigDirs = SplitList(configDirs && *configDirs ? configDirs : "/etc/xdg", ':');
    const char* desktops = get("XDG_CURRENT_DESKTOP");
    for (const std::string& d : SplitList(desktops ? desktops : "", ':')) env.Desktops.push_back(AsciiCase(d, false));
    return env;
}

TDesktopEnv TDesktopEnv::FromEnvironment() {
    return From([](const char* name) -> const char* { return std::getenv(name); });
}
