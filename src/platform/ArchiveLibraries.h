// Stand-ins for the archive libraries that run/extract loads by name: each offers the entry
// point and busy test its Windows namesake has, takes what its command line says with every
// path as a value of its own, and does the work with libarchive. Nothing is ever written
// outside the destination folder.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// One call of a library: the words its command line begins with, then the archive, the
// destination and the patterns, each a value of its own, so that no path (a quotation mark or
// blank in it) can be split again into other values.
struct TArchiveCommand {
    std::string Switches;              // "e -x -u0 -jyc ": the library's own words
    std::string Archive;               // file-system bytes
    std::string Destination;           // file-system bytes, ending with a separator
    std::vector<std::string> Patterns; // "*.*"; none: every entry
};
// The command line the library's Windows namesake takes for it: the switches, the archive and
// the destination in quotation marks, then the patterns, each after a blank. For the record
// only: nothing ever splits it again.
std::string ArchiveCommandLine(const TArchiveCommand& command);

// (owner window, the call, output buffer, its size) -> 0 on success.
using TArchiveEntry = int (*)(void* owner, const TArchiveCommand& command, char* output, unsigned long size);
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
    kArchiveErrorCommandLine = 0x8001,   // no archive or no destination
    kArchiveErrorOpen = 0x8002,          // missing, unreadable or not of this library's format
    kArchiveErrorDamaged = 0x8003,       // an entry could not be read or written
    kArchiveErrorUnsafe = 0x8004,        // an entry would land or link outside the destination
    kArchiveErrorUnsupported = 0x8005,   // no reader for this format
    kArchiveErrorTooLarge = 0x8006,      // more would be written than the limit allows
};

// How many bytes one extraction may write: 100 times the archive, at least 16 MiB, and never
// more than the destination's free space less 64 MiB, so that an archive that unpacks to far
// more than it holds (a zip bomb) fails before it fills the disk.
uint64_t ArchiveWriteLimit(uint64_t archiveSize, uint64_t freeBytes);
// An entry name as the file system gets it: UTF-8 as it is; other bytes (old Japanese ZIP and
// LZH archives name their entries in code page 932) converted from code page 932.
std::string ArchiveEntryName(const std::string& raw);

// The built-in entry points. Entries keep their folders inside the destination; the switches
// of the originals only choose details their stand-ins always do the safe way.
int UnZip(void* owner, const TArchiveCommand& command, char* output, unsigned long size);
int Unlha(void* owner, const TArchiveCommand& command, char* output, unsigned long size);
int UnlhaGetRunning();
int Cab(void* owner, const TArchiveCommand& command, char* output, unsigned long size);
int UnGCA(void* owner, const TArchiveCommand& command, char* output, unsigned long size);
int UnGCAGetRunning();

// Whether an entry stays inside the destination: its path is relative without "..", a hard
// link's target likewise, and a symbolic link's target, read from the entry's folder, does not
// climb out. Empty link texts mean no link.
bool ArchiveEntryStaysInside(const std::string& path, const std::string& symlinkTarget,
                             const std::string& hardlinkTarget);
