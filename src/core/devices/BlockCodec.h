#pragma once
#include <cstdint>
#include <cstring>
#include <span>

#include "common/Bytes.h"
#include "common/Color.h"
#include "common/Font.h"
#include "common/Geometry.h"
#include "devices/IORecord.h"

namespace velkor {

// Reads or writes the fields of a fixed-layout block in order, so that each
// class lists its block fields once for both directions. Points and
// rectangles kept relative to the object's window go through WindowPoint and
// WindowRect, which add `windowOrigin` when storing: the companion file wants
// them in canvas coordinates, the station file relative to the window.
// Fields a class does not know (reserved bytes) keep the bytes they hold.
class BlockCodec {
public:
    BlockCodec(std::span<uint8_t> bytes, bool storing, Point windowOrigin = {})
        : bytes_(bytes), storing_(storing), origin_(windowOrigin) {}

    bool Storing() const { return storing_; }
    size_t Offset() const { return pos_; }
    void Seek(size_t offset) { pos_ = offset; }
    void Skip(size_t n) { pos_ += n; }

    void I32(int32_t& v) { Fixed(v, &PutI32LE, &GetI32LE); }
    void U16(uint16_t& v) { Fixed(v, &PutU16LE, &GetU16LE); }
    void U8(uint8_t& v) {
        uint8_t* p = At(1);
        if (storing_) {
            *p = v;
        } else {
            v = *p;
        }
    }
    void F32(float& v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        U32(bits);
        if (!storing_) std::memcpy(&v, &bits, 4);
    }
    void U32(uint32_t& v) { Fixed(v, &PutU32LE, &GetU32LE); }
    void Colour(Color& c) {
        uint32_t v = c.ToColorRef();
        U32(v);
        if (!storing_) c = Color::FromColorRef(v);
    }
    void CanvasPoint(Point& p) {
        I32(p.x);
        I32(p.y);
    }
    void CanvasRect(Rect& r) {
        I32(r.left);
        I32(r.top);
        I32(r.right);
        I32(r.bottom);
    }
    void WindowPoint(Point& p) {
        Point q = storing_ ? p + origin_ : p;
        CanvasPoint(q);
        if (!storing_) p = q;
    }
    void WindowRect(Rect& r) {
        Rect q = storing_ ? r.Offset(origin_.x, origin_.y) : r;
        CanvasRect(q);
        if (!storing_) r = q;
    }
    template <size_t N>
    void WindowPoints(std::array<Point, N>& pts) {
        for (Point& p : pts) WindowPoint(p);
    }
    void Io(IORecord& r) {
        auto span = std::span<uint8_t, IORecord::kBytes>(At(IORecord::kBytes), IORecord::kBytes);
        if (storing_) {
            r.Store(span);
        } else {
            r = IORecord::Load(span);
        }
    }
    void Font(FontDesc& f) {
        auto span = std::span<uint8_t, FontDesc::kBytes>(At(FontDesc::kBytes), FontDesc::kBytes);
        if (storing_) {
            f.Store(span);
        } else {
            f = FontDesc::Load(span);
        }
    }

private:
    uint8_t* At(size_t n) {
        // Block layouts are fixed at compile time; running past one is a
        // programming error, not a damaged file.
        if (pos_ + n > bytes_.size()) throw std::logic_error("block field past the block end");
        uint8_t* p = bytes_.data() + pos_;
        pos_ += n;
        return p;
    }
    template <typename T, typename Put, typename Get>
    void Fixed(T& v, Put put, Get get) {
        uint8_t* p = At(sizeof(T));
        if (storing_) {
            put(p, v);
        } else {
            v = static_cast<T>(get(p));
        }
    }

    std::span<uint8_t> bytes_;
    bool storing_;
    Point origin_;
    size_t pos_ = 0;
};

}  // namespace velkor

#include "archive/Archive.h"

namespace velkor {

// Writes or reads a class block in the station file and, while saving, its
// companion form with window points in canvas coordinates. `raw` keeps the
// bytes as read, so reserved fields survive a round trip. The block is read
// as older files were, without a length check: a file cut inside it fails on
// the next value read.
template <size_t N, typename Xfer>
void SerializeBlock(Archive& ar, std::array<uint8_t, N>& raw, Point canvasOrigin, Xfer&& xfer) {
    if (ar.IsStoring()) {
        std::array<uint8_t, N> out = raw;
        BlockCodec codec(out, true);
        xfer(codec);
        ar.Block(out);
        if (ByteWriter* companion = ar.Companion()) {
            std::array<uint8_t, N> comp = raw;
            BlockCodec canvas(comp, true, canvasOrigin);
            xfer(canvas);
            companion->Bytes(comp);
        }
        return;
    }
    raw.fill(0);
    ar.Block(raw);
    BlockCodec codec(raw, false);
    xfer(codec);
}

// An IO record that follows a block in the payload and, unless told
// otherwise, in the companion file.
inline void SerializeRecord(Archive& ar, IORecord& rec, bool inCompanion = true) {
    std::array<uint8_t, IORecord::kBytes> bytes{};
    if (ar.IsStoring()) {
        rec.Store(bytes);
        ar.Block(bytes);
        ByteWriter* companion = ar.Companion();
        if (companion && inCompanion) companion->Bytes(bytes);
        return;
    }
    ar.Block(bytes);
    rec = IORecord::Load(bytes);
}

}  // namespace velkor
