// Throughput of the three digest engines, run through their full contract, against peers
// measured in the same run over the same file in the page cache.
//
//   tavbench [folder] [--size-mib N] [--runs N] [--keep] [--default-paths-only]
//            [--shared-read-only]
//
// --shared-read-only measures only the one-read runs of several digests against the MD5
// engine alone, checked against zlib and OpenSSL.
// The test file (pseudo-random bytes) is created in the folder (default /tmp), read once so
// that it sits in the page cache, and removed at the end unless --keep is given. Every
// implementation must produce the same digest; a mismatch is reported and makes the exit
// status 1.
#include "engine/digest/Hex.h"
#include "engine/FileCRC32Info.h"
#include "engine/FileDigests.h"
#include "engine/FileMD5Info.h"
#include "engine/FileSHA1.h"
#include "engine/digest/Crc32.h"
#include "engine/digest/Md5.h"
#include "engine/digest/Sha1.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {

constexpr size_t kChunk = 64 * 1024;

struct Options {
    std::string folder = "/tmp";
    uint64_t sizeMiB = 1024;
    int runs = 3;
    bool keep = false;
    bool defaultPathsOnly = false;
    bool sharedReadOnly = false;
};

enum class Kind { Ours, Peer, Floor };

struct Row {
    Row(std::string algo_, std::string name_, Kind kind_, bool defaultPath_ = false)
        : algo(std::move(algo_)), name(std::move(name_)), kind(kind_), defaultPath(defaultPath_) {}

    std::string algo;       // "CRC32", "MD5", "SHA-1", or "-" for the read floor
    std::string name;
    Kind kind;
    bool defaultPath;
    double seconds = 0;     // best run
    std::string hex;        // lower case
};

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

// Lower-case hexadecimal, as the reference tools print it.
std::string Hex(const unsigned char* p, size_t n) {
    std::string s = digest::HexUpper(p, n);
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Best wall-clock time of `runs` calls; every call must give the same text.
Row Measure(int runs, Row row, const std::function<std::string()>& fn) {
    for (int r = 0; r < runs; ++r) {
        const auto t0 = Clock::now();
        std::string hex = Lower(fn());
        const double s = Since(t0);
        if (r == 0 || s < row.seconds) row.seconds = s;
        if (r > 0 && hex != row.hex) hex = "unstable:" + hex;
        row.hex = hex;
    }
    std::fprintf(stderr, "  %-6s %-44s %8.3f s\n", row.algo.c_str(), row.name.c_str(), row.seconds);
    return row;
}

// The peers read like the engines: one buffer of 64 KiB, plain read() calls.
void ReadFile(const std::string& path, const std::function<void(const uint8_t*, size_t)>& feed) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    std::unique_ptr<uint8_t[]> buf(new uint8_t[kChunk]);
    for (;;) {
        const ssize_t n = read(fd, buf.get(), kChunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            throw std::runtime_error("read failed: " + std::string(std::strerror(errno)));
        }
        if (n == 0) break;
        feed(buf.get(), size_t(n));
    }
    close(fd);
}

std::string Evp(const std::string& path, const EVP_MD* md) {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    EVP_DigestInit_ex(ctx, md, nullptr);
    ReadFile(path, [&](const uint8_t* p, size_t n) { EVP_DigestUpdate(ctx, p, n); });
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned len = 0;
    EVP_DigestFinal_ex(ctx, out, &len);
    EVP_MD_CTX_free(ctx);
    return Hex(out, len);
}

std::string Zlib(const std::string& path) {
    uLong c = crc32(0L, Z_NULL, 0);
    ReadFile(path, [&](const uint8_t* p, size_t n) { c = crc32(c, p, uInt(n)); });
    char s[9];
    std::snprintf(s, sizeof s, "%08lx", c);
    return s;
}

