#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace velkor {

// The 26-byte interlocking identity of a device: name and relay address.
// Every input-table row begins with the same 26 bytes.
struct IORecord {
    static constexpr size_t kBytes = 26;
    static constexpr size_t kNameBytes = 16;
    static constexpr uint16_t kUnset = 0xFFFF;

    // GBK, zero-terminated. Bytes after the terminator are kept as read so a
    // record read from a file is written back unchanged.
    std::array<uint8_t, kNameBytes> name{};
    uint16_t address = kUnset;  // 地址号
    uint16_t button = kUnset;   // 按钮号
    uint16_t word = kUnset;     // 字号
    uint16_t bit = kUnset;      // 位号
    uint16_t station = 0;       // 车站号

    // A new device's record: name "NO", numbers unset, station 0.
    IORecord();
    // Empty name, numbers unset, station 0.
    void Reset();

    std::u16string Name() const;
    std::string NameGbk() const;
    // Stores at most 15 GBK bytes, cut at a character boundary.
    void SetName(std::u16string_view text);

    void Store(std::span<uint8_t, kBytes> out) const;
    static IORecord Load(std::span<const uint8_t, kBytes> in);

    friend bool operator==(const IORecord&, const IORecord&) = default;
};

}  // namespace velkor
