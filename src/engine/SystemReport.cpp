#include "engine/SystemReport.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define TAV_HAS_CPUID 1
#endif

#include "engine/FileMD5Info.h"
#include "engine/FileUtils.h"
#include "text/Translate.h"
#include "text/Utf8.h"

const std::array<const char*, 6> kFeatureCaptions = {"MMX", "SSE", "SSE2", "SSE3", "3DNow !", "3DNow ! Pro"};

namespace {

// The small text files of /etc and /proc the report reads; empty when unreadable.
std::string ReadWholeFile(const char* path) {
    std::string text;
    return ReadFileHead(path, 4 << 20, text) == 0 ? text : std::string();
}

// The first n characters; a byte that is not UTF-8 counts as one character.
std::string CutChars(const std::string& text, size_t n) {
    size_t i = 0;
    for (size_t count = 0; i < text.size() && count < n; ++count) {
        char32_t cp;
        const size_t len = DecodeUtf8(text, i, cp);
        i += len ? len : 1;
    }
    return text.substr(0, i);
}

// The leading decimal number of a text; 0 when it starts with none.
uint32_t LeadingNumber(const std::string& text, size_t& pos) {
    uint32_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = std::min<uint32_t>(value * 10 + uint32_t(text[pos] - '0'), 0xFFFFFF);
        ++pos;
    }
    return value;
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// KEY=value of os-release; quoted values lose their quotes and escapes.
std::string OSReleaseValue(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size() + 1, key + "=") != 0) continue;
        std::string value = Trim(line.substr(key.size() + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            const bool doubleQuoted = value.front() == '"';
            value = value.substr(1, value.size() - 2);
            if (doubleQuoted) {
                std::string out;
                for (size_t i = 0; i < value.size(); ++i) {
                    if (value[i] == '\\' && i + 1 < value.size()) ++i;
                    out += value[i];
                }
                value = out;
            }
        }
        return value;
    }
    return {};
}

// "Key: 123 kB" of /proc/meminfo in bytes.
std::optional<uint64_t> MeminfoBytes(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size() + 1, key + ":") != 0) continue;
        size_t pos = line.find_first_of("0123456789", key.size() + 1);
        if (pos == std::string::npos) return std::nullopt;
        uint64_t kb = 0;
        std::from_chars(line.data() + pos, line.data() + line.size(), kb);
        return kb * 1024;
    }
    return std::nullopt;
}

// The 16 name bytes of one extended leaf, cut at the first NUL.
std::string NamePiece(const TCpuIdRegs& r) {
    std::string piece;
    for (uint32_t reg : {r.Eax, r.Ebx, r.Ecx, r.Edx})
        for (int shift = 0; shift < 32; shift += 8) piece += char((reg >> shift) & 0xFF);
    return piece.substr(0, piece.find('\0'));
}

std::string FormatMemoryLine(const TMemoryInfo& m) {
    const TMemoryFigure total = MemoryFigure(m.TotalPhys), free = MemoryFigure(m.AvailPhys);
    return "Memory Info : Total " + std::to_string(total.Value) + total.Unit + "  Free " +
           std::to_string(free.Value) + free.Unit;
}

// "name   digest"; none when the file cannot be read. Support knows the files by the names
// "tavr.exe" (the program) and "tavr.dll" (here the helper), whatever they are called on disk.
std::optional<std::string> DigestCaption(const char* name, const std::string& path) {
    if (path.empty() || !FileExistsByAge(path)) return std::nullopt;
    TFileMD5Info md5;
    md5.SetFileName(path);
    try {
        const std::string digest = md5.GetHashText(false);
        if (md5.Failure() != TRunFailure::None) return std::nullopt;
        return std::string(name) + "   " + digest;
    } catch (const EFileOpenError&) {
        return std::nullopt;
    }
}

}  // namespace

TOSRecord OSRecordFrom(const std::string& osRelease, const std::string& kernelRelease) {
    TOSRecord r;
    r.Name = OSReleaseValue(osRelease, "NAME");
    if (r.Name.empty()) r.Name = "Linux";
    r.Name = CutChars(r.Name, 35);
    r.ServicePackText = OSReleaseValue(osRelease, "VERSION");
    const std::string versionId = OSReleaseValue(osRelease, "VERSION_ID");
    if (r.ServicePackText.empty()) r.ServicePackText = versionId;
    r.ServicePackText = CutChars(r.ServicePackText, 64);
    size_t pos = 0;
    r.ServicePackNumber = uint16_t(std::min<uint32_t>(LeadingNumber(versionId, pos), 0xFFFF));
    if (!kernelRelease.empty()) {
        r.BuildText = CutChars("Build: " + kernelRelease, 64);
        uint32_t parts[3] = {0, 0, 0};
        pos = 0;
        for (int i = 0; i < 3; ++i) {
            parts[i] = std::min<uint32_t>(LeadingNumber(kernelRelease, pos), 255);
            if (pos >= kernelRelease.size() || kernelRelease[pos] != '.') break;
            ++pos;
        }
        r.BuildNumber = int32_t(parts[0] << 16 | parts[1] << 8 | parts[2]);
    }
    return r;
}

