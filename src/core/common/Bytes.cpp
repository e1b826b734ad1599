#include "common/Bytes.h"

#include <cstring>

namespace velkor {

namespace {
template <typename T>
void Put(std::vector<uint8_t>& buf, T v, Endian e) {
    constexpr size_t n = sizeof(T);
    uint8_t b[n];
    for (size_t i = 0; i < n; ++i) {
        const size_t shift = 8 * (e == Endian::Little ? i : n - 1 - i);
        b[i] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> shift);
    }
    buf.insert(buf.end(), b, b + n);
}

}  // namespace

void ByteWriter::U16(uint16_t v) { Put(buf_, v, endian_); }
void ByteWriter::U32(uint32_t v) { Put(buf_, v, endian_); }
void ByteWriter::U64(uint64_t v) { Put(buf_, v, endian_); }
void ByteWriter::Bytes(const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    buf_.insert(buf_.end(), p, p + n);
}

void ByteReader::Bytes(void* dst, size_t n) {
    Need(n);
    if (n) std::memcpy(dst, data_.data() + pos_, n);
    pos_ += n;
}
size_t ByteReader::BytesUpTo(void* dst, size_t n) {
    const size_t k = std::min(n, Remaining());
    if (k) std::memcpy(dst, data_.data() + pos_, k);
    pos_ += k;
    return k;
}
std::span<const uint8_t> ByteReader::Take(size_t n) {
    Need(n);
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
}
void ByteReader::Skip(size_t n) {
    Need(n);
    pos_ += n;
}

}  // namespace velkor
