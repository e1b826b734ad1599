#include "common/Text.h"

#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

namespace velkor {

namespace {

// One converter per direction and thread: iconv descriptors carry state and
// opening them costs more than converting a short name.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    iconv_t get() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
        return cd_;
    }

private:
    iconv_t cd_;
};

Converter& Utf16ToGbk() {
    thread_local Converter c("CP936", "UTF-16LE");
    return c;
}
Converter& GbkToUtf16() {
    thread_local Converter c("UTF-16LE", "CP936");
    return c;
}

// Converts one UTF-16 code point (1 or 2 units) to GBK; empty when impossible.
std::string EncodeOne(std::u16string_view unit) {
    iconv_t cd = Utf16ToGbk().get();
    char in[4];
    std::memcpy(in, unit.data(), unit.size() * 2);
    char out[8];
    char* ip = in;
    char* op = out;
    size_t il = unit.size() * 2;
    size_t ol = sizeof out;
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) return {};
    return std::string(out, static_cast<size_t>(op - out));
}

// Converts one GBK character (a lone byte, or a lead byte with the byte
// after it) to UTF-16; U+FFFD when iconv cannot.
std::u16string DecodeOne(const char* bytes, size_t n) {
    iconv_t cd = GbkToUtf16().get();
    char in[2];
    std::memcpy(in, bytes, n);
    char outbuf[8];
    char* ip = in;
    char* op = outbuf;
    size_t il = n;
    size_t ol = sizeof outbuf;
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || op == outbuf) return u"\uFFFD";
    std::u16string out;
    for (char* p = outbuf; p + 1 < op; p += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                            (static_cast<unsigned char>(p[1]) << 8)));
    }
    return out;
}

// A call into iconv costs far more than the character it converts, and
// every generator converts the names of the whole station: the answer for
// each UTF-16 unit and each GBK character is kept the first time iconv gives
// it, so the conversions stay exactly iconv's. The tables are shared by all
// threads; an entry is written whole, and two threads filling the same entry
// write the same value.
//
// An encoding entry: bit 31 set once known, bits 24-25 the byte count (0:
// the unit has no GBK form), bits 0-15 the bytes.
std::atomic<uint32_t> g_encoded[0x10000];
// A decoding entry: bit 63 set once known, bits 48-49 the unit count, bits
// 0-47 up to three units. Lone bytes 0x80-0xFF first, then every lead byte
// 0x81-0xFE with every byte after it.
constexpr size_t kLoneEntries = 0x80;
std::atomic<uint64_t> g_decoded[kLoneEntries + 126 * 256];

// Appends the GBK form of one BMP unit c >= 0x80; false when it has none.
bool AppendEncoded(char16_t c, std::string& out) {
    std::atomic<uint32_t>& entry = g_encoded[c];
    uint32_t e = entry.load(std::memory_order_relaxed);
    if (!(e & 0x80000000u)) {
        const std::string enc = EncodeOne(std::u16string_view(&c, 1));
        e = 0x80000000u;
        if (enc.size() <= 2) {
            e |= static_cast<uint32_t>(enc.size()) << 24;
            for (size_t i = 0; i < enc.size(); ++i)
                e |= static_cast<uint32_t>(static_cast<unsigned char>(enc[i])) << (8 * i);
        }
        entry.store(e, std::memory_order_relaxed);
        if (enc.size() > 2) {  // not GBK's shape; never kept
            out += enc;
            return true;
        }
    }
    const uint32_t n = (e >> 24) & 3;
    for (uint32_t i = 0; i < n; ++i) out.push_back(static_cast<char>((e >> (8 * i)) & 0xFF));
    return n != 0;
}

