#include "workbook/CompoundFile.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "common/Bytes.h"

namespace velkor {

namespace {

constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr uint32_t kEnd = 0xFFFFFFFE;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr size_t kSector = 512;
constexpr size_t kMini = 64;
constexpr size_t kCutoff = 4096;
constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

size_t Sectors(size_t bytes, size_t unit) { return (bytes + unit - 1) / unit; }

// Directory order: shorter names first, then by upper-cased code units.
bool NameLess(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        const char16_t x = (a[i] >= u'a' && a[i] <= u'z') ? a[i] - 32 : a[i];
        const char16_t y = (b[i] >= u'a' && b[i] <= u'z') ? b[i] - 32 : b[i];
        if (x != y) return x < y;
    }
    return false;
}

struct DirEntry {
    std::u16string name;
    uint8_t type = 2;  // 1 storage, 2 stream, 5 root
    uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    uint32_t start = kEnd;
    uint32_t size = 0;
};

// A balanced binary tree over the sorted entries [lo, hi); returns its root.
uint32_t BuildTree(std::vector<DirEntry>& entries, const std::vector<uint32_t>& sorted, size_t lo,
                   size_t hi) {
    if (lo >= hi) return kNoStream;
    const size_t mid = (lo + hi) / 2;
    DirEntry& e = entries[sorted[mid]];
    e.left = BuildTree(entries, sorted, lo, mid);
    e.right = BuildTree(entries, sorted, mid + 1, hi);
    return sorted[mid];
}

void PutEntry(std::vector<uint8_t>& out, const DirEntry* e) {
    uint8_t b[128] = {};
    if (e) {
        const size_t n = std::min<size_t>(e->name.size(), 31);
        for (size_t i = 0; i < n; ++i) PutU16LE(b + 2 * i, e->name[i]);
        PutU16LE(b + 64, static_cast<uint16_t>((n + 1) * 2));
        b[66] = e->type;
        b[67] = 1;  // black
        PutU32LE(b + 68, e->left);
        PutU32LE(b + 72, e->right);
        PutU32LE(b + 76, e->child);
        PutU32LE(b + 116, e->start);
        PutU32LE(b + 120, e->size);
    } else {
        PutU32LE(b + 68, kNoStream);
        PutU32LE(b + 72, kNoStream);
        PutU32LE(b + 76, kNoStream);
    }
    out.insert(out.end(), b, b + 128);
}

}  // namespace

std::vector<uint8_t> WriteCompoundFile(const std::vector<CompoundStream>& streams) {
    std::vector<CompoundPieces> pieces(streams.size());
    for (size_t i = 0; i < streams.size(); ++i) {
        pieces[i].name = streams[i].name;
        pieces[i].pieces.emplace_back(streams[i].data);
    }
    return WriteCompoundFile(pieces);
}

