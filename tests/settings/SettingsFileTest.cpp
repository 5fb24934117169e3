// tavr2.ini: the file written at exit, what loading makes of it, and failing writes.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "text/Cp932.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kVersion = "2.46";
const std::string kCopyright = "Copyright (C) Tavrenne Project";

// Keys 4 to 33 as InitialSettings() writes them.
const char* const kInitialTail =
    "#Check CRC=0\r\n"
    "#Check MD5=1\r\n"
    "#Check SHA1=0\r\n"
    "#LogWindow=1\r\n"
    "#strbyl=0\r\n"
    "#ByteLen=0\r\n"
    "#not useMD5File=0\r\n"
    "#auto create MD5=0\r\n"
    "#Use SSTP=0\r\n"
    "#close_q=0\r\n"
    "#clearlog=0\r\n"
    "#Use MD5File=0\r\n"
    "#ShutdownOption=0\r\n"
    "#NoSp=0\r\n"
    "#Use FileCache=0\r\n"
    "#Priority=0\r\n"
    "#check oldun=0\r\n"
    "#DeleteCacheFiles=1\r\n"
    "#CacheOver=1\r\n"
    "#CacheCount=0\r\n"
    "#BackConfig=1\r\n"
    "#AutoBufferSize=1\r\n"
    "#BufferSize=64\r\n"
    "#SetingMD5=1\r\n"
    "#UseSound=0\r\n"
    "#SoundFile_1=\r\n"
    "#SoundFile_2=\r\n"
    "#Reloadfile=0\r\n"
    "#Etavr pro section=00 02 02 05 09 01\r\n"
    "#END=\r\n";

std::string Head(bool saveConfig) {
    return "[Tavrix_2]\r\n#Version=2.46\r\n#Copyright=" + kCopyright + "\r\n#Save Config=" +
           (saveConfig ? "1" : "0") + "\r\n";
}

}  // namespace

TEST(SettingsFile, AFirstExitWritesEveryKeyInTableOrder) {
    TempDir dir;
    const std::string path = dir.file("tavr2.ini");
    SaveSettings(path, kVersion, kCopyright, InitialSettings());
    EXPECT_EQ(ReadBytes(path), Head(true) + kInitialTail);
}

TEST(SettingsFile, SaveConfigDecidesWhetherKeysFourToThirtyThreeAreWritten) {
    TempDir dir;
    TSettings changed = InitialSettings();
    changed.CheckCRC = true;
    changed.CheckMD5 = false;
    changed.BufferSize = 100;

    // On: everything follows the record.
    const std::string on = dir.file("on.ini");
    SaveSettings(on, kVersion, kCopyright, InitialSettings());
    SaveSettings(on, kVersion, kCopyright, changed);
    std::string expected = Head(true) + kInitialTail;
    expected.replace(expected.find("#Check CRC=0"), 12, "#Check CRC=1");
    expected.replace(expected.find("#Check MD5=1"), 12, "#Check MD5=0");
    expected.replace(expected.find("#BufferSize=64"), 14, "#BufferSize=100");
    EXPECT_EQ(ReadBytes(on), expected);

    // Off over an existing file: only the first three keys change, older values stay.
    const std::string off = dir.write("off.ini",
        "[Tavrix_2]\r\n#Version=2.40\r\n#Copyright=old\r\n#Save Config=1\r\n#Check CRC=0\r\n#NoSp=1\r\n");
    changed.SaveConfig = false;
    SaveSettings(off, kVersion, kCopyright, changed);
    EXPECT_EQ(ReadBytes(off), Head(false) + "#Check CRC=0\r\n#NoSp=1\r\n");

    // Off without a file: a file of three keys.
    const std::string fresh = dir.file("fresh.ini");
    SaveSettings(fresh, kVersion, kCopyright, changed);
    EXPECT_EQ(ReadBytes(fresh), Head(false));
}

