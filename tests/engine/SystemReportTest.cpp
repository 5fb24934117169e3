#include "engine/SystemReport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <map>
#include <regex>
#include <string>

#include "support/TempDir.h"
#include "text/Cp932.h"

namespace {

TEST(SystemReport, MemoryFiguresTurnIntoGigabytesFrom1023MB) {
    const uint64_t MB = 1 << 20;
    struct Case {
        uint64_t bytes;
        uint64_t value;
        std::string unit;
    } cases[] = {
        {512 * MB, 512, "MB"},       {200 * MB, 200, "MB"},  {2047 * MB, 2, "GB"},
        {1023 * MB, 1, "GB"},        {1022 * MB, 1022, "MB"}, {1022 * MB + MB - 1, 1022, "MB"},
        {MB - 1, 0, "MB"},           {24 * 1024 * MB, 24, "GB"},
    };
    for (const Case& c : cases) {
        const TMemoryFigure f = MemoryFigure(c.bytes);
        EXPECT_EQ(f.Value, c.value) << c.bytes;
        EXPECT_EQ(f.Unit, c.unit) << c.bytes;
    }
}

TEST(SystemReport, MemoryComesFromMeminfo) {
    const std::optional<TMemoryInfo> m = MemoryFromMeminfo(
        "MemTotal:         524288 kB\nMemFree:           10240 kB\nMemAvailable:     204800 kB\n"
        "SwapCached:            0 kB\nSwapTotal:        102400 kB\nSwapFree:          51200 kB\n");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->TotalPhys, 512u << 20);
    EXPECT_EQ(m->AvailPhys, 200u << 20);
    EXPECT_EQ(m->MemoryLoad, 60u);
    EXPECT_EQ(m->TotalPageFile, 100u << 20);
    EXPECT_EQ(m->AvailPageFile, 50u << 20);

    // Kernels before MemAvailable: the free memory.
    const std::optional<TMemoryInfo> old = MemoryFromMeminfo("MemTotal: 2048 kB\nMemFree: 1024 kB\n");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->AvailPhys, 1u << 20);
    EXPECT_FALSE(MemoryFromMeminfo("MemFree: 1024 kB\n"));
}

// CPUID answers from a table; leaves not in it give zeros.
TCpuIdProc FakeCpuId(std::map<uint32_t, TCpuIdRegs> leaves) {
    return [leaves](uint32_t leaf, TCpuIdRegs& r) {
        const auto it = leaves.find(leaf);
        r = it == leaves.end() ? TCpuIdRegs{} : it->second;
        return true;
    };
}

// The three name leaves of a 48-byte name, low byte first in EAX, EBX, ECX, EDX.
void PutName(std::map<uint32_t, TCpuIdRegs>& leaves, const std::string& name48) {
    EXPECT_EQ(name48.size(), 48u);
    for (uint32_t i = 0; i < 3; ++i) {
        uint32_t regs[4] = {};
        for (int b = 0; b < 16; ++b) regs[b / 4] |= uint32_t(uint8_t(name48[i * 16 + b])) << (8 * (b % 4));
        leaves[0x80000002u + i] = {regs[0], regs[1], regs[2], regs[3]};
    }
}

