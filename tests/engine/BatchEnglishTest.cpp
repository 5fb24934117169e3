// The batch list's texts for people in English, and the files other programs read the same in
// both languages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/BatchList.h"
#include "engine/BatchRun.h"
#include "engine/ChecksumVerify.h"
#include "engine/DigestKinds.h"
#include "engine/Sidecar.h"
#include "support/TempDir.h"
#include "text/Translate.h"

namespace {

// English while it lives, as the program's hook gives it; Japanese again afterwards.
class TBatchEnglish {
public:
    TBatchEnglish() { SetTranslateHook(&EnglishText); }
    ~TBatchEnglish() { SetTranslateHook(nullptr); }
};

TBatchRow VerifiedRow() {
    TBatchRow r;
    r.Name = "a.txt";
    r.Path = "/data/a.txt";
    r.CurrentTime = "2004-08-01 12:30:04";
    r.CRC32 = "352441c2";
    r.Size = std::string(19, ' ') + "3 bytes";
    r.ListKind = "SHA-256";
    r.Expected = std::string(64, '0');
    r.Computed = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    r.Verdict = "Mismatch";
    return r;
}

TEST(BatchEnglish, CellsAndTheExportSpeakEnglishWithTheSameLayout) {
    const std::vector<std::string> japanese = ExportLines({VerifiedRow()}, "1/2/2026 3:04:05 AM");
    const TBatchEnglish english;
    const TDateTimeParts t{2004, 8, 1, 12, 30, 4, 0};
    EXPECT_EQ(FileTimeText(t), "2004-08-01 12:30:04");
    EXPECT_EQ(BatchSizeText(0, ","), std::string(19, ' ') + "0 bytes");
    EXPECT_EQ(BatchSizeText(1234567, ","), std::string(11, ' ') + "1,234,567 bytes");
    EXPECT_EQ(RenameExample(TRenameType::Sequence), "Number\r\nabc.txt->xxx.txt");
    EXPECT_EQ(RenameExample(TRenameType::TextAndSequence), "Text + number\r\nabc.txt->NewFilename_xxx.txt");
    EXPECT_EQ(RenameExample(TRenameType::Timestamp), "Timestamp\r\nabc.txt->200408011230.txt");

    const std::vector<std::string> lines = ExportLines({VerifiedRow()}, "1/2/2026 3:04:05 AM");
    const std::vector<std::string> expected{
        std::string(58, '*'),
        "            Tavrenne [1/2/2026 3:04:05 AM]",
        std::string(58, '*'),
        "",
        "Name: a.txt",
        "Path: /data",
        "FileSize:                    3 bytes",
        "Modified: 2004-08-01 12:30:04",
        "CRC32: 352441c2",
        "  MD5: ---",
        " SHA1: ---",
        "Check SHA-256: Mismatch",
        "  Expected: " + std::string(64, '0'),
        "  Computed: ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
        "",
    };
    EXPECT_EQ(lines, expected);
    // Line for line what the Japanese export has; the labels alone differ.
    ASSERT_EQ(lines.size(), japanese.size());
    EXPECT_EQ(japanese[4], "ファイル名: a.txt");
    EXPECT_EQ(japanese[7], "現在のタイムスタンプ 2004-08-01 12:30:04");
    EXPECT_EQ(japanese[11], "検証 SHA-256: Mismatch");

    // In English the file keeps every name as it is; Shift_JIS cannot hold some.
    TBatchRow accented = VerifiedRow();
    accented.Name = "café 😀.txt";
    const std::vector<std::string> named = ExportLines({accented}, "now");
    const std::string utf8 = ExportBytes(named, TExportEncoding::Utf8);
    EXPECT_NE(utf8.find("\r\nName: café 😀.txt\r\n"), std::string::npos);
    EXPECT_EQ(utf8.find('?'), std::string::npos);
    EXPECT_NE(ExportBytes(named).find("Name: caf? ?.txt\r\n"), std::string::npos);
    // What is plain ASCII is the same bytes either way.
    EXPECT_EQ(ExportBytes(lines, TExportEncoding::Utf8), ExportBytes(lines));
}

// Lists, sidecars and the names the rename makes are read by programs: no language in them.
TEST(BatchEnglish, ListsSidecarsAndNewNamesAreTheSameInBothLanguages) {
    TempDir dir;
    const std::string file = dir.write("a.txt", "abc");
    struct TMade {
        std::string gnu, sfv, md5sums, sidecar, renamed;
    };
    // Each language writes its sidecar for a file of the same name, in a folder of its own.
    auto make = [&](const char* folder) {
        TMade m;
        const std::vector<std::string> names{"a.txt", "sub/b c.txt"};
        m.gnu = ListFileBytes(TListFormat::Gnu, DigestKindInfo(TDigestKind::SHA256), names,
                              {std::string(64, 'a'), std::string(64, 'b')});
        m.md5sums = ListFileBytes(TListFormat::Gnu, DigestKindInfo(TDigestKind::MD5), names,
                                  {std::string(32, 'a'), std::string(32, 'b')});
        m.sfv = ListFileBytes(TListFormat::Sfv, DigestKindInfo(TDigestKind::CRC32), names, {"352441c2", "0000abcd"});
        std::filesystem::create_directory(dir.path() / folder);
        const std::string target = dir.write(std::string(folder) + "/表 x.bin", "abc");
        EXPECT_EQ(WriteSidecar(target, "900150983CD24FB0D6963F7D28E17F72").Outcome, TSidecarWrite::Written);
        m.sidecar = ReadBytes(SidecarPath(target));
        m.renamed = RenamedPath(file, TRenameType::Timestamp, "", 0, 0x31010000) + "|" +
                    RenamedPath(file, TRenameType::TextAndSequence, "NewFilename_", 7, 0);
        return m;
    };
    const TMade japanese = make("ja");
    TMade english;
    {
        const TBatchEnglish on;
        english = make("en");
    }
    EXPECT_EQ(english.gnu, japanese.gnu);
    EXPECT_EQ(english.md5sums, japanese.md5sums);
    EXPECT_EQ(english.sfv, japanese.sfv);
    EXPECT_EQ(english.sidecar, japanese.sidecar);
    EXPECT_EQ(english.renamed, japanese.renamed);
    EXPECT_NE(japanese.gnu.find(std::string(64, 'a') + "  a.txt\n"), std::string::npos);
    EXPECT_FALSE(japanese.sidecar.empty());
}

}  // namespace
