// Version strings of the file-information record, from programs' version blocks.
#include <gtest/gtest.h>

#include "engine/NormalFileInfo.h"
#include "engine/version/VersionResource.h"
#include "support/PeBuilder.h"
#include "support/TempDir.h"

namespace {

std::string PeWith(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& block, bool pe32plus) {
    pebuild::PeOptions o;
    o.pe32plus = pe32plus;
    if (!block.empty()) o.resources = {{{16, {}}, {1, {}}, 0x0411, block}};
    const auto pe = pebuild::BuildPe(o);
    return dir.write(name, std::string(pe.bytes.begin(), pe.bytes.end()));
}

struct Strings {
    std::string version, copyright, description;
    bool operator==(const Strings&) const = default;
};

Strings Read(const std::string& path) {
    TNormalFileInfo info;
    info.SetFileName(path);
    info.ReadVersionInfo();
    return {info.Info().FileVersion, info.Info().LegalCopyright, info.Info().FileDescription};
}

TEST(ReadVersionInfo, ValuesOrNonePerString) {
    TempDir dir;
    version::VersionData full;
    full.language = 0x0411;
    full.codePage = 0x03A4;   // Shift_JIS code page in the table name: 041103A4
    full.strings = {{"FileVersion", "3.14.159.26"},
                    {"LegalCopyright", "Copyright (C) 2026 サンプル"},
                    {"FileDescription", "セットアップ"}};
    version::VersionData partial = full;
    partial.strings = {{"FileVersion", "1.0"}, {"LegalCopyright", ""}};   // empty and missing values

    for (bool pe32plus : {false, true}) {
        EXPECT_EQ(Read(PeWith(dir, "full.exe", version::BuildVersionResource(full), pe32plus)),
                  (Strings{"3.14.159.26", "Copyright (C) 2026 サンプル", "セットアップ"}));
        EXPECT_EQ(Read(PeWith(dir, "partial.dll", version::BuildVersionResource(partial), pe32plus)),
                  (Strings{"1.0", "--NON--", "--NON--"}));
    }
}

TEST(ReadVersionInfo, BlockWithoutTranslationGivesNoneAndNoBlockKeepsEmptyStrings) {
    TempDir dir;
    // A block whose only child is a string table: no VarFileInfo\Translation to name the table.
    pebuild::VersionNode root{u"VS_VERSION_INFO", 0, {}, {}, {}, {}};
    pebuild::VersionNode table{u"041104B0", 1, {}, {}, {}, {}};
    table.children.push_back({u"FileVersion", 1, pebuild::Utf16(u"9.9"), {}, {}, {}});
    root.children.push_back({u"StringFileInfo", 1, {}, {}, {}, {table}});
    EXPECT_EQ(Read(PeWith(dir, "notrans.exe", pebuild::WriteNode(root), false)),
              (Strings{"--NON--", "--NON--", "--NON--"}));

    EXPECT_EQ(Read(PeWith(dir, "plain.exe", {}, false)), (Strings{}));
    EXPECT_EQ(Read(dir.write("notes.txt", "no program here")), (Strings{}));
}

}  // namespace
