// A scratch home for tests of windows that read the desktop's state (HOME, the XDG folders,
// the desktop's name): set while it lives, the variables as they were afterwards.
#pragma once

#include <QByteArray>
#include <filesystem>
#include <utility>
#include <vector>

class TScratchHome {
public:
    explicit TScratchHome(const std::filesystem::path& home);
    ~TScratchHome();
    TScratchHome(const TScratchHome&) = delete;
    TScratchHome& operator=(const TScratchHome&) = delete;

private:
    std::vector<std::pair<const char*, QByteArray>> saved_;
};
