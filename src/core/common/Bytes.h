#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Status.h"

namespace velkor {

enum class Endian { Little, Big };

// Thrown when a read asks for more bytes than the buffer holds.
class ShortReadError : public StatusError {
public:
    ShortReadError() : StatusError(Status::Damaged("read past the end of the data")) {}
};

// Appends integers in a fixed byte order to a growing byte buffer.
class ByteWriter {
public:
    explicit ByteWriter(Endian endian = Endian::Little) : endian_(endian) {}

    void U8(uint8_t v) { buf_.push_back(v); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void U64(uint64_t v);
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Bytes(std::span<const uint8_t> bytes) {
        buf_.insert(buf_.end(), bytes.begin(), bytes.end());
    }
    void Bytes(const void* data, size_t n);
    void Zeros(size_t n) { buf_.insert(buf_.end(), n, 0); }

    const std::vector<uint8_t>& Data() const { return buf_; }
    std::vector<uint8_t>& Data() { return buf_; }
    size_t Size() const { return buf_.size(); }
    Endian GetEndian() const { return endian_; }

private:
    Endian endian_;
    std::vector<uint8_t> buf_;
};

// Where a ByteReader that reads a file piece by piece gets its bytes.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes into dst and returns how many, 0 at the end of the
    // file. Throws ShortReadError when the file cannot be read.
    virtual size_t Read(uint8_t* dst, size_t n) = 0;
};

// Reads integers in a fixed byte order from a byte span, or from a file
// piece by piece (so that a large station file is never in memory whole
// while its objects are built). Every read is checked against the bytes
// really there: a read past the end throws ShortReadError and leaves the
// position unchanged (reading from a file, unless the file shrinks while
// it is read).
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data, Endian endian = Endian::Little)
        : data_(data), size_(data.size()), endian_(endian) {}
    // Reads the `size` bytes of `source`, a megabyte at a time; a read that
    // needs more than that at once gets the room it needs.
    ByteReader(ByteSource& source, uint64_t size, Endian endian = Endian::Little)
        : source_(&source), size_(size), endian_(endian) {}

    uint8_t U8() {
        Need(1);
        return data_[pos_++];
    }
    uint16_t U16() { return Get<uint16_t>(); }
    uint32_t U32() { return Get<uint32_t>(); }
    uint64_t U64() { return Get<uint64_t>(); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    // Copies exactly n bytes or throws.
    void Bytes(void* dst, size_t n);
    // Copies at most n bytes and returns how many were there.
    size_t BytesUpTo(void* dst, size_t n);
    // The next n bytes, valid until the next read.
    std::span<const uint8_t> Take(size_t n);
    void Skip(size_t n);

    size_t Position() const { return static_cast<size_t>(base_ + pos_); }
    size_t Remaining() const { return static_cast<size_t>(size_ - base_ - pos_); }
    bool AtEnd() const { return Remaining() == 0; }
    Endian GetEndian() const { return endian_; }

private:
    template <typename T>
    T Get() {
        Need(sizeof(T));
        T v = 0;
        const uint8_t* p = data_.data() + pos_;
        for (size_t i = 0; i < sizeof(T); ++i) {
            const size_t shift = 8 * (endian_ == Endian::Little ? i : sizeof(T) - 1 - i);
            v = static_cast<T>(v | (static_cast<T>(p[i]) << shift));
        }
        pos_ += sizeof(T);
        return v;
    }
    // Makes the next n bytes available in data_, or throws.
    void Need(size_t n) {
        if (n > data_.size() - pos_) Refill(n);
    }
    void Refill(size_t n);

    ByteSource* source_ = nullptr;
    std::vector<uint8_t> buffer_;  // the piece of the file in data_
    std::span<const uint8_t> data_;
    size_t pos_ = 0;     // in data_
    uint64_t base_ = 0;  // the position of data_'s first byte
    uint64_t size_ = 0;  // all bytes: data_'s, or the file's
    Endian endian_;
};

// Little-endian helpers for fixed-layout records kept as byte arrays.
inline uint16_t GetU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetU32LE(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t GetI32LE(const uint8_t* p) { return static_cast<int32_t>(GetU32LE(p)); }
inline void PutU16LE(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32LE(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutI32LE(uint8_t* p, int32_t v) { PutU32LE(p, static_cast<uint32_t>(v)); }

}  // namespace velkor
