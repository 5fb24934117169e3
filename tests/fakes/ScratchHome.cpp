#include "fakes/ScratchHome.h"

#include <QtGlobal>

TScratchHome::TScratchHome(const std::filesystem::path& home) {
    const std::pair<const char*, const char*> vars[] = {
        {"HOME", "home"},            {"XDG_DATA_HOME", "data"},    {"XDG_CONFIG_HOME", "config"},
        {"XDG_CACHE_HOME", "cache"}, {"XDG_DATA_DIRS", "sysdata"}, {"XDG_CONFIG_DIRS", "sysconfig"},
    };
    for (auto [name, sub] : vars) {
        std::filesystem::create_directories(home / sub);
        saved_.emplace_back(name, qgetenv(name));
        qputenv(name, QByteArray::fromStdString((home / sub).string()));
    }
    saved_.emplace_back("XDG_CURRENT_DESKTOP", qgetenv("XDG_CURRENT_DESKTOP"));
    qunsetenv("XDG_CURRENT_DESKTOP");
}

TScratchHome::~TScratchHome() {
    for (const auto& [name, value] : saved_) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
}