// Runs a program with the file as its only argument and returns the first word it printed.
std::string RunTool(const std::string& tool, const std::string& path) {
    int pipefd[2];
    if (pipe(pipefd) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipefd[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipefd[0]);
    std::vector<char*> argv = {const_cast<char*>(tool.c_str()), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipefd[1]);
    if (rc != 0) {
        close(pipefd[0]);
        throw std::runtime_error("cannot start " + tool);
    }
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(pipefd[0], buf, sizeof buf)) > 0) out.append(buf, size_t(n));
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(tool + " failed");
    return out.substr(0, out.find_first_of(" \t\n"));
}

// Python reads 64 KiB chunks into one buffer and times itself; one line per digest:
// "<name> <best seconds> <hex>".
const char* const kPythonScript = R"PY(
import hashlib, sys, time, zlib
path, runs = sys.argv[1], int(sys.argv[2])
buf = bytearray(65536)
view = memoryview(buf)

def best(start, update, finish):
    result, times = None, []
    for _ in range(runs):
        t = time.perf_counter()
        state = start()
        with open(path, 'rb', buffering=0) as f:
            while True:
                n = f.readinto(buf)
                if not n:
                    break
                state = update(state, view[:n])
        result = finish(state)
        times.append(time.perf_counter() - t)
    return min(times), result

def hashing(name):
    def update(h, chunk):
        h.update(chunk)
        return h
    return best(lambda: hashlib.new(name), update, lambda h: h.hexdigest())

for name in ('md5', 'sha1'):
    s, d = hashing(name)
    print(name, s, d, flush=True)
s, d = best(lambda: 0, lambda c, chunk: zlib.crc32(chunk, c), lambda c: '%08x' % c)
print('crc32', s, d, flush=True)
)PY";

std::vector<Row> RunPython(const std::string& path, int runs) {
    std::vector<Row> rows;
    const std::string script = path + ".py";
    std::ofstream(script) << kPythonScript;
    const std::string cmd = "python3 '" + script + "' '" + path + "' " + std::to_string(runs);
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return rows;
    char line[512];
    const std::map<std::string, std::pair<std::string, std::string>> names = {
        {"md5", {"MD5", "python3 hashlib.md5"}},
        {"sha1", {"SHA-1", "python3 hashlib.sha1"}},
        {"crc32", {"CRC32", "python3 zlib.crc32"}}};
    while (std::fgets(line, sizeof line, p)) {
        std::istringstream in(line);
        std::string name, hex;
        double s = 0;
        if (!(in >> name >> s >> hex) || !names.count(name)) continue;
        Row row{names.at(name).first, names.at(name).second + " (64 KiB readinto)", Kind::Peer};
        row.seconds = s;
        row.hex = hex;
        std::fprintf(stderr, "  %-6s %-44s %8.3f s\n", row.algo.c_str(), row.name.c_str(), row.seconds);
        rows.push_back(row);
    }
    pclose(p);
    std::remove(script.c_str());
    return rows;
}

// Pseudo-random content, so no layer below can shortcut it (no sparse file, no zero pages).
void CreateFile(const std::string& path, uint64_t bytes) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && uint64_t(st.st_size) == bytes) {
        std::fprintf(stderr, "reusing %s\n", path.c_str());
        return;
    }
    std::fprintf(stderr, "creating %s (%" PRIu64 " bytes)\n", path.c_str(), bytes);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
    std::vector<uint64_t> block(1 << 17);   // 1 MiB
    uint64_t x = 0x9E3779B97F4A7C15ull;
    for (uint64_t done = 0; done < bytes;) {
        for (auto& w : block) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            w = x;
        }
        const size_t n = size_t(std::min<uint64_t>(bytes - done, block.size() * 8));
        if (write(fd, block.data(), n) != ssize_t(n)) {
            close(fd);
            throw std::runtime_error("cannot write " + path);
        }
        done += n;
    }
    close(fd);
}

