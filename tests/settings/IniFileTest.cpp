// Settings files: reading rules, in-place updates and atomic writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "text/Cp932.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

size_t EntryCount(const fs::path& folder) {
    return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

TEST(IniFile, ReadsValuesByTheProfileRules) {
    TempDir dir;
    const std::string path = dir.write("t.ini",
        "; comment=not a key\r\n"
        "[Other]\r\n"
        "#Key=other section\r\n"
        "[tavrix_2]\r\n"
        "  #Mixed Case  =  padded value  \r\n"
        "#Quoted=\"  kept blanks  \"\r\n"
        "#Empty=\r\n"
        "#Eq=a=b\n"
        "#Dup=first\r\n"
        "#Dup=second\r\n"
        "#Dec=-42\r\n"
        "#Hex=0x1F\r\n"
        "#HEXU=0XfF\r\n"
        "#HexAll=0xFFFFFFFF\r\n"
        "#HexBare=0x\r\n"
        "#HexLong=0x100000000\r\n"
        "#Bad=12abc\r\n"
        "#Space=1 2\r\n"
        "#Big=2147483648\r\n"
        "#Min=-2147483648\r\n"
        "#Sjis=" + cp932::FromUtf8("C:\\サウンド\\表示.wav") + "\r\n"
        "[Tavrix_2]\r\n"
        "#Later=the first section of a name is the one that counts\r\n");
    const TIniFile ini(path);
    const std::string S = "Tavrix_2";

    EXPECT_EQ(ini.ReadString(S, "#mixed case", "d"), "padded value");
    EXPECT_EQ(ini.ReadString(S, "#quoted", "d"), "  kept blanks  ");
    EXPECT_EQ(ini.ReadString(S, "#Empty", "d"), "");
    EXPECT_TRUE(ini.ValueExists(S, "#Empty"));
    EXPECT_EQ(ini.ReadString(S, "#Eq", "d"), "a=b");
    EXPECT_EQ(ini.ReadString(S, "#Dup", "d"), "first");
    EXPECT_EQ(ini.ReadString(S, "#Key", "d"), "d");
    EXPECT_EQ(ini.ReadString("Other", "#KEY", "d"), "other section");
    EXPECT_EQ(ini.ReadString(S, "; comment", "d"), "d");
    EXPECT_EQ(ini.ReadString(S, "#Later", "d"), "d");
    EXPECT_EQ(ini.ReadString("Missing", "#Dec", "d"), "d");
    EXPECT_EQ(ini.ReadString(S, "#Sjis", ""), "C:\\サウンド\\表示.wav");

    const struct { const char* key; int expected; } ints[] = {
        {"#Dec", -42}, {"#Hex", 31}, {"#HEXU", 255}, {"#HexAll", -1}, {"#HexBare", 7},
        {"#HexLong", 7}, {"#Bad", 7}, {"#Space", 7}, {"#Big", 7}, {"#Min", INT32_MIN},
        {"#Empty", 7}, {"#Missing", 7},
    };
    for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger(S, c.key, 7), c.expected) << c.key;

    EXPECT_TRUE(ini.ReadBool(S, "#Dec", false));
    EXPECT_TRUE(ini.ReadBool(S, "#Bad", true));     // malformed: the default
    EXPECT_FALSE(ini.ReadBool(S, "#Bad", false));
    EXPECT_FALSE(ini.ReadBool(S, "#HexBare", false));
}

