#include "devices/IORecord.h"

#include <cstring>

#include "common/Bytes.h"
#include "common/Text.h"

namespace velkor {

IORecord::IORecord() { SetName(u"NO"); }

void IORecord::Reset() {
    name.fill(0);
    address = button = word = bit = kUnset;
    station = 0;
}

std::u16string IORecord::Name() const { return LoadFixedText(name); }
std::string IORecord::NameGbk() const { return LoadFixedTextGbk(name); }
void IORecord::SetName(std::u16string_view text) { StoreFixedText(name, text); }

void IORecord::Store(std::span<uint8_t, kBytes> out) const {
    std::memcpy(out.data(), name.data(), kNameBytes);
    PutU16LE(out.data() + 16, address);
    PutU16LE(out.data() + 18, button);
    PutU16LE(out.data() + 20, word);
    PutU16LE(out.data() + 22, bit);
    PutU16LE(out.data() + 24, station);
}

IORecord IORecord::Load(std::span<const uint8_t, kBytes> in) {
    IORecord r;
    std::memcpy(r.name.data(), in.data(), kNameBytes);
    r.address = GetU16LE(in.data() + 16);
    r.button = GetU16LE(in.data() + 18);
    r.word = GetU16LE(in.data() + 20);
    r.bit = GetU16LE(in.data() + 22);
    r.station = GetU16LE(in.data() + 24);
    return r;
}

}  // namespace velkor