double ResidentShare(const std::string& path, uint64_t bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    void* map = mmap(nullptr, bytes, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (map == MAP_FAILED) return 0;
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> vec((bytes + page - 1) / page);
    double share = 0;
    if (mincore(map, bytes, vec.data()) == 0)
        share = double(std::count_if(vec.begin(), vec.end(), [](unsigned char v) { return v & 1; })) / vec.size();
    munmap(map, bytes);
    return share;
}

std::string CpuName() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown";
}

template <class Engine>
std::string RunEngine(const std::string& path) {
    Engine engine;
    engine.SetBufferSize(64);
    engine.SetFileName(path);
    return engine.GetHashText(false);
}

template <class Engine, class Impl>
void MeasureEngine(std::vector<Row>& rows, const Options& opt, const char* algo, const char* cls, Impl def,
                   std::initializer_list<Impl> others, bool (*supported)(Impl), void (*select)(Impl),
                   const char* (*name)(Impl), const std::string& path) {
    std::vector<Impl> order{def};
    if (!opt.defaultPathsOnly)
        for (Impl impl : others)
            if (impl != def && supported(impl)) order.push_back(impl);
    for (Impl impl : order) {
        select(impl);
        Row row{algo, std::string(cls) + " [" + name(impl) + "]", Kind::Ours, impl == def};
        rows.push_back(Measure(opt.runs, row, [&] { return RunEngine<Engine>(path); }));
    }
    select(def);
}

// The digests of one run over one read, against the MD5 engine alone on the same file. The
// three are measured in turn within each round, so a machine that slows down or speeds up
// during the bench affects them alike; each keeps its best round.
struct SharedReadRow {
    SharedReadRow(const char* name_, TDigestSet kinds_) : name(name_), kinds(kinds_) {}
    const char* name;
    TDigestSet kinds;
    double seconds = 0;
    double cpuSeconds = 0;   // user and system time of the same round
    std::string text;   // the digests, lower case, CRC32 SHA-1 MD5
};

// User and system time of the whole process so far.
double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::string RunShared(const std::string& path, TDigestSet kinds) {
    TFileDigests digests(kinds);
    digests.SetBufferSize(64);
    digests.SetFileName(path);
    digests.ReadSize();
    digests.Execute();
    std::string text;
    for (TDigestKind k : {TDigestKind::CRC32, TDigestKind::SHA1, TDigestKind::MD5})
        if (kinds.Has(k)) {
            if (!text.empty()) text += ' ';
            text += digests.HashText(k, false);
        }
    return text;
}

