#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

namespace velkor {

// Integer keys to values for a run of many lookups over a whole station,
// the counterpart of NameIndex for numbers: the slots lie in one array
// (open addressing), so a lookup touches a cache line or two instead of a
// chain of separately allocated nodes. Insert keeps the first value of a
// key, as a walk in order finds the first match.
template <class K, class V>
class NumberIndex {
    static_assert(std::is_integral_v<K>);

public:
    // False, and the index unchanged, when the key is already there.
    bool Insert(K key, V value) {
        if ((size_ + 1) * 3 > slots_.size() * 2) Rehash(std::max<size_t>(16, 3 * size_ + 3));
        Slot& s = slots_[Probe(key)];
        if (s.used) return false;
        s.key = key;
        s.used = true;
        s.value = std::move(value);
        ++size_;
        return true;
    }

    const V* Find(K key) const {
        if (slots_.empty()) return nullptr;
        const Slot& s = slots_[Probe(key)];
        return s.used ? &s.value : nullptr;
    }

    size_t size() const { return size_; }

private:
    struct Slot {
        K key{};
        bool used = false;
        V value{};
    };

    // The home slot: the key mixed and scaled to the slot count.
    size_t Home(K key) const {
        const uint64_t h = static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(((h >> 32) * slots_.size()) >> 32);
    }

    // The slot holding `key`, or the empty slot where it would go.
    size_t Probe(K key) const {
        for (size_t at = Home(key);; at = at + 1 == slots_.size() ? 0 : at + 1) {
            const Slot& s = slots_[at];
            if (!s.used || s.key == key) return at;
        }
    }

    void Rehash(size_t capacity) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(capacity, Slot{});
        for (Slot& s : old) {
            if (s.used) slots_[Probe(s.key)] = std::move(s);
        }
    }

    std::vector<Slot> slots_;
    size_t size_ = 0;
};

}  // namespace velkor
