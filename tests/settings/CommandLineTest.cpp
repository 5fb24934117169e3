// The start-up command line: which file is analysed and how the digest boxes are set.
#include <gtest/gtest.h>

#include <set>

#include "settings/CommandLine.h"

namespace {

struct TCase {
    std::vector<std::string> args;
    TCommandLineDecision expected;
};

std::string Show(const std::vector<std::string>& args) {
    std::string s;
    for (const auto& a : args) s += "[" + a + "]";
    return s;
}

TCommandLineDecision Analyse(const std::string& file) { return {file, false, {}, false}; }
TCommandLineDecision Digests(const std::string& file, bool crc, bool md5, bool sha1, bool search = false) {
    TDigestSet set;
    if (crc) set.Add(TDigestKind::CRC32);
    if (md5) set.Add(TDigestKind::MD5);
    if (sha1) set.Add(TDigestKind::SHA1);
    return {file, true, set, search};
}
const TCommandLineDecision kNothing{};

}  // namespace

TEST(CommandLine, DecidesFileDigestsAndSearch) {
    // Files that pass the existence test; "/data/folder" is a folder and so fails it.
    const std::set<std::string> files = {
        "/data/a.bin", "/data/My Big File.txt", "/data/-dash", "File.txt", "-/data/x y z",
    };
    const auto exists = [&](const std::string& p) { return files.count(p) > 0; };

    const TCase cases[] = {
        {{}, kNothing},
        // Switch and path.
        {{"-a", "/data/a.bin"}, Digests("/data/a.bin", true, true, true)},
        {{"-c", "/data/a.bin"}, Digests("/data/a.bin", true, false, false)},
        {{"-m", "/data/a.bin"}, Digests("/data/a.bin", false, true, false)},
        {{"-2", "/data/a.bin"}, {"/data/a.bin", true, TDigestSet{TDigestKind::SHA256}, false}},
        {{"-M", "/data/a.bin"}, Digests("/data/a.bin", false, true, false)},
        {{"-h", "/data/a.bin"}, Digests("/data/a.bin", false, false, true)},
        {{"-A", "/data/a.bin"}, Digests("/data/a.bin", true, true, true)},
        {{"-s", "/data/a.bin"}, Digests("/data/a.bin", false, false, false, true)},
        {{"-S", "/data/a.bin"}, Digests("/data/a.bin", false, false, false, true)},
        {{"/m", "/data/a.bin"}, Digests("/data/a.bin", false, false, false)},   // a slash is no switch
        {{"-cm", "/data/a.bin"}, Digests("/data/a.bin", false, false, false)},
        {{"-c", "-/data/a.bin"}, Digests("/data/a.bin", true, false, false)},   // one "-" removed
        {{"-c", "--dash"}, kNothing},                                          // only one
        {{"-c", "/data/folder"}, kNothing},   // boxes left as loaded
        {{"-c", "/data/none"}, kNothing},
        // A list to verify, whatever its name; a missing one leaves nothing behind.
        {{"-l", "/data/a.bin"}, {"/data/a.bin", false, {}, false, true}},
        {{"-L", "-/data/a.bin"}, {"/data/a.bin", false, {}, false, true}},
        {{"-l", "/data/none"}, kNothing},
        // A path with one space arrives as a switch and a path.
        {{"/data/My", "File.txt"}, Digests("File.txt", false, false, false)},
        {{"/data/My", "Other.txt"}, kNothing},
        // One argument.
        {{"/data/a.bin"}, Analyse("/data/a.bin")},
        {{"-/data/a.bin"}, Analyse("/data/a.bin")},
        {{"/data/-dash"}, Analyse("/data/-dash")},
        {{"/data/folder"}, kNothing},
        // Three or more: joined again with single spaces, the first piece unchanged.
        {{"/data/My", "Big", "File.txt"}, Analyse("/data/My Big File.txt")},
        {{"-/data/a.bin", "x", "y"}, Analyse("/data/a.bin")},
        {{"-/data/x", "y", "z"}, Analyse("-/data/x y z")},
        {{"-a", "/data/a.bin", "extra"}, kNothing},
        {{"/data/My", "Big", "File.txt", ""}, kNothing},
    };
    for (const TCase& c : cases) EXPECT_EQ(EvaluateCommandLine(c.args, exists), c.expected) << Show(c.args);
}
