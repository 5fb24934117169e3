// Throughput of the digest engines, run through their full contract, against peers measured in
// the same run over the same file in the page cache. The rows are measured in turn within each
// round (the order rotating), so a machine that slows down during the bench slows them alike.
//
//   tavbench [folder] [--size-mib N] [--runs N] [--keep] [--default-paths-only]
//            [--shared-read-only]
//
// --shared-read-only measures only the one-read runs of several digests against each of their
// digests alone, checked against zlib and OpenSSL.
// The test file (pseudo-random bytes) is created in the folder (default /tmp), read once so
// that it sits in the page cache, and removed at the end unless --keep is given. Every
// implementation must produce the same digest; a mismatch is reported and makes the exit
// status 1.
#include "analysis/AnalysisRun.h"
#include "engine/digest/Hex.h"
#include "engine/FileCRC32Info.h"
#include "engine/FileDigests.h"
#include "engine/FileMD5Info.h"
#include "engine/FileSHA1.h"
#include "engine/FileSHA256Info.h"
#include "engine/FileSHA512Info.h"
#include "engine/digest/Crc32.h"
#include "engine/digest/Md5.h"
#include "engine/digest/Sha1.h"
#include "engine/digest/Sha256.h"
#include "engine/digest/Sha512.h"

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

    std::string algo;       // "CRC32", "MD5", "SHA-1", "SHA-256", "SHA-512", or "-" for the read floor
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

// A row and the call it times.
struct Candidate {
    Row row;
    std::function<std::string()> fn;
};

