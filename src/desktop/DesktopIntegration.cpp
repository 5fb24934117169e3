#include "desktop/DesktopIntegration.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "engine/AtomicFile.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Temporaries of older versions of the helper, which wrote "<file>.tavrfix-tmp".
constexpr const char* kTempSuffix = ".tavrfix-tmp";
constexpr const char* kDefaultsSection = "[Default Applications]";
constexpr const char* kIconPrefix = "tavrenne-md5-";

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// What failed, for the user: "<path>: <reason>".
void Problem(TDesktopProblems* problems, const std::string& path, const std::string& reason) {
    if (problems) problems->push_back(path + ": " + reason);
}

// Replaced whole (engine/AtomicFile): a reader never sees half a file, a file kept elsewhere
// through a symbolic link (managed dotfiles) is written where it is, and an existing file
// keeps its mode, also one the user made read-only: these are the user's desktop settings,
// which we were asked to change.
bool WriteText(const std::string& file, const std::string& text, TDesktopProblems* problems, bool executable = false) {
    std::string target;
    if (const int err = FollowLinks(file, target)) {
        Problem(problems, file, std::strerror(err));
        return false;
    }
    std::error_code ec;
    fs::create_directories(fs::path(target).parent_path(), ec);
    if (ec) {
        Problem(problems, fs::path(target).parent_path().string(), ec.message());
        return false;
    }
    TReplaceOptions options;
    options.RefuseReadOnly = false;
    options.Executable = executable;
    if (const int err = ReplaceFile(file, text, options)) {
        Problem(problems, file, std::strerror(err));
        return false;
    }
    return true;
}

bool RemoveFile(const std::string& path, TDesktopProblems* problems) {
    std::error_code ec;
    fs::remove(path, ec);
    if (ec) Problem(problems, path, ec.message());
    return !ec;
}

// Runs a desktop tool; a failure is named.
bool RunOk(TToolRunner run, const std::vector<std::string>& argv, TDesktopProblems* problems) {
    const int code = run(argv);
    if (code == 0) return true;
    Problem(problems, argv[0], code < 0 ? "could not be started" : "exited with status " + std::to_string(code));
    return false;
}

// Removes the folders above `path` that are left empty, up to (not including) `stop`.
void RemoveEmptyParents(const fs::path& path, const fs::path& stop) {
    std::error_code ec;
    for (fs::path dir = path.parent_path(); !dir.empty() && dir != stop && dir.string().size() > stop.string().size();
         dir = dir.parent_path()) {
        if (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec)) return;
        if (!fs::remove(dir, ec)) return;
    }
}

bool RemoveOurFile(const std::string& path, const std::string& stop, TDesktopProblems* problems) {
    if (!Exists(path)) return true;
    const bool ok = RemoveFile(path, problems);
    RemoveEmptyParents(path, stop);
    return ok;
}

std::string ShellQuote(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A string value of a desktop entry: backslashes and line ends escaped.
std::string EntryValue(const std::string& text) {
    std::string v;
    for (char c : text) {
        if (c == '\\') v += "\\\\";
        else if (c == '\n') v += "\\n";
        else v += c;
    }
    return v;
}

std::string EntryKey(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return {};
}

std::string UnescapeValue(const std::string& value) {
    std::string v;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char n = value[++i];
            v += n == 'n' ? '\n' : n == 's' ? ' ' : n == 't' ? '\t' : n;
        } else {
            v += value[i];
        }
    }
    return v;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

bool IsSection(const std::string& line) { return !line.empty() && line[0] == '['; }

