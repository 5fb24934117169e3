// Writes the fuzzers' seed corpora into FOLDER/<target>: files as the program and the tools
// it meets write them, made with the tests' own fixture builders. Inputs of the targets that
// split their bytes with FuzzedDataProvider are laid out so the file arrives whole: empty
// strings first ("\x" ends one) and the choices as the last bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/DigestPassFile.h"
#include "engine/cache/FileCaches.h"
#include "engine/version/VersionResource.h"
#include "platform/ArchiveFixtures.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "support/PeBuilder.h"

namespace fs = std::filesystem;

namespace {

fs::path g_root;

void Save(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(g_root / target);
    std::ofstream(g_root / target / name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void VersionSeeds() {
    version::VersionData d;
    d.fileVersionMS = 0x0002002E;
    d.strings = {{"FileDescription", "説明 \xF0\xA0\xAE\xB7"}, {"FileVersion", "2.46"}, {"LegalCopyright", ""}};
    const auto block = version::BuildVersionResource(d);
    Save("version_resource", "block", Bytes(block));
    for (bool plus : {false, true}) {
        pebuild::PeOptions o;
        o.pe32plus = plus;
        o.resources = {{{3, {}}, {1, {}}, 0x0411, std::vector<uint8_t>(8, 0xAB)},
                       {{0, u"DATA"}, {0, u"X"}, 0, {1, 2, 3}},
                       {{16, {}}, {1, {}}, 0x0411, block}};
        Save("version_resource", plus ? "pe32plus" : "pe32", Bytes(pebuild::BuildPe(o).bytes));
    }
    for (bool is64 : {false, true})
        Save("version_resource", is64 ? "elf64" : "elf32",
             Bytes(pebuild::BuildElf(is64, {{".text", {0x90, 0x90}}, {version::kElfSection, block}}).bytes));
}

void IniSeeds(const fs::path& scratch) {
    // The file a first exit writes, one with every key changed, and the shapes the INI tests use.
    const std::string path = (scratch / "tavr2.ini").string();
    SaveSettings(path, "2.46", "Copyright (C) Tavrenne Project", InitialSettings());
    const std::string first = ReadAll(path);
    TSettings s = InitialSettings();
    s.CheckCRC = s.UseSound = true;
    s.Priority = 2;
    s.CacheCount = 5;
    s.AutoBufferSize = false;
    s.BufferSize = 100;
    s.SoundFile1 = "D:\\サウンド\\終了.wav";
    TIniDocument changed(first);
    StoreSettings(changed, "2.46", "(C)", s);
    const std::string shapes[] = {
        first,
        changed.Bytes(),
        "[A]\r\na1=1\r\n[b]\r\nb1=1\r\nb1=second of the name\r\n\r\n[A]\r\na2=later\r\n[C]",
        "; comment\r\n[Tavrix_2]\r\n#Priority=1000\r\n#CacheCount=-5\r\n#BufferSize=0x200\r\n#AutoBufferSize=0\r\n",
        "[Tavrix_2]\n  #SoundFile_1 = \"  quoted  \"  \n#Version='2.01'\n[Other]\nx=\x83\x54\x83\x45\xFF\n",
        "\xEF\xBB\xBF[ Tavrix_2 ]\r\n#Save Config=0\r\n=no name\r\n[\x95\x5C]\r\nkey\r\n",
    };
    int n = 0;
    for (const std::string& shape : shapes) Save("ini", "ini" + std::to_string(n++), shape + '\0');   // no writes
}

void SidecarSeeds() {
    const std::string md5 = "d41d8cd98f00b204e9800998ecf8427e";
    const std::string shapes[] = {
        md5 + " a.txt\r\n", md5 + "  a.txt\n", md5 + " *a.txt\n", "\xEF\xBB\xBF" + md5 + " a.txt\r\n",
        md5 + "\ta.txt\n", md5 + "\n", "\\" + md5 + "  a\\\\b.txt\n", " leading\r\n", "\x83\x6E\x83\x62 \x96\xBC\r\n",
    };
    int n = 0;
    for (const std::string& shape : shapes) Save("sidecar", "sidecar" + std::to_string(n++), shape);
}

void ChecksumListSeeds() {
    const std::string md5 = "d41d8cd98f00b204e9800998ecf8427e";
    const std::string sha256 = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    const std::string shapes[] = {
        md5 + "  a.txt\n" + md5 + " *b c.bin\r\n\\" + md5 + "  d\\ne\n",
        "SHA256 (a.txt) = " + sha256 + "\nMD5 (b) = " + md5 + "\n\\SHA1 (c\\\\d) = da39a3ee5e6b4b0d3255bfef95601890afd80709\n",
        "; made by hand\r\na.txt 00000000\r\nsub/b.bin DEADBEEF\r\n",
        md5 + " a.txt\r\n" + md5 + " \x83\x6E.txt\r\n",
        "# comment\n\n" + sha256 + "  x\n" + sha256 + "\n",
    };
    int n = 0;
    for (const std::string& shape : shapes) Save("checksum_list", "list" + std::to_string(n++), shape);
}

void DigestPassSeeds() {
    std::vector<std::string> lines = {DigestEntryLine("alice", "Private Area", "s3cret"),
                                      DigestEntryLine("Bob", "realm", "p:w"), DigestEntryLine("田中", "社内", "パス")};
    SortDigestLines(lines);
    std::string file;
    for (const std::string& l : lines) file += l + "\r\n";
    // user "Bob", realm "realm", a hash, then the file; the last byte: refuse duplicates.
    Save("digest_pass", "add", "Bob\\xrealm\\x0123456789abcdef\\x" + file + "\x01");
    Save("digest_pass", "mixed", "a\\xb\\x\\x# comment\nzed:r:1\rAmy:r:2\r\n\r\n:::\n\x01");
}

void CacheSeeds(const fs::path& scratch) {
    const fs::path folder = scratch / "Cache";
    int tick = 0;
    TFileCaches caches(folder.string(), [&] { return TDateTimeParts{2024, 1, 2, 3, 4, 5, ++tick}; });
    // The fuzz target asks about the file described by the 41 bytes after the record; these
    // seeds leave them out, so it asks about the all-zero file, for which they were stored.
    const TFileIdentity file{};
    caches.Store("352441c2", "900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d", file);
    caches.Store("352441c2", "", "", file);
    caches.Store("", "d41d8cd98f00b204e9800998ecf8427e", "", file);
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder)) Save("cache_record", "record" + std::to_string(n++), ReadAll(e.path()));
}

void ArchiveSeeds(const fs::path& scratch) {
    const std::vector<TArchiveItem> items = {{"a.txt", "alpha\r\n"}, {"sub/b.txt", "line 1\nline 2\n"}};
    // Three empty strings, the archive, the message room (two bytes), the library (0 zip, 1 lzh, 2 cab).
    auto save = [&](const std::string& name, const fs::path& archive, char library) {
        Save("archive", name, "\\x\\x\\x" + ReadAll(archive) + std::string("\x00\x40", 2) + library);
    };
    if (MakeZip(scratch / "t.zip", items)) save("zip", scratch / "t.zip", 0);
    if (MakeZip(scratch / "link.zip", {{"l", "../outside", true}, {"ok", "x"}})) save("zip-link", scratch / "link.zip", 0);
    MakeLzh(scratch / "t.lzh", {{"a.txt", "alpha\r\n"}, {"sub\\b.txt", "line 1\n"}});
    save("lzh", scratch / "t.lzh", 1);
    MakeLzh(scratch / "up.lzh", {{"..\\up.txt", "x"}});
    save("lzh-up", scratch / "up.lzh", 1);
    if (MakeCab(scratch / "t.cab", scratch / "stage", items)) save("cab", scratch / "t.cab", 2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    g_root = argv[1];
    const TempDir scratch;
    VersionSeeds();
    IniSeeds(scratch.path());
    SidecarSeeds();
    DigestPassSeeds();
    ChecksumListSeeds();
    CacheSeeds(scratch.path());
    ArchiveSeeds(scratch.path());
    return 0;
}