void ReadOSVersion(TOSRecord& record) {
    std::string osRelease = ReadWholeFile("/etc/os-release");
    if (osRelease.empty()) osRelease = ReadWholeFile("/usr/lib/os-release");
    struct utsname u {};
    record = OSRecordFrom(osRelease, uname(&u) == 0 ? u.release : "");
}

std::optional<TMemoryInfo> MemoryFromMeminfo(const std::string& meminfo) {
    const std::optional<uint64_t> total = MeminfoBytes(meminfo, "MemTotal");
    if (!total) return std::nullopt;
    TMemoryInfo m;
    m.TotalPhys = *total;
    std::optional<uint64_t> avail = MeminfoBytes(meminfo, "MemAvailable");
    if (!avail) avail = MeminfoBytes(meminfo, "MemFree");
    m.AvailPhys = std::min(avail.value_or(0), m.TotalPhys);
    m.MemoryLoad = m.TotalPhys ? (m.TotalPhys - m.AvailPhys) * 100 / m.TotalPhys : 0;
    m.TotalPageFile = MeminfoBytes(meminfo, "SwapTotal").value_or(0);
    m.AvailPageFile = MeminfoBytes(meminfo, "SwapFree").value_or(0);
    return m;
}

std::optional<TMemoryInfo> GetMemoryInfo() { return MemoryFromMeminfo(ReadWholeFile("/proc/meminfo")); }

TMemoryFigure MemoryFigure(uint64_t bytes) {
    const uint64_t mb = bytes < 1048576 ? 0 : bytes >> 20;
    if (mb >= 1023) return {(mb + 1) >> 10, "GB"};
    return {mb, "MB"};
}

bool HardwareCpuId(uint32_t leaf, TCpuIdRegs& regs) {
#ifdef TAV_HAS_CPUID
    if (__get_cpuid_max(0, nullptr) == 0) return false;
    __cpuid(leaf, regs.Eax, regs.Ebx, regs.Ecx, regs.Edx);
    return true;
#else
    (void)leaf;
    (void)regs;
    return false;
#endif
}

bool ReadCpuId(TCpuRecord& record, const TCpuIdProc& cpuid, const std::string& kernelName) {
    record = TCpuRecord{};
    const std::string otherName = kernelName.empty() ? "Unknown" : CutChars(kernelName, 50);
    TCpuIdRegs r;
    if (!cpuid(0x80000000u, r)) {
        record.Name = otherName;
        return false;
    }
    const bool extended = r.Eax > 0x80000000u;
    if (!cpuid(1, r)) return false;
    record.MMX = r.Edx >> 23 & 1;
    record.SSE = r.Edx >> 25 & 1;
    record.SSE2 = r.Edx >> 26 & 1;
    record.SSE3 = r.Ecx & 1;
    record.TSC = r.Edx >> 4 & 1;
    if (!extended) {
        record.Name = otherName;
        return true;
    }
    if (!cpuid(0x80000001u, r)) return false;
    record.Now3D = r.Edx >> 31 & 1;
    record.Now3DExt = r.Edx >> 30 & 1;
    std::string name;
    for (uint32_t leaf = 0x80000002u; leaf <= 0x80000004u; ++leaf) {
        if (!cpuid(leaf, r)) return false;
        name += NamePiece(r);
    }
    record.Name = name.substr(0, 50);
    return true;
}

std::string CpuNameFromCpuinfo(const std::string& cpuinfo) {
    // x86 first; then what ARM, MIPS, PowerPC and RISC-V kernels call the processor.
    for (const char* key : {"model name", "Processor", "cpu model", "cpu", "uarch"}) {
        std::istringstream in(cpuinfo);
        std::string line;
        while (std::getline(in, line)) {
            const size_t colon = line.find(':');
            if (colon == std::string::npos || Trim(line.substr(0, colon)) != key) continue;
            const std::string value = Trim(line.substr(colon + 1));
            if (!value.empty()) return value;
        }
    }
    return {};
}