// The value of `key` in [Default Applications] of a mimeapps.list text, if it is there.
std::optional<std::string> DefaultsValue(const std::string& text, const std::string& key) {
    bool inSection = false;
    for (const std::string& line : Lines(text)) {
        if (IsSection(line)) inSection = line == kDefaultsSection;
        else if (inSection && line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return std::nullopt;
}

std::string MimeAppsFile(const TDesktopEnv& env) { return env.ConfigHome + "/mimeapps.list"; }

// Records our entry as the type's default, in the file and section where `xdg-mime default`
// records it; the rest of the file keeps its lines.
bool SetDefault(const TDesktopEnv& env, TDesktopProblems* problems) {
    const std::string file = MimeAppsFile(env);
    std::vector<std::string> lines = Lines(ReadText(file));
    const std::string key = std::string(kMd5MimeType) + "=";
    const std::string entry = key + kDesktopId + ";";
    bool inSection = false, done = false;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        if (IsSection(lines[i])) {
            if (inSection) {   // end of our section without the key
                lines.insert(lines.begin() + static_cast<long>(i), entry);
                done = true;
            }
            inSection = lines[i] == kDefaultsSection;
        } else if (inSection && lines[i].rfind(key, 0) == 0) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done && inSection) lines.push_back(entry);
    else if (!done) {
        lines.push_back(kDefaultsSection);
        lines.push_back(entry);
    }
    return WriteText(file, Joined(lines), problems);
}

// Takes our entry away from the type's default; a default the user chose stays. A file left
// with no entry at all is removed.
bool RemoveDefault(const TDesktopEnv& env, TDesktopProblems* problems) {
    const std::string file = MimeAppsFile(env);
    if (!Exists(file)) return true;
    std::vector<std::string> lines = Lines(ReadText(file));
    const std::string key = std::string(kMd5MimeType) + "=";
    bool inSection = false, changed = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsSection(lines[i])) inSection = lines[i] == kDefaultsSection;
        else if (inSection && lines[i].rfind(key, 0) == 0) {
            const std::string value = lines[i].substr(key.size());
            if (value == kDesktopId || value == std::string(kDesktopId) + ";") {
                lines.erase(lines.begin() + static_cast<long>(i--));
                changed = true;
            }
        }
    }
    if (!changed) return true;
    // A defaults section left without entries goes (it means nothing, and we may have added it);
    // a file left with nothing at all was ours alone.
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != kDefaultsSection) continue;
        size_t next = i + 1;
        while (next < lines.size() && lines[next].empty()) ++next;
        if (next == lines.size() || IsSection(lines[next])) lines.erase(lines.begin() + static_cast<long>(i--));
    }
    bool empty = true;
    for (const std::string& l : lines) empty &= l.empty();
    if (empty) return RemoveOurFile(file, env.ConfigHome, problems);
    return WriteText(file, Joined(lines), problems);
}

// "#rrggbb" of a hue (degrees), saturation and lightness: SVG Tiny renderers know no hsl().
std::string HslColor(int hue, double saturation, double lightness) {
    const double c = (1 - std::fabs(2 * lightness - 1)) * saturation;
    const double h = hue / 60.0;
    const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    if (h < 1) r = c, g = x;
    else if (h < 2) r = x, g = c;
    else if (h < 3) g = c, b = x;
    else if (h < 4) g = x, b = c;
    else if (h < 5) r = x, b = c;
    else r = c, b = x;
    const double m = lightness - c / 2;
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround((r + m) * 255)),
                  static_cast<int>(std::lround((g + m) * 255)), static_cast<int>(std::lround((b + m) * 255)));
    return text;
}

// Hues for the fifteen icons, so neighbours in the list look apart.
constexpr int kHues[kMd5IconCount] = {210, 0, 120, 30, 270, 180, 330, 60, 240, 150, 15, 300, 90, 195, 45};

}  // namespace

