// Where the program keeps its files: everything lives beside the program file.
#pragma once

#include <string>

class TProgramLayout {
public:
    // `folder` is the program's folder; a trailing separator is optional.
    explicit TProgramLayout(std::string folder);
    // The folder of the running program file (from /proc/self/exe); the current folder when
    // it cannot be found.
    static TProgramLayout OfRunningProgram();

    const std::string& Folder() const { return folder_; }   // no trailing separator
    std::string SettingsFile() const;                        // tavr2.ini
    std::string CacheFolder() const;                         // Cache
    std::string HelperProgram() const;                       // the maintenance helper, tavrfix
    std::string HelpFile() const;                            // Tavrenne.chm
    // The result text written before a shutdown: the analysed file's name with ".log".
    std::string ShutdownLog(const std::string& analysedPath) const;
    // folder + separator + name.
    std::string File(const std::string& name) const;

private:
    std::string folder_;
};

// An executable's name with the platform's suffix ("tavrfix" here, "tavrfix.exe" on Windows).
std::string ExecutableFileName(const std::string& base);
