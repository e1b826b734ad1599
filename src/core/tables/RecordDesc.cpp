#include "tables/RecordDesc.h"

#include <cstdio>
#include <cstring>

#include "common/Bytes.h"
#include "common/Text.h"

namespace velkor {

const FieldDesc* RecordDesc::Field(const char* header) const {
    for (const FieldDesc& f : fields) {
        if (std::strcmp(f.header, header) == 0) return &f;
    }
    return nullptr;
}

std::vector<uint8_t> RecordDesc::ToBigEndian(std::span<const uint8_t> record) const {
    std::vector<uint8_t> out(record.begin(), record.end());
    for (const FieldDesc& f : fields) {
        if (!f.swapInBigEndian || f.offset + f.size > out.size()) continue;
        for (size_t i = 0; i < f.size / 2; ++i) {
            std::swap(out[f.offset + i], out[f.offset + f.size - 1 - i]);
        }
    }
    return out;
}

std::string RecordDesc::Show(const FieldDesc& f, std::span<const uint8_t> record) const {
    if (f.offset + f.size > record.size()) return {};
    const uint8_t* p = record.data() + f.offset;
    char buf[32];
    switch (f.format) {
        case FieldFormat::Text:
            return ToUtf8(LoadFixedText(std::span<const uint8_t>(p, f.size)));
        case FieldFormat::Decimal:
            std::snprintf(buf, sizeof buf, "%u",
                          f.type == FieldType::U32 ? GetU32LE(p) : GetU16LE(p));
            return buf;
        case FieldFormat::Hex:
            std::snprintf(buf, sizeof buf, "0X%04X",
                          f.type == FieldType::U32 ? GetU32LE(p) : GetU16LE(p));
            return buf;
        case FieldFormat::Hidden:
            return {};
    }
    return {};
}

}  // namespace velkor