TEST(SystemReport, CpuNameAndFlagsFromTheRegisters) {
    std::map<uint32_t, TCpuIdRegs> leaves;
    leaves[0x80000000u] = {0x80000008u, 0, 0, 0};
    leaves[1] = {0, 0, 1u, (1u << 23) | (1u << 26) | (1u << 4)};   // MMX, SSE2, SSE3, TSC
    leaves[0x80000001u] = {0, 0, 0, 1u << 30};                     // 3DNow! extensions only
    // Each piece ends at its first NUL, even with bytes after it; leading blanks stay.
    PutName(leaves, std::string("   Intel(R) Cor", 16) + std::string("e(TM)\0junk\0\0\0\0\0\0", 16) +
                        std::string(" i7 CPU\0\0\0\0\0\0\0\0\0", 16));
    TCpuRecord r;
    EXPECT_TRUE(ReadCpuId(r, FakeCpuId(leaves), "ignored"));
    EXPECT_EQ(r.Name, "   Intel(R) Core(TM) i7 CPU");
    EXPECT_TRUE(r.MMX);
    EXPECT_FALSE(r.SSE);
    EXPECT_TRUE(r.SSE2);
    EXPECT_TRUE(r.SSE3);
    EXPECT_FALSE(r.Now3D);
    EXPECT_TRUE(r.Now3DExt);
    EXPECT_TRUE(r.TSC);

    // A full 48-byte name with no NUL is kept whole.
    const std::string full = "AMD Athlon(tm) 64 X2 Dual Core Processor 4800+  ";
    PutName(leaves, full);
    leaves[0x80000001u] = {0, 0, 0, 1u << 31};
    ASSERT_TRUE(ReadCpuId(r, FakeCpuId(leaves), ""));
    EXPECT_EQ(r.Name, full);
    EXPECT_TRUE(r.Now3D);
    EXPECT_FALSE(r.Now3DExt);
}

TEST(SystemReport, CpuWithoutExtendedLeavesOrWithoutCpuid) {
    std::map<uint32_t, TCpuIdRegs> leaves;
    leaves[0x80000000u] = {0x80000000u, 0, 0, 0};   // not above: no extended leaves
    leaves[1] = {0, 0, 0, 1u << 25};
    leaves[0x80000001u] = {0, 0, 0, 0xC0000000u};   // must not be read
    TCpuRecord r;
    EXPECT_TRUE(ReadCpuId(r, FakeCpuId(leaves), ""));
    EXPECT_EQ(r.Name, "Unknown");
    EXPECT_TRUE(r.SSE);
    EXPECT_FALSE(r.Now3D);

    // The kernel's name stands for the registry's, cut to 50 characters.
    const std::string longName(60, 'x');
    ReadCpuId(r, FakeCpuId(leaves), longName);
    EXPECT_EQ(r.Name, std::string(50, 'x'));

    // Another processor: the kernel's name, no flags.
    const TCpuIdProc none = [](uint32_t, TCpuIdRegs&) { return false; };
    EXPECT_FALSE(ReadCpuId(r, none, "ARMv8 Processor rev 1 (v8l)"));
    EXPECT_EQ(r.Name, "ARMv8 Processor rev 1 (v8l)");
    EXPECT_FALSE(r.MMX || r.SSE || r.SSE2 || r.SSE3 || r.Now3D || r.Now3DExt || r.TSC);
    ReadCpuId(r, none, "");
    EXPECT_EQ(r.Name, "Unknown");
}

TEST(SystemReport, KernelCpuNameByArchitecture) {
    EXPECT_EQ(CpuNameFromCpuinfo("processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Xeon(R)  \n"),
              "Intel(R) Xeon(R)");
    EXPECT_EQ(CpuNameFromCpuinfo("Processor\t: ARMv7 Processor rev 4 (v7l)\nprocessor\t: 0\n"),
              "ARMv7 Processor rev 4 (v7l)");
    EXPECT_EQ(CpuNameFromCpuinfo("processor\t: 0\nhart\t: 1\nisa\t: rv64imafdc\n"), "");
}

TEST(SystemReport, ClockText) {
    EXPECT_EQ(ClockText(2400000, true), "2400.00MHz");
    EXPECT_EQ(ClockText(1234567, true), "1234.57MHz");
    EXPECT_EQ(ClockText(999, true), "1.00MHz");
    EXPECT_EQ(ClockText(2400000, false), "");
}

const char* const kDebian =
    "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n"
    "VERSION=\"12 (bookworm)\"\nVERSION_CODENAME=bookworm\nID=debian\n";