TEST(SettingsFile, SavingKeepsForeignSectionsCommentsAndOtherKeys) {
    TempDir dir;
    const std::string digestKey = "#Digest_Pass_Text=" + cp932::FromUtf8("C:\\ツール\\Digest_Pass.txt");
    const std::string path = dir.write("tavr2.ini",
        "; hand-edited\r\n"
        "[Tavrix_2]\r\n"
        "#Version = 2.45\r\n"
        "#check crc=1\r\n" +
        digestKey + "\r\n"
        "#My Note=keep\r\n"
        "\r\n"
        "[Other Tool]\r\n"
        "#Check CRC=foreign\r\n");
    TSettings s = InitialSettings();
    s.SoundFile1 = "/home/ユーザー/終了.wav";
    SaveSettings(path, kVersion, kCopyright, s);

    std::string tail = kInitialTail;
    tail.erase(0, tail.find("#Check MD5"));   // "#Check CRC" is already in the file
    tail.replace(tail.find("#SoundFile_1=\r\n"), 15,
                 "#SoundFile_1=" + cp932::FromUtf8("/home/ユーザー/終了.wav") + "\r\n");
    EXPECT_EQ(ReadBytes(path),
              "; hand-edited\r\n"
              "[Tavrix_2]\r\n"
              "#Version = 2.46\r\n"
              "#check crc=0\r\n" +
              digestKey + "\r\n"
              "#My Note=keep\r\n"
              "#Copyright=" + kCopyright + "\r\n"
              "#Save Config=1\r\n" + tail +
              "\r\n"
              "[Other Tool]\r\n"
              "#Check CRC=foreign\r\n");
}

TEST(SettingsFile, WhatIsSavedLoadsBackTheSame) {
    TempDir dir;
    const std::string path = dir.file("tavr2.ini");
    TSettings s;
    s.CheckCRC = s.CheckSHA1 = true;
    s.CheckMD5 = false;
    s.LogWindow = false;
    s.StrByL = s.ByteLen = s.NotUseMD5File = s.AutoCreateMD5 = s.UseSSTP = true;
    s.CloseQuery = s.ClearLog = s.ShutdownOption = s.NoSplash = s.UseFileCache = true;
    s.UseMD5File = false;
    s.Priority = 2;
    s.DeleteCacheFiles = false;
    s.CacheOver = true;
    s.CacheCount = 5;
    s.AutoBufferSize = false;
    s.BufferSize = 100;
    s.SetingMD5 = false;
    s.UseSound = s.ReloadFile = true;
    s.SoundFile1 = "/snd/終了 音.wav";
    s.SoundFile2 = "/snd/error.wav";
    s.BackConfig = InitialSettings().BackConfig;   // written only: loading leaves it as it was
    SaveSettings(path, kVersion, kCopyright, s);

    TSettings loaded = InitialSettings();
    const TLoadResult r = LoadSettings(path, kVersion, loaded);
    EXPECT_TRUE(r.FileExisted);
    EXPECT_FALSE(r.Upgraded);
    EXPECT_TRUE(r.HelperStarts.empty());   // "#check oldun" was saved as 0
    EXPECT_EQ(loaded, s);
    EXPECT_EQ(CacheLimit(loaded), 2000);
    EXPECT_EQ(BufferSizeKB(loaded), 100);
}

TEST(SettingsFile, MissingFileReadsNothingAndAsksForTheHelperCheck) {
    TempDir dir;
    TSettings s = InitialSettings();
    const TLoadResult r = LoadSettings(dir.file("tavr2.ini"), kVersion, s);
    EXPECT_FALSE(r.FileExisted);
    EXPECT_FALSE(r.Upgraded);
    EXPECT_EQ(r.HelperStarts, (std::vector<THelperStart>{{"-O", true}}));
    EXPECT_EQ(s, InitialSettings());
    // The start without a file differs from a file without keys in two places.
    EXPECT_TRUE(s.CheckMD5);
    EXPECT_FALSE(s.UseMD5File);
}

TEST(SettingsFile, MissingKeysTakeTheirDefaults) {
    TempDir dir;
    const std::string path = dir.write("tavr2.ini", "[Tavrix_2]\r\n#Version=2.46\r\n");
    TSettings s = InitialSettings();
    const TLoadResult r = LoadSettings(path, kVersion, s);
    EXPECT_TRUE(r.FileExisted);
    EXPECT_FALSE(r.Upgraded);
    EXPECT_EQ(r.HelperStarts, (std::vector<THelperStart>{{"-O", true}}));   // "#check oldun" missing
    TSettings defaults;   // the per-key defaults
    defaults.BackConfig = s.BackConfig;   // written only: loading leaves it as it was
    EXPECT_EQ(s, defaults);
    EXPECT_FALSE(s.CheckMD5);
    EXPECT_TRUE(s.UseMD5File);
}

