// The archive stand-ins over libarchive with archives made by anyone: whatever the archive
// holds, nothing lands or links outside the destination, and the message buffer is never
// overrun. The command-line splitter and the inside test run on the same bytes, the inside
// test checked against a lexical resolution of the path.
#include <fuzzer/FuzzedDataProvider.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/ArchiveLibraries.h"

namespace fs = std::filesystem;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// A box for the whole run: the archive, the destination and a folder beside it that must
// stay empty.
struct TBox {
    fs::path Root, Archive, Out, Beside;
    TBox() {
        const fs::path base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        Root = base / ("tav-fuzz-archive-" + std::to_string(getpid()));
        Archive = Root / "input";
        Out = Root / "out";
        Beside = Root / "beside";
        fs::create_directories(Out);
        fs::create_directories(Beside);
    }
    ~TBox() {
        std::error_code ec;
        fs::remove_all(Root, ec);
    }
};

TBox& Box() {
    static TBox box;
    return box;
}

bool Within(const fs::path& base, const fs::path& p) {
    const std::string b = base.lexically_normal().string(), s = p.lexically_normal().string();
    return s == b || (s.size() > b.size() && s.compare(0, b.size(), b) == 0 && s[b.size()] == '/');
}

// Every entry under the destination lies inside it; a symbolic link, read from its folder,
// points inside too.
void CheckExtracted(const fs::path& out) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(out, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path p = it->path();
        Check(Within(out, p));
        if (fs::is_symlink(fs::symlink_status(p, ec))) {
            const fs::path target = fs::read_symlink(p, ec);
            Check(!target.is_absolute() && Within(out, p.parent_path() / target));
        }
    }
}

void CheckInsideTest(const std::string& path, const std::string& symlink, const std::string& hardlink) {
    if (!ArchiveEntryStaysInside(path, symlink, hardlink)) return;
    const fs::path dest = "/d";
    Check(!path.empty() && path[0] != '/' && Within(dest, dest / path));
    if (!hardlink.empty()) Check(hardlink[0] != '/' && Within(dest, dest / hardlink));
    if (!symlink.empty()) Check(symlink[0] != '/' && Within(dest, (dest / path).parent_path() / symlink));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int library = in.ConsumeIntegralInRange<int>(0, 2);
    const std::string path = in.ConsumeRandomLengthString(32), symlink = in.ConsumeRandomLengthString(32),
                      hardlink = in.ConsumeRandomLengthString(32);
    CheckInsideTest(path, symlink, hardlink);
    const size_t outputSize = in.ConsumeIntegralInRange<size_t>(1, 300);
    const std::string archive = in.ConsumeRemainingBytesAsString();

    TBox& box = Box();
    std::ofstream(box.Archive, std::ios::binary | std::ios::trunc).write(archive.data(), std::streamsize(archive.size()));
    const std::string archivePath = box.Archive.string(), destination = box.Out.string() + "/";
    // Exactly the room the caller says, so a write past it is caught.
    const std::unique_ptr<char[]> output(new char[outputSize]);
    int result = 0;
    switch (library) {
    case 0: result = UnZip(nullptr, {"", archivePath, destination, {}}, output.get(), outputSize); break;
    case 1:
        result = Unlha(nullptr, {"e -x -u0 -jyc ", archivePath, destination, {"*.*"}}, output.get(), outputSize);
        break;
    default: result = Cab(nullptr, {"-x ", archivePath, destination, {"*.*"}}, output.get(), outputSize); break;
    }
    Check(std::memchr(output.get(), '\0', outputSize) != nullptr);
    Check(result == 0 || result >= 0x8001);
    Check(fs::is_directory(fs::symlink_status(box.Out)));   // still the destination folder
    CheckExtracted(box.Out);
    Check(fs::is_empty(box.Beside));
    Check(std::distance(fs::directory_iterator(box.Root), {}) == 3);

    // Ready for the next input: the destination empty again (its entries may be read-only).
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(box.Out, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (!fs::is_symlink(it->symlink_status())) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& e : fs::directory_iterator(box.Out)) fs::remove_all(e.path(), ec);
    return 0;
}
