// Which code path each digest takes on a given processor, decided from injected features, so
// every row is checked on any machine; and a path the processor lacks is never selected.
#include <gtest/gtest.h>

#include "engine/digest/CpuFeatures.h"
#include "engine/digest/Crc32.h"
#include "engine/digest/Md5.h"
#include "engine/digest/Sha1.h"
#include "engine/digest/Sha256.h"
#include "engine/digest/Sha512.h"

namespace {

using digest::CpuFeatures;
using digest::Crc32Impl;
using digest::Md5Impl;
using digest::Sha1Impl;
using digest::Sha256Impl;
using digest::Sha512Impl;

CpuFeatures Pclmul() {
    CpuFeatures f;
    f.sse41 = f.ssse3 = f.pclmul = true;
    return f;
}

CpuFeatures Avx512Clmul() {
    CpuFeatures f = Pclmul();
    f.avx2 = f.avx512f = f.avx512vl = f.avx512bw = f.vpclmulqdq = true;
    return f;
}

CpuFeatures ShaExtensions() {
    CpuFeatures f;
    f.sha = f.sse41 = f.ssse3 = true;
    return f;
}

// AVX-512 with carry-less multiply, BMI and the SHA extensions.
CpuFeatures ShaAvx512Bmi() {
    CpuFeatures f = Avx512Clmul();
    f.sha = f.bmi1 = f.bmi2 = true;
    return f;
}

CpuFeatures Without(CpuFeatures f, bool CpuFeatures::*feature) {
    f.*feature = false;
    return f;
}

#if defined(__x86_64__)
TEST(PathChoice, EachDigestTakesTheFastestPathTheFeaturesAllow) {
    const struct {
        const char* processor;
        CpuFeatures features;
        Crc32Impl crc32;
        Sha1Impl sha1;
        Sha256Impl sha256;
        Sha512Impl sha512;
    } rows[] = {
        {"none", CpuFeatures{}, Crc32Impl::Slice16, Sha1Impl::Reference, Sha256Impl::Reference, Sha512Impl::Reference},
        {"pclmul without sse4.1", Without(Pclmul(), &CpuFeatures::sse41), Crc32Impl::Slice16, Sha1Impl::Reference,
         Sha256Impl::Reference, Sha512Impl::Reference},
        {"pclmul", Pclmul(), Crc32Impl::Pclmul, Sha1Impl::Reference, Sha256Impl::Reference, Sha512Impl::Reference},
        {"avx-512 clmul", Avx512Clmul(), Crc32Impl::Vpclmul, Sha1Impl::Reference, Sha256Impl::Reference,
         Sha512Impl::Reference},
        {"avx-512 without bw", Without(Avx512Clmul(), &CpuFeatures::avx512bw), Crc32Impl::Pclmul, Sha1Impl::Reference,
         Sha256Impl::Reference, Sha512Impl::Reference},
        {"avx-512 without vpclmulqdq", Without(Avx512Clmul(), &CpuFeatures::vpclmulqdq), Crc32Impl::Pclmul,
         Sha1Impl::Reference, Sha256Impl::Reference, Sha512Impl::Reference},
        {"sha", ShaExtensions(), Crc32Impl::Slice16, Sha1Impl::Shani, Sha256Impl::Shani, Sha512Impl::Reference},
        {"sha without ssse3", Without(ShaExtensions(), &CpuFeatures::ssse3), Crc32Impl::Slice16, Sha1Impl::Reference,
         Sha256Impl::Reference, Sha512Impl::Reference},
        {"sha without sse4.1", Without(ShaExtensions(), &CpuFeatures::sse41), Crc32Impl::Slice16, Sha1Impl::Reference,
         Sha256Impl::Reference, Sha512Impl::Reference},
        {"avx-512, bmi, sha", ShaAvx512Bmi(), Crc32Impl::Vpclmul, Sha1Impl::Shani, Sha256Impl::Shani, Sha512Impl::Avx512},
        {"... without avx512vl", Without(ShaAvx512Bmi(), &CpuFeatures::avx512vl), Crc32Impl::Pclmul, Sha1Impl::Shani,
         Sha256Impl::Shani, Sha512Impl::Reference},
        {"... without bmi2", Without(ShaAvx512Bmi(), &CpuFeatures::bmi2), Crc32Impl::Vpclmul, Sha1Impl::Shani,
         Sha256Impl::Shani, Sha512Impl::Reference},
        {"... without bmi1", Without(ShaAvx512Bmi(), &CpuFeatures::bmi1), Crc32Impl::Vpclmul, Sha1Impl::Shani,
         Sha256Impl::Shani, Sha512Impl::Reference},
        {"... without sha", Without(ShaAvx512Bmi(), &CpuFeatures::sha), Crc32Impl::Vpclmul, Sha1Impl::Reference,
         Sha256Impl::Reference, Sha512Impl::Avx512},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(digest::Crc32Best(row.features), row.crc32) << row.processor;
        EXPECT_EQ(digest::Sha1Best(row.features), row.sha1) << row.processor;
        EXPECT_EQ(digest::Md5Best(row.features), Md5Impl::Fast) << row.processor;
        EXPECT_EQ(digest::Sha256Best(row.features), row.sha256) << row.processor;
        EXPECT_EQ(digest::Sha512Best(row.features), row.sha512) << row.processor;
        // The portable paths run everywhere.
        EXPECT_TRUE(digest::Crc32Supported(Crc32Impl::Table, row.features));
        EXPECT_TRUE(digest::Sha1Supported(Sha1Impl::Reference, row.features));
        EXPECT_TRUE(digest::Md5Supported(Md5Impl::Reference, row.features));
        EXPECT_TRUE(digest::Sha256Supported(Sha256Impl::Reference, row.features));
        EXPECT_TRUE(digest::Sha512Supported(Sha512Impl::Reference, row.features));
    }
}
#endif

TEST(PathChoice, APathTheProcessorLacksIsRefusedAndTheChoiceStays) {
    const CpuFeatures none;
    const Crc32Impl savedCrc = digest::Crc32Selected();
    const Sha1Impl savedSha1 = digest::Sha1Selected();
    const Sha256Impl savedSha256 = digest::Sha256Selected();
    const Sha512Impl savedSha512 = digest::Sha512Selected();

    digest::Crc32Select(Crc32Impl::Slice16);
    for (Crc32Impl impl : {Crc32Impl::Pclmul, Crc32Impl::Vpclmul}) {
        EXPECT_FALSE(digest::Crc32Supported(impl, none));
        digest::Crc32Select(impl, none);
        EXPECT_EQ(digest::Crc32Selected(), Crc32Impl::Slice16) << digest::Crc32ImplName(impl);
    }
    digest::Crc32Select(Crc32Impl::Table, none);
    EXPECT_EQ(digest::Crc32Selected(), Crc32Impl::Table);

    digest::Sha1Select(Sha1Impl::Reference);
    digest::Sha1Select(Sha1Impl::Shani, none);
    EXPECT_EQ(digest::Sha1Selected(), Sha1Impl::Reference);

    digest::Sha256Select(Sha256Impl::Reference);
    digest::Sha256Select(Sha256Impl::Shani, none);
    EXPECT_EQ(digest::Sha256Selected(), Sha256Impl::Reference);
    digest::Sha512Select(Sha512Impl::Reference);
    digest::Sha512Select(Sha512Impl::Avx512, none);
    EXPECT_EQ(digest::Sha512Selected(), Sha512Impl::Reference);

    // Features claimed for another processor never select a path this one cannot run.
    digest::Crc32Select(Crc32Impl::Vpclmul, Avx512Clmul());
    EXPECT_TRUE(digest::Crc32Selected() == Crc32Impl::Table || digest::Crc32Supported(Crc32Impl::Vpclmul));

    // The selected path still gives the standard check value.
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(~digest::Crc32Feed(0xFFFFFFFFu, check, sizeof check), 0xCBF43926u);

    digest::Crc32Select(savedCrc);
    digest::Sha1Select(savedSha1);
    digest::Sha256Select(savedSha256);
    digest::Sha512Select(savedSha512);
}

}  // namespace