std::vector<uint8_t> WriteCompoundFile(const std::vector<CompoundPieces>& streams) {
    const auto sizeOf = [](const CompoundPieces& st) {
        size_t n = 0;
        for (const auto& piece : st.pieces) n += piece.size();
        return n;
    };
    std::vector<DirEntry> entries(1 + streams.size());
    entries[0].name = u"Root Entry";
    entries[0].type = 5;

    // Big streams take whole sectors; small ones share the mini stream. The
    // file is built in one buffer: the header sector, then sector 0 onwards,
    // so that a stream of many megabytes is copied once.
    size_t total = kSector;
    for (const auto& st : streams) total += (sizeOf(st) / kSector + 2) * kSector;
    std::vector<uint8_t> sectors(kSector,
                                 0);  // the header, then the data sectors and the mini container
    sectors.reserve(total + total / 64 + 4 * kSector);
    const auto padTo = [&](size_t sectorCount) {
        sectors.resize(kSector + sectorCount * kSector, 0);
    };
    std::vector<uint32_t> fat;
    std::vector<uint8_t> mini;
    std::vector<uint32_t> miniFat;
    const auto chain = [](std::vector<uint32_t>& table, size_t first, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            table.push_back(i + 1 < count ? static_cast<uint32_t>(first + i + 1) : kEnd);
        }
    };
    for (size_t i = 0; i < streams.size(); ++i) {
        DirEntry& e = entries[i + 1];
        e.name = streams[i].name;
        const size_t size = sizeOf(streams[i]);
        e.size = static_cast<uint32_t>(size);
        if (size == 0) continue;
        const bool small = size < kCutoff;
        std::vector<uint8_t>& into = small ? mini : sectors;
        for (const auto& piece : streams[i].pieces)
            into.insert(into.end(), piece.begin(), piece.end());
        if (small) {
            e.start = static_cast<uint32_t>(miniFat.size());
            chain(miniFat, miniFat.size(), Sectors(size, kMini));
            mini.resize(miniFat.size() * kMini, 0);
        } else {
            e.start = static_cast<uint32_t>(fat.size());
            chain(fat, fat.size(), Sectors(size, kSector));
            padTo(fat.size());
        }
    }
    if (!mini.empty()) {
        const size_t n = Sectors(mini.size(), kSector);
        entries[0].start = static_cast<uint32_t>(fat.size());
        entries[0].size = static_cast<uint32_t>(mini.size());
        chain(fat, fat.size(), n);
        sectors.insert(sectors.end(), mini.begin(), mini.end());
        padTo(fat.size());
    }
    uint32_t miniFatStart = kEnd;
    const size_t miniFatSectors = Sectors(miniFat.size() * 4, kSector);
    if (miniFatSectors) {
        miniFatStart = static_cast<uint32_t>(fat.size());
        std::vector<uint8_t> bytes(miniFatSectors * kSector, 0xFF);
        for (size_t i = 0; i < miniFat.size(); ++i) PutU32LE(bytes.data() + 4 * i, miniFat[i]);
        chain(fat, fat.size(), miniFatSectors);
        sectors.insert(sectors.end(), bytes.begin(), bytes.end());
    }
    std::vector<uint32_t> order;
    for (uint32_t i = 1; i < entries.size(); ++i) order.push_back(i);
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return NameLess(entries[a].name, entries[b].name); });
    entries[0].child = BuildTree(entries, order, 0, order.size());
    std::vector<uint8_t> dir;
    for (const DirEntry& e : entries) PutEntry(dir, &e);
    while (dir.size() % kSector) PutEntry(dir, nullptr);
    const uint32_t dirStart = static_cast<uint32_t>(fat.size());
    chain(fat, fat.size(), dir.size() / kSector);
    sectors.insert(sectors.end(), dir.begin(), dir.end());

    // The allocation table covers every sector, its own and the DIFAT's too.
    size_t fatSectors = 0, difatSectors = 0;
    for (;;) {
        const size_t total = fat.size() + fatSectors + difatSectors;
        const size_t needFat = Sectors(total * 4, kSector);
        const size_t needDifat = needFat > 109 ? Sectors(needFat - 109, 127) : 0;
        if (needFat == fatSectors && needDifat == difatSectors) break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const uint32_t fatStart = static_cast<uint32_t>(fat.size());
    for (size_t i = 0; i < fatSectors; ++i) fat.push_back(kFatSect);
    const uint32_t difatStart = static_cast<uint32_t>(fat.size());
    for (size_t i = 0; i < difatSectors; ++i) fat.push_back(kDifSect);
    std::vector<uint8_t> fatBytes(fatSectors * kSector, 0xFF);
    for (size_t i = 0; i < fat.size(); ++i) PutU32LE(fatBytes.data() + 4 * i, fat[i]);
    std::vector<uint8_t> difat(difatSectors * kSector, 0xFF);
    for (size_t i = 109; i < fatSectors; ++i) {
        const size_t k = i - 109;
        PutU32LE(difat.data() + (k / 127) * kSector + 4 * (k % 127),
                 fatStart + static_cast<uint32_t>(i));
    }
    for (size_t s = 0; s < difatSectors; ++s) {
        PutU32LE(difat.data() + s * kSector + 508,
                 s + 1 < difatSectors ? difatStart + static_cast<uint32_t>(s + 1) : kEnd);
    }

    std::vector<uint8_t> out = std::move(sectors);
    uint8_t* h = out.data();
    std::memcpy(h, kSignature, 8);
    PutU16LE(h + 24, 0x003E);
    PutU16LE(h + 26, 0x0003);
    PutU16LE(h + 28, 0xFFFE);
    PutU16LE(h + 30, 9);
    PutU16LE(h + 32, 6);
    PutU32LE(h + 44, static_cast<uint32_t>(fatSectors));
    PutU32LE(h + 48, dirStart);
    PutU32LE(h + 56, kCutoff);
    PutU32LE(h + 60, miniFatStart);
    PutU32LE(h + 64, static_cast<uint32_t>(miniFatSectors));
    PutU32LE(h + 68, difatSectors ? difatStart : kEnd);
    PutU32LE(h + 72, static_cast<uint32_t>(difatSectors));
    for (size_t i = 0; i < 109; ++i) {
        PutU32LE(h + 76 + 4 * i, i < fatSectors ? fatStart + static_cast<uint32_t>(i) : kFree);
    }
    out.insert(out.end(), fatBytes.begin(), fatBytes.end());
    out.insert(out.end(), difat.begin(), difat.end());
    return out;
}