TQL_CustomCpuInfos::TQL_CustomCpuInfos(const TCpuIdProc& cpuid, const std::string& kernelName) {
    ReadCpuId(record_, cpuid, kernelName);
}

uint32_t TQL_CustomCpuInfos::MeasureClock() {
#ifdef TAV_HAS_CPUID
    const uint64_t start = __rdtsc();
    std::this_thread::sleep_for(std::chrono::milliseconds(64));
    return uint32_t(__rdtsc() - start) >> 6;
#else
    return 0;
#endif
}

std::string TQL_CustomCpuInfos::KernelCpuName() { return CpuNameFromCpuinfo(ReadWholeFile("/proc/cpuinfo")); }

std::string ClockText(uint32_t ticksPerMs, bool tsc) {
    if (!tsc) return {};
    // Not printf: the desktop's locale must not turn the point into a comma.
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, ticksPerMs / 1000.0, std::chars_format::fixed, 2).ptr;
    return std::string(buf, end) + "MHz";
}

std::string ReadUserName() {
    std::string name;
    std::vector<char> buf(16384);
    struct passwd pw {};
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_name)
        name = found->pw_name;
    else if (const char* user = std::getenv("USER"); user && *user)
        name = user;
    else   // an account without a name (a container's bare uid): its number
        name = std::to_string(getuid());
    return CutChars(name, 255);
}

TQL_SystemInfo::TQL_SystemInfo(const TCpuIdProc& cpuid) : userName_(ReadUserName()) {
    ReadOSVersion(os_);
    TCpuIdRegs r;
    mmx_ = cpuid(1, r) && (r.Edx >> 23 & 1);
}

TSystemFacts ReadSystemFacts(const std::string& programFile, const std::string& helperFile) {
    TSystemFacts f;
    const TQL_SystemInfo info;
    f.UserName = info.UserName();
    f.OS = info.OSRecord();
    f.Memory = info.GetMemoryInfo();
    const TQL_CpuInfoXP cpu;
    f.Cpu = cpu.CpuRecord();
    if (f.Cpu.TSC) f.ClockTicksPerMs = TQL_CustomCpuInfos::MeasureClock();
    f.ProgramFile = programFile;
    f.HelperFile = helperFile;
    return f;
}

TReportLabels GatherLabels(const TSystemFacts& facts) {
    TReportLabels l;
    l.Label2 = "OS: " + facts.OS.Name + " " + facts.OS.ServicePackText + " " + facts.OS.BuildText;
    if (!facts.Memory) return l;
    l.Label5 = FormatMemoryLine(*facts.Memory);
    l.Label6 = "CPU : " + CutChars(facts.Cpu.Name, 56);
    const TCpuRecord& c = facts.Cpu;
    l.Features = {c.MMX, c.SSE, c.SSE2, c.SSE3, c.Now3D, c.Now3DExt};
    l.Label13 = "CPU Clock : (" + ClockText(facts.ClockTicksPerMs, c.TSC) + ")";
    const std::optional<std::string> program = DigestCaption("tavr.exe", facts.ProgramFile);
    if (!program) return l;
    l.Label18 = *program;
    const std::optional<std::string> helper = DigestCaption("tavr.dll", facts.HelperFile);
    if (helper) l.Label19 = *helper;
    return l;
}

std::vector<std::string> ReportLines(const TReportLabels& labels, const TDateTimeParts& now,
                                     const std::string& title, const std::string& user) {
    std::string features;
    for (size_t i = 0; i < kFeatureCaptions.size(); ++i)
        features += std::string(kFeatureCaptions[i]) +
                    (labels.Features[i] ? TavTr("SystemReport", " ○ ") : TavTr("SystemReport", " × "));
    return {
        "---------------Tavrenne Report v1.05a---------------",
        TavFormat(TavTr("SystemReport", "時刻： %1"),
                  //: The time's pattern: yyyy year, mm month, dd day, hh hour, nn minute; "..." as written.
                  {FormatDateTime(TavTr("SystemReport", "yyyy\"年\"mm\"月\"dd\"日\"hh\"時\"nn\"分\""), now)}),
        title,
        "User: " + user,
        labels.Label2,
        labels.Label5,
        labels.Label6,
        labels.Label13,
        labels.Label14,
        features,
        "MD5:",
        labels.Label18,
        labels.Label19,
        std::string(55, '-'),
    };
}
