// Where the program keeps its files: beside the program file, as the program has always done;
// installed system-wide (the program folder not writable), its own files live in the user's
// XDG folders instead.
#pragma once

#include <string>

class TProgramLayout {
public:
    using TGetenv = const char* (*)(const char*);

    // `folder` is the program's folder; a trailing separator is optional. Whether it is
    // writable is decided here, once; `getenv` (nullptr: the process's environment) gives
    // HOME and the XDG folders.
    explicit TProgramLayout(std::string folder, TGetenv getenv = nullptr);
    // The folder of the running program file (from /proc/self/exe); the current folder when
    // it cannot be found.
    static TProgramLayout OfRunningProgram();

    const std::string& Folder() const { return folder_; }   // no trailing separator
    bool Installed() const { return installed_; }           // the folder is not writable
    std::string SettingsFile() const;                        // tavr2.ini
    std::string CacheFolder() const;                         // Cache
    std::string DigestPassFolder() const;                    // Digest_Pass
    std::string HelperProgram() const;                       // the maintenance helper, tavrfix
    // The help: manual/index.html (Japanese) or manual/en/index.html (English).
    std::string HelpFile(bool english = false) const;
    std::string ErrorLogFile() const;                        // ErrorLog.txt: opened, never written
    // The result text written before a shutdown: the analysed file's name with ".log".
    std::string ShutdownLog(const std::string& analysedPath) const;
    // folder + separator + name.
    std::string File(const std::string& name) const;

private:
    std::string folder_;
    bool installed_ = false;
    std::string config_, cache_, data_;   // the user's folders for an installed program
};

// An executable's name with the platform's suffix ("tavrfix" here, "tavrfix.exe" on Windows).
std::string ExecutableFileName(const std::string& base);
