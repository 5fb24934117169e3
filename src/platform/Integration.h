// The .MD5 association and the file-manager actions as the options pages show and switch
// them. The state is read from the desktop's own files, never stored here; every change is
// made by tavrfix, started without waiting.
#pragma once

#include <QPixmap>
#include <string>

#include "desktop/DesktopEnv.h"

// Starts tavrfix beside the program with `parameters`, without waiting; a missing helper
// fails silently.
void StartHelper(const QString& parameters);

// Icon `index` (0 to 14) of the .MD5 icons, as the icon list and the preview show it; a null
// pixmap for an index outside the list.
QPixmap Md5IconPixmap(int index, int size = 32);

class TAssociationControl {
public:
    explicit TAssociationControl(TDesktopEnv env = TDesktopEnv::FromEnvironment());

    // True when our MIME package is installed and our entry is the type's default; then the
    // icon the package names goes to ShowAssociatedIcon. When false the preview is hidden.
    bool IsAssociated();
    // "<file>,<index>": the preview shows icon <index> and FIconIndex takes it. Without a
    // comma, or without a number after it, the preview stays hidden and nothing else changes.
    void ShowAssociatedIcon(const std::string& text);
    bool IsShellIntegrated() const;
    // Starts the helper with "-I <selected>" or "-F", and shows or hides the preview at once
    // (its picture is refreshed by the next IsAssociated).
    void SetAssociation(bool on, int selectedIndex);
    // Starts the helper with "-O" where it exists.
    void CheckOldVersion();

    // The preview `Image5`: whether it is shown, and which icon it holds (-1: none yet).
    bool PreviewVisible() const { return previewVisible_; }
    int PreviewIcon() const { return previewIcon_; }
    int FIconIndex = 0;

private:
    TDesktopEnv env_;
    bool previewVisible_ = false;
    int previewIcon_ = -1;
};
