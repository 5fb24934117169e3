// The analysis in English: its log lines and boxes follow the language, while the sidecar
// and the cache record it writes are the same bytes in either language.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "analysis/AnalysisRun.h"
#include "analysis/ResultText.h"
#include "support/TempDir.h"
#include "text/Translate.h"

namespace fs = std::filesystem;

namespace {

class TLinesSink : public TAnalysisSink {
public:
    void Log(const std::string& text, int) override { Lines.push_back(text); }
    void Message(const std::string& text, TBoxIcon) override { Boxes.push_back(text); }
    std::vector<std::string> Lines;
    std::vector<std::string> Boxes;
};

// Every file under `folder`, by relative path, with its bytes.
std::map<std::string, std::string> FilesUnder(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (!e.is_regular_file()) continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[fs::relative(e.path(), folder).string()] = bytes.str();
    }
    return files;
}

class AnalysisLanguage : public ::testing::Test {
protected:
    void TearDown() override { SetTranslateHook(nullptr); }

    // Analyses a fresh copy of one file with the sidecar and the cache on, in a folder of
    // its own; answers the log and what the run wrote.
    std::pair<std::vector<std::string>, std::map<std::string, std::string>> Analyse(const std::string& folder) {
        fs::create_directories(dir_.file(folder + "/data"));
        const std::string path = dir_.file(folder + "/data/abc.txt");
        std::ofstream(path, std::ios::binary) << "abc";
        const struct timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
        EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        TLinesSink sink;
        TFileHooks hooks(dir_.file(folder + "/Cache"));
        TAnalysisRun run(sink, hooks);
        TAnalysisRequest request;
        request.Path = path;
        request.Digests = {TDigestKind::CRC32, TDigestKind::MD5, TDigestKind::SHA1};
        request.UseCache = true;
        request.AutoCreateMD5 = true;
        request.ProgramFolder = dir_.file(folder);
        EXPECT_FALSE(run.Run(request).Error);
        return {sink.Lines, FilesUnder(dir_.file(folder))};
    }

    TempDir dir_;
};

TEST_F(AnalysisLanguage, LogInTheLanguageFilesTheSame) {
    const auto [japaneseLog, japaneseFiles] = Analyse("ja");
    SetTranslateHook(&EnglishText);
    const auto [englishLog, englishFiles] = Analyse("en");

    const std::vector<std::string> expected = {
        "Reading the file information of abc.txt... please wait",
        "Computing the CRC32 of abc.txt", "Computed the CRC32 of abc.txt",
        "Computing the SHA1 of abc.txt", "Computed the SHA1 of abc.txt",
        "Computing the MD5 of abc.txt", "Computed the MD5 of abc.txt",
        "Created the MD5 file",
        "Elapsed time:  0 h  0 min  0 s",
    };
    EXPECT_EQ(englishLog, expected);
    EXPECT_EQ(japaneseLog.front(), "abc.txtのファイル情報を取得中です..しばらくお待ち下さい");
    EXPECT_EQ(japaneseLog.back(), "経過時間:  0時間 0分 0秒");

    // The sidecar and the cache: other programs and later runs read them. A cache record is
    // named by the moment it was written and starts with the file's identity; its digests
    // are the part a language could touch.
    auto digestsOf = [](const std::map<std::string, std::string>& files) {
        std::map<std::string, std::string> kept;
        for (const auto& [name, bytes] : files)
            kept[name.rfind("Cache/", 0) == 0 ? "Cache record" : name] =
                name.rfind("Cache/", 0) == 0 ? bytes.substr(bytes.find("352441c2")) : bytes;
        return kept;
    };
    const auto japanese = digestsOf(japaneseFiles);
    ASSERT_EQ(japanese.size(), 3u);  // the file, its sidecar and the cache's record
    EXPECT_EQ(japanese.at("data/abc.txt.MD5"), "900150983cd24fb0d6963f7d28e17f72 abc.txt\r\n");
    EXPECT_EQ(digestsOf(englishFiles), japanese);
}

TEST_F(AnalysisLanguage, ResultTextAndVerdictsInEnglish) {
    SetTranslateHook(&EnglishText);
    TResultFields f;
    f.Title = "Tavrenne 2.46";
    f.Now = "now";
    f.ReadOnly = true;
    const std::vector<std::string> lines = ResultLines(f);
    EXPECT_EQ(lines[4], "Name:");
    EXPECT_EQ(lines[5], "Path:");
    EXPECT_EQ(lines[10], "Read-only: Yes  Hidden: No ");
    EXPECT_EQ(CompareDigestText(TDigestKind::SHA256, "AB", "ab").Line, "Compared SHA-256 ---> Match");
    EXPECT_EQ(CompareDigestText(TDigestKind::MD5, "AB", "ac").Line, "Compared MD5 ---> Mismatch");
    // The mascot's remark is a script for the mascot, never translated.
    EXPECT_EQ(CompareDigestText(TDigestKind::MD5, "AB", "ab").Remark, "\\w9\\w9\\h\\s5\\nうん。一致したよー");
    SetTranslateHook(nullptr);
    EXPECT_EQ(ResultLines(f)[10], "読み取り専用 ○ 隠しファイル Ｘ ");
}

}  // namespace
