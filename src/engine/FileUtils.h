// File utilities shared by every part of the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Attribute bits as the program shows them.
inline constexpr uint32_t faReadOnly = 0x01;
inline constexpr uint32_t faHidden = 0x02;
inline constexpr uint32_t faSysFile = 0x04;
inline constexpr uint32_t faDirectory = 0x10;
inline constexpr uint32_t faArchive = 0x20;

// The existence test of the whole program: an existing regular file (after following a
// symbolic link) whose modified time converts to a DOS date-time (1980 to 2107). Folders,
// FIFOs, sockets and devices fail it. The DOS date-time goes to *age when given.
bool FileExistsByAge(const std::string& path, uint32_t* age = nullptr);
// Why `path` fails FileExistsByAge, in words for the user ("no such file", "is a folder", the
// system's reason for a path it cannot look up, ...); empty when it passes.
std::string FileProblem(const std::string& path);

// Reads at most `limit` bytes from the start of a file, never blocking on a FIFO or device put
// at that name. Returns 0 with the bytes in `out`, or the errno of the failure.
int ReadFileHead(const std::string& path, size_t limit, std::string& out);

// Size that a directory lookup reports; -1 when there is nothing at the path.
int64_t GetFileSize64(const std::string& path);

// Attribute word of a path (0 when it cannot be read).
uint32_t FileAttributes(const std::string& path);

// Appends the entries of `folder` matching `mask` (wildcards * and ?, case-insensitive,
// "*.*" matches every name). With `recursive` subfolders are walked instead of listed.
// Symbolic links to folders are never walked.
void ListFiles(const std::string& folder, bool recursive, std::vector<std::string>& list,
               const std::string& mask = "*.*");

// The long form of a path (on this platform the path itself), one trailing separator removed.
std::string GetLongPath(const std::string& path);

// The path with its extension replaced by ".lnk"; empty for an empty path.
std::string ShortcutFileName(const std::string& path);

// Replaces the extension (the part from the last '.' of the file name) or appends one.
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// The file name part and the extension (with its dot) of a path.
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);

// Windows-style wildcard match used by ListFiles.
bool MatchesMask(const std::string& name, const std::string& mask);

// DOS date-time packing (local time, 2-second resolution, years 1980 to 2107).
struct TDateTimeParts;
bool PackDosDateTime(const TDateTimeParts& t, uint32_t& dos);
TDateTimeParts UnpackDosDateTime(uint32_t dos);