// Returns false when a shared run disagrees with the single engines.
bool MeasureSharedRead(const std::string& path, uint64_t bytes, int runs, const std::map<std::string, std::string>& reference) {
    std::vector<SharedReadRow> rows = {
        {"TFileMD5Info alone", {TDigestKind::MD5}},
        {"TFileDigests {SHA1, MD5}", {TDigestKind::SHA1, TDigestKind::MD5}},
        {"TFileDigests {CRC32, SHA1, MD5}", {TDigestKind::CRC32, TDigestKind::SHA1, TDigestKind::MD5}},
    };
    std::fprintf(stderr, "one read for several digests, best of %d rounds:\n", runs);
    for (int r = 0; r < runs; ++r) {
        for (size_t i = 0; i < rows.size(); ++i) {
            const auto t0 = Clock::now();
            const double cpu0 = CpuSeconds();
            rows[i].text = i == 0 ? RunEngine<TFileMD5Info>(path) : RunShared(path, rows[i].kinds);
            const double s = Since(t0);
            if (r == 0 || s < rows[i].seconds) {
                rows[i].seconds = s;
                rows[i].cpuSeconds = CpuSeconds() - cpu0;
            }
        }
    }
    auto ref = [&](const char* algo) {
        const auto it = reference.find(algo);
        return it == reference.end() ? std::string("?") : it->second;
    };
    const std::string want[] = {ref("MD5"), ref("SHA-1") + " " + ref("MD5"),
                                ref("CRC32") + " " + ref("SHA-1") + " " + ref("MD5")};
    bool ok = true;
    std::printf("\nOne read for several digests (whole run: SetFileName, ReadSize, Execute), best of %d\n", runs);
    std::printf("%-34s %8s %8s %10s  %-14s %s\n", "run", "seconds", "cpu s", "MB/s", "vs MD5 alone", "check");
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool same = rows[i].text == want[i];
        ok &= same;
        std::printf("%-34s %8.3f %8.3f %10.0f  %-14s %s\n", rows[i].name, rows[i].seconds, rows[i].cpuSeconds,
                    double(bytes) / rows[i].seconds / 1e6,
                    (std::to_string(rows[i].seconds / rows[0].seconds).substr(0, 5) + "x").c_str(),
                    same ? "ok" : ("MISMATCH " + rows[i].text).c_str());
    }
    std::printf("Target: a shared run within 1.15x of the time of the MD5 engine alone. The shared runs\n"
                "need two cores: where cpu s is well under twice the seconds, other work had the CPUs.\n");
    return ok;
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--size-mib" && i + 1 < argc) o.sizeMiB = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--runs" && i + 1 < argc) o.runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--keep") o.keep = true;
        else if (a == "--default-paths-only") o.defaultPathsOnly = true;
        else if (a == "--shared-read-only") o.sharedReadOnly = true;
        else if (!a.empty() && a[0] != '-') o.folder = a;
        else {
            std::fprintf(stderr,
                         "usage: %s [folder] [--size-mib N] [--runs N] [--keep] [--default-paths-only] "
                         "[--shared-read-only]\n",
                         argv[0]);
            std::exit(2);
        }
    }
    if (o.sizeMiB == 0) o.sizeMiB = 1;
    return o;
}

}  // namespace

