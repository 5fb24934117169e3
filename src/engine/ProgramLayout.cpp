#include "engine/ProgramLayout.h"

#include <filesystem>
#include <system_error>

#include "engine/FileUtils.h"

TProgramLayout::TProgramLayout(std::string folder) : folder_(std::move(folder)) {
    while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

TProgramLayout TProgramLayout::OfRunningProgram() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.has_parent_path()) return TProgramLayout(".");
    return TProgramLayout(exe.parent_path().string());
}

std::string TProgramLayout::File(const std::string& name) const {
    if (folder_.empty()) return name;
    return folder_ == "/" ? "/" + name : folder_ + "/" + name;
}

std::string TProgramLayout::SettingsFile() const { return File("tavr2.ini"); }
std::string TProgramLayout::CacheFolder() const { return File("Cache"); }
std::string TProgramLayout::HelperProgram() const { return File(ExecutableFileName("tavrfix")); }
std::string TProgramLayout::HelpFile() const { return File("Tavrenne.chm"); }

std::string TProgramLayout::ShutdownLog(const std::string& analysedPath) const {
    return File(ChangeFileExt(ExtractFileName(analysedPath), ".log"));
}

std::string ExecutableFileName(const std::string& base) {
#ifdef _WIN32
    return base + ".exe";
#else
    return base;
#endif
}
