// One read for several digests gives each digest of the whole file, the same as the engine
// of that digest alone and as independent tools, whatever the size and the buffer.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "engine/DigestKinds.h"
#include "engine/FileDigests.h"
#include "support/Reference.h"
#include "support/TempDir.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Sizes around the 64-byte block, the buffer (1 KiB or 64 KiB here), the ring of eight
// buffers and the 101-buffer pump, and a few MiB.
TEST(FileDigests, EqualTheToolsAndTheSingleEnginesForEverySize) {
    if (!HavePython("hashlib, zlib")) GTEST_SKIP() << "python3 with hashlib and zlib is not available";
    TempDir dir;
    std::vector<size_t> sizes = {1, 55, 56, 63, 64, 65, 127, 128, 129};
    for (size_t buffer : {size_t(1024), size_t(65536)})
        for (size_t n : {buffer, 8 * buffer, 101 * buffer})
            for (size_t d : {n - 1, n, n + 1}) sizes.push_back(d);
    sizes.push_back(5 * 1024 * 1024 + 17);

    // One python run prints CRC32, SHA-1 and MD5 of every file.
    std::string script = "import hashlib, sys, zlib\nfor p in sys.argv[1:]:\n    d = open(p, 'rb').read()\n"
                         "    print('%08x' % zlib.crc32(d), hashlib.sha1(d).hexdigest(), hashlib.md5(d).hexdigest())\n";
    std::string command = "python3 " + dir.write("sums.py", script);
    std::vector<std::string> paths;
    for (size_t size : sizes) {
        paths.push_back(dir.write("f" + std::to_string(size), PatternBytes(size, unsigned(size) + 3)));
        command += " " + paths.back();
    }
    std::istringstream sums(RunCommand(command));

    const TDigestSet sets[] = {{TDigestKind::SHA1, TDigestKind::MD5},
                               {TDigestKind::CRC32, TDigestKind::SHA1, TDigestKind::MD5},
                               {TDigestKind::CRC32, TDigestKind::MD5}};
    for (size_t i = 0; i < sizes.size(); ++i) {
        std::string tool[3];   // CRC32, SHA-1, MD5: the order of DigestKinds()
        ASSERT_TRUE(sums >> tool[0] >> tool[1] >> tool[2]) << "python printed too little";
        for (uint16_t kb : {uint16_t(1), uint16_t(64)}) {
            // Each engine alone, as the analysis ran them before.
            std::string single[3];
            for (size_t k = 0; k < 3; ++k) {
                auto engine = DigestKinds()[k].MakeEngine();
                engine->SetBufferSize(kb);
                engine->SetFileName(paths[i]);
                single[k] = engine->GetHashText(false);
            }
            for (const TDigestSet& set : sets) {
                TFileDigests digests(set);
                digests.SetBufferSize(kb);
                digests.SetFileName(paths[i]);
                digests.ReadSize();
                digests.Execute();
                EXPECT_FALSE(digests.Canceled());
                EXPECT_EQ(digests.Failure(), TRunFailure::None);
                for (size_t k = 0; k < 3; ++k) {
                    const TDigestKindInfo& kind = DigestKinds()[k];
                    SCOPED_TRACE(testing::Message() << "size " << sizes[i] << ", " << kb << " KiB, " << kind.Name
                                                    << ", " << set.Count() << " digests");
                    if (!set.Has(kind.Kind)) {
                        EXPECT_EQ(digests.Info().*kind.Field, "");
                        continue;
                    }
                    EXPECT_EQ(digests.HashText(kind.Kind, false), tool[k]);
                    EXPECT_EQ(digests.HashText(kind.Kind, false), single[k]);
                    EXPECT_EQ(digests.Info().*kind.Field, digests.HashText(kind.Kind, true));
                    EXPECT_EQ(Lower(digests.HashText(kind.Kind, true)), tool[k]);
                }
            }
        }
    }
}

TEST(FileDigests, AnEmptySetReadsNothing) {
    TempDir dir;
    TFileDigests digests{TDigestSet{}};
    digests.SetFileName(dir.write("f", "abc"));
    digests.Execute();
    EXPECT_FALSE(digests.Canceled());
    EXPECT_EQ(digests.Failure(), TRunFailure::None);
    EXPECT_EQ(digests.Info().CRC32 + digests.Info().SHA1 + digests.Info().MD5, "");
}

}  // namespace
