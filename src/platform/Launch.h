// Starting programs with their arguments as separate values, never one string split again,
// and every path as its file-system bytes.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

// What the first bytes and the mode of a file say: a program of this system (an ELF file, a
// script with a "#!" line, or a file with an execute bit) or not. Folders and missing files
// are none.
bool IsProgramFile(const std::string& path);

// Starts `file` directly (no shell, no desktop) in the folder it lies in, without waiting
// and without keeping it as a child. A script whose execute bit is missing is given to the
// interpreter its "#!" line names. 0 when it runs, otherwise the errno of the failure.
int StartProgramFile(const std::string& file);

// Runs `argv` (argv[0] looked up in PATH) without waiting; `ended` is called from the event
// loop once it has ended, with its exit status (-1: it could not be started, or was killed)
// and what it wrote on standard error. The run outlives nothing: a program that ends first
// leaves it running.
void RunAndWatch(const std::vector<std::string>& argv, std::function<void(int status, const QString& errors)> ended);
