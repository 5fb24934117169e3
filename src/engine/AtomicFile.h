// Writing a whole file so that a reader, or a crash, finds the old content or the new one and
// never a mix, and a failed write leaves the old file byte for byte. Every file the program
// and its tools save goes through here: settings, exports, Digest password files, the
// desktop's files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TReplaceOptions {
    // A file there that the user may not write is refused (EACCES, EROFS), as an ordinary
    // write would be. Off: it is written all the same and keeps its mode.
    bool RefuseReadOnly = true;
    // A new file gets the execute bits the umask allows; an existing one gains execute
    // wherever it may be read.
    bool Executable = false;
    // What the caller read from the file. An in-place rewrite (below) then changes only the
    // bytes from the first difference on, and can put them back when it fails.
    const std::string* Before = nullptr;
};

// Replaces the content of `path` with the pieces, in order; 0 or the errno of the failure.
//  - The content goes into a temporary file beside the target (".<name>.tmp<pid>-<n>"), is
//    flushed, and is renamed over the target; the folder is flushed after.
//  - An existing file keeps its mode and, where the system allows, its owner.
//  - A symbolic link is followed to its final target, which gets the content (and is created
//    when the link dangles); the link stays a link.
//  - When the folder will not take a new name (a read-only folder holding a writable file),
//    the file is rewritten in place: what it grows by is written past its old end first, so
//    a full disk fails before an old byte changes; then only the bytes from the first
//    difference on are overwritten, and a shorter file is cut last.
//  - What is there and is no regular file (a FIFO, a terminal, /dev/stdout) is written as a
//    stream; a folder is refused (EISDIR).
//  - Temporaries of this target left by a write that was killed are removed first.
int ReplaceFile(const std::string& path, const std::vector<std::string_view>& pieces,
                const TReplaceOptions& options = {});
int ReplaceFile(const std::string& path, std::string_view bytes, const TReplaceOptions& options = {});

// The path a write to `path` goes to: symbolic links followed to the last one's target, which
// need not exist. 0 or the errno (ELOOP for a loop of links).
int FollowLinks(const std::string& path, std::string& target);

// Removes the temporaries of `target` whose writing process is gone; another process's
// write in progress is left alone.
void RemoveReplaceLeftovers(const std::string& target);

// Test seam: called when a replacement has its new content complete in the temporary file,
// just before that file takes the target's name. Null (the default) does nothing.
void SetReplaceHook(void (*hook)());
