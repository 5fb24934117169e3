#include "engine/BatchList.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstring>
#include <cctype>
#include <fstream>

#include "engine/FileUtils.h"
#include "text/Cp932.h"

namespace {

const char* const kTimePattern = "yyyy\"年\"m\"月\"d\"日 \"hh\"時\"nn\"分\"ss\"秒\"";
const std::string kStars(58, '*');

size_t CodePoints(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

std::string BatchTimeText(const TDateTimeParts& t) { return FormatDateTime(kTimePattern, t); }

std::optional<TBatchRow> MakeBatchRow(const std::string& path, const std::string& newTime) {
    uint32_t age = 0;
    if (!FileExistsByAge(path, &age)) return std::nullopt;
    TBatchRow row;
    row.Name = ExtractFileName(path);
    row.CurrentTime = BatchTimeText(UnpackDosDateTime(age));
    row.NewTime = newTime;
    row.Path = path;
    return row;
}

std::vector<std::string> CollectFolder(const std::string& folder, bool recursive) {
    std::vector<std::string> list;
    ListFiles(folder, recursive, list, "*.*");
    return list;
}

std::string ThousandsSeparator() {
    const std::lconv* lc = std::localeconv();
    // A locale that groups nothing (C, POSIX) gets the separator a Japanese desktop shows.
    if (!lc || !lc->thousands_sep || !*lc->thousands_sep || !lc->grouping || *lc->grouping <= 0 ||
        *lc->grouping == CHAR_MAX)
        return ",";
    return lc->thousands_sep;
}

std::string BatchSizeText(int64_t size, const std::string& separator) {
    const bool negative = size < 0;
    std::string digits = std::to_string(size);
    if (negative) digits.erase(0, 1);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    if (negative) grouped.insert(0, "-");
    const size_t width = CodePoints(grouped);
    if (width < 20) grouped.insert(0, 20 - width, ' ');
    return grouped + " バイト";
}

std::string ExportFileName(const std::string& chosen) {
    std::string ext = ExtractFileExt(chosen);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".txt" ? chosen : ChangeFileExt(chosen, ".txt");
}

std::string ExportFolder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::vector<std::string> ExportLines(const std::vector<TBatchRow>& rows, const std::string& now) {
    // A cell that holds nothing stands for one that cannot be read.
    auto orUnknown = [](const std::string& s) { return s.empty() ? std::string("???") : s; };
    std::vector<std::string> lines{kStars, std::string(12, ' ') + "Tavrenne [" + now + "]", kStars, ""};
    lines.reserve(4 + rows.size() * 8);
    for (const TBatchRow& r : rows) {
        lines.push_back("ファイル名: " + orUnknown(r.Name));
        lines.push_back("ファイルパス: " + (r.Path.empty() ? std::string("???") : ExportFolder(r.Path)));
        lines.push_back("FileSize: " + r.Size);
        lines.push_back("現在のタイムスタンプ " + r.CurrentTime);
        lines.push_back("CRC32: " + r.CRC32);
        lines.push_back("  MD5: " + r.MD5);
        lines.push_back(" SHA1: " + r.SHA1);
        lines.push_back("");
    }
    return lines;
}

std::string ExportBytes(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += cp932::FromUtf8(line);
        out += "\r\n";
    }
    return out;
}

std::string WriteExport(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return std::strerror(errno);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.flush();
    if (!out) return std::strerror(errno ? errno : EIO);
    return {};
}