TEST(IniFile, MissingFileReadsDefaultsAndWritesCreateItInFirstWriteOrder) {
    TempDir dir;
    TIniFile ini(dir.file("new.ini"));
    EXPECT_EQ(ini.ReadString("S", "#A", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("S", "#A", 5), 5);

    ini.WriteString("S", "#B", "second letter first");
    ini.WriteBool("S", "#A", true);
    ini.WriteInteger("S", "#C", -3);
    ini.WriteBool("S", "#a", false);    // the same key, any case: updated in place
    ini.WriteString("S", "#Path", "D:\\音\\終了.wav");
    EXPECT_EQ(ReadBytes(ini.FileName()),
              "[S]\r\n#B=second letter first\r\n#A=0\r\n#C=-3\r\n#Path=" +
                  cp932::FromUtf8("D:\\音\\終了.wav") + "\r\n");
    EXPECT_EQ(ini.ReadString("S", "#path", ""), "D:\\音\\終了.wav");
}

TEST(IniFile, UpdatesInPlaceAndKeepsEveryOtherByte) {
    TempDir dir;
    const std::string original =
        "; settings of several programs\r\n"
        "[Before]\r\n"
        "#Check CRC=1\r\n"
        "\r\n"
        "[Tavrix_2]\r\n"
        "  #Check CRC =  0   \r\n"
        "#unknown key=keep me\n"           // LF alone stays LF
        "#Digest_Pass_Text=" + cp932::FromUtf8("C:\\パス.txt") + "\r\n"
        "\r\n"
        "; trailing comment of the section\r\n"
        "[After]\r\n"
        "x=1";                             // no line end at the end of the file
    const std::string path = dir.write("t.ini", original);
    TIniFile ini(path);
    ini.WriteBool("Tavrix_2", "#CHECK crc", true);
    ini.WriteString("Tavrix_2", "#New", "appended after the last key");
    ini.WriteString("After", "y", "2");
    ini.WriteString("Fresh", "z", "3");
    EXPECT_EQ(ReadBytes(path),
              "; settings of several programs\r\n"
              "[Before]\r\n"
              "#Check CRC=1\r\n"
              "\r\n"
              "[Tavrix_2]\r\n"
              "  #Check CRC =  1\r\n"
              "#unknown key=keep me\n"
              "#Digest_Pass_Text=" + cp932::FromUtf8("C:\\パス.txt") + "\r\n"
              "#New=appended after the last key\r\n"
              "\r\n"
              "; trailing comment of the section\r\n"
              "[After]\r\n"
              "x=1\r\n"
              "y=2\r\n"
              "[Fresh]\r\n"
              "z=3\r\n");
}

TEST(IniFile, FailedWritesLeaveTheOldFileAndReportThePath) {
    TempDir dir;
    // No folder to write into.
    TIniFile nowhere(dir.file("missing/tavr2.ini"));
    try {
        nowhere.WriteBool("S", "#A", true);
        ADD_FAILURE() << "write into a missing folder succeeded";
    } catch (const EIniWriteError& e) {
        EXPECT_EQ(e.Path(), dir.file("missing/tavr2.ini"));
        EXPECT_EQ(std::string(e.what()), dir.file("missing/tavr2.ini") + " に書き込めません");
        EXPECT_FALSE(e.Reason().empty());
    }

    // The settings name is taken by a folder.
    fs::create_directory(dir.path() / "taken.ini");
    fs::create_directory(dir.path() / "taken.ini" / "inside");
    TIniFile taken(dir.file("taken.ini"));
    EXPECT_THROW(taken.WriteString("S", "#A", "x"), EIniWriteError);
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken.ini" / "inside"));

    // The disk fills up in the middle of the new file: the old one is untouched.
    const std::string old = "[S]\r\n#A=" + std::string(300, 'a') + "\r\n#B=1\r\n";
    const std::string path = dir.write("full.ini", old);
    TIniFile full(path);
    const size_t before = EntryCount(dir.path());
    {
        FileSizeLimit limit(100);
        EXPECT_THROW(full.WriteString("S", "#B", "0"), EIniWriteError);
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(EntryCount(dir.path()), before);   // no temporary file left behind
    full.WriteString("S", "#B", "0");
    EXPECT_EQ(full.ReadBool("S", "#B", true), false);
}

TEST(IniFile, ReplacingKeepsTheFilePermissions) {
    TempDir dir;
    const std::string path = dir.write("p.ini", "[S]\r\n#A=1\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    TIniFile(path).WriteBool("S", "#A", false);
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(IniFile, ValuesWrittenAsTheyReadKeepTheirBytesAndOnlyChangedOnesAreEncoded) {
    // Bytes that have no character, and characters with two codes that come back as the
    // other one when encoded: NEC row 13 (0x8790 "≒", else 0x81E0) and IBM extensions
    // (0xFA4A "Ⅰ", else 0x8754).
    const struct { const char* key; std::string raw; std::string changedTo; std::string encoded; } cases[] = {
        {"#Invalid", "C:\\\x81\x20\xFF\x80.wav", "C:\\a.wav", "C:\\a.wav"},
        {"#Nec", "\x87\x90 1", "\xE2\x89\x92 2", "\x81\xE0 2"},
        {"#Ibm", "\xFA\x4A", "\xE2\x85\xA0\xE2\x85\xA0", "\x87\x54\x87\x54"},
        {"#Quoted", "\"  \x87\x90  \"", "x", "x"},
    };
    std::string original = "[S]\r\n";
    for (const auto& c : cases) original += std::string(c.key) + "=" + c.raw + "\r\n";
    TempDir dir;
    const std::string path = dir.write("t.ini", original);
    TIniFile ini(path);

    // Each value written back as it was read: nothing moves, alone or in one batch.
    std::vector<std::pair<std::string, std::string>> asRead;
    for (const auto& c : cases) {
        asRead.emplace_back(c.key, ini.ReadString("S", c.key, ""));
        ini.WriteString("S", c.key, asRead.back().second);
    }
    EXPECT_EQ(ReadBytes(path), original);
    ini.WriteStrings("S", asRead);
    EXPECT_EQ(ReadBytes(path), original);

    // A changed value is encoded; its neighbours keep their bytes.
    std::string expected = original;
    for (const auto& c : cases) {
        ini.WriteString("S", c.key, c.changedTo);
        const std::string line = std::string(c.key) + "=" + c.raw;
        expected.replace(expected.find(line), line.size(), std::string(c.key) + "=" + c.encoded);
        EXPECT_EQ(ReadBytes(path), expected) << c.key;
    }
}

namespace {

// Runs `body` in a child process that cannot create files in `folder` (as the user nobody
// when the tests run as root, whom permissions do not stop) and returns its exit status, or
// 100 + the signal that ended it. Status 90 means the folder was not read-only after all.
int InChildWithReadOnlyFolder(const fs::path& folder, const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(91);
        const std::string probe = (folder / "probe").string();
        if (const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600); fd >= 0 || errno != EACCES) _exit(90);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

int ExitStatusOf(const std::function<void()>& write) {
    try {
        write();
        return 0;
    } catch (const EIniWriteError&) {
        return 1;
    }
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(IniFile, AReadOnlyFolderWithAWritableFileIsWrittenInPlace) {
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
    const fs::path folder = dir.path() / "program";
    fs::create_directory(folder);
    const std::string path = (folder / "tavr2.ini").string();
    const std::string original = "; mine\r\n[S]\r\n#A=1\r\n#Long=" + std::string(40, 'x') + "\r\n[T]\r\nz=9\r\n";
    dir.write("program/tavr2.ini", original);
    fs::permissions(path, fs::perms::all);
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);

    // Growing: the new key, and a changed value.
    ASSERT_EQ(InChildWithReadOnlyFolder(folder, [&] {
        return ExitStatusOf([&] { TIniFile(path).WriteStrings("S", {{"#A", "0"}, {"#New", "added"}}); });
    }), 0);
    std::string expected = "; mine\r\n[S]\r\n#A=0\r\n#Long=" + std::string(40, 'x') + "\r\n#New=added\r\n[T]\r\nz=9\r\n";
    EXPECT_EQ(ReadBytes(path), expected);

    // Shrinking: the file is cut to its new length.
    ASSERT_EQ(InChildWithReadOnlyFolder(folder, [&] {
        return ExitStatusOf([&] { TIniFile(path).WriteString("S", "#Long", "short"); });
    }), 0);
    expected = "; mine\r\n[S]\r\n#A=0\r\n#Long=short\r\n#New=added\r\n[T]\r\nz=9\r\n";
    EXPECT_EQ(ReadBytes(path), expected);

    // No room to grow: the growth is written first, so the key that grows fails before an
    // old byte of it changes; as with single writes, the key before it is written.
    ASSERT_EQ(InChildWithReadOnlyFolder(folder, [&] {
        FileSizeLimit limit(expected.size());
        return ExitStatusOf([&] { TIniFile(path).WriteStrings("S", {{"#A", "1"}, {"#Long", std::string(50, 'y')}}); });
    }), 1);
    expected = "; mine\r\n[S]\r\n#A=1\r\n#Long=short\r\n#New=added\r\n[T]\r\nz=9\r\n";
    EXPECT_EQ(ReadBytes(path), expected);

    struct stat after;
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);   // the same file, written in place
    EXPECT_EQ(Names(folder), std::vector<std::string>{"tavr2.ini"});
}

TEST(IniFile, ASymbolicLinkIsWrittenThroughAndStaysALink) {
    TempDir dir;
    fs::create_directories(dir.path() / "program");
    fs::create_directories(dir.path() / "config" / "deep");
    const std::string target = dir.write("config/deep/real.ini", "[S]\r\n#A=1\r\n");
    const struct { const char* link; const char* pointsTo; const char* file; } cases[] = {
        {"program/rel.ini", "../config/deep/real.ini", "config/deep/real.ini"},
        {"program/abs.ini", "", "config/deep/real.ini"},   // absolute, filled in below
        {"program/chain.ini", "rel.ini", "config/deep/real.ini"},
        {"program/dangling.ini", "../config/new.ini", "config/new.ini"},   // the target is created
    };
    int n = 0;
    for (const auto& c : cases) {
        const fs::path link = dir.path() / c.link;
        const std::string to = *c.pointsTo ? c.pointsTo : target;
        fs::create_symlink(to, link);
        TIniFile(link.string()).WriteInteger("S", "#A", ++n);

        EXPECT_TRUE(fs::is_symlink(link)) << c.link;
        EXPECT_EQ(fs::read_symlink(link).string(), to) << c.link;
        std::string expected = "[S]\r\n#A=" + std::to_string(n) + "\r\n";
        EXPECT_EQ(ReadBytes(dir.path() / c.file), expected) << c.link;
        EXPECT_EQ(TIniFile(link.string()).ReadInteger("S", "#A", 0), n) << c.link;
    }
    EXPECT_EQ(Names(dir.path() / "config" / "deep"), std::vector<std::string>{"real.ini"});
    EXPECT_EQ(Names(dir.path() / "config"), (std::vector<std::string>{"deep", "new.ini"}));

    // A loop of links is an error, and nothing is created.
    fs::create_symlink("loop2.ini", dir.path() / "program" / "loop1.ini");
    fs::create_symlink("loop1.ini", dir.path() / "program" / "loop2.ini");
    EXPECT_THROW(TIniFile(dir.file("program/loop1.ini")).WriteBool("S", "#A", true), EIniWriteError);
    EXPECT_EQ(Names(dir.path() / "program").size(), 6u);
}

TEST(IniFile, TheNextSaveRemovesWhatAKilledSaveLeftBehind) {
    TempDir dir;
    const std::string original = "[S]\r\n#A=1\r\n";
    const std::string path = dir.write("tavr2.ini", original);

    // Killed at the worst moment: the new content complete beside the file, not yet in place.
    const pid_t pid = fork();
    if (pid == 0) {
        SetIniReplaceHook([] { raise(SIGKILL); });
        TIniFile(path).WriteBool("S", "#A", false);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const std::vector<std::string> names = Names(dir.path());
    ASSERT_EQ(names.size(), 2u);
    const std::string leftover = names[0];
    EXPECT_EQ(leftover.rfind(".tavr2.ini.tmp" + std::to_string(pid) + "-", 0), 0u) << leftover;
    EXPECT_EQ(ReadBytes(dir.path() / leftover), "[S]\r\n#A=0\r\n");
    EXPECT_EQ(ReadBytes(path), original);

    // A temporary of a process that still runs (pid 1) may be a save in progress: it stays,
    // as do files that only look alike.
    for (const char* name : {".tavr2.ini.tmp1-5", ".tavr2.ini.tmpx-1", ".other.ini.tmp99999999-1", "tavr2.ini.tmp"})
        dir.write(name, "keep");
    TIniFile(path).WriteBool("S", "#A", false);
    EXPECT_EQ(ReadBytes(path), "[S]\r\n#A=0\r\n");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{".other.ini.tmp99999999-1", ".tavr2.ini.tmp1-5",
                                                           ".tavr2.ini.tmpx-1", "tavr2.ini", "tavr2.ini.tmp"}));
}

TEST(IniFile, ManyWritesInOneDocumentLandWhereOneWriteAtATimePutsThem) {
    const std::string original =
        "[A]\r\n"
        "a1=1\r\n"
        "[b]\r\n"
        "b1=1\r\n"
        "b1=second of the name\r\n"
        "\r\n"
        "[A]\r\n"
        "a2=in a later section of the name\r\n"
        "[C]";                                   // a header without a line end
    const struct { const char* section; const char* key; const char* value; } writes[] = {
        {"New1", "n1", "1"}, {"a", "A3", "x"}, {"B", "b1", "changed"}, {"New2", "n2", "2"},
        {"new1", "n3", "3"}, {"c", "c1", "1"}, {"A", "a2", "not the later one"}, {"a", "a3", "y"},
        {"B", "b2", "after the last key"}, {"A", "a1", "1"}, {"New2", "n2", "22"},
    };
    TIniDocument batch(original);
    std::string oneByOne = original;
    for (const auto& w : writes) {
        batch.WriteString(w.section, w.key, w.value);
        TIniDocument single(oneByOne);
        single.WriteString(w.section, w.key, w.value);
        oneByOne = single.Bytes();
        EXPECT_EQ(batch.Bytes(), oneByOne) << w.section << " " << w.key;
    }
    EXPECT_EQ(oneByOne,
              "[A]\r\n"
              "a1=1\r\n"
              "A3=y\r\n"
              "a2=not the later one\r\n"
              "[b]\r\n"
              "b1=changed\r\n"
              "b1=second of the name\r\n"
              "b2=after the last key\r\n"
              "\r\n"
              "[A]\r\n"
              "a2=in a later section of the name\r\n"
              "[C]\r\n"
              "c1=1\r\n"
              "[New1]\r\n"
              "n1=1\r\n"
              "n3=3\r\n"
              "[New2]\r\n"
              "n2=22\r\n");
    EXPECT_EQ(batch.ReadString("a", "a2", ""), "not the later one");
    EXPECT_EQ(batch.ReadString("NEW2", "N2", ""), "22");
    EXPECT_FALSE(batch.ValueExists("C", "a1"));
}

// A key name no line can hold would read back as a section header or a comment, and move the
// keys written after it into another section.
TEST(IniFile, AKeyNoLineCanHoldIsNotWritten) {
    const std::string original = "[S]\r\na=1\r\n";
    for (const char* key : {"[T]", " [T]x", ";note", "", "  ", "\r\n[T]"}) {
        TIniDocument doc(original);
        doc.WriteString("S", key, "v");
        doc.WriteString("New", key, "v");
        EXPECT_EQ(doc.Bytes(), original) << key;
        doc.WriteString("S", "b", "2");
        const TIniDocument reloaded(doc.Bytes());
        EXPECT_EQ(reloaded.ReadString("S", "b", ""), "2") << key;
        EXPECT_FALSE(reloaded.ValueExists("T", "b")) << key;
    }
}