TEST(SystemReport, OsRecordFromOsRelease) {
    const TOSRecord r = OSRecordFrom(kDebian, "6.1.0-18-amd64");
    EXPECT_EQ(r.Name, "Debian GNU/Linux");
    EXPECT_EQ(r.ServicePackText, "12 (bookworm)");
    EXPECT_EQ(r.ServicePackNumber, 12);
    EXPECT_EQ(r.BuildText, "Build: 6.1.0-18-amd64");
    EXPECT_EQ(r.BuildNumber, 6 << 16 | 1 << 8 | 0);

    // Only VERSION_ID, escapes in quotes, an overlong name; no os-release at all.
    const TOSRecord arch = OSRecordFrom("NAME='Arch Linux'\nVERSION_ID=20240101.0.1\n", "6.7.4-arch1-1");
    EXPECT_EQ(arch.Name, "Arch Linux");
    EXPECT_EQ(arch.ServicePackText, "20240101.0.1");
    EXPECT_EQ(arch.ServicePackNumber, 65535);
    EXPECT_EQ(arch.BuildNumber, 6 << 16 | 7 << 8 | 4);
    EXPECT_EQ(OSRecordFrom("NAME=\"Say \\\"Hi\\\" OS\"\n", "").Name, "Say \"Hi\" OS");
    EXPECT_EQ(OSRecordFrom("NAME=\"" + std::string(40, 'n') + "\"\n", "").Name, std::string(35, 'n'));
    const TOSRecord bare = OSRecordFrom("", "5.10.0");
    EXPECT_EQ(bare.Name, "Linux");
    EXPECT_EQ(bare.ServicePackText, "");

    TSystemFacts f;
    f.OS = OSRecordFrom(kDebian, "6.1.0-18-amd64");
    EXPECT_EQ(GatherLabels(f).Label2, "OS: Debian GNU/Linux 12 (bookworm) Build: 6.1.0-18-amd64");
}

// A machine as the fixtures describe it, its two files in `dir`.
TSystemFacts Facts(const TempDir& dir) {
    TSystemFacts f;
    f.UserName = "mirune";
    f.OS = OSRecordFrom(kDebian, "6.1.0-18-amd64");
    f.Memory = TMemoryInfo{512u << 20, 200u << 20, 60, 0, 0};
    f.Cpu.Name = " Pentium(R) 4";
    f.Cpu.MMX = f.Cpu.SSE = f.Cpu.SSE2 = f.Cpu.TSC = true;
    f.ClockTicksPerMs = 2993456;
    f.ProgramFile = dir.write("tavrenne", "abc");
    f.HelperFile = dir.write("tavrfix", "message digest");
    return f;
}

