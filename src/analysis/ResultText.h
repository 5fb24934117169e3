// The texts an analysis shows: the information area's captions, the size and elapsed-time
// texts, and the result text that is copied, saved or written before a shutdown.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Captions of the information area, bare (after a reset) and as prefixes of a value.
inline constexpr const char* kCaptionName = "ファイル名:";
inline constexpr const char* kCaptionSize = "ファイルサイズ:";
inline constexpr const char* kCaptionVersion = "ファイルバージョン:";
inline constexpr const char* kCaptionTime = "更新日時:";
inline constexpr const char* kCaptionCopyright = "著作権:";
inline constexpr const char* kCaptionPath = "ファイルパス:";
// "ファイル名: " + value, and so on.
std::string Captioned(const char* caption, const std::string& value);

// "%d Bytes" up to 1024 bytes or with byteLen, otherwise KB, MB or GB with one decimal.
std::string SizeText(int64_t size, bool byteLen);
// "経過時間: %2d時間%2d分%2d秒" between two millisecond ticks, each truncated to seconds and
// subtracted as unsigned 32-bit values.
std::string ElapsedText(uint32_t startTick, uint32_t nowTick);

// What the result text is made of: the window's labels and boxes as they stand.
struct TResultFields {
    std::string Title;       // the application title
    std::string Now;         // short date and long time of now
    std::string Name = kCaptionName;
    std::string PathCaption = kCaptionPath;
    std::string Path;
    std::string Size = kCaptionSize;
    std::string Version = kCaptionVersion;
    std::string Time = kCaptionTime;
    std::string Copyright = kCaptionCopyright;
    bool ReadOnly = false;
    bool Hidden = false;
    std::string CRC32, MD5, SHA1;
    // Digests beyond the three, as label and text: a line each after SHA-1 where the text
    // is not empty.
    std::vector<std::pair<std::string, std::string>> More;
};

// "Tavrenne " + the program's file version: the caption of every box and the title.
std::string ApplicationTitle(const std::string& fileVersion);
// The two lines the log starts with: the title line and the copyright notice.
std::vector<std::string> StartupLogLines(const std::string& title, const std::string& legalCopyright);
// "[I] ", "[E] ", "[W] ", any other kind "[?] ": a log line's prefix in the log file.
const char* LogKindPrefix(int kind);

// The sixteen lines of the result text, and one more for each text of More.
std::vector<std::string> ResultLines(const TResultFields& f);
