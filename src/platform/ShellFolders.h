// The shell folders the program needs, and the folder browser.
#pragma once

#include <string>

// Seven folder paths without a trailing separator, or empty where this platform has none.
struct TQL_SpFolder {
    std::string Desktop;
    std::string Windows;     // no counterpart here: empty
    std::string StartMenu;   // the user's applications folder
    std::string System;      // no counterpart here: empty
    std::string Personal;
    std::string Temporary;
    std::string SendTo;      // the user's applications folder, where file-manager actions live
};

void GetSpecialFolders(TQL_SpFolder& folders);

// Asks for a folder through the dialog seam; the empty text when none was chosen. A non-empty
// root is the folder the user cannot leave upwards.
std::string SelectFolder(const std::string& title, const std::string& root);
