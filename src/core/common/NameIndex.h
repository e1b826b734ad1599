#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace velkor {

// Names to values for a run of many lookups over a whole station. The names
// lie one after another in one buffer and the slots in one array (open
// addressing), so a lookup touches a few cache lines instead of a chain of
// separately allocated nodes: on a large station the lookups stay as cheap
// per device as on a small one. Insert keeps the first value of a name, as
// a walk in order finds the first match. Names are UTF-16, or bytes as a
// table stores them (Char = char).
template <class V, class Char = char16_t>
class NameIndex {
    static_assert(!std::is_same_v<V, bool>, "std::vector<bool> hands out no pointers");
    using View = std::basic_string_view<Char>;

public:
    void Reserve(size_t names) {
        ends_.reserve(names + 1);
        values_.reserve(names);
        if (names * 3 > slots_.size() * 2) Rehash(Capacity(names));
    }

    // False, and the index unchanged, when the name is already there.
    bool Insert(View name, V value = V{}) {
        if ((values_.size() + 1) * 3 > slots_.size() * 2) Rehash(Capacity(2 * values_.size() + 1));
        const uint32_t hash = Hash(name);
        size_t at = Probe(name, hash);
        if (slots_[at].entry != 0) return false;
        slots_[at] = {hash, static_cast<uint32_t>(values_.size() + 1)};
        text_.append(name);
        ends_.push_back(static_cast<uint32_t>(text_.size()));
        values_.push_back(std::move(value));
        return true;
    }

    const V* Find(View name) const {
        if (slots_.empty()) return nullptr;
        const Slot& s = slots_[Probe(name, Hash(name))];
        return s.entry == 0 ? nullptr : &values_[s.entry - 1];
    }

    // Where the next lookups are likely to be answered: just after the
    // names the last lookups found. Walks over a drawing ask for names in
    // about the order the tables list them, as the tables are made from
    // the drawing; a lookup so answered touches the names just after the
    // last ones found instead of a random slot, which on a large station
    // is a cache miss saved per lookup. A few walks may interleave (one per
    // table). A guess counts only when its name is the name asked, so the
    // answer is always the one Find without a cursor gives.
    struct Cursor {
        std::array<uint32_t, 4> next{};  // entries (from 1) to try first
        uint32_t round = 0;              // the one to replace next
    };

    const V* Find(View name, Cursor& cursor) const {
        for (uint32_t& next : cursor.next) {
            if (next != 0 && next <= values_.size() && Name(next) == name) {
                return &values_[next++ - 1];
            }
        }
        if (slots_.empty()) return nullptr;
        const Slot& s = slots_[Probe(name, Hash(name))];
        if (s.entry == 0) return nullptr;
        cursor.next[cursor.round++ % cursor.next.size()] = s.entry + 1;
        return &values_[s.entry - 1];
    }

    V* Find(View name) { return const_cast<V*>(static_cast<const NameIndex*>(this)->Find(name)); }

    size_t size() const { return values_.size(); }

private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t entry = 0;  // 0: empty; else the name's number + 1
    };

    // Room for `names` at two thirds full. The slot count grows with the
    // names themselves, not in powers of two, so that the slots of a large
    // station stay as few as they can be and within the processor's caches.
    static size_t Capacity(size_t names) { return std::max<size_t>(16, names + names / 2 + 1); }

    static uint32_t Hash(View name) {
        uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a over the units
        for (Char c : name) h = (h ^ static_cast<std::make_unsigned_t<Char>>(c)) * 0x100000001b3ull;
        h ^= h >> 33;  // and a finishing mix: the home slot comes from the high bits
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        return static_cast<uint32_t>(h);
    }

    // The first slot to look at for a hash: the hash scaled to the slot count.
    size_t Home(uint32_t hash) const {
        return static_cast<size_t>((static_cast<uint64_t>(hash) * slots_.size()) >> 32);
    }
    size_t Next(size_t at) const { return at + 1 == slots_.size() ? 0 : at + 1; }

    View Name(uint32_t entry) const {
        const size_t begin = entry == 1 ? 0 : ends_[entry - 2];
        return View(text_).substr(begin, ends_[entry - 1] - begin);
    }

    // The slot holding `name`, or the empty slot where it would go.
    size_t Probe(View name, uint32_t hash) const {
        for (size_t at = Home(hash);; at = Next(at)) {
            const Slot& s = slots_[at];
            if (s.entry == 0 || (s.hash == hash && Name(s.entry) == name)) return at;
        }
    }

    void Rehash(size_t capacity) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(capacity, Slot{});
        for (const Slot& s : old) {
            if (s.entry == 0) continue;
            size_t at = Home(s.hash);
            while (slots_[at].entry != 0) at = Next(at);
            slots_[at] = s;
        }
    }

    std::vector<Slot> slots_;
    std::basic_string<Char> text_;  // every name, one after another
    std::vector<uint32_t> ends_;    // the end of name k in text_ at k
    std::vector<V> values_;
};

// A set of names: an index whose values say nothing.
struct NoValue {};
using NameSet = NameIndex<NoValue>;

}  // namespace velkor
