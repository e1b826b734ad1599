#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <optional>
#include <random>

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

// Plain iconv, converting the whole text in one call: the reference the
// converters (which keep each character's answer) must agree with.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(cd_); }
    // The converted bytes, or nothing when iconv refuses some of the input.
    std::optional<std::string> operator()(std::string in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 8, '\0');
        char* ip = in.data();
        char* op = out.data();
        size_t il = in.size();
        size_t ol = out.size();
        if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0)
            return std::nullopt;
        out.resize(static_cast<size_t>(op - out.data()));
        return out;
    }

private:
    iconv_t cd_;
};

std::string Utf16Bytes(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

std::u16string FromUtf16Bytes(const std::string& b) {
    std::u16string out;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                            (static_cast<unsigned char>(b[i + 1]) << 8)));
    return out;
}

// GBK text to UTF-16 by iconv: the whole text at once, else character by
// character (a lead byte with the byte after it), U+FFFD where iconv fails.
std::u16string ReferenceFromGbk(Iconv& decode, const std::string& gbk) {
    if (auto whole = decode(gbk)) return FromUtf16Bytes(*whole);
    std::u16string out;
    for (size_t i = 0; i < gbk.size();) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        const size_t n = (b >= 0x81 && b <= 0xFE && i + 1 < gbk.size()) ? 2 : 1;
        const auto one = decode(gbk.substr(i, n));
        out += one && !one->empty() ? FromUtf16Bytes(*one) : u"\uFFFD";
        i += n;
    }
    return out;
}

TEST(Gbk, AgreesWithIconvOnEveryCharacterAndOnMixedTexts) {
    Iconv encode("CP936", "UTF-16LE");
    Iconv decode("UTF-16LE", "CP936");
    // Every unit of the basic plane, twice: once learnt, once remembered.
    for (int pass = 0; pass < 2; ++pass) {
        for (uint32_t c = 1; c < 0x10000; ++c) {
            const std::u16string text(1, static_cast<char16_t>(c));
            const auto expected = encode(Utf16Bytes(text));
            ASSERT_EQ(ToGbk(text), expected ? *expected : std::string("?"))
                << "U+" << std::hex << c;
        }
    }
    // Every lone high byte and every lead byte with every byte after it.
    for (int pass = 0; pass < 2; ++pass) {
        for (int b = 0x80; b <= 0xFF; ++b) {
            const std::string one(1, static_cast<char>(b));
            ASSERT_EQ(FromGbk(one), ReferenceFromGbk(decode, one)) << b;
            if (b == 0x80 || b == 0xFF) continue;
            for (int t = 0; t <= 0xFF; ++t) {
                const std::string pair{static_cast<char>(b), static_cast<char>(t)};
                ASSERT_EQ(FromGbk(pair), ReferenceFromGbk(decode, pair)) << b << " " << t;
            }
        }
    }
    // Texts mixing ASCII, valid pairs, bad trail bytes and lone lead bytes.
    std::mt19937 random(7);
    const std::string valid = ToGbk(u"站场信息道岔区段");
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k) {
            switch (random() % 4) {
                case 0:
                    text.push_back(static_cast<char>('A' + random() % 26));
                    break;
                case 1:
                    text += valid.substr(2 * (random() % 8), 2);
                    break;
                default:
                    text.push_back(static_cast<char>(0x80 + random() % 0x80));
                    break;
            }
        }
        ASSERT_EQ(FromGbk(text), ReferenceFromGbk(decode, text));
        const std::u16string units = FromGbk(text);
        std::string expected;
        for (char16_t c : units) {
            const auto e = c < 0x80
                               ? std::optional<std::string>(std::string(1, static_cast<char>(c)))
                               : encode(Utf16Bytes(std::u16string(1, c)));
            expected += e ? *e : std::string("?");
        }
        ASSERT_EQ(ToGbk(units), expected);
    }
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
