#pragma once
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <span>
#include <string>

#include "common/Color.h"
#include "common/Font.h"
#include "common/Geometry.h"
#include "devices/IORecord.h"

namespace velkor {

// A walk over the stored fields of a station object, in the order the object
// stores them. Each class lists its fields once, in `CADGraphic::Fields`; the
// walkers give that list its uses: reading and writing the class block (and
// its companion form), the JSON description of `velkor-cli dump`, and the
// property forms.
//
// `name` is the field's key in descriptions. A name ending in "[]" adds the
// value to a list under that key (three joint kinds stored one after the
// other are described as one list). A null name marks bytes kept for the
// file alone: they are stored but not described.
class FieldVisitor {
public:
    virtual ~FieldVisitor() = default;

    virtual void I32(const char* name, int32_t& v) = 0;
    virtual void U32(const char* name, uint32_t& v) = 0;
    virtual void U16(const char* name, uint16_t& v) = 0;
    virtual void U8(const char* name, uint8_t& v) = 0;
    virtual void F32(const char* name, float& v) = 0;
    virtual void Colour(const char* name, Color& c) = 0;
    // A point or rectangle stored as it is held, in canvas coordinates.
    virtual void CanvasPoint(const char* name, Point& p) = 0;
    virtual void CanvasRect(const char* name, Rect& r) = 0;
    // A point or rectangle kept relative to the object's window; the
    // companion file stores it in canvas coordinates.
    virtual void WindowPoint(const char* name, Point& p) = 0;
    virtual void WindowRect(const char* name, Rect& r) = 0;
    virtual void WindowPoints(const char* name, std::span<Point> pts) = 0;
    virtual void Io(const char* name, IORecord& r) = 0;
    virtual void Font(const char* name, FontDesc& f) = 0;
    // A text of the archive stream (a name of a composite object).
    virtual void Text(const char* name, std::u16string& text) = 0;
    // Reserved bytes of a block: they keep what they hold.
    virtual void Skip(size_t n) = 0;
    // An IO record stored after the block as a block of its own, in the
    // station file and, where `inCompanion`, in the companion file.
    virtual void Record(const char* name, IORecord& r, bool inCompanion) = 0;

    void Colours(const char* name, std::span<Color> colours) {
        for (Color& c : colours) Colour(name, c);
    }
    void Records(const char* name, std::span<IORecord> records) {
        for (IORecord& r : records) Record(name, r, true);
    }
};

// The 32-bit number field of that name an object lists, or nullptr: the
// forms find a flag such as "buttonValid" on the classes that store it.
int32_t* FindI32Field(class CADGraphic& obj, std::string_view name);

// The fields as JSON: numbers, [x, y] points, [left, top, right, bottom]
// rectangles, colours as COLORREF numbers, IO records as objects.
class JsonFields final : public FieldVisitor {
public:
    explicit JsonFields(nlohmann::json& out) : out_(out) {}

    void I32(const char* name, int32_t& v) override { Put(name, v); }
    void U32(const char* name, uint32_t& v) override { Put(name, v); }
    void U16(const char* name, uint16_t& v) override { Put(name, v); }
    void U8(const char* name, uint8_t& v) override { Put(name, v); }
    void F32(const char* name, float& v) override { Put(name, v); }
    void Colour(const char* name, Color& c) override { Put(name, c.ToColorRef()); }
    void CanvasPoint(const char* name, Point& p) override { Put(name, nlohmann::json{p.x, p.y}); }
    void CanvasRect(const char* name, Rect& r) override { Put(name, Rectangle(r)); }
    void WindowPoint(const char* name, Point& p) override { Put(name, nlohmann::json{p.x, p.y}); }
    void WindowRect(const char* name, Rect& r) override { Put(name, Rectangle(r)); }
    void WindowPoints(const char* name, std::span<Point> pts) override;
    void Io(const char* name, IORecord& r) override { Put(name, IoRecord(r)); }
    void Font(const char* name, FontDesc& f) override;
    void Text(const char* name, std::u16string& text) override;
    void Skip(size_t) override {}
    void Record(const char* name, IORecord& r, bool) override { Put(name, IoRecord(r)); }

    static nlohmann::json Rectangle(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
    static nlohmann::json IoRecord(const IORecord& r);

private:
    void Put(const char* name, nlohmann::json value);
    nlohmann::json& out_;
};

}  // namespace velkor
