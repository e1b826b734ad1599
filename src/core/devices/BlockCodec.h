#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>

#include "archive/Archive.h"
#include "common/Bytes.h"
#include "devices/Fields.h"

namespace velkor {

// Reads or writes the fields of a fixed-layout block in order, so that a
// class's one field list serves both directions. Points and rectangles kept
// relative to the object's window add `windowOrigin` when storing: the
// companion file wants them in canvas coordinates, the station file
// relative to the window. Fields a class does not know (reserved bytes) keep
// the bytes they hold.
class BlockCodec final : public FieldVisitor {
public:
    BlockCodec(std::span<uint8_t> bytes, bool storing, Point windowOrigin = {})
        : bytes_(bytes), storing_(storing), origin_(windowOrigin) {}

    bool Storing() const { return storing_; }
    size_t Offset() const { return pos_; }
    void Seek(size_t offset) { pos_ = offset; }

    void Skip(size_t n) override { pos_ += n; }
    void I32(const char*, int32_t& v) override { Fixed(v, &PutI32LE, &GetI32LE); }
    void U16(const char*, uint16_t& v) override { Fixed(v, &PutU16LE, &GetU16LE); }
    void U32(const char*, uint32_t& v) override { Fixed(v, &PutU32LE, &GetU32LE); }
    void U8(const char*, uint8_t& v) override {
        uint8_t* p = At(1);
        if (storing_) {
            *p = v;
        } else {
            v = *p;
        }
    }
    void F32(const char*, float& v) override {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        U32(nullptr, bits);
        if (!storing_) std::memcpy(&v, &bits, 4);
    }
    void Colour(const char*, Color& c) override {
        uint32_t v = c.ToColorRef();
        U32(nullptr, v);
        if (!storing_) c = Color::FromColorRef(v);
    }
    void CanvasPoint(const char*, Point& p) override {
        I32(nullptr, p.x);
        I32(nullptr, p.y);
    }
    void CanvasRect(const char*, Rect& r) override {
        I32(nullptr, r.left);
        I32(nullptr, r.top);
        I32(nullptr, r.right);
        I32(nullptr, r.bottom);
    }
    void WindowPoint(const char*, Point& p) override {
        Point q = storing_ ? p + origin_ : p;
        CanvasPoint(nullptr, q);
        if (!storing_) p = q;
    }
    void WindowRect(const char*, Rect& r) override {
        Rect q = storing_ ? r.Offset(origin_.x, origin_.y) : r;
        CanvasRect(nullptr, q);
        if (!storing_) r = q;
    }
    void WindowPoints(const char*, std::span<Point> pts) override {
        for (Point& p : pts) WindowPoint(nullptr, p);
    }
    void Io(const char*, IORecord& r) override {
        auto span = std::span<uint8_t, IORecord::kBytes>(At(IORecord::kBytes), IORecord::kBytes);
        if (storing_) {
            r.Store(span);
        } else {
            r = IORecord::Load(span);
        }
    }
    void Font(const char*, FontDesc& f) override {
        auto span = std::span<uint8_t, FontDesc::kBytes>(At(FontDesc::kBytes), FontDesc::kBytes);
        if (storing_) {
            f.Store(span);
        } else {
            f = FontDesc::Load(span);
        }
    }
    // A record after the block is not part of it: the archive walk of
    // SerializeFields stores it.
    void Record(const char*, IORecord&, bool) override {}
    void Text(const char*, std::u16string&) override {
        throw std::logic_error("a block holds no archive text");
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

// Forwards block fields to the codecs of SerializeFields and stores the
// records that follow once the block has been written.
template <size_t N>
class BlockArchiveWalk final : public FieldVisitor {
public:
    // Reading decodes `raw` in place; writing works on copies, so that the
    // bytes as read stay for the next save.
    BlockArchiveWalk(Archive& ar, std::array<uint8_t, N>& raw, Point origin)
        : ar_(ar),
          file_(ar.IsStoring() ? std::span<uint8_t>(out_) : std::span<uint8_t>(raw),
                ar.IsStoring()),
          companion_(companionBytes_, true, origin) {
        if (ar.IsStoring()) {
            out_ = raw;
            companionBytes_ = raw;
        } else {
            raw.fill(0);
            ar.Block(raw);
        }
    }
    void Finish() { Flush(); }

    void I32(const char* n, int32_t& v) override {
        Both([&](BlockCodec& c) { c.I32(n, v); });
    }
    void U32(const char* n, uint32_t& v) override {
        Both([&](BlockCodec& c) { c.U32(n, v); });
    }
    void U16(const char* n, uint16_t& v) override {
        Both([&](BlockCodec& c) { c.U16(n, v); });
    }
    void U8(const char* n, uint8_t& v) override {
        Both([&](BlockCodec& c) { c.U8(n, v); });
    }
    void F32(const char* n, float& v) override {
        Both([&](BlockCodec& c) { c.F32(n, v); });
    }
    void Colour(const char* n, Color& v) override {
        Both([&](BlockCodec& c) { c.Colour(n, v); });
    }
    void CanvasPoint(const char* n, Point& v) override {
        Both([&](BlockCodec& c) { c.CanvasPoint(n, v); });
    }
    void CanvasRect(const char* n, Rect& v) override {
        Both([&](BlockCodec& c) { c.CanvasRect(n, v); });
    }
    void WindowPoint(const char* n, Point& v) override {
        Both([&](BlockCodec& c) { c.WindowPoint(n, v); });
    }
    void WindowRect(const char* n, Rect& v) override {
        Both([&](BlockCodec& c) { c.WindowRect(n, v); });
    }
    void WindowPoints(const char* n, std::span<Point> v) override {
        Both([&](BlockCodec& c) { c.WindowPoints(n, v); });
    }
    void Io(const char* n, IORecord& v) override {
        Both([&](BlockCodec& c) { c.Io(n, v); });
    }
    void Font(const char* n, FontDesc& v) override {
        Both([&](BlockCodec& c) { c.Font(n, v); });
    }
    void Skip(size_t n) override {
        Both([&](BlockCodec& c) { c.Skip(n); });
    }
    void Text(const char* n, std::u16string& v) override {
        Both([&](BlockCodec& c) { c.Text(n, v); });
    }
    void Record(const char*, IORecord& r, bool inCompanion) override {
        Flush();
        SerializeRecord(ar_, r, inCompanion);
    }

private:
    template <typename F>
    void Both(F&& f) {
        f(file_);
        if (ar_.IsStoring()) f(companion_);
    }
    void Flush() {
        if (flushed_) return;
        flushed_ = true;
        if (!ar_.IsStoring()) return;
        ar_.Block(out_);
        if (ByteWriter* companion = ar_.Companion()) companion->Bytes(companionBytes_);
    }

    Archive& ar_;
    std::array<uint8_t, N> out_;
    std::array<uint8_t, N> companionBytes_;
    BlockCodec file_;
    BlockCodec companion_;
    bool flushed_ = false;
};

// Writes or reads an object's class block and the records that follow it,
// walking the fields the object lists once. While saving, the block is
// written twice from the same walk: to the station file with window points
// relative to the window, and to the companion file in canvas coordinates.
// `raw` keeps the bytes as read, so reserved fields survive a round trip.
// The block is read as older files were, without a length check: a file cut
// inside it fails on the next value read.
template <size_t N, typename Object>
void SerializeFields(Archive& ar, std::array<uint8_t, N>& raw, Object& obj) {
    BlockArchiveWalk<N> walk(ar, raw, ar.IsStoring() ? obj.AbsoluteOrigin() : Point{});
    obj.Fields(walk);
    walk.Finish();
}

// A walk that takes some kinds of field and refuses the others: the
// payloads written as archive values or companion records hold only numbers,
// colours, rectangles and texts. A refused kind is a programming error.
class NarrowFieldVisitor : public FieldVisitor {
public:
    void I32(const char*, int32_t&) override { Refuse(); }
    void U32(const char*, uint32_t&) override { Refuse(); }
    void U16(const char*, uint16_t&) override { Refuse(); }
    void U8(const char*, uint8_t&) override { Refuse(); }
    void F32(const char*, float&) override { Refuse(); }
    void Colour(const char*, Color&) override { Refuse(); }
    void CanvasPoint(const char*, Point&) override { Refuse(); }
    void CanvasRect(const char*, Rect&) override { Refuse(); }
    void WindowPoint(const char*, Point&) override { Refuse(); }
    void WindowRect(const char*, Rect&) override { Refuse(); }
    void WindowPoints(const char*, std::span<Point>) override { Refuse(); }
    void Io(const char*, IORecord&) override { Refuse(); }
    void Font(const char*, FontDesc&) override { Refuse(); }
    void Text(const char*, std::u16string&) override { Refuse(); }
    void Skip(size_t) override { Refuse(); }
    void Record(const char*, IORecord&, bool) override { Refuse(); }

private:
    [[noreturn]] static void Refuse() {
        throw std::logic_error("field kind not stored by this walk");
    }
};

// Reads or writes fields straight in the archive stream, for the classes
// whose payload is a sequence of archive values rather than one block:
// numbers and colours as 32-bit integers, complete rectangles, archive
// strings.
class StreamFields final : public NarrowFieldVisitor {
public:
    explicit StreamFields(Archive& ar) : ar_(ar) {}

    void I32(const char*, int32_t& v) override { ar_.Int(v); }
    void Colour(const char*, Color& c) override {
        auto v = static_cast<int32_t>(c.ToColorRef());
        ar_.Int(v);
        if (ar_.IsLoading()) c = Color::FromColorRef(static_cast<uint32_t>(v));
    }
    void CanvasRect(const char*, Rect& r) override { ar_.Rectangle(r); }
    void Text(const char*, std::u16string& s) override { ar_.String(s); }

private:
    Archive& ar_;
};

}  // namespace velkor
