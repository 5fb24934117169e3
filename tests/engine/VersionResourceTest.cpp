#include "engine/version/VersionResource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/PeBuilder.h"
#include "support/TempDir.h"

using namespace version;
using pebuild::PeImage;
using pebuild::Put16;
using pebuild::Put32;
using pebuild::Utf16;
using pebuild::VersionNode;

namespace {

// U+20BB7 needs a surrogate pair in UTF-16.
const std::string kDescription = "テスト用ファイル・説明 \xF0\xA0\xAE\xB7";

std::vector<uint8_t> SampleBlock(const std::string& fileVersion = "1.2.3.4") {
    VersionData d;
    d.language = 0x0411;
    d.codePage = 0x04B0;
    d.fileVersionMS = 0x00010002;
    d.fileVersionLS = 0x00030004;
    d.strings = {{"FileDescription", kDescription},
                 {"FileVersion", fileVersion},
                 {"LegalCopyright", ""},
                 {"ProductName", "Sample"}};
    return BuildVersionResource(d);
}

std::string AsText(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

VersionNode Str(const std::u16string& key, const std::u16string& value) {
    return VersionNode{key, 1, Utf16(value), {}, {}, {}};
}

VersionNode Translation(std::vector<uint8_t> value) {
    return VersionNode{u"Translation", 0, std::move(value), {}, {}, {}};
}

// VS_VERSION_INFO > StringFileInfo > {tables} and VarFileInfo > {vars}, with no fixed info.
std::vector<uint8_t> Block(std::vector<VersionNode> tables, std::vector<VersionNode> vars,
                           std::optional<uint16_t> rootLength = {}) {
    VersionNode root{u"VS_VERSION_INFO", 0, {}, {}, rootLength, {}};
    root.children.push_back(VersionNode{u"StringFileInfo", 1, {}, {}, {}, std::move(tables)});
    if (!vars.empty())
        root.children.push_back(VersionNode{u"VarFileInfo", 1, {}, {}, {}, std::move(vars)});
    return pebuild::WriteNode(root);
}

const std::vector<uint8_t> kJaTranslation = {0x11, 0x04, 0xB0, 0x04};

PeImage SamplePe(bool pe32plus) {
    pebuild::PeOptions o;
    o.pe32plus = pe32plus;
    o.resources = {
        {{3, {}}, {1, {}}, 0x0411, std::vector<uint8_t>(40, 0xAB)},  // RT_ICON
        {{0, u"MYDATA"}, {0, u"BLOB"}, 0, std::vector<uint8_t>{1, 2, 3}},
        {{16, {}}, {1, {}}, 0x0411, SampleBlock()},
    };
    return pebuild::BuildPe(o);
}

}  // namespace

TEST(VersionBlock, WrittenBlockHasTheStandardLayoutAndReadsBack) {
    const auto block = SampleBlock();
    ASSERT_FALSE(block.empty());
    // Root length covers the block; key, then VS_FIXEDFILEINFO at the next 32-bit boundary.
    EXPECT_EQ(block[0] | block[1] << 8, int(block.size()));
    EXPECT_EQ(block[2] | block[3] << 8, 52);
    EXPECT_EQ(AsText(std::vector<uint8_t>(block.begin() + 6, block.begin() + 38)),
              AsText(Utf16(u"VS_VERSION_INFO")));
    EXPECT_EQ(pebuild::Le32(block, 40), 0xFEEF04BDu);
    EXPECT_EQ(pebuild::Le32(block, 48), 0x00010002u);  // file version, high and low
    EXPECT_EQ(pebuild::Le32(block, 52), 0x00030004u);

    // Everything after the fixed information, as an independent writer lays it out.
    VersionNode root{u"VS_VERSION_INFO", 0,
                     std::vector<uint8_t>(block.begin() + 40, block.begin() + 92), {}, {}, {}};
    root.children = {
        VersionNode{u"StringFileInfo", 1, {}, {}, {}, {
            VersionNode{u"041104B0", 1, {}, {}, {}, {
                Str(u"FileDescription", u"テスト用ファイル・説明 \U00020BB7"),
                Str(u"FileVersion", u"1.2.3.4"),
                Str(u"LegalCopyright", u""),
                Str(u"ProductName", u"Sample")}}}},
        VersionNode{u"VarFileInfo", 1, {}, {}, {}, {Translation(kJaTranslation)}}};
    EXPECT_EQ(AsText(block), AsText(pebuild::WriteNode(root)));

    EXPECT_EQ(QueryTranslation(block), 0x04B00411u);
    EXPECT_EQ(QueryString(block, "041104B0", "FileVersion"), "1.2.3.4");
    EXPECT_EQ(QueryString(block, "041104B0", "FileDescription"), kDescription);
    EXPECT_EQ(QueryString(block, "041104B0", "LegalCopyright"), "");
    // Keys compare without regard to ASCII case, as the platform does.
    EXPECT_EQ(QueryString(block, "041104b0", "productname"), "Sample");
    EXPECT_EQ(QueryString(block, "041104B0", "CompanyName"), std::nullopt);
    EXPECT_EQ(QueryString(block, "040904B0", "FileVersion"), std::nullopt);
}

TEST(VersionBlock, ReaderAcceptsWhatOtherResourceCompilersWrite) {
    // Value length in bytes instead of characters, a string marked binary, a value of length 0
    // over leftover bytes, trailing NULs, a second table, and an unpaired surrogate.
    VersionNode bytesCounted = Str(u"FileVersion", u"5.6");
    bytesCounted.valueLength = uint16_t(bytesCounted.value.size());
    VersionNode markedBinary = Str(u"ProductName", u"Bin");
    markedBinary.type = 0;
    markedBinary.valueLength = 4;
    VersionNode empty{u"LegalCopyright", 1, Utf16(u"stale"), 0, {}, {}};  // length 0 wins
    VersionNode padded = Str(u"Comments", std::u16string(u"ok\0\0\0", 5));
    VersionNode lone = Str(u"Odd", u"a\xD800z");
    const auto block = Block(
        {VersionNode{u"040904E4", 1, {}, {}, {}, {Str(u"FileVersion", u"wrong table")}},
         VersionNode{u"041104B0", 1, {}, {}, {}, {bytesCounted, markedBinary, empty, padded, lone}}},
        {Translation({0x11, 0x04, 0xB0, 0x04, 0x09, 0x04, 0xE4, 0x04})});

    EXPECT_EQ(QueryTranslation(block), 0x04B00411u);  // first entry of the list
    EXPECT_EQ(QueryString(block, "041104B0", "FileVersion"), "5.6");
    EXPECT_EQ(QueryString(block, "041104B0", "ProductName"), "Bin");
    EXPECT_EQ(QueryString(block, "041104B0", "LegalCopyright"), "");
    EXPECT_EQ(QueryString(block, "041104B0", "Comments"), "ok");
    EXPECT_EQ(QueryString(block, "041104B0", "Odd"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(QueryString(block, "040904E4", "FileVersion"), "wrong table");
}

TEST(VersionBlock, MalformedBlocksYieldNothing) {
    const auto good = Block({VersionNode{u"041104B0", 1, {}, {}, {}, {Str(u"FileVersion", u"1.0")}}},
                            {Translation(kJaTranslation)});
    ASSERT_EQ(QueryString(good, "041104B0", "FileVersion"), "1.0");
    ASSERT_EQ(QueryTranslation(good), 0x04B00411u);

    auto withString = [](VersionNode s) {
        return Block({VersionNode{u"041104B0", 1, {}, {}, {}, {std::move(s)}}},
                     {Translation(kJaTranslation)});
    };
    VersionNode zeroLength = Str(u"FileVersion", u"1.0");
    zeroLength.length = 0;
    VersionNode pastParent = Str(u"FileVersion", u"1.0");
    pastParent.length = 200;
    VersionNode keyCut = Str(u"FileVersion", u"1.0");
    keyCut.length = 6 + 7;  // odd length ending inside the key
    VersionNode keyWithoutNul = Str(u"FileVersion", u"1.0");
    keyWithoutNul.length = 6 + 22 + 1;  // the whole key, then half of its NUL
    VersionNode shortTranslation = Translation({0x11, 0x04});
    VersionNode translationPastNode = Translation(kJaTranslation);
    translationPastNode.valueLength = 8;
    VersionNode tableTooLong{u"041104B0", 1, {}, {}, uint16_t(0xFFF0), {Str(u"FileVersion", u"1.0")}};

    struct Case {
        const char* name;
        std::vector<uint8_t> block;
        bool stringPresent, translationPresent;
    };
    const Case cases[] = {
        {"empty", {}, false, false},
        {"shorter than a header", {0x06, 0x00, 0x00, 0x00, 0x00}, false, false},
        {"root length 0", Block({}, {Translation(kJaTranslation)}, 0), false, false},
        {"root past the block", Block({}, {Translation(kJaTranslation)}, 0x4000), false, false},
        {"string length 0", withString(zeroLength), false, true},
        {"string past its table", withString(pastParent), false, true},
        {"node ends inside its key", withString(keyCut), false, true},
        {"key without NUL", withString(keyWithoutNul), false, true},
        {"table past its parent", Block({tableTooLong}, {Translation(kJaTranslation)}), false, true},
        {"no translation", Block({VersionNode{u"041104B0", 1, {}, {}, {}, {Str(u"FileVersion", u"1.0")}}}, {}),
         true, false},
        {"translation of 2 bytes", Block({}, {shortTranslation}), false, false},
        {"translation past its node", Block({}, {translationPastNode}), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QueryString(c.block, "041104B0", "FileVersion").has_value(), c.stringPresent);
        EXPECT_EQ(QueryTranslation(c.block).has_value(), c.translationPresent);
    }
}

TEST(PeVersion, ReadsTheBlockOfPe32AndPe32Plus) {
    TempDir dir;
    for (bool plus : {false, true}) {
        SCOPED_TRACE(plus ? "PE32+" : "PE32");
        const PeImage img = SamplePe(plus);
        const auto block = ExtractVersionResource(img.bytes);
        EXPECT_EQ(AsText(block), AsText(SampleBlock()));
        const std::string path = dir.write(plus ? "x64.exe" : "x86.exe", AsText(img.bytes));
        EXPECT_EQ(AsText(LoadVersionResource(path)), AsText(block));
        EXPECT_EQ(QueryString(block, "041104B0", "FileDescription"), kDescription);
        EXPECT_EQ(QueryString(block, "041104B0", "LegalCopyright"), "");
    }
}

TEST(PeVersion, TakesTheFirstNameAndLanguage) {
    pebuild::PeOptions o;
    o.resources = {
        {{16, {}}, {2, {}}, 0x0409, SampleBlock("name 2")},
        {{16, {}}, {1, {}}, 0x0411, SampleBlock("name 1, Japanese")},
        {{16, {}}, {1, {}}, 0x0409, SampleBlock("name 1, English")},
    };
    const auto block = ExtractVersionResource(pebuild::BuildPe(o).bytes);
    EXPECT_EQ(QueryString(block, "041104B0", "FileVersion"), "name 1, English");
}

// The .ico file a group and its images make: directory, 16-byte entries, then the images.
std::vector<uint8_t> IcoOf(const std::vector<std::pair<pebuild::IconEntry, std::vector<uint8_t>>>& images) {
    std::vector<uint8_t> out(6 + 16 * images.size(), 0);
    Put16(out, 2, 1);
    Put16(out, 4, uint16_t(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const size_t e = 6 + 16 * i;
        out[e] = images[i].first.width;
        out[e + 1] = images[i].first.height;
        Put16(out, e + 4, 1);
        Put16(out, e + 6, images[i].first.bitCount);
        Put32(out, e + 8, uint32_t(images[i].second.size()));
        Put32(out, e + 12, uint32_t(out.size()));
        out.insert(out.end(), images[i].second.begin(), images[i].second.end());
    }
    return out;
}

TEST(PeIcon, FirstGroupWithItsImagesBecomesAnIcoFile) {
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2, 3};
    const std::vector<uint8_t> dib(40 + 16 * 16 * 4 + 32, 7);
    const pebuild::IconEntry big{0, 0, 32, uint32_t(png.size()), 5};
    const pebuild::IconEntry small{16, 16, 32, uint32_t(dib.size()), 6};
    const pebuild::IconEntry missing{32, 32, 8, 100, 9};
    pebuild::PeOptions o;
    o.resources = {
        {{14, {}}, {1, {}}, 0x0409, pebuild::IconGroup({big, missing, small})},
        {{14, {}}, {2, {}}, 0x0409, pebuild::IconGroup({small})},  // a later group: not shown
        {{3, {}}, {5, {}}, 0x0409, png},
        {{3, {}}, {6, {}}, 0x0409, dib},
        {{16, {}}, {1, {}}, 0x0409, SampleBlock("1.0")},
    };
    // The image the group names but the file lacks is left out.
    const std::vector<uint8_t> expected = IcoOf({{big, png}, {small, dib}});
    const std::vector<uint8_t> file = pebuild::BuildPe(o).bytes;
    EXPECT_EQ(ExtractIconFile(file), expected);
    TempDir dir;
    EXPECT_EQ(LoadIconFile(dir.write("p.exe", AsText(file))), expected);
    // The version reader still finds its block beside the icons.
    EXPECT_EQ(QueryString(ExtractVersionResource(file), "041104B0", "FileVersion"), "1.0");
}

TEST(PeIcon, MalformedGroupsAndCutFilesGiveNothing) {
    const std::vector<uint8_t> image(64, 9);
    auto withGroup = [&](std::vector<uint8_t> group) {
        pebuild::PeOptions o;
        o.resources = {{{14, {}}, {1, {}}, 0, std::move(group)}, {{3, {}}, {1, {}}, 0, image}};
        return pebuild::BuildPe(o).bytes;
    };
    std::vector<uint8_t> good = pebuild::IconGroup({{16, 16, 32, 64, 1}});
    std::vector<uint8_t> reserved = good, type = good, noEntries = good, tooMany = good, short6 = good;
    Put16(reserved, 0, 1);
    Put16(type, 2, 2);  // a cursor group
    Put16(noEntries, 4, 0);
    Put16(tooMany, 4, 2);  // claims an entry the directory does not hold
    short6.resize(5);
    for (const auto& group : {reserved, type, noEntries, tooMany, short6})
        EXPECT_TRUE(ExtractIconFile(withGroup(group)).empty());
    EXPECT_TRUE(ExtractIconFile(withGroup(pebuild::IconGroup({{16, 16, 32, 64, 2}}))).empty());  // no such image
    // Cut anywhere: never a read outside the bytes, and the whole icon or nothing.
    const std::vector<uint8_t> file = withGroup(good);
    const std::vector<uint8_t> whole = ExtractIconFile(file);
    ASSERT_FALSE(whole.empty());
    for (size_t n = 0; n < file.size(); ++n) {
        const std::vector<uint8_t> cut(file.begin(), file.begin() + long(n));
        const std::vector<uint8_t> got = ExtractIconFile(cut);
        EXPECT_TRUE(got.empty() || got == whole) << n;
    }
    EXPECT_TRUE(ExtractIconFile({}).empty());
}

TEST(PeVersion, FilesWithoutAVersionResourceGiveNothing) {
    TempDir dir;
    pebuild::PeOptions noResources;
    pebuild::PeOptions noVersion;
    noVersion.resources = {{{3, {}}, {1, {}}, 0, std::vector<uint8_t>(64, 1)},
                           {{24, {}}, {1, {}}, 0, std::vector<uint8_t>(16, 2)}};
    const std::string cases[] = {
        AsText(pebuild::BuildPe(noResources).bytes),
        AsText(pebuild::BuildPe(noVersion).bytes),
        "",
        "MZ",
        "plain text, not a program\n",
    };
    for (const std::string& bytes : cases) {
        EXPECT_TRUE(ExtractVersionResource(std::vector<uint8_t>(bytes.begin(), bytes.end())).empty());
        EXPECT_TRUE(LoadVersionResource(dir.write("f.bin", bytes)).empty());
    }
    EXPECT_TRUE(LoadVersionResource(dir.file("missing.exe")).empty());
    EXPECT_TRUE(LoadVersionResource(dir.path().string()).empty());
    EXPECT_TRUE(LoadVersionResource("").empty());
}

TEST(PeVersion, CorruptFilesGiveNothing) {
    using Mutation = std::function<void(PeImage&)>;
    auto rel = [](const PeImage& i, size_t fileOffset) { return uint32_t(fileOffset - i.rsrcRaw); };
    const std::pair<const char*, Mutation> cases[] = {
        {"no MZ", [](PeImage& i) { i.bytes[1] = 'X'; }},
        {"e_lfanew past the end", [](PeImage& i) { Put32(i.bytes, 0x3C, uint32_t(i.bytes.size() - 2)); }},
        {"e_lfanew near 4 GiB", [](PeImage& i) { Put32(i.bytes, 0x3C, 0xFFFFFFF0u); }},
        {"no PE signature", [](PeImage& i) { i.bytes[i.coffHeader - 3] = 'F'; }},
        {"unknown optional header", [](PeImage& i) { Put16(i.bytes, i.optionalHeader, 0x10C); }},
        {"optional header too short for the resource slot",
         [](PeImage& i) { Put16(i.bytes, i.coffHeader + 16, 96); }},
        {"two data directories only",
         [](PeImage& i) { Put32(i.bytes, i.resourceSlot - 2 * 8 - 4, 2); }},
        {"section table past the end", [](PeImage& i) { Put16(i.bytes, i.coffHeader + 2, 0xFFFF); }},
        {"no sections", [](PeImage& i) { Put16(i.bytes, i.coffHeader + 2, 0); }},
        {"resource RVA outside every section", [](PeImage& i) { Put32(i.bytes, i.resourceSlot, 0x9000); }},
        {"resource RVA into the code", [](PeImage& i) { Put32(i.bytes, i.resourceSlot, 0x1000); }},
        {"resource section past the end",
         [](PeImage& i) { Put32(i.bytes, i.rsrcSectionHeader + 20, 0xFFFFFF00u); }},
        {"resource section cut before the data",
         [&](PeImage& i) { Put32(i.bytes, i.rsrcSectionHeader + 16, rel(i, i.versionData)); }},
        {"type entry loops to the root",
         [](PeImage& i) { Put32(i.bytes, i.versionTypeEntry + 4, 0x80000000u); }},
        {"name entry loops to the root",
         [](PeImage& i) { Put32(i.bytes, i.versionNameDir + 16 + 4, 0x80000000u); }},
        {"language entry loops to its parent",
         [&](PeImage& i) { Put32(i.bytes, i.versionLangDir + 20, 0x80000000u | rel(i, i.versionNameDir)); }},
        {"language entry points at itself",
         [&](PeImage& i) { Put32(i.bytes, i.versionLangDir + 20, 0x80000000u | rel(i, i.versionLangDir)); }},
        {"type entry loops to the root, whose first type leads straight to data",
         [](PeImage& i) {
             Put32(i.bytes, i.versionTypeEntry + 4, 0x80000000u);
             // The first type's entry skips its name level and points at its language directory.
             const uint32_t names = pebuild::Le32(i.bytes, i.rsrcRaw + 16 + 4) & 0x7FFFFFFFu;
             const uint32_t langs = pebuild::Le32(i.bytes, i.rsrcRaw + names + 16 + 4);
             Put32(i.bytes, i.rsrcRaw + 16 + 4, langs);
         }},
        {"language entry marks its data entry as a directory",
         [&](PeImage& i) { Put32(i.bytes, i.versionLangDir + 20, 0x80000000u | rel(i, i.versionDataEntry)); }},
        {"type entry is a leaf", [](PeImage& i) { i.bytes[i.versionTypeEntry + 7] &= 0x7F; }},
        {"huge NumberOfNamedEntries", [](PeImage& i) { Put16(i.bytes, i.rsrcRaw + 12, 0xFFFF); }},
        {"name directory runs past the section",
         [](PeImage& i) { Put16(i.bytes, i.versionNameDir + 14, 4000); }},
        {"directory offset past the section",
         [](PeImage& i) { Put32(i.bytes, i.versionTypeEntry + 4, 0xFFFFFFF0u); }},
        {"data RVA outside every section", [](PeImage& i) { Put32(i.bytes, i.versionDataEntry, 0x50000); }},
        {"data RVA wraps around", [](PeImage& i) { Put32(i.bytes, i.versionDataEntry, 0xFFFFFFF0u); }},
        {"data one byte too long",
         [](PeImage& i) { Put32(i.bytes, i.versionDataEntry + 4, uint32_t(i.bytes.size() - i.versionData + 1)); }},
        {"data runs past its section into trailing bytes",
         [](PeImage& i) {
             Put32(i.bytes, i.versionDataEntry + 4, uint32_t(i.bytes.size() - i.versionData + 1));
             i.bytes.resize(i.bytes.size() + 64, 0);
         }},
        {"data size 4 GiB", [](PeImage& i) { Put32(i.bytes, i.versionDataEntry + 4, 0xFFFFFFFFu); }},
        {"data larger than any version block",
         [](PeImage& i) {
             const uint32_t size = (1u << 20) + 1;
             i.bytes.resize(i.versionData + size, 0);
             const uint32_t sectionSize = uint32_t(i.bytes.size() - i.rsrcRaw);
             Put32(i.bytes, i.rsrcSectionHeader + 8, sectionSize);
             Put32(i.bytes, i.rsrcSectionHeader + 16, sectionSize);
             Put32(i.bytes, i.versionDataEntry + 4, size);
         }},
        {"data size 0", [](PeImage& i) { Put32(i.bytes, i.versionDataEntry + 4, 0); }},
    };
    TempDir dir;
    for (bool plus : {false, true}) {
        const PeImage good = SamplePe(plus);
        ASSERT_FALSE(ExtractVersionResource(good.bytes).empty());
        for (const auto& [name, mutate] : cases) {
            SCOPED_TRACE(std::string(plus ? "PE32+: " : "PE32: ") + name);
            PeImage bad = good;
            mutate(bad);
            EXPECT_TRUE(ExtractVersionResource(bad.bytes).empty());
            EXPECT_TRUE(LoadVersionResource(dir.write("bad.exe", AsText(bad.bytes))).empty());
        }
    }
}

TEST(PeVersion, EveryTruncationGivesNothing) {
    TempDir dir;
    for (bool plus : {false, true}) {
        const PeImage img = SamplePe(plus);
        ASSERT_FALSE(ExtractVersionResource(img.bytes).empty());
        for (size_t n = 0; n < img.bytes.size(); ++n) {
            const std::vector<uint8_t> cut(img.bytes.begin(), img.bytes.begin() + n);
            ASSERT_TRUE(ExtractVersionResource(cut).empty()) << "length " << n;
            if (n % 17 == 0 || n + 1 == img.bytes.size()) {
                ASSERT_TRUE(LoadVersionResource(dir.write("cut.exe", AsText(cut))).empty())
                    << "length " << n;
            }
        }
    }
}

TEST(ElfVersion, ReadsTheSectionOfLittleEndianFiles) {
    const auto block = SampleBlock();
    auto padded = block;
    padded.resize(block.size() + 32, 0);  // alignment or sanitizer padding after the block
    for (bool is64 : {false, true}) {
        SCOPED_TRACE(is64 ? "ELF64" : "ELF32");
        const auto img = pebuild::BuildElf(
            is64, {{".text", std::vector<uint8_t>(100, 0x90)},
                   {".tavr_versio", {1, 2, 3}},  // a prefix of the name must not match
                   {kElfSection, padded}});
        EXPECT_EQ(AsText(ExtractVersionResource(img.bytes)), AsText(block));

        // Many-section files keep the count and the name-table index in section 0.
        auto extended = img.bytes;
        Put16(extended, is64 ? 60 : 48, 0);
        Put16(extended, is64 ? 62 : 50, 0xFFFF);
        Put32(extended, img.sectionHeaders + (is64 ? 32 : 20), 5);
        Put32(extended, img.sectionHeaders + (is64 ? 40 : 24), 4);
        EXPECT_EQ(AsText(ExtractVersionResource(extended)), AsText(block));

        auto bigEndian = img.bytes;
        bigEndian[5] = 2;
        EXPECT_TRUE(ExtractVersionResource(bigEndian).empty());
        auto badIndex = img.bytes;
        Put16(badIndex, is64 ? 62 : 50, 40);  // string table index past the section count
        EXPECT_TRUE(ExtractVersionResource(badIndex).empty());
        auto badOffset = img.bytes;
        Put32(badOffset, is64 ? 40 : 32, uint32_t(img.bytes.size()));
        EXPECT_TRUE(ExtractVersionResource(badOffset).empty());
        auto sectionPastEnd = img.bytes;
        const size_t h = img.sectionHeaders + 3 * (is64 ? 64 : 40);  // our section's header
        Put32(sectionPastEnd, h + (is64 ? 32 : 20), uint32_t(img.bytes.size()));
        EXPECT_TRUE(ExtractVersionResource(sectionPastEnd).empty());
        for (size_t n = 0; n < img.bytes.size(); n += 7)
            EXPECT_TRUE(ExtractVersionResource({img.bytes.begin(), img.bytes.begin() + n}).empty());

        const auto without = pebuild::BuildElf(is64, {{".text", std::vector<uint8_t>(100, 0x90)}});
        EXPECT_TRUE(ExtractVersionResource(without.bytes).empty());
    }
}
