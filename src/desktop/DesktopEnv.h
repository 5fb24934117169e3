// Where the desktop keeps a user's files (the XDG base directories), read once from the
// environment so that everything below works on a scratch home as well as the real one.
#pragma once

#include <string>
#include <vector>

struct TDesktopEnv {
    std::string Home;
    std::string DataHome;      // $XDG_DATA_HOME, else ~/.local/share
    std::string ConfigHome;    // $XDG_CONFIG_HOME, else ~/.config
    std::string CacheHome;     // $XDG_CACHE_HOME, else ~/.cache
    std::vector<std::string> DataDirs;     // $XDG_DATA_DIRS, else /usr/local/share:/usr/share
    std::vector<std::string> ConfigDirs;   // $XDG_CONFIG_DIRS, else /etc/xdg
    std::vector<std::string> Desktops;     // $XDG_CURRENT_DESKTOP in lower case, in order

    // `get` answers an environment variable, or nullptr when it is unset.
    static TDesktopEnv From(const char* (*get)(const char*));
    static TDesktopEnv FromEnvironment();
};
