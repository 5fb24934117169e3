// The environment report: the machine and the program's own files in a few lines, meant to be
// pasted into a support request. The figures are read once; every text is a pure function of
// the facts read, so the report can be checked against fixed facts.
//
// Linux stands in for the Windows services the report was made for:
//   OS name          os-release NAME ("Linux" when it names none)
//   service pack     os-release VERSION (else VERSION_ID); its number: VERSION_ID's leading number
//   build            "Build: " + the kernel release (uname); its number: the kernel's version code
//   memory           /proc/meminfo: MemTotal, MemAvailable (MemFree on kernels without it),
//                    page file = SwapTotal, SwapFree; the load from total and available
//   user             the account of the process (passwd), else $USER, else the uid
//   CPU family       Linux counts as the NT family: TQL_CpuInfoXP is the CPU object
//   processor key    the kernel's name for the processor (/proc/cpuinfo)
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "text/DateTimeFormat.h"

struct TOSRecord {
    std::string Name;              // at most 35 characters
    std::string BuildText;         // "Build: " and the kernel release
    int32_t BuildNumber = 0;       // the kernel's version code (major << 16 | minor << 8 | patch)
    std::string ServicePackText;   // the distribution's version
    uint16_t ServicePackNumber = 0;
};

// The record from the text of os-release and the kernel release; the texts are cut to 64
// characters (a distribution's version and a kernel release outgrow Windows's 20).
TOSRecord OSRecordFrom(const std::string& osRelease, const std::string& kernelRelease);
// The running system's record (/etc/os-release, else /usr/lib/os-release, and uname).
void ReadOSVersion(TOSRecord& record);

// Bytes, as the global memory status gives them.
struct TMemoryInfo {
    uint64_t TotalPhys = 0;
    uint64_t AvailPhys = 0;
    uint64_t MemoryLoad = 0;       // percent in use
    uint64_t TotalPageFile = 0;
    uint64_t AvailPageFile = 0;
};

// From the text of /proc/meminfo; none without MemTotal.
std::optional<TMemoryInfo> MemoryFromMeminfo(const std::string& meminfo);
std::optional<TMemoryInfo> GetMemoryInfo();

// A memory figure as shown: whole megabytes, and from 1023 MB on gigabytes.
struct TMemoryFigure {
    uint64_t Value = 0;
    const char* Unit = "MB";
};
TMemoryFigure MemoryFigure(uint64_t bytes);

struct TCpuRecord {
    std::string Name;              // at most 50 characters
    bool MMX = false, SSE = false, SSE2 = false, SSE3 = false;
    bool Now3D = false, Now3DExt = false;
    bool TSC = false;              // time-stamp counter
};

struct TCpuIdRegs {
    uint32_t Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
};
// One CPUID leaf; false when the processor has no CPUID.
using TCpuIdProc = std::function<bool(uint32_t leaf, TCpuIdRegs& regs)>;
// The processor's own CPUID (x86-64); false on every other processor.
bool HardwareCpuId(uint32_t leaf, TCpuIdRegs& regs);

// Fills the record from the CPUID leaves. Without extended leaves the name is `kernelName`
// (cut to 50) or "Unknown". Without CPUID (other processors) the same name, every flag off,
// and false.
bool ReadCpuId(TCpuRecord& record, const TCpuIdProc& cpuid, const std::string& kernelName);
// The kernel's name for the first processor: "model name", or the field other architectures
// use for it; empty when there is none.
std::string CpuNameFromCpuinfo(const std::string& cpuinfo);

// The CPU record, filled when the object is made.
class TQL_CustomCpuInfos {
public:
    explicit TQL_CustomCpuInfos(const TCpuIdProc& cpuid = HardwareCpuId,
                                const std::string& kernelName = KernelCpuName());
    virtual ~TQL_CustomCpuInfos() = default;
    TCpuRecord CpuRecord() const { return record_; }
    // Time-stamp-counter ticks per millisecond over a 64 ms sleep; 0 without a counter.
    static uint32_t MeasureClock();
    static std::string KernelCpuName();

private:
    TCpuRecord record_;
};

// The CPU object on Linux, as on the NT family.
class TQL_CpuInfoXP : public TQL_CustomCpuInfos {
public:
    using TQL_CustomCpuInfos::TQL_CustomCpuInfos;
};

// "%3.2fMHz" of the ticks per millisecond; empty without a time-stamp counter.
std::string ClockText(uint32_t ticksPerMs, bool tsc);

// The account running the program, cut to 255 characters; its number when it has no name.
std::string ReadUserName();

// The operating system, the MMX flag and the user, read when the object is made.
class TQL_SystemInfo {
public:
    explicit TQL_SystemInfo(const TCpuIdProc& cpuid = HardwareCpuId);
    const TOSRecord& OSRecord() const { return os_; }
    const std::string& OSName() const { return os_.Name; }
    bool MMX() const { return mmx_; }
    const std::string& UserName() const { return userName_; }
    std::optional<TMemoryInfo> GetMemoryInfo() const { return ::GetMemoryInfo(); }

private:
    TOSRecord os_;
    bool mmx_ = false;
    std::string userName_;
};

// Everything the report shows, as read once.
struct TSystemFacts {
    std::string UserName;
    TOSRecord OS;
    std::optional<TMemoryInfo> Memory;   // none: could not be read, the gathering stops there
    TCpuRecord Cpu;
    uint32_t ClockTicksPerMs = 0;
    std::string ProgramFile;             // the program, first MD5 line
    std::string HelperFile;              // the helper beside it, second MD5 line
};
// Reads the running machine; measures the clock (64 ms) when there is a time-stamp counter.
TSystemFacts ReadSystemFacts(const std::string& programFile, const std::string& helperFile);

// The captions of the report page; what gathering leaves unfilled keeps its initial caption.
struct TReportLabels {
    std::string Label2 = "OS";
    std::string Label5 = "MEM";
    std::string Label6 = "CPU";
    std::string Label13 = "Mhz";
    std::string Label14 = "ExInfo :";
    std::array<bool, 6> Features{};      // Label7..Label12: MMX, SSE, SSE2, SSE3, 3DNow!, its extensions
    std::string Label18 = "Caption";
    std::string Label19 = "Caption";
};
extern const std::array<const char*, 6> kFeatureCaptions;

// The gathering in its order; it ends at the first step that fails (memory not read, a file
// not digested), leaving the rest at their initial captions. Reads the two files for their MD5.
TReportLabels GatherLabels(const TSystemFacts& facts);

// The report's lines (UTF-8), as saved or copied.
std::vector<std::string> ReportLines(const TReportLabels& labels, const TDateTimeParts& now,
                                     const std::string& title, const std::string& user);
