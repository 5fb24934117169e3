// The windows' language, installed once before the first window is made.
#pragma once

#include "settings/Language.h"

// Japanese: the texts as written, and Qt's own dialogs in Japanese (InstallQtTranslation).
// English: the program's translation and Qt's own texts as Qt writes them. False when a
// translation that language needs could not be loaded (the texts stay as written).
bool InstallLanguage(TLanguage language);
// The language installed last (Japanese before any).
TLanguage InstalledLanguage();

// The manual in the windows' language: the English one while it is there, else the Japanese.
std::string ManualFile();

// Takes back every translation installed, in either language (tests that switch languages).
void RemoveLanguage();
