// Checksum lists as users meet them: GNU lines ("hex  name", "hex *name", names escaped
// behind a leading backslash), BSD tags ("SHA256 (name) = hex"), SFV ("name CRC32", ";"
// comments) and the .MD5 sidecar form ("hex name"). Reading goes from bytes to entries and
// resolves nothing: what a name refers to (the current folder for the command line, the
// list's folder for the windows) is the caller's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DigestKinds.h"

// How an entry was written.
enum class TListForm {
    Gnu,           // "hex  name" or "hex *name"
    GnuReversed,   // "hex name": one blank, as the .MD5 sidecar and `md5 -r` write it
    Bsd,           // "TAG (name) = hex"
    Sfv,           // "name CRC32"
};

struct TListEntry {
    const TDigestKindInfo* Kind = nullptr;
    std::string Hex;         // as written, in either case
    std::string Name;        // the name's bytes, escapes undone
    // Lists made on Windows hold Shift_JIS names: when Name is not UTF-8 but is Shift_JIS,
    // the same name in UTF-8; empty otherwise. A caller may look for it where Name is missing.
    std::string Cp932Name;
    uint64_t Line = 0;       // from 1
    TListForm Form = TListForm::Gnu;
    bool Binary = false;     // written with "*"
};

enum class TListLine { Entry, Blank, Comment, Malformed };

// Reads a list line by line, keeping what one line tells about the next: once a list has
// used the one-blank form, "hex  name" means a name that starts with a blank, and the other
// way round (as coreutils reads it, so a renamed file cannot slip in between the forms); and
// a list that opens with ";" comments is SFV first. "#" opens a comment, except in SFV.
class TChecksumListParser {
public:
    struct TOptions {
        bool SfvFirst = false;   // the list is known to be SFV (its name ends in ".sfv")
    };
    TChecksumListParser() = default;
    explicit TChecksumListParser(TOptions options);

    // The next line, without its LF (a CR before it is taken off here). Fills `entry` for
    // an Entry; NUL bytes or an overlong line (`tooLong`) make a line Malformed.
    TListLine Next(std::string_view line, TListEntry& entry, bool tooLong = false);
    uint64_t LineNumber() const { return line_; }

private:
    enum class TLayout { Unknown, TwoBlanks, OneBlank };
    bool ParseTagged(std::string_view s, size_t i, bool escaped, TListEntry& e) const;
    bool ParseGnu(std::string_view s, size_t i, bool escaped, TListEntry& e);
    bool ParseSfv(std::string_view s, TListEntry& e) const;

    TOptions options_;
    TLayout layout_ = TLayout::Unknown;
    bool sfvSeen_ = false;
    uint64_t line_ = 0;
};

// Longer lines are no checksum lines (a name is at most a few KiB even escaped): a reader
// may skip the rest of such a line and hand over what it kept with `tooLong`.
inline constexpr size_t kMaxListLineBytes = 64 * 1024;

// A list is taken for binary data, not text, when a NUL byte is among its first bytes: an
// image or a UTF-16 file handed over by mistake. Readers look at this many bytes.
inline constexpr size_t kListProbeBytes = 64 * 1024;
bool LooksBinary(std::string_view firstBytes);

struct TChecksumList {
    std::vector<TListEntry> Entries;
    std::vector<uint64_t> MalformedLines;
    bool BinaryData = false;   // LooksBinary: nothing was read
};
// A whole list from its bytes: lines end in LF or CR LF, the last one perhaps in nothing; a
// UTF-8 byte order mark before the first line is skipped.
TChecksumList ParseChecksumList(std::string_view bytes, TChecksumListParser::TOptions options = {});

// Whether coreutils escapes a name: it holds a backslash, a LF or a CR.
bool ListNameNeedsEscape(std::string_view name);
// Backslash as "\\", LF as "\n", CR as "\r"; everything else as it is.
std::string EscapeListName(std::string_view name);
// The name an escaped name stands for; nothing when it holds another escape, a lone
// backslash at its end or a NUL.
std::optional<std::string> UnescapeListName(std::string_view escaped);

enum class TListFormat { Gnu, Bsd, Sfv };
// One line as `sha256sum`, `sha256sum --tag` or `cksfv` writes it, without its line end:
// GNU and BSD escape the name (and start with a backslash then); SFV holds CRC32 only, in
// upper case, and cannot hold a name that is empty, starts with ";" or has a LF, CR or NUL:
// nothing then.
std::optional<std::string> FormatListLine(TListFormat format, const TDigestKindInfo& kind, std::string_view hex,
                                          std::string_view name);

// The one kind an SFV list holds: CRC32.
const TDigestKindInfo& SfvDigestKind();