int main(int argc, char** argv) try {
    const Options opt = Parse(argc, argv);
    const uint64_t bytes = opt.sizeMiB << 20;
    const std::string path = opt.folder + "/tavbench-" + std::to_string(opt.sizeMiB) + "MiB.bin";
    CreateFile(path, bytes);
    ReadFile(path, [](const uint8_t*, size_t) {});   // into the page cache
    const double resident = ResidentShare(path, bytes);

    const digest::Crc32Impl crcDefault = digest::Crc32Selected();
    const digest::Md5Impl md5Default = digest::Md5Selected();
    const digest::Sha1Impl sha1Default = digest::Sha1Selected();
    const int runs = opt.runs;
    std::vector<Row> rows;

    if (opt.sharedReadOnly) {
        const std::map<std::string, std::string> reference = {
            {"CRC32", Zlib(path)}, {"MD5", Evp(path, EVP_md5())}, {"SHA-1", Evp(path, EVP_sha1())}};
        std::printf("CPU: %s; file of %" PRIu64 " MiB, %.0f%% resident\n", CpuName().c_str(), opt.sizeMiB,
                    resident * 100);
        const bool ok = MeasureSharedRead(path, bytes, runs, reference);
        if (!opt.keep) std::remove(path.c_str());
        return ok ? 0 : 1;
    }

    std::fprintf(stderr, "measuring, best of %d:\n", runs);
    rows.push_back(Measure(runs, {"-", "read() 64 KiB loop (floor)", Kind::Floor}, [&] {
        ReadFile(path, [](const uint8_t*, size_t) {});
        return std::string();
    }));

    // Our engines, default path first; the other paths the CPU has follow for comparison.
    MeasureEngine<TFileCRC32Info>(rows, opt, "CRC32", "TFileCRC32Info", crcDefault,
                                  {digest::Crc32Impl::Vpclmul, digest::Crc32Impl::Pclmul,
                                   digest::Crc32Impl::Slice16, digest::Crc32Impl::Table},
                                  digest::Crc32Supported, digest::Crc32Select, digest::Crc32ImplName, path);
    MeasureEngine<TFileMD5Info>(rows, opt, "MD5", "TFileMD5Info", md5Default,
                                {digest::Md5Impl::Fast, digest::Md5Impl::Reference}, digest::Md5Supported,
                                digest::Md5Select, digest::Md5ImplName, path);
    MeasureEngine<TFileSHA1>(rows, opt, "SHA-1", "TFileSHA1", sha1Default,
                             {digest::Sha1Impl::Shani, digest::Sha1Impl::Reference}, digest::Sha1Supported,
                             digest::Sha1Select, digest::Sha1ImplName, path);

    rows.push_back(Measure(runs, {"CRC32", "zlib crc32 (64 KiB read)", Kind::Peer}, [&] { return Zlib(path); }));
    rows.push_back(Measure(runs, {"MD5", "OpenSSL EVP md5 (64 KiB read)", Kind::Peer}, [&] { return Evp(path, EVP_md5()); }));
    rows.push_back(Measure(runs, {"SHA-1", "OpenSSL EVP sha1 (64 KiB read)", Kind::Peer}, [&] { return Evp(path, EVP_sha1()); }));
    rows.push_back(Measure(runs, {"MD5", "coreutils md5sum (process)", Kind::Peer}, [&] { return RunTool("md5sum", path); }));
    rows.push_back(Measure(runs, {"SHA-1", "coreutils sha1sum (process)", Kind::Peer}, [&] { return RunTool("sha1sum", path); }));
    for (Row& r : RunPython(path, runs)) rows.push_back(r);

    // The reference digest of each algorithm is the first peer's; every row must agree.
    std::map<std::string, std::string> reference;
    std::map<std::string, double> bestPeer;
    for (const Row& r : rows) {
        if (r.kind != Kind::Peer) continue;
        if (!reference.count(r.algo)) reference[r.algo] = r.hex;
        bestPeer[r.algo] = std::max(bestPeer[r.algo], double(bytes) / r.seconds);
    }
    bool mismatch = false;

    std::printf("\nDigest throughput over a %" PRIu64 " MiB file in the page cache (%.0f%% resident), "
                "best of %d, MB = 10^6 bytes\n",
                opt.sizeMiB, resident * 100, runs);
    std::printf("CPU: %s\n", CpuName().c_str());
    std::printf("Engine paths in use: CRC32 %s, MD5 %s, SHA-1 %s\n\n", digest::Crc32ImplName(crcDefault),
                digest::Md5ImplName(md5Default), digest::Sha1ImplName(sha1Default));
    std::printf("%-6s  %-44s %10s  %-14s %s\n", "digest", "implementation", "MB/s", "vs best peer", "check");
    for (const char* algo : {"CRC32", "MD5", "SHA-1", "-"}) {
        for (const Row& r : rows) {
            if (r.algo != algo) continue;
            const double mbs = double(bytes) / r.seconds / 1e6;
            std::string ratio, check;
            if (r.kind == Kind::Ours && bestPeer.count(r.algo))
                ratio = std::to_string(mbs * 1e6 / bestPeer[r.algo]).substr(0, 5) + "x";
            if (r.kind != Kind::Floor) {
                const bool ok = reference.count(r.algo) && r.hex == reference[r.algo];
                check = ok ? "ok" : "MISMATCH " + r.hex;
                mismatch |= !ok;
            }
            const std::string name = r.name + (r.defaultPath ? " *" : "");
            std::printf("%-6s  %-44s %10.0f  %-14s %s\n", r.algo.c_str(), name.c_str(), mbs, ratio.c_str(),
                        check.c_str());
        }
    }
    mismatch |= !MeasureSharedRead(path, bytes, runs, reference);

    std::printf("\n* the path the engine uses by default. Engines run through the full contract "
                "(construct, SetBufferSize(64), SetFileName, GetHashText(false)).\n");
    for (const auto& [algo, hex] : reference) std::printf("%s of the file: %s\n", algo.c_str(), hex.c_str());

    if (!opt.keep) std::remove(path.c_str());
    return mismatch ? 1 : 0;
} catch (const std::exception& e) {
    std::fprintf(stderr, "tavbench: %s\n", e.what());
    return 1;
}