// Appends the UTF-16 form of the GBK character of n bytes at `bytes`.
void AppendDecoded(const char* bytes, size_t n, std::u16string& out) {
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const size_t index =
        n == 1 ? b0 - 0x80u
               : kLoneEntries + (b0 - 0x81u) * 256 + static_cast<unsigned char>(bytes[1]);
    std::atomic<uint64_t>& entry = g_decoded[index];
    uint64_t e = entry.load(std::memory_order_relaxed);
    if (!(e & (uint64_t{1} << 63))) {
        const std::u16string units = DecodeOne(bytes, n);
        if (units.size() > 3) {  // not GBK's shape; never kept
            out += units;
            return;
        }
        e = (uint64_t{1} << 63) | (static_cast<uint64_t>(units.size()) << 48);
        for (size_t i = 0; i < units.size(); ++i) e |= static_cast<uint64_t>(units[i]) << (16 * i);
        entry.store(e, std::memory_order_relaxed);
    }
    const auto count = static_cast<size_t>((e >> 48) & 3);
    for (size_t i = 0; i < count; ++i)
        out.push_back(static_cast<char16_t>((e >> (16 * i)) & 0xFFFF));
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string ToGbk(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            // Outside the basic plane: GBK holds none of these, iconv says so.
            const std::string enc = EncodeOne(text.substr(i, 2));
            out += enc.empty() ? std::string("?") : enc;
            ++i;
            continue;
        }
        if (!AppendEncoded(c, out)) out.push_back('?');
    }
    return out;
}

namespace {
bool IsAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}
}  // namespace

// GBK decodes character by character without state, so converting each
// character alone gives what converting the whole text at once gives; a
// character iconv cannot convert becomes U+FFFD.
std::u16string FromGbk(std::string_view gbk) {
    if (IsAscii(gbk)) return std::u16string(gbk.begin(), gbk.end());
    std::u16string out;
    out.reserve(gbk.size());
    size_t i = 0;
    while (i < gbk.size()) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        // A lead byte takes its trail byte with it; 0x80 and 0xFF stand alone.
        const size_t n = (b >= 0x81 && b <= 0xFE && i + 1 < gbk.size()) ? 2 : 1;
        AppendDecoded(gbk.data() + i, n, out);
        i += n;
    }
    return out;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        uint32_t cp = 0xFFFD;
        size_t n = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b >> 5) == 0x6) {
            n = 2;
        } else if ((b >> 4) == 0xE) {
            n = 3;
        } else if ((b >> 3) == 0x1E) {
            n = 4;
        }
        if (n > 1) {
            bool ok = i + n <= s.size();
            uint32_t v = b & (0x7F >> n);
            for (size_t k = 1; ok && k < n; ++k) {
                const auto c = static_cast<unsigned char>(s[i + k]);
                if ((c & 0xC0) != 0x80) ok = false;
                v = (v << 6) | (c & 0x3F);
            }
            if (ok && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
                cp = v;
            } else {
                n = 1;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += n;
    }
    return out;
}

size_t GbkPrefixLength(std::string_view gbk, size_t max_bytes) {
    size_t i = 0;
    while (i < gbk.size()) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        const size_t n = (b >= 0x81 && b <= 0xFE && i + 1 < gbk.size()) ? 2 : 1;
        if (i + n > max_bytes) break;
        i += n;
    }
    return i;
}

void StoreFixedTextGbk(std::span<uint8_t> field, std::string_view gbk) {
    if (field.empty()) return;
    const size_t n = GbkPrefixLength(gbk, field.size() - 1);
    std::memcpy(field.data(), gbk.data(), n);
    std::memset(field.data() + n, 0, field.size() - n);
}

void StoreFixedText(std::span<uint8_t> field, std::u16string_view text) {
    StoreFixedTextGbk(field, ToGbk(text));
}

std::string_view FixedTextView(std::span<const uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), uint8_t{0});
    return {reinterpret_cast<const char*>(field.data()), static_cast<size_t>(end - field.begin())};
}

std::string LoadFixedTextGbk(std::span<const uint8_t> field) {
    return std::string(FixedTextView(field));
}

std::u16string LoadFixedText(std::span<const uint8_t> field) {
    return FromGbk(LoadFixedTextGbk(field));
}

}  // namespace velkor
