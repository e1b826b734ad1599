#include <gtest/gtest.h>

#include "common/Text.h"

namespace velkor {
namespace {

TEST(Gbk, ConvertsBothWays) {
    const std::u16string text = u"1DG站场信息";
    const std::string gbk = ToGbk(text);
    // "站" is D5 BE in GBK.
    EXPECT_EQ(gbk.substr(3, 2), "\xD5\xBE");
    EXPECT_EQ(gbk.size(), 3u + 4 * 2);
    EXPECT_EQ(FromGbk(gbk), text);
}

TEST(Gbk, UnmappableAndInvalidBytesDoNotBreakConversion) {
    EXPECT_EQ(ToGbk(u"A\U0001F600B"), "A?B");     // no emoji in GBK
    EXPECT_EQ(FromGbk("A\xFF"), u"A\uFFFD");      // 0xFF is never a GBK byte
    EXPECT_EQ(FromGbk("\xD5"), u"\uFFFD");        // lead byte without its trail
    EXPECT_EQ(FromGbk("\x81\x20Z"), u"\uFFFDZ");  // bad trail byte
}

TEST(Utf8, RoundTripsIncludingSurrogates) {
    const std::u16string text = u"信号机 X1 \U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"站"), "站");
}

struct FixedCase {
    const char16_t* text;
    size_t fieldBytes;
    std::string expectedGbk;
};

class FixedTextCut : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedTextCut, StoresAtMostNMinusOneBytesAtACharacterBoundary) {
    const FixedCase& c = GetParam();
    std::vector<uint8_t> field(c.fieldBytes, 0xCC);
    StoreFixedText(field, c.text);
    EXPECT_EQ(LoadFixedTextGbk(field), c.expectedGbk);
    // Terminated, and zero after the text.
    for (size_t i = c.expectedGbk.size(); i < field.size(); ++i) EXPECT_EQ(field[i], 0) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedTextCut,
    ::testing::Values(FixedCase{u"NO", 16, "NO"},
                      FixedCase{u"123456789012345", 16, "123456789012345"},
                      FixedCase{u"1234567890123456", 16, "123456789012345"},
                      // 14 ASCII bytes + a two-byte character would need 16: cut before it.
                      FixedCase{u"12345678901234站", 16, "12345678901234"},
                      FixedCase{u"1234567890123站", 16, "1234567890123\xD5\xBE"},
                      FixedCase{u"站站站站站站站站", 16,
                                std::string("\xD5\xBE", 2) +
                                    "\xD5\xBE\xD5\xBE\xD5\xBE\xD5\xBE\xD5\xBE\xD5\xBE"},
                      FixedCase{u"", 16, ""}));

TEST(FixedText, ReadsWholeFieldWithoutTerminator) {
    std::vector<uint8_t> field{'A', 'B', 'C'};
    EXPECT_EQ(LoadFixedText(field), u"ABC");
}

}  // namespace
}  // namespace velkor
