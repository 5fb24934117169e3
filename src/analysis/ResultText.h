// The texts an analysis shows: the information area's captions, the size and elapsed-time
// texts, and the result text that is copied, saved or written before a shutdown.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "text/Translate.h"

// Captions of the information area, bare (after a reset) and as prefixes of a value.
inline constexpr const char* kCaptionName = TAV_TRANSLATE_NOOP("ResultText", "ファイル名:");
inline constexpr const char* kCaptionSize = TAV_TRANSLATE_NOOP("ResultText", "ファイルサイズ:");
inline constexpr const char* kCaptionVersion = TAV_TRANSLATE_NOOP("ResultText", "ファイルバージョン:");
inline constexpr const char* kCaptionTime = TAV_TRANSLATE_NOOP("ResultText", "更新日時:");
inline constexpr const char* kCaptionCopyright = TAV_TRANSLATE_NOOP("ResultText", "著作権:");
inline constexpr const char* kCaptionPath = TAV_TRANSLATE_NOOP("ResultText", "ファイルパス:");
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
    std::string Name = TavTr("ResultText", kCaptionName);
    std::string PathCaption = TavTr("ResultText", kCaptionPath);
    std::string Path;
    std::string Size = TavTr("ResultText", kCaptionSize);
    std::string Version = TavTr("ResultText", kCaptionVersion);
    std::string Time = TavTr("ResultText", kCaptionTime);
    std::string Copyright = TavTr("ResultText", kCaptionCopyright);
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
