// The desktop's side of Tavrenne: the .MD5 file type, our application entry, the
// file-manager actions and the icons. tavrfix writes these files; the program reads the
// same files back to learn the state, so a change made in the desktop's own settings shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "desktop/DesktopEnv.h"

inline constexpr const char* kMd5MimeType = "application/x-tavrenne-md5";
inline constexpr const char* kDesktopId = "tavrenne.desktop";
inline constexpr int kMd5IconCount = 15;

// Runs a desktop tool (update-mime-database, ...) and answers its exit code, -1 when it
// could not be started. Tests and the helper share the real one; it is a seam all the same.
using TToolRunner = int (*)(const std::vector<std::string>& argv);
int RunTool(const std::vector<std::string>& argv);

// Files, all under the user's own folders.
std::string MimePackageFile(const TDesktopEnv& env);     // mime/packages/tavrenne-md5.xml
std::string DesktopEntryFile(const TDesktopEnv& env);    // applications/tavrenne.desktop
std::string Md5IconFile(const TDesktopEnv& env, int index);
std::string Md5IconName(int index);                      // tavrenne-md5-<index>
std::string ProgramIconName();                           // tavrenne
std::string DolphinServiceMenuFile(const TDesktopEnv& env);
std::string NautilusScriptFolder(const TDesktopEnv& env);
std::string NemoActionFile(const TDesktopEnv& env, const std::string& key);

// Texts of the files, for a given program file.
std::string MimePackageText(int iconIndex);
std::string DesktopEntryText(const std::string& program);
// A program path as an Exec= value wants it (quoted where needed, '%' and '\' escaped).
std::string ExecProgram(const std::string& program);
// Our own art, drawn as SVG: 15 variants of the .MD5 file icon.
std::string Md5IconSvg(int index);

// What went wrong, one "<path or tool>: <reason>" each, for the helper to print.
using TDesktopProblems = std::vector<std::string>;

// "-I n" and "-F": true when every file was written (removed) and the databases updated.
// Files are replaced whole and keep their modes; every failure goes to `problems` when given.
bool InstallAssociation(const TDesktopEnv& env, const std::string& program, int iconIndex, TToolRunner run,
                        TDesktopProblems* problems = nullptr);
bool RemoveAssociation(const TDesktopEnv& env, TToolRunner run, TDesktopProblems* problems = nullptr);
// "-S" and "-D".
bool InstallActions(const TDesktopEnv& env, const std::string& program, TDesktopProblems* problems = nullptr);
bool RemoveActions(const TDesktopEnv& env, TDesktopProblems* problems = nullptr);
// "-O": temporaries of a helper stopped while writing (of every file it writes), and entries
// an older install left that name a program that is no longer there.
bool RemoveStaleEntries(const TDesktopEnv& env, TToolRunner run, TDesktopProblems* problems = nullptr);
// Every file the helper writes, mimeapps.list included.
std::vector<std::string> WrittenFiles(const TDesktopEnv& env);

// The state the program shows. The .MD5 type is ours when our MIME package is installed and
// our entry is the type's default application; the answer is then the icon text
// "<program>,<index>" of the icon that package names (no comma when it names another icon).
std::optional<std::string> AssociatedIconText(const TDesktopEnv& env, const std::string& program);
// The type's default application as the mimeapps.list files record it; empty when none.
std::string DefaultApplication(const TDesktopEnv& env, const std::string& mimeType);
// True when any of our file-manager actions is installed.
bool ActionsInstalled(const TDesktopEnv& env);

// One file-manager entry per digest choice, with the start-up switch it passes.
struct TActionChoice {
    const char* Key;      // file-name part
    const char* Label;    // what the menu shows
    const char* Switch;   // empty: the file alone, analysed with the saved choices
};
const std::vector<TActionChoice>& ActionChoices();
