// Stand-ins for the archive libraries that run/extract loads by name: each offers the entry
// point and busy test its Windows namesake has and accepts the same command lines, and does the
// work with libarchive. Nothing is ever written outside the destination folder.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// (owner window, command line, output buffer, its size) -> 0 on success.
using TArchiveEntry = int (*)(void* owner, const char* commandLine, char* output, unsigned long size);
// 0 when the library is free.
using TArchiveBusy = int (*)();

struct TArchiveLibrary {
    std::map<std::string, TArchiveEntry> Entries;
    std::map<std::string, TArchiveBusy> BusyTests;
};

// The library of that name, matched without regard to case as the platform loader does; nullptr
// when there is none. Every load is paired with a FreeArchiveLibrary.
const TArchiveLibrary* LoadArchiveLibrary(const std::string& name);
void FreeArchiveLibrary(const TArchiveLibrary* library);
// Loads not yet freed.
int LoadedArchiveLibraries();
// Tests install their own set of libraries by name (not owned); nullptr: the built-in ones.
void SetArchiveLibraries(const std::map<std::string, TArchiveLibrary>* libraries);

// Error codes of the entry points (any non-zero value is a failure).
enum : int {
    kArchiveErrorCommandLine = 0x8001,   // no archive or no destination in the command line
    kArchiveErrorOpen = 0x8002,          // missing, unreadable or not of this library's format
    kArchiveErrorDamaged = 0x8003,       // an entry could not be read or written
    kArchiveErrorUnsafe = 0x8004,        // an entry would land or link outside the destination
    kArchiveErrorUnsupported = 0x8005,   // no reader for this format
};

// The built-in entry points. The archive and the destination are file-system bytes; the
// destination ends with a separator. Entries keep their folders inside the destination.
extern "C" {
int UnZip(void* owner, const char* commandLine, char* output, unsigned long size);
int Unlha(void* owner, const char* commandLine, char* output, unsigned long size);
int UnlhaGetRunning();
int Cab(void* owner, const char* commandLine, char* output, unsigned long size);
int UnGCA(void* owner, const char* commandLine, char* output, unsigned long size);
int UnGCAGetRunning();
}

// A command line split at blanks outside quotation marks; the marks are dropped.
std::vector<std::string> SplitArchiveCommandLine(const std::string& commandLine);

// Whether an entry stays inside the destination: its path is relative without "..", a hard
// link's target likewise, and a symbolic link's target, read from the entry's folder, does not
// climb out. Empty link texts mean no link.
bool ArchiveEntryStaysInside(const std::string& path, const std::string& symlinkTarget,
                             const std::string& hardlinkTarget);