// Best wall-clock time of `runs` calls of each row, the rows in turn within a round (starting
// one further each round); every call of a row must give the same text.
std::vector<Row> Measure(int runs, std::vector<Candidate> cands) {
    for (int r = 0; r < runs; ++r) {
        for (size_t n = 0; n < cands.size(); ++n) {
            Candidate& c = cands[(n + size_t(r)) % cands.size()];
            const auto t0 = Clock::now();
            std::string hex = Lower(c.fn());
            const double s = Since(t0);
            if (r == 0 || s < c.row.seconds) c.row.seconds = s;
            if (r > 0 && hex != c.row.hex) hex = "unstable:" + hex;
            c.row.hex = hex;
            std::fprintf(stderr, "  %-7s %-44s %8.3f s\n", c.row.algo.c_str(), c.row.name.c_str(), s);
        }
    }
    std::vector<Row> rows;
    for (Candidate& c : cands) rows.push_back(std::move(c.row));
    return rows;
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

// Runs a program and returns the first word it printed.
std::string RunTool(const std::vector<std::string>& args) {
    const std::string& tool = args.front();
    int pipefd[2];
    if (pipe(pipefd) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipefd[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipefd[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
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

for name in ('md5', 'sha1', 'sha256', 'sha512'):
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
        {"sha256", {"SHA-256", "python3 hashlib.sha256"}},
        {"sha512", {"SHA-512", "python3 hashlib.sha512"}},
        {"crc32", {"CRC32", "python3 zlib.crc32"}}};
    while (std::fgets(line, sizeof line, p)) {
        std::istringstream in(line);
        std::string name, hex;
        double s = 0;
        if (!(in >> name >> s >> hex) || !names.count(name)) continue;
        Row row{names.at(name).first, names.at(name).second + " (64 KiB readinto)", Kind::Peer};
        row.seconds = s;
        row.hex = hex;
        std::fprintf(stderr, "  %-7s %-44s %8.3f s\n", row.algo.c_str(), row.name.c_str(), row.seconds);
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

// The engine's rows: its default path first, then the other paths the CPU has. Each call
// selects its path and puts the default back.
template <class Engine, class Impl>
void AddEngineRows(std::vector<Candidate>& cands, const Options& opt, const char* algo, const char* cls, Impl def,
                   std::initializer_list<Impl> others, bool (*supported)(Impl, const digest::CpuFeatures&),
                   void (*select)(Impl, const digest::CpuFeatures&), const char* (*name)(Impl),
                   const std::string& path) {
    std::vector<Impl> order{def};
    if (!opt.defaultPathsOnly)
        for (Impl impl : others)
            if (impl != def && supported(impl, digest::Cpu())) order.push_back(impl);
    for (Impl impl : order) {
        Row row{algo, std::string(cls) + " [" + name(impl) + "]", Kind::Ours, impl == def};
        cands.push_back({row, [=] {
                             select(impl, digest::Cpu());
                             std::string text = RunEngine<Engine>(path);
                             select(def, digest::Cpu());
                             return text;
                         }});
    }
}

// The bench's name of a digest kind, as its rows and the reference digests carry it.
std::string AlgoOf(const TDigestKindInfo& k) {
    const std::string name = k.Name;
    return name.rfind("SHA", 0) == 0 ? "SHA-" + name.substr(3) : name;
}

// One run over one read for several digests, and each digest alone on the same file. All are
// measured in turn within each round, so a machine that slows down or speeds up during the
// bench affects them alike; each keeps its best round.
struct SharedReadRow {
    SharedReadRow(std::string name_, TDigestSet kinds_, bool alone_)
        : name(std::move(name_)), kinds(kinds_), alone(alone_) {}
    std::string name;
    TDigestSet kinds;
    bool alone;              // one kind's own engine
    bool listsBeside = false;   // the window's analysis, asked for nothing, with SHA256SUMS beside
    double seconds = 0;
    double cpuSeconds = 0;   // user and system time of the same round
    std::string text;        // the digests, lower case, in the order of the kind table
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
    for (const TDigestKindInfo& k : DigestKinds())
        if (kinds.Has(k.Kind)) {
            if (!text.empty()) text += ' ';
            text += digests.HashText(k.Kind, false);
        }
    return text;
}

std::string RunAlone(const std::string& path, TDigestSet kinds) {
    for (const TDigestKindInfo& k : DigestKinds()) {
        if (!kinds.Has(k.Kind)) continue;
        const auto engine = k.MakeEngine();
        engine->SetBufferSize(64);
        engine->SetFileName(path);
        return engine->GetHashText(false);
    }
    return {};
}

// The window's analysis with every choice off: the SHA256SUMS beside the file asks for its
// SHA-256. The text is the digest when the list's verdict was a match.
std::string RunListsBeside(const std::string& path) {
    struct TQuietSink : TAnalysisSink {
        bool matched = false;
        void Log(const std::string& text, int) override { matched |= text == "SHA256SUMS: SHA-256を比較 ---> 一致"; }
        void Message(const std::string&, TBoxIcon) override {}
    } sink;
    TFileHooks hooks("");
    TAnalysisRun run(sink, hooks);
    TAnalysisRequest request;
    request.Path = path;
    request.BufferKB = 64;
    request.ListsBeside = true;
    const TAnalysisOutcome outcome = run.Run(request);
    return sink.matched ? outcome.Text(TDigestKind::SHA256) : "no match in the log";
}

// Returns false when a run disagrees with the reference digests.
bool MeasureSharedRead(const std::string& path, uint64_t bytes, int runs, const std::map<std::string, std::string>& reference) {
    std::vector<SharedReadRow> rows;
    TDigestSet every;
    for (const TDigestKindInfo& k : DigestKinds()) {
        rows.emplace_back(std::string(AlgoOf(k)) + " engine alone", TDigestSet{k.Kind}, true);
        every.Add(k.Kind);
    }
    rows.emplace_back("TFileDigests {SHA1, MD5}", TDigestSet{TDigestKind::SHA1, TDigestKind::MD5}, false);
    rows.emplace_back("TFileDigests {CRC32, SHA1, MD5}", AllDigestKinds(), false);
    rows.emplace_back("TFileDigests {all five}", every, false);
    // A download with its SHA256SUMS: verified in the same one read.
    const size_t slash = path.find_last_of('/');
    const std::string sums = path.substr(0, slash + 1) + "SHA256SUMS";
    const auto sha256 = reference.find("SHA-256");
    if (sha256 != reference.end()) {
        std::ofstream(sums, std::ios::binary) << sha256->second << "  " << path.substr(slash + 1) << "\n";
        rows.emplace_back("analysis, SHA256SUMS beside", TDigestSet{TDigestKind::SHA256}, false);
        rows.back().listsBeside = true;
    }
    std::fprintf(stderr, "one read for several digests, best of %d rounds:\n", runs);
    for (int r = 0; r < runs; ++r) {
        for (size_t n = 0; n < rows.size(); ++n) {
            SharedReadRow& row = rows[(n + size_t(r)) % rows.size()];
            const auto t0 = Clock::now();
            const double cpu0 = CpuSeconds();
            row.text = row.alone         ? RunAlone(path, row.kinds)
                       : row.listsBeside ? RunListsBeside(path)
                                         : RunShared(path, row.kinds);
            const double s = Since(t0);
            if (r == 0 || s < row.seconds) {
                row.seconds = s;
                row.cpuSeconds = CpuSeconds() - cpu0;
            }
            std::fprintf(stderr, "  %-34s %8.3f s\n", row.name.c_str(), s);
        }
    }
    std::map<TDigestKind, double> alone;
    for (const SharedReadRow& row : rows)
        if (row.alone)
            for (const TDigestKindInfo& k : DigestKinds())
                if (row.kinds.Has(k.Kind)) alone[k.Kind] = row.seconds;

    bool ok = true;
    std::printf("\nOne read for several digests (whole run: SetFileName, ReadSize, Execute), best of %d,"
                " rows in turn\n", runs);
    std::printf("%-34s %8s %8s %10s  %-18s %s\n", "run", "seconds", "cpu s", "MB/s", "vs slowest alone", "check");
    for (const SharedReadRow& row : rows) {
        std::string want, slowestName;
        double slowest = 0;
        for (const TDigestKindInfo& k : DigestKinds()) {
            if (!row.kinds.Has(k.Kind)) continue;
            const auto it = reference.find(AlgoOf(k));
            want += (want.empty() ? "" : " ") + (it == reference.end() ? std::string("?") : it->second);
            if (alone[k.Kind] > slowest) {
                slowest = alone[k.Kind];
                slowestName = AlgoOf(k);
            }
        }
        const bool same = row.text == want;
        ok &= same;
        const std::string ratio =
            row.alone ? "" : std::to_string(row.seconds / slowest).substr(0, 5) + "x (" + slowestName + ")";
        std::printf("%-34s %8.3f %8.3f %10.0f  %-18s %s\n", row.name.c_str(), row.seconds, row.cpuSeconds,
                    double(bytes) / row.seconds / 1e6, ratio.c_str(), same ? "ok" : ("MISMATCH " + row.text).c_str());
    }
    std::remove(sums.c_str());
    std::printf("Target: a shared run within 1.15x of the time of its slowest digest alone (the analysis row\n"
                "includes reading the file's information and the list). The shared runs\n"
                "need a core per slow digest: where cpu s is well under that many times the seconds, the\n"
                "digests waited for a core (other work, or fewer cores than digests).\n");
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
    const digest::Sha256Impl sha256Default = digest::Sha256Selected();
    const digest::Sha512Impl sha512Default = digest::Sha512Selected();
    const int runs = opt.runs;

    if (opt.sharedReadOnly) {
        const std::map<std::string, std::string> reference = {
            {"CRC32", Zlib(path)},           {"MD5", Evp(path, EVP_md5())},       {"SHA-1", Evp(path, EVP_sha1())},
            {"SHA-256", Evp(path, EVP_sha256())}, {"SHA-512", Evp(path, EVP_sha512())}};
        std::printf("CPU: %s; %ld processors; file of %" PRIu64 " MiB, %.0f%% resident\n", CpuName().c_str(),
                    sysconf(_SC_NPROCESSORS_ONLN), opt.sizeMiB, resident * 100);
        const bool ok = MeasureSharedRead(path, bytes, runs, reference);
        if (!opt.keep) std::remove(path.c_str());
        return ok ? 0 : 1;
    }

    std::vector<Candidate> cands;
    cands.push_back({{"-", "read() 64 KiB loop (floor)", Kind::Floor}, [&] {
                         ReadFile(path, [](const uint8_t*, size_t) {});
                         return std::string();
                     }});

    // Our engines, default path first; the other paths the CPU has follow for comparison.
    AddEngineRows<TFileCRC32Info>(cands, opt, "CRC32", "TFileCRC32Info", crcDefault,
                                  {digest::Crc32Impl::Vpclmul, digest::Crc32Impl::Pclmul,
                                   digest::Crc32Impl::Slice16, digest::Crc32Impl::Table},
                                  digest::Crc32Supported, digest::Crc32Select, digest::Crc32ImplName, path);
    AddEngineRows<TFileMD5Info>(cands, opt, "MD5", "TFileMD5Info", md5Default,
                                {digest::Md5Impl::Fast, digest::Md5Impl::Reference}, digest::Md5Supported,
                                digest::Md5Select, digest::Md5ImplName, path);
    AddEngineRows<TFileSHA1>(cands, opt, "SHA-1", "TFileSHA1", sha1Default,
                             {digest::Sha1Impl::Shani, digest::Sha1Impl::Reference}, digest::Sha1Supported,
                             digest::Sha1Select, digest::Sha1ImplName, path);
    AddEngineRows<TFileSHA256Info>(cands, opt, "SHA-256", "TFileSHA256Info", sha256Default,
                                   {digest::Sha256Impl::Shani, digest::Sha256Impl::Reference},
                                   digest::Sha256Supported, digest::Sha256Select, digest::Sha256ImplName, path);
    AddEngineRows<TFileSHA512Info>(cands, opt, "SHA-512", "TFileSHA512Info", sha512Default,
                                   {digest::Sha512Impl::Avx512, digest::Sha512Impl::Reference},
                                   digest::Sha512Supported, digest::Sha512Select, digest::Sha512ImplName, path);

    cands.push_back({{"CRC32", "zlib crc32 (64 KiB read)", Kind::Peer}, [&] { return Zlib(path); }});
    const struct {
        const char* algo;
        const EVP_MD* (*md)();
        const char* evpName;
        const char* dgstOption;
        const char* coreutils;
    } peers[] = {
        {"MD5", EVP_md5, "md5", "-md5", "md5sum"},
        {"SHA-1", EVP_sha1, "sha1", "-sha1", "sha1sum"},
        {"SHA-256", EVP_sha256, "sha256", "-sha256", "sha256sum"},
        {"SHA-512", EVP_sha512, "sha512", "-sha512", "sha512sum"},
    };
    for (const auto& p : peers) {
        cands.push_back({{p.algo, std::string("OpenSSL EVP ") + p.evpName + " (64 KiB read)", Kind::Peer},
                         [&] { return Evp(path, p.md()); }});
        cands.push_back({{p.algo, std::string("openssl dgst ") + p.dgstOption + " (process)", Kind::Peer},
                         [&] { return RunTool({"openssl", "dgst", p.dgstOption, "-r", path}); }});
        cands.push_back({{p.algo, std::string("coreutils ") + p.coreutils + " (process)", Kind::Peer},
                         [&] { return RunTool({p.coreutils, path}); }});
    }
    std::fprintf(stderr, "measuring, best of %d, rows in turn:\n", runs);
    std::vector<Row> rows = Measure(runs, std::move(cands));
    for (Row& r : RunPython(path, runs)) rows.push_back(r);

    // The reference digest of each algorithm is the first peer's; every row must agree.
    std::map<std::string, std::string> reference;
    std::map<std::string, double> bestPeer, dgst;
    for (const Row& r : rows) {
        if (r.kind != Kind::Peer) continue;
        if (!reference.count(r.algo)) reference[r.algo] = r.hex;
        bestPeer[r.algo] = std::max(bestPeer[r.algo], double(bytes) / r.seconds);
        if (r.name.rfind("openssl dgst", 0) == 0) dgst[r.algo] = double(bytes) / r.seconds;
    }
    bool mismatch = false;

    std::printf("\nDigest throughput over a %" PRIu64 " MiB file in the page cache (%.0f%% resident), "
                "best of %d, rows in turn, MB = 10^6 bytes\n",
                opt.sizeMiB, resident * 100, runs);
    std::printf("CPU: %s; %ld processors\n", CpuName().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("Engine paths in use: CRC32 %s, MD5 %s, SHA-1 %s, SHA-256 %s, SHA-512 %s\n\n",
                digest::Crc32ImplName(crcDefault), digest::Md5ImplName(md5Default), digest::Sha1ImplName(sha1Default),
                digest::Sha256ImplName(sha256Default), digest::Sha512ImplName(sha512Default));
    std::printf("%-7s  %-44s %10s  %-13s %-15s %s\n", "digest", "implementation", "MB/s", "vs best peer",
                "vs openssl dgst", "check");
    for (const char* algo : {"CRC32", "MD5", "SHA-1", "SHA-256", "SHA-512", "-"}) {
        for (const Row& r : rows) {
            if (r.algo != algo) continue;
            const double mbs = double(bytes) / r.seconds / 1e6;
            std::string ratio, ratioDgst, check;
            if (r.kind == Kind::Ours && bestPeer.count(r.algo))
                ratio = std::to_string(mbs * 1e6 / bestPeer[r.algo]).substr(0, 5) + "x";
            if (r.kind == Kind::Ours && dgst.count(r.algo))
                ratioDgst = std::to_string(mbs * 1e6 / dgst[r.algo]).substr(0, 5) + "x";
            if (r.kind != Kind::Floor) {
                const bool ok = reference.count(r.algo) && r.hex == reference[r.algo];
                check = ok ? "ok" : "MISMATCH " + r.hex;
                mismatch |= !ok;
            }
            const std::string name = r.name + (r.defaultPath ? " *" : "");
            std::printf("%-7s  %-44s %10.0f  %-13s %-15s %s\n", r.algo.c_str(), name.c_str(), mbs, ratio.c_str(),
                        ratioDgst.c_str(), check.c_str());
        }
    }
    std::printf("Target: the SHA-256 and SHA-512 engines (default path) at least 1.0x openssl dgst.\n");
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
