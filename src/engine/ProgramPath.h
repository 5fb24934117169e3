// Where the running program lives: settings and cache are kept beside it.
#pragma once

#include <string>

// The folder of the running program file, ending in a separator (empty when it cannot be
// found, so that names joined to it are taken relative to the current folder).
std::string ProgramFolder();
