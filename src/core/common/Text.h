#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velkor {

// Names inside stored records are 8-bit text in code page 936 (GBK); the
// rest of the system works in UTF-16. These are the only places that convert.

// UTF-16 to GBK. A character GBK cannot hold becomes '?'.
std::string ToGbk(std::u16string_view text);
// GBK to UTF-16. A byte sequence that is not valid GBK becomes U+FFFD.
std::u16string FromGbk(std::string_view gbk);

// UTF-8 is the encoding of messages, JSON and the command line.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view utf8);

// Length of the longest prefix of a GBK string that fits in max_bytes without
// splitting a two-byte character.
size_t GbkPrefixLength(std::string_view gbk, size_t max_bytes);

// A fixed text field text[n]: zero-terminated GBK holding at most n - 1 bytes.
// Storing cuts a longer name at a character boundary and zero-fills the rest.
void StoreFixedText(std::span<uint8_t> field, std::u16string_view text);
void StoreFixedTextGbk(std::span<uint8_t> field, std::string_view gbk);
// Reads up to the first zero byte (or the whole field when there is none).
std::u16string LoadFixedText(std::span<const uint8_t> field);
std::string LoadFixedTextGbk(std::span<const uint8_t> field);
// The same bytes without a copy: a view into the field.
std::string_view FixedTextView(std::span<const uint8_t> field);

}  // namespace velkor