TEST(SystemReport, GatheringStopsAtTheFirstFailure) {
    const TempDir dir;
    TSystemFacts f = Facts(dir);
    TReportLabels l = GatherLabels(f);
    EXPECT_EQ(l.Label5, "Memory Info : Total 512MB  Free 200MB");
    EXPECT_EQ(l.Label6, "CPU :  Pentium(R) 4");
    EXPECT_EQ(l.Label13, "CPU Clock : (2993.46MHz)");
    EXPECT_EQ(l.Label14, "ExInfo :");
    EXPECT_EQ(l.Features, (std::array<bool, 6>{true, true, true, false, false, false}));
    EXPECT_EQ(l.Label18, "tavr.exe   900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(l.Label19, "tavr.dll   f96b697d7cb7938d525a2f31aaf161d0");

    f.Cpu.TSC = false;
    f.HelperFile = dir.file("gone");
    l = GatherLabels(f);
    EXPECT_EQ(l.Label13, "CPU Clock : ()");
    EXPECT_EQ(l.Label18, "tavr.exe   900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(l.Label19, "Caption");

    f.HelperFile = Facts(dir).HelperFile;
    f.ProgramFile = dir.file("gone");
    l = GatherLabels(f);
    EXPECT_EQ(l.Label18, "Caption");
    EXPECT_EQ(l.Label19, "Caption");

    // Memory not readable: nothing after the OS line is filled.
    f = Facts(dir);
    f.Memory.reset();
    l = GatherLabels(f);
    EXPECT_EQ(l.Label2, "OS: Debian GNU/Linux 12 (bookworm) Build: 6.1.0-18-amd64");
    EXPECT_EQ(l.Label5, "MEM");
    EXPECT_EQ(l.Label6, "CPU");
    EXPECT_EQ(l.Label13, "Mhz");
    EXPECT_EQ(l.Features, (std::array<bool, 6>{}));
    EXPECT_EQ(l.Label18, "Caption");
}

TEST(SystemReport, ReportLinesInTheFilesCodePage) {
    const TempDir dir;
    const TSystemFacts f = Facts(dir);
    TDateTimeParts now;
    now.year = 2026, now.month = 1, now.day = 2, now.hour = 3, now.minute = 4, now.second = 59;
    // The file holds the lines in code page 932, each followed by CR LF.
    std::string bytes;
    for (const std::string& line : ReportLines(GatherLabels(f), now, "Tavrenne 2.46", f.UserName))
        bytes += cp932::FromUtf8(line) + "\r\n";
    const std::string expected =
        "---------------Tavrenne Report v1.05a---------------\r\n"
        "\x8e\x9e\x8d\x8f\x81\x46 2026\x94\x4e" "01\x8c\x8e" "02\x93\xfa" "03\x8e\x9e" "04\x95\xaa\r\n"
        "Tavrenne 2.46\r\n"
        "User: mirune\r\n"
        "OS: Debian GNU/Linux 12 (bookworm) Build: 6.1.0-18-amd64\r\n"
        "Memory Info : Total 512MB  Free 200MB\r\n"
        "CPU :  Pentium(R) 4\r\n"
        "CPU Clock : (2993.46MHz)\r\n"
        "ExInfo :\r\n"
        "MMX \x81\x9b SSE \x81\x9b SSE2 \x81\x9b SSE3 \x81\x7e 3DNow ! \x81\x7e 3DNow ! Pro \x81\x7e \r\n"
        "MD5:\r\n"
        "tavr.exe   900150983cd24fb0d6963f7d28e17f72\r\n"
        "tavr.dll   f96b697d7cb7938d525a2f31aaf161d0\r\n"
        "-------------------------------------------------------\r\n";
    EXPECT_EQ(bytes, expected);

    // Afternoon hours in 24-hour form.
    now.hour = 23;
    EXPECT_EQ(ReportLines(TReportLabels{}, now, "", "")[1], "時刻： 2026年01月02日23時04分");
}

TEST(SystemReport, TheRealMachineHasTheShape) {
    char self[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const TSystemFacts f = ReadSystemFacts(self, "");
    EXPECT_FALSE(f.UserName.empty());
    const TReportLabels l = GatherLabels(f);
    EXPECT_TRUE(std::regex_match(l.Label2, std::regex("OS: .+ .* Build: .+"))) << l.Label2;
    EXPECT_TRUE(std::regex_match(l.Label5, std::regex("Memory Info : Total [0-9]+[MG]B  Free [0-9]+[MG]B")))
        << l.Label5;
    EXPECT_TRUE(std::regex_match(l.Label6, std::regex("CPU : .+"))) << l.Label6;
    EXPECT_TRUE(std::regex_match(l.Label13, std::regex(R"(CPU Clock : \(([0-9]+\.[0-9]{2}MHz)?\))"))) << l.Label13;
#if defined(__x86_64__)
    EXPECT_TRUE(f.Cpu.TSC && f.Cpu.SSE2);   // every x86-64 processor has both
    EXPECT_GT(f.ClockTicksPerMs, 0u);
#endif
    EXPECT_TRUE(std::regex_match(l.Label18, std::regex("tavr.exe   [0-9a-f]{32}"))) << l.Label18;
    EXPECT_EQ(l.Label19, "Caption");
}

}  // namespace