TEST(SettingsFile, UpgradeIsAnyDifferenceFromTheStoredVersion) {
    TempDir dir;
    const struct {
        const char* file;
        bool upgraded;
        const char* text1;
        std::vector<THelperStart> starts;
    } cases[] = {
        {"[Tavrix_2]\r\n#check oldun=0\r\n", true, "TavrenneがVersion 2.01から", {}},
        {"[Tavrix_2]\r\n#Version=2.50\r\n#check oldun=0\r\n", true, "TavrenneがVersion 2.50から", {}},
        {"[Tavrix_2]\r\n#Version=2.46 \r\n#check oldun=0\r\n", false, "", {}},   // value trimmed
        {"[Tavrix_2]\r\n#Version=2.46a\r\n#BackConfig=1\r\n", true, "TavrenneがVersion 2.46aから",
         {{"-D", false}, {"-O", true}}},
        {"[Tavrix_2]\r\n#Version=2.46\r\n#BackConfig=1\r\n#check oldun=0\r\n", false, "", {}},
    };
    for (const auto& c : cases) {
        const std::string path = dir.write("tavr2.ini", c.file);
        TSettings s = InitialSettings();
        const TLoadResult r = LoadSettings(path, kVersion, s);
        EXPECT_EQ(r.Upgraded, c.upgraded) << c.file;
        EXPECT_EQ(r.UpgradeText1, c.text1) << c.file;
        EXPECT_EQ(r.UpgradeText2, c.upgraded ? "2.46へ更新されました" : "") << c.file;
        EXPECT_EQ(r.HelperStarts, c.starts) << c.file;
    }
}

TEST(SettingsFile, SliderAndListsAreKeptInRange) {
    TempDir dir;
    const struct {
        const char* keys;
        int bufferSize, bufferSizeKB, priority, cacheCount, cacheLimit;
    } cases[] = {
        {"#AutoBufferSize=1\r\n#BufferSize=100\r\n", 64, 64, 0, 0, 50},
        {"#AutoBufferSize=0\r\n#BufferSize=100\r\n", 100, 100, 0, 0, 50},
        {"#AutoBufferSize=0\r\n#BufferSize=8\r\n", 16, 16, 0, 0, 50},
        {"#AutoBufferSize=0\r\n#BufferSize=0x200\r\n", 128, 128, 0, 0, 50},
        {"#AutoBufferSize=0\r\n#BufferSize=big\r\n", 64, 64, 0, 0, 50},
        {"#Priority=2\r\n#CacheCount=0x3\r\n", 64, 64, 2, 3, 500},
        {"#Priority=3\r\n#CacheCount=6\r\n", 64, 64, -1, -1, 0},
        {"#Priority=-1\r\n#CacheCount=-1\r\n", 64, 64, -1, -1, 0},
        {"#CacheOver=0\r\n#CacheCount=4\r\n", 64, 64, 0, 4, 0},
        {"#CacheOver=1\r\n#CacheCount=4\r\n", 64, 64, 0, 4, 1000},
    };
    for (const auto& c : cases) {
        const std::string path = dir.write("tavr2.ini", std::string("[Tavrix_2]\r\n") + c.keys);
        TSettings s = InitialSettings();
        LoadSettings(path, kVersion, s);
        EXPECT_EQ(s.BufferSize, c.bufferSize) << c.keys;
        EXPECT_EQ(BufferSizeKB(s), c.bufferSizeKB) << c.keys;
        EXPECT_EQ(s.Priority, c.priority) << c.keys;
        EXPECT_EQ(s.CacheCount, c.cacheCount) << c.keys;
        EXPECT_EQ(CacheLimit(s), c.cacheLimit) << c.keys;
    }
}

// A list index outside its list loads as "no selection"; saved unchanged, the file keeps what
// the user wrote instead of "-1", and a choice made since is written.
TEST(SettingsFile, AnIndexOutsideItsListKeepsItsTextUntilAnItemIsChosen) {
    TempDir dir;
    const std::string original = Head(true) + "#Priority=1000\r\n#CacheCount=-5\r\n";
    const std::string path = dir.write("tavr2.ini", original);
    TSettings s = InitialSettings();
    LoadSettings(path, kVersion, s);
    ASSERT_EQ(s.Priority, -1);
    ASSERT_EQ(s.CacheCount, -1);
    SaveSettings(path, kVersion, kCopyright, s);
    const std::string saved = ReadBytes(path);
    EXPECT_NE(saved.find("\r\n#Priority=1000\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\n#CacheCount=-5\r\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("=-1\r\n"), std::string::npos) << saved;

    s.Priority = 1;
    SaveSettings(path, kVersion, kCopyright, s);
    TSettings again = InitialSettings();
    LoadSettings(path, kVersion, again);
    EXPECT_EQ(again.Priority, 1);
    EXPECT_EQ(again.CacheCount, -1);
    EXPECT_NE(ReadBytes(path).find("\r\n#CacheCount=-5\r\n"), std::string::npos);
}

TEST(SettingsFile, AFailingKeyStopsTheRestAndNamesTheFile) {
    TempDir dir;
    // The name is taken by a folder: the very first key fails.
    fs::create_directory(dir.path() / "tavr2.ini");
    try {
        SaveSettings(dir.file("tavr2.ini"), kVersion, kCopyright, InitialSettings());
        ADD_FAILURE() << "saving over a folder succeeded";
    } catch (const EIniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), dir.file("tavr2.ini") + " に書き込めません");
    }

    // The disk fills up part way: the file holds the keys before the failing one, whole.
    const std::string path = dir.file("part.ini");
    const std::string full = Head(true) + kInitialTail;
    {
        FileSizeLimit limit(200);
        EXPECT_THROW(SaveSettings(path, kVersion, kCopyright, InitialSettings()), EIniWriteError);
    }
    const std::string written = ReadBytes(path);
    ASSERT_GT(written.size(), Head(true).size());
    EXPECT_LE(written.size(), 200u);
    EXPECT_EQ(full.compare(0, written.size(), written), 0) << written;
    const size_t next = full.find("\r\n", written.size() - 2);
    EXPECT_EQ(next, written.size() - 2) << "the file ends on a whole line";
    EXPECT_GT(full.size(), written.size() + 20);   // the next key would have passed the limit
}