int RunTool(const std::vector<std::string>& argv) {
    if (argv.empty()) return -1;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string MimePackageFile(const TDesktopEnv& env) { return env.DataHome + "/mime/packages/tavrenne-md5.xml"; }
std::string DesktopEntryFile(const TDesktopEnv& env) { return env.DataHome + "/applications/" + kDesktopId; }
std::string Md5IconName(int index) { return kIconPrefix + std::to_string(index); }
std::string ProgramIconName() { return "tavrenne"; }
std::string Md5IconFile(const TDesktopEnv& env, int index) {
    return env.DataHome + "/icons/hicolor/scalable/mimetypes/" + Md5IconName(index) + ".svg";
}
std::string DolphinServiceMenuFile(const TDesktopEnv& env) { return env.DataHome + "/kio/servicemenus/tavrenne.desktop"; }
std::string NautilusScriptFolder(const TDesktopEnv& env) { return env.DataHome + "/nautilus/scripts/Tavrenne"; }
std::string NemoActionFile(const TDesktopEnv& env, const std::string& key) {
    return env.DataHome + "/nemo/actions/tavrenne-" + key + ".nemo_action";
}

const std::vector<TActionChoice>& ActionChoices() {
    static const std::vector<TActionChoice> choices = {
        {"open", "Tavrenne", ""},
        {"md5", "Tavrenne: MD5", "-m"},
        {"sha1", "Tavrenne: SHA1", "-h"},
        {"crc32", "Tavrenne: CRC32", "-c"},
        {"sha256", "Tavrenne: SHA256", "-2"},
        {"all", "Tavrenne: 全取得", "-a"},
        {"verify", "Tavrenne: チェックサムの検証", "-l"},
    };
    return choices;
}

std::string ExecProgram(const std::string& program) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string arg = program;
    if (program.find_first_of(reserved) != std::string::npos) {
        arg = "\"";
        for (char c : program) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') arg += '\\';
            arg += c;
        }
        arg += "\"";
    }
    std::string escaped;
    for (char c : arg) escaped += c == '%' ? std::string("%%") : std::string(1, c);
    return EntryValue(escaped);
}

std::string MimePackageText(int iconIndex) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" + std::string(kMd5MimeType) + "\">\n"
           "    <comment>MD5 checksum file</comment>\n"
           "    <comment xml:lang=\"ja\">MD5ファイル</comment>\n"
           "    <sub-class-of type=\"text/plain\"/>\n"
           "    <icon name=\"" + Md5IconName(iconIndex) + "\"/>\n"
           "    <glob pattern=\"*.md5\"/>\n"
           "    <glob pattern=\"*.MD5\" case-sensitive=\"true\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

std::string DesktopEntryText(const std::string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tavrenne\n"
           "GenericName=File Information and Digests\n"
           "GenericName[ja]=ファイル情報とダイジェスト\n"
           "Comment=Shows everything about a file and proves its content by CRC32, MD5 and SHA-1\n"
           "Exec=" + ExecProgram(program) + " %F\n"
           "TryExec=" + EntryValue(program) + "\n"
           "Icon=" + ProgramIconName() + "\n"
           "Terminal=false\n"
           "Categories=Utility;\n"
           "Keywords=checksum;digest;hash;MD5;SHA1;CRC32;\n"
           "MimeType=" + kMd5MimeType + ";\n";
}

std::string Md5IconSvg(int index) {
    const int hue = kHues[((index % kMd5IconCount) + kMd5IconCount) % kMd5IconCount];
    const std::string band = HslColor(hue, 0.70, 0.42);
    const std::string tint = HslColor(hue, 0.60, 0.92);
    std::string mark;
    switch (index % 3) {
    case 0: mark = "<path d='M22 44l6 6 12-14' fill='none' stroke='" + band + "' stroke-width='4' stroke-linecap='round'/>"; break;
    case 1: mark = "<path d='M24 36h16M24 44h16M28 32v16M36 32v16' stroke='" + band + "' stroke-width='3'/>"; break;
    default: mark = "<path d='M32 30l9 4v7c0 6-4 9-9 11-5-2-9-5-9-11v-7z' fill='" + band + "'/>"; break;
    }
    return "<svg xmlns='http://www.w3.org/2000/svg' width='64' height='64' viewBox='0 0 64 64'>\n"
           "<path d='M12 4h28l12 12v44H12z' fill='" + tint + "' stroke='#444' stroke-width='2'/>\n"
           "<path d='M40 4v12h12' fill='#fff' stroke='#444' stroke-width='2'/>\n"
           "<rect x='12' y='" + std::to_string(8 + (index / 3) * 2) + "' width='22' height='10' fill='" + band + "'/>\n"
           "<text x='14' y='" + std::to_string(16 + (index / 3) * 2) +
           "' font-family='sans-serif' font-size='8' font-weight='bold' fill='#fff'>MD5</text>\n" + mark + "\n</svg>\n";
}

