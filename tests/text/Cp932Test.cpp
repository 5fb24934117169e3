#include "text/Cp932.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "support/TempDir.h"

namespace {

std::string Hex(std::string_view s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

std::string Utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

struct EncodeCase {
    std::string utf8;
    std::string cp932;
    bool roundTrip;  // decoding the bytes gives the same text back
};

TEST(Cp932Test, EncodesCharacters) {
    using namespace std::string_literals;
    const EncodeCase cases[] = {
        {"", "", true},
        {"A z~\\", "A z~\\", true},
        {"a\0b"s, "a\0b"s, true},
        {"あ", "\x82\xA0", true},
        {"漢字", "\x8A\xBF\x8E\x9A", true},
        {"｡ｱﾝﾟ", "\xA1\xB1\xDD\xDF", true},
        {"ファイル名_ｶﾅ.txt", "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC_\xB6\xC5.txt", true},
        // The characters whose Unicode form differs between Shift_JIS tables.
        {"～", "\x81\x60", true},
        {"〜", "\x81\x60", false},  // WAVE DASH encodes to the same code as FULLWIDTH TILDE
        {"‐", "\x81\x5D", true},
        {"―", "\x81\x5C", true},
        {"∥", "\x81\x61", true},
        {"‖", "\x81\x61", false},
        {"－", "\x81\x7C", true},
        {"−", "\x81\x7C", false},
        {"￠￡￢", "\x81\x91\x81\x92\x81\xCA", true},
        {"¢£¬", "\x81\x91\x81\x92\x81\xCA", false},
        // NEC and IBM extensions; several have two or three codes, the lowest is written.
        {"①㈱∑", "\x87\x40\x87\x8A\x87\x94", true},
        {"≒∵", "\x81\xE0\x81\xE6", true},
        {"髙", "\xEE\xE0", true},
        {"ⅰ纊", "\xEE\xEF\xED\x40", true},
        // User-defined area.
        {"\uE000\uE757", "\xF0\x40\xF9\xFC", true},
        // No code page 932 form: one '?' per character.
        {"€", "?", false},
        {"😀x😀", "?x?", false},
        {"¥—‾", "???", false},
        {"\u0080\uF8F0", "??", false},
        {"a€あ", "a?\x82\xA0", false},
    };
    for (const auto& c : cases) {
        const std::string& utf8 = c.utf8;
        SCOPED_TRACE(utf8);
        EXPECT_EQ(Hex(cp932::FromUtf8(utf8)), Hex(c.cp932));
        EXPECT_EQ(cp932::ByteLength(utf8), c.cp932.size());
        if (c.roundTrip) {
            EXPECT_EQ(cp932::ToUtf8(c.cp932), utf8);
        }
    }
}

TEST(Cp932Test, DecodesDuplicateCodesToOneCharacter) {
    // NEC row 13 and the two copies of the IBM extensions decode alike.
    EXPECT_EQ(cp932::ToUtf8("\x87\x90"), "≒");
    EXPECT_EQ(cp932::ToUtf8("\x81\xE0"), "≒");
    EXPECT_EQ(cp932::ToUtf8("\xFA\x40"), "ⅰ");
    EXPECT_EQ(cp932::ToUtf8("\xEE\xEF"), "ⅰ");
    EXPECT_EQ(cp932::ToUtf8("\xFB\xFC"), "髙");
    EXPECT_EQ(cp932::ToUtf8("\xFA\x54"), "￢");
}

TEST(Cp932Test, UndecodableBytesBecomeQuestionMarks) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"\x80", "?"},
        {"\xA0", "?"},
        {"\xFD\xFE\xFF", "???"},
        {"\x85\x40", "?"},          // valid shape, no character: one mark for the pair
        {"\xEB\x9F", "?"},          // lead without any codes
        {"\x82\x41", "?"},          // row with codes, cell empty
        {"\x82", "?"},              // lead at the end
        {"A\x82", "A?"},
        {"\x82 x", "? x"},         // invalid trail: it is read again on its own
        {"\x82\x7F", "?\x7F"},
        {"\x81\xFD\x82\xA0", "??あ"},
        {"\x82\xA0\x00\x82\xA2"s, "あ\0い"s},
        {"\xF9\xFC\xFA", "\uE757?"},
    };
    for (const auto& [bytes, utf8] : cases) {
        SCOPED_TRACE(Hex(bytes));
        EXPECT_EQ(cp932::ToUtf8(bytes), utf8);
    }
}

