// The digest-kind table: what each row names, and that "-a", "all" and the window keep meaning
// the first three while SHA-256 and SHA-512 are asked for by name.
#include <gtest/gtest.h>

#include <string>

#include "engine/DigestKinds.h"
#include "support/TempDir.h"

namespace {

TEST(DigestKindTable, RowsNameTheirKindsAndTheirEnginesFillTheirFields) {
    const struct {
        TDigestKind kind;
        const char* name;
        const char* label;
        const char* command;
        char letter;
        bool inAll;
        size_t digits;
    } want[] = {
        {TDigestKind::CRC32, "CRC32", "CRC32", "crc32", 'c', true, 8},
        {TDigestKind::SHA1, "SHA1", "SHA-1", "sha1", 'h', true, 40},
        {TDigestKind::MD5, "MD5", "MD5", "md5", 'm', true, 32},
        {TDigestKind::SHA256, "SHA256", "SHA-256", "sha256", '2', false, 64},
        {TDigestKind::SHA512, "SHA512", "SHA-512", "sha512", '\0', false, 128},
    };
    ASSERT_EQ(DigestKinds().size(), std::size(want));
    TempDir dir;
    const std::string file = dir.write("abc", "abc");
    for (size_t i = 0; i < std::size(want); ++i) {
        const TDigestKindInfo& k = DigestKinds()[i];
        SCOPED_TRACE(want[i].name);
        EXPECT_EQ(k.Kind, want[i].kind);
        EXPECT_STREQ(k.Name, want[i].name);
        EXPECT_STREQ(k.Label, want[i].label);
        EXPECT_STREQ(k.CommandName, want[i].command);
        EXPECT_EQ(k.Switch, want[i].letter);
        EXPECT_EQ(k.InAll, want[i].inAll);
        EXPECT_EQ(&DigestKindInfo(k.Kind), &k);
        EXPECT_EQ(DigestKindByCommandName(k.CommandName), &k);
        if (k.Switch) {
            EXPECT_EQ(DigestKindBySwitch(k.Switch), &k);
        }

        // The engine leaves a text of the row's length in the row's field and in no other.
        auto engine = k.MakeEngine();
        engine->SetFileName(file);
        const std::string text = engine->GetHashText(true);
        EXPECT_EQ(text.size(), want[i].digits);
        EXPECT_EQ(engine->Info().*k.Field, text);
        for (const TDigestKindInfo& other : DigestKinds()) {
            if (&other == &k) continue;
            EXPECT_NE(other.Field, k.Field) << other.Name;
            EXPECT_EQ(engine->Info().*other.Field, "") << other.Name;
        }
    }
    EXPECT_EQ(DigestKindBySwitch('\0'), nullptr);
    EXPECT_EQ(DigestKindBySwitch('a'), nullptr);
    EXPECT_EQ(DigestKindByCommandName("SHA256"), nullptr);
    EXPECT_EQ(AllDigestKinds(), (TDigestSet{TDigestKind::CRC32, TDigestKind::SHA1, TDigestKind::MD5}));
}

TEST(DigestKindTable, ASetHoldsEveryKind) {
    TDigestSet set;
    for (const TDigestKindInfo& k : DigestKinds()) {
        EXPECT_FALSE(set.Has(k.Kind));
        set.Add(k.Kind);
    }
    EXPECT_EQ(set.Count(), 5);
    set.Remove(TDigestKind::SHA256);
    EXPECT_EQ(set.Count(), 4);
    EXPECT_FALSE(set.Has(TDigestKind::SHA256));
    EXPECT_TRUE(set.Has(TDigestKind::SHA512));
    EXPECT_TRUE(set.Has(TDigestKind::MD5));
}

}  // namespace