TEST(SettingsFile, ValuesTheProgramDidNotChangeAreSavedByteForByte) {
    // Sound paths as another program wrote them: D:\サウンド\ and bytes that are no Shift_JIS;
    // D:\ with NEC row 13 "≒" and IBM extension "Ⅰ", which encode as 0x81E0 and 0x8754.
    const std::string sound1 = "D:\\\x83\x54\x83\x45\x83\x93\x83\x68\\\x81\x20\xFF.wav";
    const std::string sound2 = "D:\\\x87\x90\xFA\x4A.wav";
    std::string original = Head(true) + kInitialTail;
    original.replace(original.find("#SoundFile_1=\r\n"), 15, "#SoundFile_1=" + sound1 + "\r\n");
    original.replace(original.find("#SoundFile_2=\r\n"), 15, "#SoundFile_2=" + sound2 + "\r\n");
    TempDir dir;
    const std::string path = dir.write("tavr2.ini", original);

    TSettings s = InitialSettings();
    ASSERT_TRUE(LoadSettings(path, kVersion, s).FileExisted);
    EXPECT_EQ(s.SoundFile2, "D:\\≒Ⅰ.wav");
    SaveSettings(path, kVersion, kCopyright, s);
    EXPECT_EQ(ReadBytes(path), original);

    // The one value changed is encoded; the other keeps its bytes.
    s.SoundFile2 = "D:\\≒Ⅰ.WAV";
    SaveSettings(path, kVersion, kCopyright, s);
    std::string expected = original;
    expected.replace(expected.find(sound2), sound2.size(), "D:\\\x81\xE0\x87\x54.WAV");
    EXPECT_EQ(ReadBytes(path), expected);
}

namespace {

// Bytes this process has read and written through system calls so far; nullopt without
// the kernel's I/O accounting.
struct TIoTotals {
    uint64_t read = 0, written = 0;
};
std::optional<TIoTotals> IoSoFar() {
    std::ifstream in("/proc/self/io");
    std::string name;
    uint64_t value;
    TIoTotals t;
    int found = 0;
    while (in >> name >> value) {
        if (name == "rchar:") t.read = value, ++found;
        if (name == "wchar:") t.written = value, ++found;
    }
    if (found != 2) return std::nullopt;
    return t;
}

}  // namespace

TEST(SettingsFile, ALargeFileIsReadOnceToLoadAndReadAndWrittenOnceToSave) {
    // About 50 MB: a big section of another program first, then ours with a long value.
    std::string original = "[Other Tool]\r\n";
    original.reserve(52u << 20);
    for (int i = 0; original.size() < (45u << 20); ++i)
        original += "key" + std::to_string(i) + "=" + std::string(60, 'v') + "\r\n";
    std::string ours = Head(true) + kInitialTail;
    ours.replace(ours.find("#Check CRC=0"), 12, "#Check CRC=1");
    ours.insert(ours.find("#Check MD5"), "#My Note=" + std::string(5u << 20, 'n') + "\r\n");
    original += ours;
    TempDir dir;
    const std::string path = dir.write("tavr2.ini", original);
    const uint64_t size = original.size();

    const auto start = IoSoFar();
    if (!start) GTEST_SKIP() << "no /proc/self/io";
    TSettings s = InitialSettings();
    LoadSettings(path, kVersion, s);
    const auto loaded = IoSoFar();
    EXPECT_TRUE(s.CheckCRC);   // found at the far end of the file
    EXPECT_GE(loaded->read - start->read, size);
    EXPECT_LT(loaded->read - start->read, size + size / 2) << "the file is read more than once";

    s.UseSound = true;
    SaveSettings(path, kVersion, kCopyright, s);
    const auto saved = IoSoFar();
    EXPECT_GE(saved->read - loaded->read, size);
    EXPECT_LT(saved->read - loaded->read, size + size / 2) << "the file is read more than once";
    EXPECT_GE(saved->written - loaded->written, size);
    EXPECT_LT(saved->written - loaded->written, size + size / 2) << "the file is written more than once";

    std::string expected = original;
    expected.replace(expected.find("#UseSound=0"), 11, "#UseSound=1");
    const std::string written = ReadBytes(path);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);   // 50 MB: not printed
}