bool InstallAssociation(const TDesktopEnv& env, const std::string& program, int iconIndex, TToolRunner run,
                        TDesktopProblems* problems) {
    if (iconIndex < 0 || iconIndex >= kMd5IconCount) return false;
    bool ok = WriteText(Md5IconFile(env, iconIndex), Md5IconSvg(iconIndex), problems);
    ok = WriteText(MimePackageFile(env), MimePackageText(iconIndex), problems) && ok;
    ok = WriteText(DesktopEntryFile(env), DesktopEntryText(program), problems) && ok;
    ok = SetDefault(env, problems) && ok;
    ok = RunOk(run, {"update-mime-database", env.DataHome + "/mime"}, problems) && ok;
    ok = RunOk(run, {"update-desktop-database", env.DataHome + "/applications"}, problems) && ok;
    return ok;
}

bool RemoveAssociation(const TDesktopEnv& env, TToolRunner run, TDesktopProblems* problems) {
    bool ok = true;
    for (int i = 0; i < kMd5IconCount; ++i) ok = RemoveOurFile(Md5IconFile(env, i), env.DataHome, problems) && ok;
    ok = RemoveDefault(env, problems) && ok;

    // The user's MIME folder holds only what update-mime-database made from its packages: with
    // no package left it goes entirely.
    const std::string mime = env.DataHome + "/mime";
    const std::string packages = mime + "/packages";
    ok = RemoveFile(MimePackageFile(env), problems) && ok;
    std::error_code ec;
    if (fs::is_directory(packages, ec) && fs::is_empty(packages, ec)) fs::remove(packages, ec);
    if (!fs::exists(packages, ec) && fs::is_directory(mime, ec)) {
        fs::remove_all(mime, ec);
        if (ec) Problem(problems, mime, ec.message());
        RemoveEmptyParents(mime, env.DataHome);
    } else if (fs::exists(packages, ec)) {
        ok = RunOk(run, {"update-mime-database", mime}, problems) && ok;
    }

    const std::string apps = env.DataHome + "/applications";
    ok = RemoveFile(DesktopEntryFile(env), problems) && ok;
    bool otherEntries = false;
    for (auto it = fs::recursive_directory_iterator(apps, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        otherEntries |= it->path().extension() == ".desktop";
    }
    if (otherEntries) {
        ok = RunOk(run, {"update-desktop-database", apps}, problems) && ok;
    } else if (fs::is_directory(apps, ec)) {
        fs::remove(apps + "/mimeinfo.cache", ec);
        RemoveEmptyParents(apps + "/x", env.DataHome);
    }
    return ok;
}

bool InstallActions(const TDesktopEnv& env, const std::string& program, TDesktopProblems* problems) {
    const auto& choices = ActionChoices();
    // Dolphin: one service menu, a submenu with one action per digest choice.
    std::string dolphin = "[Desktop Entry]\n"
                          "Type=Service\n"
                          "MimeType=all/allfiles;\n"
                          "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                          "X-KDE-Submenu=Tavrenne\n"
                          "TryExec=" + EntryValue(program) + "\n"
                          "Actions=";
    for (const auto& c : choices) dolphin += std::string(c.Key) + ";";
    dolphin += "\n";
    for (const auto& c : choices) {
        dolphin += std::string("\n[Desktop Action ") + c.Key + "]\nName=" + c.Label + "\nIcon=" + ProgramIconName() +
                   "\nExec=" + ExecProgram(program) + (*c.Switch ? " " : "") + c.Switch + " %f\n";
    }
    bool ok = WriteText(DolphinServiceMenuFile(env), dolphin, problems, true);

    // Nautilus: a script per choice in a "Tavrenne" folder; it gets the selected paths.
    for (const auto& c : choices) {
        const std::string script = "#!/bin/sh\n# Sends the first selected file to Tavrenne.\nexec " + ShellQuote(program) +
                                   (*c.Switch ? " " : "") + c.Switch + " \"$1\"\n";
        ok = WriteText(NautilusScriptFolder(env) + "/" + c.Label, script, problems, true) && ok;
    }

    // Nemo: one action file per choice, for a single selected file.
    for (const auto& c : choices) {
        const std::string action = "[Nemo Action]\nName=" + std::string(c.Label) + "\nComment=" + c.Label +
                                   "\nExec=" + ShellQuote(program) + (*c.Switch ? " " : "") + c.Switch +
                                   " %F\nIcon-Name=" + ProgramIconName() + "\nSelection=s\nExtensions=nodirs;\n";
        ok = WriteText(NemoActionFile(env, c.Key), action, problems) && ok;
    }
    return ok;
}

bool RemoveActions(const TDesktopEnv& env, TDesktopProblems* problems) {
    bool ok = RemoveOurFile(DolphinServiceMenuFile(env), env.DataHome, problems);
    for (const auto& c : ActionChoices()) {
        ok = RemoveOurFile(NautilusScriptFolder(env) + "/" + c.Label, env.DataHome, problems) && ok;
        ok = RemoveOurFile(NemoActionFile(env, c.Key), env.DataHome, problems) && ok;
    }
    return ok;
}

std::vector<std::string> WrittenFiles(const TDesktopEnv& env) {
    std::vector<std::string> files = {MimePackageFile(env), DesktopEntryFile(env), MimeAppsFile(env),
                                      DolphinServiceMenuFile(env)};
    for (int i = 0; i < kMd5IconCount; ++i) files.push_back(Md5IconFile(env, i));
    for (const auto& c : ActionChoices()) {
        files.push_back(NautilusScriptFolder(env) + "/" + c.Label);
        files.push_back(NemoActionFile(env, c.Key));
    }
    return files;
}

bool RemoveStaleEntries(const TDesktopEnv& env, TToolRunner run, TDesktopProblems* problems) {
    bool ok = true;
    // Temporaries of a helper that was stopped while writing: ours, and older versions' ones.
    for (const std::string& file : WrittenFiles(env)) {
        std::string target;
        RemoveReplaceLeftovers(FollowLinks(file, target) == 0 ? target : file);
        if (Exists(file + kTempSuffix)) ok = RemoveFile(file + kTempSuffix, problems) && ok;
    }
    // Entries that start a program which was moved or removed since (an older build folder).
    auto stale = [](const std::string& entry) {
        if (!Exists(entry)) return false;
        const std::string program = UnescapeValue(EntryKey(ReadText(entry), "TryExec"));
        return !program.empty() && !Exists(program);
    };
    if (stale(DesktopEntryFile(env))) ok = RemoveAssociation(env, run, problems) && ok;
    if (stale(DolphinServiceMenuFile(env))) ok = RemoveActions(env, problems) && ok;
    return ok;
}

std::string DefaultApplication(const TDesktopEnv& env, const std::string& mimeType) {
    std::vector<std::string> files;
    auto add = [&](const std::string& folder) {
        for (const std::string& d : env.Desktops) files.push_back(folder + "/" + d + "-mimeapps.list");
        files.push_back(folder + "/mimeapps.list");
    };
    add(env.ConfigHome);
    for (const std::string& d : env.ConfigDirs) add(d);
    add(env.DataHome + "/applications");
    for (const std::string& d : env.DataDirs) add(d + "/applications");
    for (const std::string& file : files) {
        if (!Exists(file)) continue;
        const std::optional<std::string> value = DefaultsValue(ReadText(file), mimeType);
        if (!value) continue;
        const std::string first = value->substr(0, value->find(';'));
        if (!first.empty()) return first;
    }
    return {};
}

std::optional<std::string> AssociatedIconText(const TDesktopEnv& env, const std::string& program) {
    if (!Exists(MimePackageFile(env)) || DefaultApplication(env, kMd5MimeType) != kDesktopId) return std::nullopt;
    const std::string package = ReadText(MimePackageFile(env));
    const std::string tag = "<icon name=\"";
    const size_t at = package.find(tag);
    if (at == std::string::npos) return program;
    const size_t start = at + tag.size();
    const std::string name = package.substr(start, package.find('"', start) - start);
    if (name.rfind(kIconPrefix, 0) != 0) return program;
    return program + "," + name.substr(std::string(kIconPrefix).size());
}

bool ActionsInstalled(const TDesktopEnv& env) {
    if (Exists(DolphinServiceMenuFile(env))) return true;
    for (const auto& c : ActionChoices()) {
        if (Exists(NautilusScriptFolder(env) + "/" + c.Label) || Exists(NemoActionFile(env, c.Key))) return true;
    }
    return false;
}
