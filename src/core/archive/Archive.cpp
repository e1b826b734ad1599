#include "archive/Archive.h"

#include "common/Text.h"

namespace velkor {

ArchiveError::ArchiveError(ArchiveErrorKind kind)
    : StatusError(Status::Damaged([kind] {
          switch (kind) {
              case ArchiveErrorKind::EndOfFile:
                  return "unexpected end of archive";
              case ArchiveErrorKind::BadIndex:
                  return "bad object index in archive";
              case ArchiveErrorKind::BadClass:
                  return "unexpected class in archive";
              case ArchiveErrorKind::BadSchema:
                  return "unexpected schema in archive";
          }
          return "archive error";
      }())),
      kind_(kind) {}

bool RuntimeClass::IsDerivedFrom(const RuntimeClass& base) const {
    for (const RuntimeClass* c = this; c; c = c->declaredBase) {
        if (c == &base) return true;
    }
    return false;
}

void ClassRegistry::Register(const RuntimeClass& cls) {
    if (byName_.emplace(cls.name, &cls).second) order_.push_back(&cls);
}

const RuntimeClass* ClassRegistry::Find(std::string_view name) const {
    auto it = byName_.find(std::string(name));
    return it == byName_.end() ? nullptr : it->second;
}

Archive::Archive(ByteWriter& out, const ClassRegistry& registry)
    : out_(&out), registry_(registry) {}

Archive::Archive(ByteReader& in, const ClassRegistry& registry) : in_(&in), registry_(registry) {
    loaded_.resize(1);  // index 0: the null object
}

template <typename F>
auto Archive::Checked(F f) -> decltype(f()) {
    try {
        return f();
    } catch (const ShortReadError&) {
        throw ArchiveError(ArchiveErrorKind::EndOfFile);
    }
}

void Archive::Byte(uint8_t& v) {
    if (IsStoring()) {
        out_->U8(v);
    } else {
        v = Checked([&] { return in_->U8(); });
    }
}

void Archive::Word(uint16_t& v) {
    if (IsStoring()) {
        out_->U16(v);
    } else {
        v = Checked([&] { return in_->U16(); });
    }
}

void Archive::Int(int32_t& v) {
    if (IsStoring()) {
        out_->I32(v);
    } else {
        v = Checked([&] { return in_->I32(); });
    }
}

void Archive::UInt(uint32_t& v) {
    if (IsStoring()) {
        out_->U32(v);
    } else {
        v = Checked([&] { return in_->U32(); });
    }
}

void Archive::Rectangle(Rect& r) {
    Int(r.left);
    Int(r.top);
    Int(r.right);
    Int(r.bottom);
}

size_t Archive::Block(std::span<uint8_t> block) {
    if (IsStoring()) {
        out_->Bytes(block);
        return block.size();
    }
    return in_->BytesUpTo(block.data(), block.size());
}

void Archive::CheckedBlock(std::span<uint8_t> block) {
    if (IsStoring()) {
        out_->Bytes(block);
    } else {
        Checked([&] { in_->Bytes(block.data(), block.size()); });
    }
}

void Archive::String(std::u16string& s) {
    if (IsStoring()) {
        WriteString(s);
    } else {
        s = ReadString();
    }
}

void Archive::WriteString(std::u16string_view s) {
    // Wide-string marker, then the length in the shortest of the three forms.
    out_->U8(0xFF);
    out_->U16(0xFFFE);
    const uint64_t len = s.size();
    if (len < 0xFF) {
        out_->U8(static_cast<uint8_t>(len));
    } else if (len < 0xFFFE) {
        out_->U8(0xFF);
        out_->U16(static_cast<uint16_t>(len));
    } else {
        out_->U8(0xFF);
        out_->U16(0xFFFF);
        out_->U32(static_cast<uint32_t>(len));
    }
    for (char16_t c : s) out_->U16(c);
}

std::u16string Archive::ReadString() {
    return Checked([&] {
        bool wide = false;
        uint64_t len = 0;
        const uint8_t first = in_->U8();
        if (first < 0xFF) {
            len = first;  // narrow string of an older file
        } else {
            uint16_t w = in_->U16();
            bool haveLength = false;
            if (w == 0xFFFE) {
                wide = true;
                const uint8_t b = in_->U8();
                if (b < 0xFF) {
                    len = b;
                    haveLength = true;
                } else {
                    w = in_->U16();
                }
            }
            if (!haveLength) {
                if (w < 0xFFFF) {
                    len = w;
                } else {
                    const uint32_t d = in_->U32();
                    len = d < 0xFFFFFFFFu ? d : in_->U64();
                }
            }
        }
        // Never trust a length: it must fit in what is left of the file.
        const uint64_t bytes = wide ? len * 2 : len;
        if ((wide && len > (uint64_t{1} << 62)) || bytes > in_->Remaining()) {
            throw ShortReadError();
        }
        auto raw = in_->Take(static_cast<size_t>(bytes));
        if (!wide) {
            return FromGbk(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
        }
        std::u16string s(static_cast<size_t>(len), u'\0');
        for (size_t i = 0; i < s.size(); ++i) s[i] = GetU16LE(raw.data() + 2 * i);
        return s;
    });
}

uint32_t Archive::NextIndex() {
    if (nextIndex_ >= kBigClassTag - 1) throw ArchiveError(ArchiveErrorKind::BadIndex);
    return nextIndex_++;
}

void Archive::WriteClassTag(const RuntimeClass& cls) {
    auto it = storedClasses_.find(&cls);
    if (it != storedClasses_.end()) {
        const uint32_t k = it->second;
        if (k < kBigObjectTag) {
            out_->U16(static_cast<uint16_t>(kClassTag | k));
        } else {
            out_->U16(kBigObjectTag);
            out_->U32(kBigClassTag | k);
        }
        return;
    }
    out_->U16(kNewClassTag);
    out_->U16(cls.schema);
    const std::string_view name(cls.name);
    out_->U16(static_cast<uint16_t>(name.size()));
    out_->Bytes(name.data(), name.size());
    storedClasses_[&cls] = NextIndex();
}

void Archive::WriteObject(const ArchiveObject* obj) {
    if (obj == nullptr) {
        out_->U16(kNullTag);
        return;
    }
    auto it = storedObjects_.find(obj);
    if (it != storedObjects_.end()) {
        if (it->second < kBigObjectTag) {
            out_->U16(static_cast<uint16_t>(it->second));
        } else {
            out_->U16(kBigObjectTag);
            out_->U32(it->second);
        }
        return;
    }
    WriteClassTag(obj->GetRuntimeClass());
    storedObjects_[obj] = NextIndex();
    // Serialize is not const because the same code reads; storing never changes
    // the stored fields, only derived ones such as the label text.
    const_cast<ArchiveObject*>(obj)->Serialize(*this);
}

ArchiveObject* Archive::ReadObject(const RuntimeClass& expected,
                                   std::unique_ptr<ArchiveObject>& created) {
    created.reset();
    const uint16_t tag = Checked([&] { return in_->U16(); });
    bool isClass = false;
    uint32_t index = 0;
    const RuntimeClass* cls = nullptr;

    if (tag == kNewClassTag) {
        const uint16_t schema = Checked([&] { return in_->U16(); });
        const uint16_t nameLen = Checked([&] { return in_->U16(); });
        if (nameLen >= kMaxClassNameLength || nameLen > in_->Remaining()) {
            throw ArchiveError(ArchiveErrorKind::BadClass);
        }
        auto raw = in_->Take(nameLen);
        cls = registry_.Find(std::string_view(reinterpret_cast<const char*>(raw.data()), nameLen));
        if (cls == nullptr) throw ArchiveError(ArchiveErrorKind::BadClass);
        if (schema != cls->schema) throw ArchiveError(ArchiveErrorKind::BadSchema);
        NextIndex();
        loaded_.push_back({cls, nullptr});
    } else {
        if (tag == kBigObjectTag) {
            const uint32_t v = Checked([&] { return in_->U32(); });
            isClass = (v & kBigClassTag) != 0;
            index = v & ~kBigClassTag;
        } else {
            isClass = (tag & kClassTag) != 0;
            index = tag & ~kClassTag;
        }
        if (!isClass) {
            if (index == 0) return nullptr;
            if (index >= loaded_.size() || loaded_[index].obj == nullptr) {
                throw ArchiveError(ArchiveErrorKind::BadIndex);
            }
            ArchiveObject* earlier = loaded_[index].obj;
            if (!earlier->GetRuntimeClass().IsDerivedFrom(expected)) {
                throw ArchiveError(ArchiveErrorKind::BadClass);
            }
            return earlier;
        }
        if (index >= loaded_.size() || loaded_[index].cls == nullptr ||
            loaded_[index].obj != nullptr) {
            throw ArchiveError(ArchiveErrorKind::BadIndex);
        }
        cls = loaded_[index].cls;
    }

    if (!cls->IsDerivedFrom(expected) || cls->factory == nullptr) {
        throw ArchiveError(ArchiveErrorKind::BadClass);
    }
    created = cls->factory();
    NextIndex();
    loaded_.push_back({cls, created.get()});
    created->Serialize(*this);
    return created.get();
}

}  // namespace velkor