TEST(SettingsFile, LaterKeysAreWrittenOnlyWhenTheySaySomethingOrTheFileHoldsThem) {
    TempDir dir;
    // A file of the previous version: none of the later keys.
    const std::string before = Head(true) + kInitialTail;
    const std::string path = dir.write("tavr2.ini", before);
    TSettings s = InitialSettings();
    LoadSettings(path, kVersion, s);
    EXPECT_FALSE(s.CheckSHA256 || s.CheckSHA512);
    EXPECT_EQ(s.CompareKind, 0);   // MD5, as that version's list always started
    EXPECT_TRUE(s.ListsBeside);
    EXPECT_TRUE(s.HeldKeys.empty());
    SaveSettings(path, kVersion, kCopyright, s);
    EXPECT_EQ(ReadBytes(path), before);

    s.CheckSHA256 = true;
    s.CompareKind = kCompareAutoIndex;
    s.ListsBeside = false;
    SaveSettings(path, kVersion, kCopyright, s);
    EXPECT_EQ(ReadBytes(path), before + "#Check SHA256=1\r\n#Compare kind=auto\r\n#Lists beside=0\r\n");
    TSettings again = InitialSettings();
    LoadSettings(path, kVersion, again);
    EXPECT_TRUE(again.CheckSHA256);
    EXPECT_FALSE(again.CheckSHA512);
    EXPECT_EQ(again.CompareKind, kCompareAutoIndex);
    EXPECT_FALSE(again.ListsBeside);

    // Back to what a file without them means: the keys it holds say so now.
    again.CheckSHA256 = false;
    again.CompareKind = 3;
    again.ListsBeside = true;
    SaveSettings(path, kVersion, kCopyright, again);
    EXPECT_EQ(ReadBytes(path), before + "#Check SHA256=0\r\n#Compare kind=sha256\r\n#Lists beside=1\r\n");
    TSettings third = InitialSettings();
    LoadSettings(path, kVersion, third);
    EXPECT_FALSE(third.CheckSHA256);
    EXPECT_EQ(third.CompareKind, 3);
    // A kind this version does not know is MD5, as a missing key is.
    const std::string odd = dir.write("odd.ini", Head(true) + "#Compare kind=sha3\r\n");
    LoadSettings(odd, kVersion, third);
    EXPECT_EQ(third.CompareKind, 0);
    EXPECT_EQ(FirstStartSettings().CompareKind, kCompareAutoIndex);
}

// The windows' language: a file without the key follows the desktop and stays as it is; the
// choice is written as the start-up reads it.
TEST(SettingsFile, TheLanguageChoiceIsALaterKey) {
    TempDir dir;
    const std::string before = Head(true) + kInitialTail;
    const std::string path = dir.write("tavr2.ini", before);
    TSettings s = InitialSettings();
    LoadSettings(path, kVersion, s);
    EXPECT_EQ(s.Language, TLanguageChoice::Auto);
    SaveSettings(path, kVersion, kCopyright, s);
    EXPECT_EQ(ReadBytes(path), before);

    s.Language = TLanguageChoice::English;
    SaveSettings(path, kVersion, kCopyright, s);
    EXPECT_EQ(ReadBytes(path), before + "#Language=en\r\n");
    EXPECT_EQ(StoredLanguageChoice(path), TLanguageChoice::English);
    TSettings again = InitialSettings();
    LoadSettings(path, kVersion, again);
    EXPECT_EQ(again.Language, TLanguageChoice::English);

    again.Language = TLanguageChoice::Auto;
    SaveSettings(path, kVersion, kCopyright, again);
    EXPECT_EQ(ReadBytes(path), before + "#Language=auto\r\n");
    EXPECT_EQ(StoredLanguageChoice(path), TLanguageChoice::Auto);
}