std::optional<std::vector<CompoundStream>> ReadCompoundFile(std::span<const uint8_t> file,
                                                            Status* status) {
    const auto fail = [status](const char* why) -> std::optional<std::vector<CompoundStream>> {
        if (status) *status = Status::Damaged(why);
        return std::nullopt;
    };
    if (file.size() < kSector || std::memcmp(file.data(), kSignature, 8) != 0) {
        return fail("not a compound file");
    }
    const uint8_t* h = file.data();
    const uint16_t shift = GetU16LE(h + 30);
    if (shift != 9 && shift != 12) return fail("unsupported sector size");
    const size_t sector = size_t{1} << shift;
    const size_t sectorCount = (file.size() - sector + sector - 1) / sector;
    const auto sectorData = [&](uint32_t s) -> std::span<const uint8_t> {
        const size_t off = (size_t{s} + 1) * sector;
        if (s >= sectorCount || off >= file.size()) return {};
        return file.subspan(off, std::min(sector, file.size() - off));
    };
    // The allocation table from the header's DIFAT and the DIFAT chain.
    std::vector<uint32_t> fatSectors;
    for (size_t i = 0; i < 109; ++i) {
        const uint32_t s = GetU32LE(h + 76 + 4 * i);
        if (s < kDifSect) fatSectors.push_back(s);
    }
    uint32_t difat = GetU32LE(h + 68);
    for (size_t guard = 0; difat < kDifSect; ++guard) {
        if (guard > sectorCount) return fail("loop in the DIFAT chain");
        auto d = sectorData(difat);
        if (d.size() < sector) return fail("DIFAT sector outside the file");
        for (size_t i = 0; i + 4 < sector; i += 4) {
            const uint32_t s = GetU32LE(d.data() + i);
            if (s < kDifSect) fatSectors.push_back(s);
        }
        difat = GetU32LE(d.data() + sector - 4);
    }
    if (fatSectors.size() > sectorCount) return fail("allocation table larger than the file");
    std::vector<uint32_t> fat;
    for (uint32_t s : fatSectors) {
        auto d = sectorData(s);
        if (d.size() < sector) return fail("allocation sector outside the file");
        for (size_t i = 0; i < sector; i += 4) fat.push_back(GetU32LE(d.data() + i));
    }
    // A chain of sectors, refusing loops and sectors outside the file.
    const auto readChain = [&](uint32_t start, const std::vector<uint32_t>& table, size_t unit,
                               const std::function<std::span<const uint8_t>(uint32_t)>& data,
                               size_t limit, std::vector<uint8_t>& out) -> bool {
        std::vector<bool> seen(table.size(), false);
        for (uint32_t s = start; s != kEnd;) {
            if (s >= table.size() || seen[s]) return false;
            seen[s] = true;
            auto d = data(s);
            if (d.size() < unit && out.size() + d.size() < limit) return false;
            out.insert(out.end(), d.begin(), d.end());
            if (out.size() >= limit) break;
            s = table[s];
        }
        return true;
    };
    std::vector<uint8_t> dir;
    if (!readChain(GetU32LE(h + 48), fat, sector, sectorData, SIZE_MAX, dir)) {
        return fail("bad directory chain");
    }
    if (dir.size() < 128) return fail("no root entry");
    const auto entryAt = [&](size_t i) { return dir.data() + 128 * i; };
    const size_t entryCount = dir.size() / 128;
    // The mini stream lives in the root entry's chain.
    std::vector<uint8_t> ministream;
    const uint8_t* root = entryAt(0);
    if (root[66] != 5) return fail("no root entry");
    const uint32_t rootSize = GetU32LE(root + 120);
    if (rootSize > file.size()) return fail("mini stream larger than the file");
    if (rootSize &&
        !readChain(GetU32LE(root + 116), fat, sector, sectorData, rootSize, ministream)) {
        return fail("bad mini stream chain");
    }
    std::vector<uint8_t> miniFatBytes;
    const uint32_t miniFatStart = GetU32LE(h + 60);
    if (miniFatStart < kDifSect &&
        !readChain(miniFatStart, fat, sector, sectorData, SIZE_MAX, miniFatBytes)) {
        return fail("bad mini allocation chain");
    }
    std::vector<uint32_t> miniFat;
    for (size_t i = 0; i + 4 <= miniFatBytes.size(); i += 4)
        miniFat.push_back(GetU32LE(&miniFatBytes[i]));
    const auto miniData = [&](uint32_t s) -> std::span<const uint8_t> {
        const size_t off = size_t{s} * kMini;
        if (off >= ministream.size()) return {};
        return std::span<const uint8_t>(ministream)
            .subspan(off, std::min(kMini, ministream.size() - off));
    };
    const uint32_t cutoff = GetU32LE(h + 56);
    std::vector<CompoundStream> streams;
    for (size_t i = 1; i < entryCount; ++i) {
        const uint8_t* e = entryAt(i);
        if (e[66] != 2) continue;
        const uint16_t nameBytes = std::min<uint16_t>(GetU16LE(e + 64), 64);
        std::u16string name;
        for (size_t k = 0; k + 2 < nameBytes + 0u && k < 62; k += 2)
            name.push_back(GetU16LE(e + k));
        const uint32_t size = GetU32LE(e + 120);
        if (size > file.size()) return fail("stream larger than the file");
        CompoundStream s{name, {}};
        const uint32_t start = GetU32LE(e + 116);
        const bool ok = size < cutoff ? readChain(start, miniFat, kMini, miniData, size, s.data)
                                      : readChain(start, fat, sector, sectorData, size, s.data);
        if (size && !ok) return fail("bad stream chain");
        if (s.data.size() < size) return fail("stream cut short");
        s.data.resize(size);
        streams.push_back(std::move(s));
    }
    return streams;
}

}  // namespace velkor
