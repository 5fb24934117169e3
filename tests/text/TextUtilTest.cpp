#include "text/TextUtil.h"

#include <gtest/gtest.h>

#include "text/Cp932.h"

namespace {

TEST(TextUtilTest, ShortensByCodePageBytes) {
    struct Case {
        std::string text;
        size_t n;
        std::string want;
    };
    const Case cases[] = {
        {"", 0, ""},
        {"abcdefghij", 10, "abcdefghij"},
        {"abcdefghijk", 10, "abcdefg..."},
        {"abcd", 3, "..."},
        {"abcd", 0, "..."},
        {"あいうえお", 10, "あいうえお"},   // 10 bytes: fits
        {"あいうえお", 9, "あいう..."},      // 6 + 3
        {"あいうえお", 8, "あい..."},        // 5 bytes would split う: 4 + 3
        {"ｱｲｳｴｵｶｷ", 6, "ｱｲｳ..."},            // half-width katakana are one byte each
        {"aあbいc", 6, "aあ..."},
        {"😀😀😀😀😀", 4, "😀..."},         // no code page form: counted as its one '?'
        {"😀😀😀😀😀", 5, "😀😀😀😀😀"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " / " + std::to_string(c.n));
        EXPECT_EQ(ShortenText(c.text, c.n), c.want);
    }
}

// Against every limit: unchanged when it fits, otherwise the longest whole-character
// prefix within n - 3 bytes plus "...".
TEST(TextUtilTest, CutIsTheLongestPrefixThatFits) {
    const std::string texts[] = {
        "C:\\Documents\\写真\\２００４年夏休み\\ｻﾝﾌﾟﾙ画像_①_final_version.jpg",
        "漢字とかなとカナとABCと①②③が混ざった、とても長いファイル名の例です.txt",
    };
    for (const auto& text : texts) {
        const size_t total = cp932::ByteLength(text);
        for (size_t n = 0; n <= total + 2; ++n) {
            SCOPED_TRACE(n);
            const std::string got = ShortenText(text, n);
            if (total <= n) {
                EXPECT_EQ(got, text);
                continue;
            }
            ASSERT_GE(got.size(), 3u);
            ASSERT_EQ(got.substr(got.size() - 3), "...");
            const std::string head = got.substr(0, got.size() - 3);
            ASSERT_EQ(text.compare(0, head.size(), head), 0);
            const size_t keep = n > 3 ? n - 3 : 0;
            const size_t used = cp932::ByteLength(head);
            EXPECT_LE(used, keep);
            size_t width = 0;
            cp932::NextChar(std::string_view(text).substr(head.size()), width);
            EXPECT_GT(used + width, keep);  // the next character would not have fitted
        }
    }
}

TEST(TextUtilTest, SeventyBytesForTheBatchLabel) {
    const std::string path = "/home/user/ダウンロード/とても長い名前のアーカイブファイル_2004年8月版.zip";
    ASSERT_GT(cp932::ByteLength(path), 70u);
    const std::string got = ShortenText(path, 70);
    const size_t len = cp932::ByteLength(got);
    EXPECT_TRUE(len == 70 || len == 69) << len;
    EXPECT_EQ(got.rfind("...", std::string::npos), got.size() - 3);
}

}  // namespace
