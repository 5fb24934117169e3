// Shortcuts to the program as desktop launchers (.desktop files): on the desktop, in the
// applications menu and in the "open with" list that serves as the send-to place.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ShellFolders.h"

struct TQL_ShortCutIconInfo {
    std::string IconFile;        // empty: the program's own icon
    uint8_t IconIndex = 0;       // a launcher names one icon file; the index has no place in it
    bool ResolveMode = false;
    std::string LinkFile;
    std::string Target;
    std::string Spare;
    std::string Arguments;
    uint8_t ShowCommand = 0;     // launchers carry no window state; kept for the record
};

class TQL_ShortcutControl {
public:
    TQL_ShortcutControl();
    void SetTarget(const std::string& target);
    void SetLinkFile(const std::string& linkFile);
    void SetArguments(const std::string& arguments);
    // Writes the launcher (an existing file is overwritten); false without a target or when
    // the file cannot be written. Without a link file, the target's name with ".desktop".
    bool SaveLink();

    const TQL_ShortCutIconInfo& Info() const { return info_; }
    const TQL_SpFolder& SpFolder() const { return folders_; }

private:
    TQL_ShortCutIconInfo info_;
    TQL_SpFolder folders_;
};

// The switch a send-to launcher passes for the items "MD5", "SHA1", "CRC32", "全取得" and
// "何もしない" (none: the file alone, analysed with the saved digest choices).
std::string SendToArguments(int item);

// Creates the wanted launchers "Tavrenne.desktop" and deletes the unwanted ones, silently:
// desktop folder, send-to folder (with the switch of `sendToItem`), then the "Quillory"
// folder of the applications menu (created one level deep, shown as the submenu "Quillory";
// the folder and the submenu stay when the launcher is deleted).
void MakeShortcuts(const TQL_SpFolder& folders, const std::string& program, bool desktop, bool startMenu, bool sendTo,
                   int sendToItem);
// The same for the running program and the user's folders.
void MakeShortcuts(bool desktop, bool startMenu, bool sendTo, int sendToItem);
