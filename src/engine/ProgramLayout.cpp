#include "engine/ProgramLayout.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "engine/FileUtils.h"

namespace {

const char* SystemGetenv(const char* name) { return std::getenv(name); }

// $name when it is an absolute path, else $HOME/fallback, with "/tavrenne" appended.
std::string UserFolder(TProgramLayout::TGetenv getenv, const char* name, const char* fallback) {
    const char* value = getenv(name);
    if (value && value[0] == '/') return std::string(value) + "/tavrenne";
    const char* home = getenv("HOME");
    return std::string(home && home[0] ? home : ".") + "/" + fallback + "/tavrenne";
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

TProgramLayout::TProgramLayout(std::string folder, TGetenv getenv) : folder_(std::move(folder)) {
    while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
    installed_ = ::access(folder_.empty() ? "." : folder_.c_str(), W_OK) != 0;
    if (installed_) {
        if (!getenv) getenv = &SystemGetenv;
        config_ = UserFolder(getenv, "XDG_CONFIG_HOME", ".config");
        cache_ = UserFolder(getenv, "XDG_CACHE_HOME", ".cache");
        data_ = UserFolder(getenv, "XDG_DATA_HOME", ".local/share");
        // Made here, so that whoever writes a file there finds its folder.
        std::error_code ec;
        for (const std::string& f : {config_, cache_, data_}) std::filesystem::create_directories(f, ec);
    }
}

TProgramLayout TProgramLayout::OfRunningProgram() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.has_parent_path()) return TProgramLayout(".");
    return TProgramLayout(exe.parent_path().string());
}

std::string TProgramLayout::File(const std::string& name) const { return Join(folder_, name); }

std::string TProgramLayout::SettingsFile() const { return installed_ ? Join(config_, "tavr2.ini") : File("tavr2.ini"); }
std::string TProgramLayout::CacheFolder() const { return installed_ ? Join(cache_, "Cache") : File("Cache"); }
std::string TProgramLayout::DigestPassFolder() const {
    return installed_ ? Join(data_, "Digest_Pass") : File("Digest_Pass");
}
std::string TProgramLayout::HelperProgram() const { return File(ExecutableFileName("tavrfix")); }
std::string TProgramLayout::HelpFile(bool english) const { return File(english ? "manual/en/index.html" : "manual/index.html"); }
std::string TProgramLayout::ErrorLogFile() const { return File("ErrorLog.txt"); }

std::string TProgramLayout::ShutdownLog(const std::string& analysedPath) const {
    const std::string name = ChangeFileExt(ExtractFileName(analysedPath), ".log");
    return installed_ ? Join(data_, name) : File(name);
}

std::string ExecutableFileName(const std::string& base) {
#ifdef _WIN32
    return base + ".exe";
#else
    return base;
#endif
}
