// Desktop icons for files, handed to the engines as opaque handles. A handle stays valid
// until ReleaseIcon; whoever shows an icon owns its handle.
#pragma once

#include <QIcon>

#include "engine/NormalFileInfo.h"

// Plugs the desktop's icons into the engines (SetIconLookup).
void InstallIconLookup();
TIconHandle LookupFileIcon(const std::string& path, bool small);
QIcon IconForHandle(TIconHandle handle);
void ReleaseIcon(TIconHandle handle);
// Handles currently held, for leak checks.
size_t IconHandleCount();
