#include "analysis/ResultText.h"

#include <cstdio>

#include "text/Translate.h"

std::string Captioned(const char* caption, const std::string& value) { return TavTr("ResultText", caption) + " " + value; }

std::string SizeText(int64_t size, bool byteLen) {
    char buf[64];
    if (size <= 1024 || byteLen) {
        std::snprintf(buf, sizeof buf, "%lld Bytes", static_cast<long long>(size));
        return buf;
    }
    // The decimal separator is always a dot, whatever the locale: no locale-aware formatting.
    const double d = double(size);
    if (size <= 1048576) std::snprintf(buf, sizeof buf, "%0.1f KB", d / 1024.0);
    else if (size <= 1073741824) std::snprintf(buf, sizeof buf, "%0.1f MB", d / 1048576.0);
    else std::snprintf(buf, sizeof buf, "%0.1f GB", d / 1073741824.0);
    return buf;
}

std::string ElapsedText(uint32_t startTick, uint32_t nowTick) {
    const uint32_t s = nowTick / 1000u - startTick / 1000u;
    char h[16], m[8], sec[8];
    std::snprintf(h, sizeof h, "%2u", s / 3600u);
    std::snprintf(m, sizeof m, "%2u", (s / 60u) % 60u);
    std::snprintf(sec, sizeof sec, "%2u", s % 60u);
    return TavFormat(TavTr("ResultText", "経過時間: %1時間%2分%3秒"), {h, m, sec});
}

std::string ApplicationTitle(const std::string& fileVersion) { return "Tavrenne " + fileVersion; }

std::vector<std::string> StartupLogLines(const std::string& title, const std::string& legalCopyright) {
    // Our own version block carries the notice; the constant serves a binary that lost it.
    const bool missing = legalCopyright.empty() || legalCopyright == "--NON--";
    return {TavFormat(TavTr("ResultText", "ファイル情報取得ソフト --- %1 ---"), {title}),
            missing ? std::string("Copyright (C) 2026 Tavrenne developers") : legalCopyright};
}

const char* LogKindPrefix(int kind) {
    switch (kind) {
    case 0: return "[I] ";
    case 1: return "[E] ";
    case 2: return "[W] ";
    default: return "[?] ";
    }
}

std::vector<std::string> ResultLines(const TResultFields& f) {
    const std::string yes = TavTr("ResultText", "○ ");
    const std::string no = TavTr("ResultText", "Ｘ ");
    std::vector<std::string> lines = {
        "",
        f.Title + "  [" + f.Now + "]",
        "",
        "",
        f.Name,
        f.PathCaption + f.Path,
        f.Size,
        f.Version,
        f.Time,
        f.Copyright,
        TavFormat(TavTr("ResultText", "読み取り専用 %1隠しファイル %2"), {f.ReadOnly ? yes : no, f.Hidden ? yes : no}),
        "",
        "CRC32:" + f.CRC32,
        "MD5  :" + f.MD5,
        "SHA-1:" + f.SHA1,
        "",
    };
    auto at = lines.end() - 1;
    for (const auto& [label, text] : f.More)
        if (!text.empty()) at = lines.insert(at, label + ":" + text) + 1;
    return lines;
}
