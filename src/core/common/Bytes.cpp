#include "common/Bytes.h"

#include <algorithm>
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

void ByteReader::Refill(size_t n) {
    if (!source_ || n > Remaining()) throw ShortReadError();
    constexpr size_t kPiece = size_t{1} << 20;
    const size_t kept = data_.size() - pos_;
    const size_t room = std::max(n, std::min<size_t>(kPiece, Remaining()));
    if (buffer_.size() < room) {
        std::vector<uint8_t> larger(room);
        if (kept) std::memcpy(larger.data(), data_.data() + pos_, kept);
        buffer_ = std::move(larger);
    } else if (kept) {
        std::memmove(buffer_.data(), data_.data() + pos_, kept);
    }
    base_ += pos_;
    pos_ = 0;
    // Never past the size the reader was given, should the file grow.
    const size_t end = static_cast<size_t>(std::min<uint64_t>(buffer_.size(), size_ - base_));
    size_t filled = kept;
    while (filled < n) {
        const size_t got = source_->Read(buffer_.data() + filled, end - filled);
        if (got == 0) break;
        filled += got;
    }
    data_ = std::span<const uint8_t>(buffer_.data(), filled);
    if (filled < n) throw ShortReadError();
}

void ByteReader::Bytes(void* dst, size_t n) {
    if (n > Remaining()) throw ShortReadError();
    auto* out = static_cast<uint8_t*>(dst);
    // Piece by piece, so that a long read needs no room of its own.
    while (n > 0) {
        Need(1);
        const size_t k = std::min(n, data_.size() - pos_);
        std::memcpy(out, data_.data() + pos_, k);
        pos_ += k;
        out += k;
        n -= k;
    }
}

size_t ByteReader::BytesUpTo(void* dst, size_t n) {
    const size_t k = std::min(n, Remaining());
    Bytes(dst, k);
    return k;
}

std::span<const uint8_t> ByteReader::Take(size_t n) {
    Need(n);
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
}

void ByteReader::Skip(size_t n) {
    if (n > Remaining()) throw ShortReadError();
    while (n > 0) {
        Need(1);
        const size_t k = std::min(n, data_.size() - pos_);
        pos_ += k;
        n -= k;
    }
}

}  // namespace velkor
