#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/Bytes.h"
#include "common/Geometry.h"

namespace velkor {

// The four ways reading a station file can fail; all of them mean the file
// is not one the system can open.
enum class ArchiveErrorKind { EndOfFile, BadIndex, BadClass, BadSchema };

class ArchiveError : public StatusError {
public:
    explicit ArchiveError(ArchiveErrorKind kind);
    ArchiveErrorKind Kind() const { return kind_; }

private:
    ArchiveErrorKind kind_;
};

class ArchiveObject;

// What the owner of an archive tells the objects inside it (the station's
// settings while a station file is read or written).
class ArchiveContext {
public:
    virtual ~ArchiveContext() = default;
};

// What the archive knows of a class: its stored name, schema, the base the
// class declares (which may differ from the C++ base) and how to create an
// empty object of it. A class without a factory is known by name but cannot
// be read.
struct RuntimeClass {
    const char* name;
    uint16_t schema;
    const RuntimeClass* declaredBase;
    std::unique_ptr<ArchiveObject> (*factory)();

    bool IsDerivedFrom(const RuntimeClass& base) const;
};

class Archive;

// An object that can stand in an archive.
class ArchiveObject {
public:
    virtual ~ArchiveObject() = default;
    virtual const RuntimeClass& GetRuntimeClass() const = 0;
    // Writes or reads the payload; one field list for both directions.
    virtual void Serialize(Archive& ar) = 0;
};

// Class names the reader accepts, compared case-sensitively.
class ClassRegistry {
public:
    void Register(const RuntimeClass& cls);
    const RuntimeClass* Find(std::string_view name) const;
    const std::vector<const RuntimeClass*>& All() const { return order_; }

private:
    std::unordered_map<std::string, const RuntimeClass*> byName_;
    std::vector<const RuntimeClass*> order_;
};

// The object archive of a station file: a little-endian stream of primitive
// values, strings and object records, written and read in the same order.
// The same Serialize code drives both directions through the transfer
// operations, which write the value when storing and fill it when loading.
class Archive {
public:
    static constexpr uint16_t kNullTag = 0x0000;
    static constexpr uint16_t kNewClassTag = 0xFFFF;
    static constexpr uint16_t kClassTag = 0x8000;
    static constexpr uint16_t kBigObjectTag = 0x7FFF;
    static constexpr uint32_t kBigClassTag = 0x80000000u;
    static constexpr size_t kMaxClassNameLength = 64;

    Archive(ByteWriter& out, const ClassRegistry& registry);  // storing
    Archive(ByteReader& in, const ClassRegistry& registry);   // loading

    bool IsStoring() const { return out_ != nullptr; }
    bool IsLoading() const { return in_ != nullptr; }
    // Loading: the bytes not yet read, to check a stored count against.
    size_t Remaining() const { return in_ ? in_->Remaining() : 0; }

    // Transfers. A short read throws ArchiveError(EndOfFile).
    void Byte(uint8_t& v);
    void Word(uint16_t& v);
    void Int(int32_t& v);
    void UInt(uint32_t& v);
    void Rectangle(Rect& r);
    // A fixed-layout block. Loading copies what is there and returns the
    // number of bytes read, without failing on a short read.
    size_t Block(std::span<uint8_t> block);
    // A block that must be complete: a short read is an end-of-file error.
    void CheckedBlock(std::span<uint8_t> block);
    void String(std::u16string& s);

    // Storing: the string in the wide form every station file uses.
    void WriteString(std::u16string_view s);
    // Loading: a wide string or a narrow GBK string of an older file.
    std::u16string ReadString();

    // Storing: the tag, the class record where the class is new, the payload.
    void WriteObject(const ArchiveObject* obj);
    // Loading: resolves the tag. A new object is created, handed to `created`
    // and returned; a back-reference returns the earlier object and leaves
    // `created` empty; the null object returns nullptr.
    ArchiveObject* ReadObject(const RuntimeClass& expected,
                              std::unique_ptr<ArchiveObject>& created);

    const ArchiveContext* Context() const { return context_; }
    void SetContext(const ArchiveContext* context) { context_ = context; }

    // The companion file being written beside the station file, while saving.
    ByteWriter* Companion() const { return companion_; }
    void SetCompanion(ByteWriter* companion) { companion_ = companion; }

private:
    template <typename F>
    auto Checked(F f) -> decltype(f());
    uint32_t NextIndex();
    void WriteClassTag(const RuntimeClass& cls);

    ByteWriter* out_ = nullptr;
    ByteReader* in_ = nullptr;
    const ClassRegistry& registry_;
    ByteWriter* companion_ = nullptr;
    const ArchiveContext* context_ = nullptr;

    // The shared index counter: index 0 is the null object.
    uint32_t nextIndex_ = 1;
    // Storing side.
    std::unordered_map<const RuntimeClass*, uint32_t> storedClasses_;
    std::unordered_map<const ArchiveObject*, uint32_t> storedObjects_;
    // Loading side: entry i is the class or the object that took index i.
    struct Loaded {
        const RuntimeClass* cls = nullptr;
        ArchiveObject* obj = nullptr;
    };
    std::vector<Loaded> loaded_;
};

}  // namespace velkor