TEST(Cp932Test, InvalidUtf8BecomesQuestionMarks) {
    // One mark for each broken sequence (the longest start that could still have been
    // valid); the bytes after it are read normally.
    const std::pair<std::string, std::string> cases[] = {
        {"\xFF", "?"},
        {"A\x80" "B", "A?B"},
        {"\xE3\x81", "?"},                 // あ cut short at the end
        {"\xE3\x81" "A", "?A"},
        {"\xE3\x81\xE3\x81\x82", "?\x82\xA0"},
        {"\xF0\x9F\x98", "?"},             // emoji cut short
        {"\xC0\xAF", "??"},                // overlong '/'
        {"\xE0\x80\x80", "???"},           // overlong NUL
        {"\xED\xA0\x80", "???"},           // surrogate
        {"\xF4\x90\x80\x80", "????"},      // beyond U+10FFFF
        {"\xF5\x80", "??"},
        {"\xC3\xA9", "?"},                 // valid é, but no code page 932 form
    };
    for (const auto& [utf8, bytes] : cases) {
        SCOPED_TRACE(Hex(utf8));
        EXPECT_EQ(Hex(cp932::FromUtf8(utf8)), Hex(bytes));
        EXPECT_EQ(cp932::ByteLength(utf8), bytes.size());
    }
}

TEST(Cp932Test, NextCharSplitsAsTheEncoderReads) {
    size_t w = 0;
    EXPECT_EQ(cp932::NextChar("あい", w), 3u);
    EXPECT_EQ(w, 2u);
    EXPECT_EQ(cp932::NextChar("ｱ", w), 3u);
    EXPECT_EQ(w, 1u);
    EXPECT_EQ(cp932::NextChar("😀", w), 4u);
    EXPECT_EQ(w, 1u);
    EXPECT_EQ(cp932::NextChar("\xE3\x81" "A", w), 2u);
    EXPECT_EQ(w, 1u);
}

// Every double-byte code that decodes comes back as the same character; a code that is one
// of several for its character comes back as another code of that character.
TEST(Cp932Test, EveryDefinedCodeRoundTrips) {
    size_t defined = 0, identical = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead == 0xA0) lead = 0xE0;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string code{char(lead), char(trail)};
            const std::string text = cp932::ToUtf8(code);
            if (text == "?") continue;
            ++defined;
            const std::string again = cp932::FromUtf8(text);
            ASSERT_EQ(again.size(), 2u) << Hex(code);
            ASSERT_EQ(cp932::ToUtf8(again), text) << Hex(code);
            if (again == code) ++identical;
        }
    }
    for (unsigned b = 0; b < 0x100; ++b) {
        if (b >= 0x80 && (b < 0xA1 || b > 0xDF)) continue;
        const std::string code(1, char(b));
        ASSERT_EQ(cp932::FromUtf8(cp932::ToUtf8(code)), code) << Hex(code);
    }
    // 7724 codes outside the user-defined area and 1880 inside; 398 codes are second copies.
    EXPECT_EQ(defined, 9604u);
    EXPECT_EQ(identical, 9604u - 398u);
}

// The whole mapping against Python's cp932 codec, both ways. Python's single-byte
// placeholders (0x80, 0xA0, 0xFD-0xFF) are not characters of the code page and stay '?'.
TEST(Cp932Test, MatchesPythonCodec) {
    TempDir dir;
    const std::string script = dir.write("dump.py", R"(
import sys
out = []
for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
    for trail in list(range(0x40, 0x7F)) + list(range(0x80, 0xFD)):
        try:
            out.append("D %04X %04X" % (lead << 8 | trail, ord(bytes([lead, trail]).decode("cp932"))))
        except UnicodeDecodeError:
            out.append("D %04X -" % (lead << 8 | trail))
for cp in range(0x10000):
    if 0xD800 <= cp < 0xE000:
        continue
    try:
        out.append("E %04X %s" % (cp, chr(cp).encode("cp932").hex().upper()))
    except UnicodeEncodeError:
        out.append("E %04X -" % cp)
print("\n".join(out))
)");
    const std::string dump = RunCommand("python3 '" + script + "' 2>/dev/null");
    if (dump.empty()) GTEST_SKIP() << "python3 is not available";

    std::istringstream in(dump);
    std::string kind, key, value;
    size_t decodes = 0, encodes = 0, mismatches = 0;
    while (in >> kind >> key >> value) {
        const unsigned k = unsigned(std::stoul(key, nullptr, 16));
        if (kind == "D") {
            ++decodes;
            const std::string code{char(k >> 8), char(k & 0xFF)};
            const std::string want = value == "-" ? "?" : Utf8(char32_t(std::stoul(value, nullptr, 16)));
            if (cp932::ToUtf8(code) != want && ++mismatches <= 10)
                ADD_FAILURE() << "decode " << key << ": " << cp932::ToUtf8(code) << " != " << want;
        } else {
            ++encodes;
            std::string want = "?";
            const bool placeholder = k == 0x80 || (k >= 0xF8F0 && k <= 0xF8F3);
            if (value != "-" && !placeholder) {
                want.clear();
                for (size_t i = 0; i < value.size(); i += 2)
                    want += char(std::stoul(value.substr(i, 2), nullptr, 16));
            }
            const std::string got = cp932::FromUtf8(Utf8(char32_t(k)));
            if (got != want && ++mismatches <= 10)
                ADD_FAILURE() << "encode U+" << key << ": " << Hex(got) << "!= " << Hex(want);
        }
    }
    EXPECT_EQ(decodes, 60u * 188u);
    EXPECT_EQ(encodes, 0x10000u - 0x800u);
    EXPECT_EQ(mismatches, 0u);
}

}  // namespace
