#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Interaction.h"

namespace velkor {

inline constexpr const char* kMsgBadHexInput = "输入的十六进制数无效";
inline constexpr const char* kMsgBadDecimalInput = "输入的十进制数据无效";

// How the property dialogs show their number fields: hexadecimal fields as
// "0X%04X" (0XFFFF for an unset number), decimal fields as "%u".
std::string FormatHexField(uint16_t value);
std::string FormatDecimalField(uint32_t value);

// Takes a field's text over into its member. A hexadecimal text of digits,
// a-f, A-F, x and X (an optional 0x prefix) is stored in 16 bits, an empty
// text as 0; any other text shows "输入的十六进制数无效" and leaves the member
// as it was. A decimal text is stored in the member's width; a text that is
// not a decimal number shows "输入的十进制数据无效" and leaves the member.
void TakeHexField(std::string_view text, uint16_t& member, Interaction& ui);
void TakeDecimalField(std::string_view text, uint16_t& member, Interaction& ui);
void TakeDecimalField(std::string_view text, uint8_t& member, Interaction& ui);

}  // namespace velkor
