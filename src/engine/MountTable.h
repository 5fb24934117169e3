// The mounted local file systems, the stand-in for drive letters: what a duplicate search
// offers to walk, in the window and in tavrenne-cli.
#pragma once

#include <string>
#include <vector>

// Mount points of local file systems in /proc/self/mountinfo text, sorted, each once. Pseudo
// and network file systems and the system's own trees (/proc, /sys, /dev, /run) are left out.
std::vector<std::string> LocalMountPoints(const std::string& mountinfo);
// The same from the running system, keeping only those that are folders (bind-mounted files
// are not drives).
std::vector<std::string> ReadLocalMountPoints();
