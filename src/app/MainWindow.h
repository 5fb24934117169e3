// What the windows above the main window (the options form, the batch window, the tools) and
// the program ask of it. They see nothing else of it: its controls stay its own.
#pragma once

#include <QPixmap>
#include <QString>
#include <functional>

#include "engine/DigestKinds.h"
#include "engine/NormalFileInfo.h"
#include "platform/Path.h"
#include "settings/SettingsFile.h"

class QWidget;

enum class TMascotScript { Greeting, Results, Version };

// The windows the main window's commands open.
enum class TUpperWindow { Batch, Options, StringHash, DuplicateSearch, DigestTool };

class TMainWindow {
public:
    // The maker's web site: the help menu's and the options' support link.
    static constexpr const char* kWebSite = "https://quillory.example/tavrenne/";

    // The window itself: the owner of the windows above it, which centre on it and hide it.
    virtual QWidget& Window() = 0;
    // "Tavrenne " and the program's file version: the caption of boxes and windows.
    virtual QString ApplicationTitle() const = 0;
    // The program file's own record: its version, copyright and time.
    virtual const TFileInfo& ProgramInfo() const = 0;
    // The Digest tool's own 16 x 16 toolbar picture, for the tool's banner.
    virtual QPixmap DigestToolPicture() const = 0;
    // The file analysed last; empty when none is shown.
    virtual TPath CurrentPath() const = 0;

    // Analyses `path` with the digests checked in the window.
    virtual void AnalyzeFile(TPath path) = 0;
    // Checks exactly `digests` first; they stay checked as the user's choice.
    virtual void AnalyzeFileWith(TPath path, TDigestSet digests) = 0;
    // The duplicate search on the current file, as its command starts it.
    virtual void RunDuplicateSearch() = 0;
    // Verifies `list` as a checksum list in the batch window, whatever its name.
    virtual void VerifyList(TPath list) = 0;
    // The help command.
    virtual void ShowHelp() = 0;
    // Runs `open` each time the command that opens `which` is chosen.
    virtual void OnCommand(TUpperWindow which, std::function<void()> open) = 0;
    // A second start handed its arguments over: the window comes to the front (or the box or
    // window it has open; shown again if nothing of it showed).
    virtual void BringToFront() = 0;
    // A run, a box or a window above it is going on: a handed-over command line waits.
    virtual bool Busy() const = 0;

    // The window's share of the settings: the digest choices, the log shown, the upper-case
    // format. Applying also shows the shutdown box when its option is on, and hides the log
    // when the window is first shown if the setting says so.
    virtual void ReadSettings(TSettings& settings) const = 0;
    virtual void ApplySettings(const TSettings& settings) = 0;
    // The shutdown box "作業終了時にシャットダウン" is offered exactly when `shown`.
    virtual void ShowShutdownOption(bool shown) = 0;

    // The desktop mascot: whether it is switched on, and a script for it; true when a mascot
    // listened and took the script.
    virtual bool MascotInUse() = 0;
    virtual bool SendMascotScript(TMascotScript which) = 0;

    virtual void CopyToClipboard(const QString& text) = 0;
    // The standard box for a text file that could not be written.
    virtual void ShowWriteError(const TPath& file, const QString& reason) = 0;

protected:
    ~TMainWindow() = default;
};
