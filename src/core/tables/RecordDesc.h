#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velkor {

// How a field of a stored record is kept and shown.
enum class FieldType { Text, U16, U32 };
enum class FieldFormat {
    Text,     // the GBK text up to its terminator
    Decimal,  // "%d"
    Hex,      // "0X%04X"
    Hidden,   // kept and written, not shown in grids and views
};

// One field of a record: where it is, what it holds, its column header,
// how it is shown and whether the big-endian file exchanges its bytes.
struct FieldDesc {
    size_t offset;
    FieldType type;
    size_t size;  // bytes: the text field's length, 2 or 4 for numbers
    const char* header;
    FieldFormat format;
    bool swapInBigEndian;
};

// The one description of a stored record kind. The file readers and writers,
// the big-endian conversion, the grids and the text and workbook exports all
// read it instead of repeating the field list.
struct RecordDesc {
    const char* name;
    size_t size;
    std::vector<FieldDesc> fields;

    const FieldDesc* Field(const char* header) const;
    // The big-endian image of a record: numbers marked for exchange swapped,
    // text bytes copied.
    std::vector<uint8_t> ToBigEndian(std::span<const uint8_t> record) const;
    // A field shown as the grids and text views show it.
    std::string Show(const FieldDesc& f, std::span<const uint8_t> record) const;
};

}  // namespace velkor
