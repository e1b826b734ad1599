#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

#include "common/Bytes.h"
#include "common/Text.h"
#include "workbook/CompoundFile.h"
#include "workbook/Workbook.h"

namespace velkor {

std::u16string CellText(const WorkbookCell& cell) {
    char buf[128];
    switch (cell.kind) {
        case WorkbookCell::Kind::Text:
            return cell.text;
        case WorkbookCell::Kind::Blank:
            return {};
        case WorkbookCell::Kind::Number:
        case WorkbookCell::Kind::Boolean:
            std::snprintf(buf, sizeof buf, "%.0f", cell.number);
            return FromUtf8(buf);
        case WorkbookCell::Kind::Date: {
            // Days since 1899-12-30 (the spreadsheet epoch, leap-year quirk included).
            const double days = std::floor(cell.number);
            const long seconds = std::lround((cell.number - days) * 86400.0);
            // Days from 1970-01-01, then the civil date of that day.
            const long z = static_cast<long>(days) - 25569 + 719468;
            const long era = (z >= 0 ? z : z - 146096) / 146097;
            const long doe = z - era * 146097;
            const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
            const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
            const long mp = (5 * doy + 2) / 153;
            const long d = doy - (153 * mp + 2) / 5 + 1;
            const long m = mp < 10 ? mp + 3 : mp - 9;
            const long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
            std::snprintf(buf, sizeof buf, "%ld-%ld-%ld %ld:%ld:%ld", y, m, d, seconds / 3600,
                          (seconds / 60) % 60, seconds % 60);
            return FromUtf8(buf);
        }
    }
    return {};
}

namespace {

// Record numbers.
constexpr uint16_t kBOF = 0x0809, kEOF = 0x000A, kCODEPAGE = 0x0042, kWINDOW1 = 0x003D,
                   kFONT = 0x0031, kXF = 0x00E0, kSTYLE = 0x0293, kBOUNDSHEET = 0x0085,
                   kSST = 0x00FC, kCONTINUE = 0x003C, kDIMENSIONS = 0x0200, kCOLINFO = 0x007D,
                   kROW = 0x0208, kLABELSST = 0x00FD, kNUMBER = 0x0203, kWINDOW2 = 0x023E,
                   kLABEL = 0x0204, kRK = 0x027E, kMULRK = 0x00BD, kBOOLERR = 0x0205,
                   kFORMULA = 0x0006, kSTRING = 0x0207, kFORMAT = 0x041E, kBLANK = 0x0201,
                   kMULBLANK = 0x00BE, kMERGEDCELLS = 0x00E5, kDATEMODE = 0x0022;
constexpr size_t kMaxBody = 8224;

// Records of the globals that belong to the cell formats and are kept with
// them: styles, palette, the format extensions of later Excel versions.
bool IsStyleRecord(uint16_t type) {
    switch (type) {
        case 0x0293:  // STYLE
        case 0x0892:  // STYLEEXT
        case 0x0092:  // PALETTE
        case 0x087C:  // XFCRC
        case 0x087D:  // XFEXT
        case 0x088D:  // DXF
        case 0x088E:  // TABLESTYLES
        case 0x088F:  // TABLESTYLE
        case 0x0890:  // TABLESTYLEELEMENT
            return true;
        default:
            return false;
    }
}

// Sheet records that settle how the sheet is printed and shown and refer to
// nothing else in the file, so they can be written back as they were read.
bool IsSheetSettingBefore(uint16_t type) {
    switch (type) {
        case 0x000D:
        case 0x000C:
        case 0x000F:
        case 0x0011:
        case 0x0010:
        case 0x005F:  // calculation
        case 0x002A:
        case 0x002B:
        case 0x0082:
        case 0x0080:  // headings, gridlines, outline gutters
        case 0x0225:
        case 0x0081:
        case 0x0055:
        case 0x0099:  // default row height, WSBOOL, widths
        case 0x001B:
        case 0x001A:  // page breaks
        case 0x0014:
        case 0x0015:
        case 0x0083:
        case 0x0084:  // header, footer, centring
        case 0x0026:
        case 0x0027:
        case 0x0028:
        case 0x0029:  // margins
        case 0x00A1:  // page setup
        case 0x0012:
        case 0x0013:
        case 0x0063:
        case 0x00DD:  // protection
            return true;
        default:
            return false;
    }
}

bool IsSheetSettingAfter(uint16_t type) {
    return type == kWINDOW2 || type == 0x00A0 /* SCL */ || type == 0x0041 /* PANE */ ||
           type == 0x001D /* SELECTION */;
}

void Record(ByteWriter& w, uint16_t type, const std::vector<uint8_t>& body) {
    w.U16(type);
    w.U16(static_cast<uint16_t>(body.size()));
    w.Bytes(body);
}

struct Body {
    ByteWriter w;
    Body& U8(uint8_t v) {
        w.U8(v);
        return *this;
    }
    Body& U16(uint16_t v) {
        w.U16(v);
        return *this;
    }
    Body& U32(uint32_t v) {
        w.U32(v);
        return *this;
    }
    // A short Unicode string: count byte, flags byte 1, UTF-16 characters.
    Body& Short(const std::u16string& s) {
        w.U8(static_cast<uint8_t>(s.size()));
        w.U8(1);
        for (char16_t c : s) w.U16(c);
        return *this;
    }
    const std::vector<uint8_t>& Data() const { return w.Data(); }
};

std::vector<uint8_t> Bof(uint16_t type) {
    Body b;
    b.U16(0x0600).U16(type).U16(0x0DBB).U16(0x07CC).U32(0).U32(0x06);
    return b.Data();
}

std::vector<uint8_t> Font(bool bold) {
    Body b;
    b.U16(200).U16(0).U16(0x7FFF).U16(bold ? 700 : 400).U16(0).U8(0).U8(0).U8(134).U8(0);
    b.Short(u"宋体");
    return b.Data();
}

std::vector<uint8_t> Xf(uint16_t font, uint16_t format, bool style, uint8_t align) {
    Body b;
    b.U16(font).U16(format).U16(style ? 0xFFF5 : 0x0001).U8(align).U8(0).U8(0);
    b.U8(style ? 0x00 : 0xF8);  // which attributes the cell sets itself
    b.U32(0).U32(0).U16(0x20C0);
    return b.Data();
}

// Which cell format each kind of written cell takes.
struct XfPlan {
    uint16_t normal = 15, bold = 16, vcenter = 17, date = 18;
    size_t count = 19;  // formats in the file; a cell's own format must be below this
    // A workbook read from a file gets the writer's three formats behind its
    // own only when a cell needs one, so that opening and saving it again
    // and again does not make it grow.
    uint16_t extrasFrom = 0;  // 0: the writer's own set
    bool extrasUsed = false;
};

constexpr uint16_t kDateFormat = 22;  // built-in "m/d/yy h:mm"

XfPlan PlanFormats(const Workbook& book) {
    XfPlan plan;
    if (!book.formats) return plan;
    const auto base = static_cast<uint16_t>(book.formats->xfs.size());
    plan.bold = base;
    plan.vcenter = static_cast<uint16_t>(base + 1);
    plan.date = static_cast<uint16_t>(base + 2);
    plan.count = base;
    plan.extrasFrom = base;
    return plan;
}

// The font, number-format, cell-format and style records of the globals:
// a workbook read from a file keeps its own (and gets the writer's behind
// them when its cells used them); a new one gets the writer's set.
void WriteFormats(ByteWriter& g, const Workbook& book, const XfPlan& plan) {
    if (!book.formats) {
        // Five fonts (index 4 is never used by readers), the sixth bold.
        for (int i = 0; i < 5; ++i) Record(g, kFONT, Font(false));
        Record(g, kFONT, Font(true));
        for (int i = 0; i < 15; ++i) Record(g, kXF, Xf(0, 0, true, 0x20));
        Record(g, kXF, Xf(0, 0, false, 0x20));            // 15: normal
        Record(g, kXF, Xf(6, 0, false, 0x10));            // 16: bold, vertically centred
        Record(g, kXF, Xf(0, 0, false, 0x10));            // 17: vertically centred
        Record(g, kXF, Xf(0, kDateFormat, false, 0x20));  // 18: date and time
        Record(g, kSTYLE, {0x00, 0x80, 0x00, 0xFF});
        return;
    }
    const WorkbookFormats& f = *book.formats;
    for (const auto& font : f.fonts) Record(g, kFONT, font);
    // Font index 4 does not exist: the fifth font record is index 5.
    const auto boldFont =
        static_cast<uint16_t>(f.fonts.size() < 4 ? f.fonts.size() : f.fonts.size() + 1);
    if (plan.extrasUsed) Record(g, kFONT, Font(true));
    for (const auto& r : f.numberFormats) Record(g, r.type, r.body);
    for (const auto& xf : f.xfs) Record(g, kXF, xf);
    if (plan.extrasUsed) {
        Record(g, kXF, Xf(boldFont, 0, false, 0x10));
        Record(g, kXF, Xf(0, 0, false, 0x10));
        Record(g, kXF, Xf(0, kDateFormat, false, 0x20));
    }
    for (const auto& r : f.rest) Record(g, r.type, r.body);
}

// The shared string table, split into CONTINUE records so that no body is
// longer than 8,224 bytes. A string cut at a record boundary goes on in the
// next record behind a fresh option-flags byte; its header is never cut.
void WriteSst(ByteWriter& out, const std::vector<std::u16string_view>& strings, uint32_t total) {
    std::vector<uint8_t>& w = out.Data();
    size_t recordAt = w.size();  // where the current record's header is
    const auto open = [&](uint16_t type) {
        recordAt = w.size();
        const uint8_t header[4] = {static_cast<uint8_t>(type), static_cast<uint8_t>(type >> 8), 0,
                                   0};
        w.insert(w.end(), header, header + 4);
    };
    const auto close = [&] {
        PutU16LE(w.data() + recordAt + 2, static_cast<uint16_t>(w.size() - recordAt - 4));
    };
    const auto room = [&] { return kMaxBody - (w.size() - recordAt - 4); };
    open(kSST);
    uint8_t counts[8];
    PutU32LE(counts, total);
    PutU32LE(counts + 4, static_cast<uint32_t>(strings.size()));
    w.insert(w.end(), counts, counts + 8);
    for (const std::u16string_view s : strings) {
        if (room() < 3 + 2) {  // header and one character together
            close();
            open(kCONTINUE);
        }
        const uint8_t header[3] = {static_cast<uint8_t>(s.size()),
                                   static_cast<uint8_t>(s.size() >> 8), 0x01};
        w.insert(w.end(), header, header + 3);
        size_t i = 0;
        while (i < s.size()) {
            if (room() < 2) {
                close();
                open(kCONTINUE);
                w.push_back(0x01);  // the continued string's flags again
            }
            const size_t n = std::min(s.size() - i, room() / 2);
            const size_t at = w.size();
            w.resize(at + 2 * n);
            for (size_t k = 0; k < n; ++k) PutU16LE(w.data() + at + 2 * k, s[i + k]);
            i += n;
        }
    }
    close();
}

uint16_t XfOf(const WorkbookCell& cell, XfPlan& plan) {
    uint16_t xf = plan.normal;
    if (cell.bold) {
        xf = plan.bold;
    } else if (cell.vcenter) {
        xf = plan.vcenter;
    } else if (cell.xf >= 0 && static_cast<size_t>(cell.xf) < plan.count) {
        return static_cast<uint16_t>(cell.xf);
    } else if (cell.kind == WorkbookCell::Kind::Date) {
        xf = plan.date;
    }
    if (plan.extrasFrom != 0 && xf >= plan.extrasFrom) plan.extrasUsed = true;
    return xf;
}

// One cell record, written straight into the stream: a workbook holds
// hundreds of thousands of them.
void WriteCell(std::vector<uint8_t>& w, uint16_t row, uint16_t col, const WorkbookCell& cell,
               uint16_t xf, uint32_t sstIndex) {
    uint8_t rec[4 + 14];
    uint16_t type = kLABELSST;
    size_t len = 6;
    PutU16LE(rec + 4, row);
    PutU16LE(rec + 6, col);
    PutU16LE(rec + 8, xf);
    switch (cell.kind) {
        case WorkbookCell::Kind::Text:
            PutU32LE(rec + 10, sstIndex);
            len += 4;
            break;
        case WorkbookCell::Kind::Blank:
            type = kBLANK;
            break;
        case WorkbookCell::Kind::Boolean:
            type = kBOOLERR;
            rec[10] = cell.number != 0 ? 1 : 0;
            rec[11] = 0;
            len += 2;
            break;
        case WorkbookCell::Kind::Number:
        case WorkbookCell::Kind::Date: {
            type = kNUMBER;
            uint64_t bits;
            std::memcpy(&bits, &cell.number, 8);
            for (int i = 0; i < 8; ++i) rec[10 + i] = static_cast<uint8_t>(bits >> (8 * i));
            len += 8;
            break;
        }
    }
    PutU16LE(rec, type);
    PutU16LE(rec + 2, static_cast<uint16_t>(len));
    w.insert(w.end(), rec, rec + 4 + len);
}

// The shared strings in order of first use; the texts stay in the book.
// A repeated text is found through a direct-mapped table of recent hashes
// rather than a full index: the format allows a text to appear twice in the
// table, so a text whose slot another text took is simply stored again,
// and the writer stays linear and cache-friendly on sheets of hundreds of
// thousands of distinct texts while the common repeats (是, 否, the device
// kinds) are still shared.
class SharedStrings {
public:
    // The table stays within about a megabyte so that it lives in the cache.
    explicit SharedStrings(size_t cells) {
        size_t n = 1 << 10;
        while (n < cells && n < (1u << 17)) n <<= 1;
        slots_.assign(n, Slot{});
    }
    static size_t Hash(std::u16string_view s) { return std::hash<std::u16string_view>{}(s); }
    // Asks for the slot of a text to come: on a large sheet each slot is a
    // cache miss, and asked for a few cells ahead they overlap.
    void Prefetch(size_t h) const { __builtin_prefetch(&slots_[h & (slots_.size() - 1)]); }
    // `h` is Hash(s).
    uint32_t Add(std::u16string_view s, size_t h) {
        ++total;
        Slot& slot = slots_[h & (slots_.size() - 1)];
        const auto tag = static_cast<uint32_t>(h >> 32);
        if (slot.indexPlusOne != 0 && slot.tag == tag && strings[slot.indexPlusOne - 1] == s) {
            return slot.indexPlusOne - 1;
        }
        strings.push_back(s);
        slot = {tag, static_cast<uint32_t>(strings.size())};
        return slot.indexPlusOne - 1;
    }
    std::vector<std::u16string_view> strings;
    uint32_t total = 0;

private:
    struct Slot {
        uint32_t tag = 0;
        uint32_t indexPlusOne = 0;  // 0: empty
    };
    std::vector<Slot> slots_;
};

// One sheet's substream, its cells walked once: a sheet may hold hundreds of
// thousands of them.
std::vector<uint8_t> SheetStream(const WorkbookSheet& sheet, bool first, XfPlan& plan,
                                 SharedStrings& sst) {
    ByteWriter w;
    w.Data().reserve(sheet.cells.size() * 18 + 1024);
    Record(w, kBOF, Bof(0x0010));
    for (const auto& r : sheet.settingsBefore) Record(w, r.type, r.body);
    // Columns in runs of equal attributes.
    for (auto it = sheet.columns.begin(); it != sheet.columns.end();) {
        const uint32_t firstCol = it->first;
        const WorkbookColumn c = it->second;
        uint32_t lastCol = firstCol;
        auto next = std::next(it);
        while (next != sheet.columns.end() && next->first == lastCol + 1 &&
               next->second.width == c.width && next->second.xf == c.xf &&
               next->second.options == c.options) {
            lastCol = next->first;
            ++next;
        }
        it = next;
        if (firstCol > 256) continue;
        Body b;
        b.U16(static_cast<uint16_t>(firstCol - 1))
            .U16(static_cast<uint16_t>(std::min<uint32_t>(lastCol, 256) - 1));
        b.U16(c.width).U16(c.xf).U16(c.options).U16(0);
        Record(w, kCOLINFO, b.Data());
    }
    // The used range is known only after the cells: the record is filled in then.
    const size_t dimensionsAt = w.Size() + 4;
    Record(w, kDIMENSIONS, std::vector<uint8_t>(14, 0));
    uint32_t rowMin = UINT32_MAX, rowMax = 0, colMin = UINT32_MAX, colMax = 0;

    // Rows in blocks of 32: the ROW records of a block, then its cells.
    const auto writeRows = [&](auto& row, uint32_t upTo) {
        for (; row != sheet.rows.end() && row->first <= upTo; ++row) {
            if (row->first > 65536) continue;
            uint16_t lo = 0, hi = 0;
            auto firstCell = sheet.cells.lower_bound({row->first, 0});
            if (firstCell != sheet.cells.end() && firstCell->first.first == row->first) {
                lo = static_cast<uint16_t>(firstCell->first.second - 1);
                auto last = std::prev(sheet.cells.lower_bound({row->first + 1, 0}));
                hi = static_cast<uint16_t>(last->first.second);
            }
            Body r;
            r.U16(static_cast<uint16_t>(row->first - 1)).U16(lo).U16(hi).U16(row->second.height);
            r.U16(0).U16(0).U16(row->second.options).U16(row->second.xfWord);
            Record(w, kROW, r.Data());
        }
    };
    auto row = sheet.rows.begin();
    uint32_t blockEnd = 0;
    // The hashes of the texts of the next cells, their slots asked for.
    constexpr size_t kAhead = 16;
    std::array<size_t, kAhead> ahead{};
    const auto cells = sheet.cells.begin();
    const size_t count = sheet.cells.size();
    const auto hashAhead = [&](size_t i) {
        const WorkbookCell& c = cells[static_cast<std::ptrdiff_t>(i)].second;
        if (c.kind != WorkbookCell::Kind::Text) return;
        ahead[i % kAhead] = SharedStrings::Hash(c.text);
        sst.Prefetch(ahead[i % kAhead]);
    };
    for (size_t i = 0; i < std::min(kAhead, count); ++i) hashAhead(i);
    for (size_t i = 0; i < count; ++i) {
        const auto& [pos, cell] = cells[static_cast<std::ptrdiff_t>(i)];
        const size_t hash = ahead[i % kAhead];
        if (i + kAhead < count) hashAhead(i + kAhead);
        if (pos.first > blockEnd) {
            blockEnd = ((pos.first - 1) / 32 + 1) * 32;  // last row of the block, from 1
            writeRows(row, blockEnd);
        }
        rowMin = std::min(rowMin, pos.first - 1);
        rowMax = pos.first;
        colMin = std::min(colMin, pos.second - 1);
        colMax = std::max(colMax, pos.second);
        const uint32_t index = cell.kind == WorkbookCell::Kind::Text ? sst.Add(cell.text, hash) : 0;
        WriteCell(w.Data(), static_cast<uint16_t>(pos.first - 1),
                  static_cast<uint16_t>(pos.second - 1), cell, XfOf(cell, plan), index);
    }
    writeRows(row, UINT32_MAX);
    if (!sheet.cells.empty()) {
        uint8_t* dim = w.Data().data() + dimensionsAt;
        PutU32LE(dim, rowMin);
        PutU32LE(dim + 4, rowMax);
        PutU16LE(dim + 8, static_cast<uint16_t>(colMin));
        PutU16LE(dim + 10, static_cast<uint16_t>(colMax));
    }
    const bool ownWindow = std::none_of(sheet.settingsAfter.begin(), sheet.settingsAfter.end(),
                                        [](const WorkbookRecord& r) { return r.type == kWINDOW2; });
    if (ownWindow) {
        // Only the first sheet is selected; selecting them all would group them.
        Body win;
        win.U16(first ? 0x06B6 : 0x00B6).U16(0).U16(0).U16(0x40).U16(0).U16(0).U16(0).U32(0);
        Record(w, kWINDOW2, win.Data());
    }
    for (const auto& r : sheet.settingsAfter) Record(w, r.type, r.body);
    std::vector<WorkbookRange> merges;
    for (const WorkbookRange& a : sheet.merges) {
        if (a.firstRow >= 1 && a.firstColumn >= 1 && a.lastRow <= 65536 && a.lastColumn <= 256)
            merges.push_back(a);
    }
    // At most 1,026 areas fit in one record.
    for (size_t i = 0; i < merges.size(); i += 1026) {
        const size_t n = std::min<size_t>(1026, merges.size() - i);
        Body m;
        m.U16(static_cast<uint16_t>(n));
        for (size_t k = i; k < i + n; ++k) {
            const WorkbookRange& a = merges[k];
            m.U16(static_cast<uint16_t>(a.firstRow - 1)).U16(static_cast<uint16_t>(a.lastRow - 1));
            m.U16(static_cast<uint16_t>(a.firstColumn - 1))
                .U16(static_cast<uint16_t>(a.lastColumn - 1));
        }
        Record(w, kMERGEDCELLS, m.Data());
    }
    Record(w, kEOF, {});
    return std::move(w.Data());
}

}  // namespace

std::vector<uint8_t> WriteXls(const Workbook& book) {
    size_t cells = 0;
    for (const WorkbookSheet& sheet : book.sheets) cells += sheet.cells.size();
    SharedStrings sst(cells);
    ByteWriter g;
    Record(g, kBOF, Bof(0x0005));
    Record(g, kCODEPAGE, {0xB0, 0x04});  // 1200: Unicode
    Body win;
    win.U16(0).U16(0).U16(0x4000).U16(0x2000).U16(0x0038).U16(0).U16(0).U16(1).U16(0x0258);
    Record(g, kWINDOW1, win.Data());
    // The sheets first: they tell which of the writer's formats are used.
    XfPlan plan = PlanFormats(book);
    std::vector<std::vector<uint8_t>> sheetStreams;
    for (size_t i = 0; i < book.sheets.size(); ++i) {
        sheetStreams.push_back(SheetStream(book.sheets[i], i == 0, plan, sst));
    }
    WriteFormats(g, book, plan);
    std::vector<size_t> offsetsAt;
    for (const WorkbookSheet& s : book.sheets) {
        Body b;
        b.U32(0).U16(s.visibility & 3).Short(s.name.substr(0, 31));
        offsetsAt.push_back(g.Size() + 4);
        Record(g, kBOUNDSHEET, b.Data());
    }
    WriteSst(g, sst.strings, sst.total);
    Record(g, kEOF, {});
    // Each sheet's BOUNDSHEET names where its stream starts.
    size_t offset = g.Size();
    for (size_t i = 0; i < sheetStreams.size(); ++i) {
        PutU32LE(g.Data().data() + offsetsAt[i], static_cast<uint32_t>(offset));
        offset += sheetStreams[i].size();
    }
    // The globals and the sheets go into the container as pieces of one
    // stream, each copied once.
    std::vector<CompoundPieces> streams(1);
    streams[0].name = u"Workbook";
    streams[0].pieces.emplace_back(g.Data());
    for (const auto& s : sheetStreams) streams[0].pieces.emplace_back(s);
    return WriteCompoundFile(streams);
}

}  // namespace velkor

namespace velkor {

namespace {

struct RawRecord {
    uint16_t type;
    std::span<const uint8_t> body;
};

// The records of a stream from an offset, each length checked.
std::vector<RawRecord> Records(std::span<const uint8_t> s, size_t offset, bool untilEof) {
    std::vector<RawRecord> out;
    size_t pos = offset;
    while (pos + 4 <= s.size()) {
        const uint16_t type = GetU16LE(&s[pos]);
        const uint16_t len = GetU16LE(&s[pos + 2]);
        if (pos + 4 + len > s.size()) throw ShortReadError();
        out.push_back({type, s.subspan(pos + 4, len)});
        pos += 4 + len;
        if (untilEof && type == kEOF) break;
    }
    return out;
}

// Reads across the SST record and its CONTINUE records.
class Segments {
public:
    explicit Segments(std::vector<std::span<const uint8_t>> segs) : segs_(std::move(segs)) {}
    bool AtSegmentEnd() const { return pos_ >= Current().size(); }
    void NextSegment() {
        if (seg_ + 1 >= segs_.size()) throw ShortReadError();
        ++seg_;
        pos_ = 0;
    }
    uint8_t U8() {
        while (AtSegmentEnd()) NextSegment();
        return Current()[pos_++];
    }
    uint16_t U16() { return static_cast<uint16_t>(U8() | (U8() << 8)); }
    uint32_t U32() { return U16() | (static_cast<uint32_t>(U16()) << 16); }
    void Skip(size_t n) {
        while (n > 0) {
            while (AtSegmentEnd()) NextSegment();
            const size_t k = std::min(n, Current().size() - pos_);
            pos_ += k;
            n -= k;
        }
    }
    // Characters of a string; a new segment starts with a fresh flags byte.
    std::u16string Chars(size_t count, bool highByte) {
        std::u16string s;
        s.reserve(std::min<size_t>(count, 1 << 16));
        while (s.size() < count) {
            if (AtSegmentEnd()) {
                NextSegment();
                highByte = (U8() & 1) != 0;
            }
            if (highByte) {
                if (Current().size() - pos_ < 2) throw ShortReadError();
                s.push_back(static_cast<char16_t>(Current()[pos_] | (Current()[pos_ + 1] << 8)));
                pos_ += 2;
            } else {
                s.push_back(Current()[pos_++]);
            }
        }
        return s;
    }

private:
    std::span<const uint8_t> Current() const { return segs_[seg_]; }
    std::vector<std::span<const uint8_t>> segs_;
    size_t seg_ = 0;
    size_t pos_ = 0;
};

std::u16string UnicodeString(Segments& in) {
    const uint16_t cch = in.U16();
    const uint8_t flags = in.U8();
    uint16_t runs = 0;
    uint32_t ext = 0;
    if (flags & 0x08) runs = in.U16();
    if (flags & 0x04) ext = in.U32();
    std::u16string s = in.Chars(cch, (flags & 1) != 0);
    in.Skip(size_t{runs} * 4);
    in.Skip(ext);
    return s;
}

bool IsDateFormat(uint16_t ifmt, const std::map<uint16_t, std::u16string>& formats) {
    if ((ifmt >= 14 && ifmt <= 22) || (ifmt >= 45 && ifmt <= 47)) return true;
    auto it = formats.find(ifmt);
    if (it == formats.end()) return false;
    bool quoted = false;
    bool bracket = false;
    for (char16_t c : it->second) {
        if (c == u'"') quoted = !quoted;
        if (quoted) continue;
        if (c == u'[') bracket = true;
        if (c == u']') bracket = false;
        if (bracket) continue;
        if (c == u'd' || c == u'm' || c == u'y' || c == u'h' || c == u's' || c == u'D' ||
            c == u'M' || c == u'Y') {
            return true;
        }
    }
    return false;
}

double RkValue(uint32_t rk) {
    double v;
    if (rk & 2) {
        v = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100 : v;
}

}  // namespace

namespace {

inline constexpr const char* kMsgOldWorkbook = "BIFF5 或更早版本的工作簿不受支持";

// A failure inside a record: the whole workbook is refused.
[[noreturn]] void Damaged(const char* why) { throw StatusError(Status::Damaged(why)); }

// The workbook globals: sheets, formats, shared strings.
struct Globals {
    struct SheetRef {
        uint32_t offset;
        std::u16string name;
        uint8_t visibility;
    };
    std::vector<SheetRef> sheets;
    std::vector<std::u16string> sst;
    std::map<uint16_t, std::u16string> numberFormats;
    std::vector<uint16_t> xfFormats;
    WorkbookFormats kept;
    bool date1904 = false;

    // One short case per record type; `continues` are the CONTINUE records
    // that follow it.
    void Read(const RawRecord& r, std::span<const RawRecord> continues) {
        ByteReader in(r.body);
        switch (r.type) {
            case kBOUNDSHEET: {
                const uint32_t offset = in.U32();
                const uint16_t flags = in.U16();
                Segments s({r.body.subspan(6)});
                const uint8_t cch = s.U8();
                const std::u16string name = s.Chars(cch, (s.U8() & 1) != 0);
                // Chart and macro sheets are not read.
                if ((flags >> 8) == 0) sheets.push_back({offset, name, uint8_t(flags & 3)});
                break;
            }
            case kFORMAT: {
                const uint16_t ifmt = in.U16();
                Segments s({r.body.subspan(2)});
                numberFormats[ifmt] = UnicodeString(s);
                kept.numberFormats.push_back({r.type, {r.body.begin(), r.body.end()}});
                break;
            }
            case kXF:
                in.U16();
                xfFormats.push_back(in.U16());
                kept.xfs.emplace_back(r.body.begin(), r.body.end());
                break;
            case kFONT:
                kept.fonts.emplace_back(r.body.begin(), r.body.end());
                break;
            case kDATEMODE:
                date1904 = r.body.size() >= 2 && GetU16LE(r.body.data()) == 1;
                break;
            case kSST: {
                std::vector<std::span<const uint8_t>> segs{r.body.subspan(8)};
                for (const RawRecord& c : continues) segs.push_back(c.body);
                in.U32();
                const uint32_t unique = in.U32();
                Segments s(segs);
                for (uint32_t k = 0; k < unique; ++k) sst.push_back(UnicodeString(s));
                break;
            }
            default:
                if (IsStyleRecord(r.type)) {
                    kept.rest.push_back({r.type, {r.body.begin(), r.body.end()}});
                }
                break;
        }
    }
};

// One sheet's cells and settings.
class SheetReader {
public:
    SheetReader(WorkbookSheet& sheet, Globals& g, std::vector<uint32_t>& uses, bool keepsFormats)
        : sheet_(sheet), g_(g), uses_(uses), keepsFormats_(keepsFormats) {}

    // One short case per record type; `next` is the record after it.
    void Read(const RawRecord& r, const RawRecord* next) {
        ByteReader in(r.body);
        switch (r.type) {
            case kLABELSST: {
                const Cell at = At(in);
                const uint32_t k = in.U32();
                if (k >= g_.sst.size()) Damaged("string index outside the string table");
                WorkbookCell c;
                // The last use of a shared string takes it instead of a copy.
                c.text = --uses_[k] == 0 ? std::move(g_.sst[k]) : g_.sst[k];
                Put(at, std::move(c));
                break;
            }
            case kLABEL: {
                const Cell at = At(in);
                Segments s({r.body.subspan(6)});
                WorkbookCell c;
                c.text = UnicodeString(s);
                Put(at, std::move(c));
                break;
            }
            case kNUMBER: {
                const Cell at = At(in);
                Put(at, Number(std::bit_cast<double>(in.U64())));
                break;
            }
            case kRK: {
                const Cell at = At(in);
                Put(at, Number(RkValue(in.U32())));
                break;
            }
            case kMULRK: {
                const uint16_t row = in.U16(), first = in.U16();
                const size_t n = (r.body.size() - 6) / 6;
                for (size_t k = 0; k < n; ++k) {
                    const uint16_t xf = in.U16();
                    Put({row, uint16_t(first + k), xf}, Number(RkValue(in.U32())));
                }
                break;
            }
            case kBOOLERR: {
                const Cell at = At(in);
                const uint8_t v = in.U8(), isError = in.U8();
                if (!isError) Put(at, Boolean(v));
                break;
            }
            case kFORMULA:
                Formula(in, next);
                break;
            case kBLANK:
                Put(At(in), Blank());
                break;
            case kMULBLANK: {
                const uint16_t row = in.U16(), first = in.U16();
                const size_t n = r.body.size() >= 6 ? (r.body.size() - 6) / 2 : 0;
                for (size_t k = 0; k < n && first + k < 256; ++k) {
                    Put({row, uint16_t(first + k), in.U16()}, Blank());
                }
                break;
            }
            case kCOLINFO: {
                const uint16_t first = in.U16(), last = in.U16();
                WorkbookColumn column;
                column.width = in.U16();
                column.xf = in.U16();
                if (!keepsFormats_) column.xf = 15;
                column.options = in.U16();
                for (uint32_t c = first; c <= last && c < 256; ++c) sheet_.columns[c + 1] = column;
                break;
            }
            case kROW: {
                const uint16_t row = in.U16();
                in.Skip(4);
                WorkbookRow info;
                info.height = in.U16();
                in.Skip(4);
                info.options = in.U16();
                info.xfWord = in.U16();
                sheet_.rows[uint32_t{row} + 1] = info;
                break;
            }
            case kMERGEDCELLS:
                Merges(in);
                break;
            default:
                if (IsSheetSettingBefore(r.type)) {
                    sheet_.settingsBefore.push_back({r.type, {r.body.begin(), r.body.end()}});
                } else if (IsSheetSettingAfter(r.type)) {
                    sheet_.settingsAfter.push_back({r.type, {r.body.begin(), r.body.end()}});
                }
                break;
        }
    }

private:
    struct Cell {
        uint16_t row, col, xf;
    };
    static Cell At(ByteReader& in) {
        const uint16_t row = in.U16(), col = in.U16(), xf = in.U16();
        return {row, col, xf};
    }
    static WorkbookCell Number(double v) {
        WorkbookCell c;
        c.kind = WorkbookCell::Kind::Number;
        c.number = v;
        return c;
    }
    static WorkbookCell Boolean(uint8_t v) {
        WorkbookCell c = Number(v);
        c.kind = WorkbookCell::Kind::Boolean;
        return c;
    }
    static WorkbookCell Blank() {
        WorkbookCell c;
        c.kind = WorkbookCell::Kind::Blank;
        return c;
    }

    // A formula's cached value: a number, a boolean, or a text in the
    // STRING record that follows it.
    void Formula(ByteReader& in, const RawRecord* next) {
        const Cell at = At(in);
        uint8_t result[8];
        in.Bytes(result, 8);
        if (result[6] != 0xFF || result[7] != 0xFF) {
            double v;
            std::memcpy(&v, result, 8);
            Put(at, Number(v));
        } else if (result[0] == 0 && next && next->type == kSTRING) {
            Segments s({next->body});
            WorkbookCell c;
            c.text = UnicodeString(s);
            Put(at, std::move(c));
        } else if (result[0] == 1) {
            Put(at, Boolean(result[2]));
        }
    }

    void Merges(ByteReader& in) {
        const uint16_t n = in.U16();
        for (uint16_t k = 0; k < n; ++k) {
            WorkbookRange a;
            a.firstRow = in.U16() + 1u;
            a.lastRow = in.U16() + 1u;
            a.firstColumn = in.U16() + 1u;
            a.lastColumn = in.U16() + 1u;
            if (a.firstRow <= a.lastRow && a.firstColumn <= a.lastColumn && a.lastColumn <= 256) {
                sheet_.merges.push_back(a);
            }
        }
    }

    void Put(Cell at, WorkbookCell cell) {
        if (cell.kind == WorkbookCell::Kind::Number && at.xf < g_.xfFormats.size() &&
            IsDateFormat(g_.xfFormats[at.xf], g_.numberFormats)) {
            cell.kind = WorkbookCell::Kind::Date;
            if (g_.date1904) cell.number += 1462;  // kept as days from 1899-12-30
        }
        if (keepsFormats_) cell.xf = at.xf;  // without them, the writer's formats
        // A repeated cell replaces the earlier one.
        sheet_.cells[{uint32_t{at.row} + 1, uint32_t{at.col} + 1}] = std::move(cell);
    }

    WorkbookSheet& sheet_;
    Globals& g_;
    std::vector<uint32_t>& uses_;
    bool keepsFormats_;
};

Workbook ReadBook(std::span<const uint8_t> data) {
    const auto globalRecords = Records(data, 0, true);
    if (globalRecords.empty() || globalRecords[0].type != kBOF ||
        globalRecords[0].body.size() < 4 || GetU16LE(globalRecords[0].body.data()) != 0x0600) {
        throw StatusError(Status::Unsupported(kMsgOldWorkbook));
    }
    Globals g;
    for (size_t i = 0; i < globalRecords.size(); ++i) {
        size_t end = i + 1;
        while (end < globalRecords.size() && globalRecords[end].type == kCONTINUE) ++end;
        g.Read(globalRecords[i],
               std::span<const RawRecord>(globalRecords).subspan(i + 1, end - i - 1));
    }
    Workbook out;
    // The formats are kept only when they are complete enough to write back
    // (every workbook has at least 16 cell formats and one font).
    if (g.kept.xfs.size() >= 16 && !g.kept.fonts.empty()) out.formats = std::move(g.kept);

    // How often each shared string is used: its last use takes the string
    // itself instead of a copy, so a text used once (most of them) is never
    // copied.
    std::vector<std::vector<RawRecord>> sheetRecords;
    std::vector<uint32_t> uses(g.sst.size(), 0);
    for (const Globals::SheetRef& ref : g.sheets) {
        if (ref.offset >= data.size()) Damaged("sheet outside the workbook stream");
        sheetRecords.push_back(Records(data, ref.offset, true));
        for (const RawRecord& r : sheetRecords.back()) {
            if (r.type == kLABELSST && r.body.size() >= 10) {
                const uint32_t k = GetU32LE(r.body.data() + 6);
                if (k < uses.size()) ++uses[k];
            }
        }
    }
    for (size_t sheetIndex = 0; sheetIndex < g.sheets.size(); ++sheetIndex) {
        WorkbookSheet sheet;
        sheet.name = g.sheets[sheetIndex].name;
        sheet.visibility = g.sheets[sheetIndex].visibility;
        SheetReader reader(sheet, g, uses, out.formats.has_value());
        const auto& recs = sheetRecords[sheetIndex];
        for (size_t i = 0; i < recs.size(); ++i) {
            reader.Read(recs[i], i + 1 < recs.size() ? &recs[i + 1] : nullptr);
        }
        out.sheets.push_back(std::move(sheet));
    }
    return out;
}

}  // namespace

std::optional<Workbook> ReadXls(std::span<const uint8_t> file, Status* status) {
    const auto fail = [status](Status why) -> std::optional<Workbook> {
        if (status) *status = std::move(why);
        return std::nullopt;
    };
    Status containerStatus;
    auto streams = ReadCompoundFile(file, &containerStatus);
    if (!streams) return fail(containerStatus);
    const CompoundStream* book = nullptr;
    for (const auto& s : *streams) {
        if (s.name == u"Workbook") book = &s;
        if (s.name == u"Book" && !book) return fail(Status::Unsupported(kMsgOldWorkbook));
    }
    if (!book) return fail(Status::Damaged("not an Excel workbook"));
    try {
        return ReadBook(book->data);
    } catch (const ShortReadError&) {
        return fail(Status::Damaged("damaged workbook: a record is cut short"));
    } catch (const StatusError& e) {
        return fail(e.GetStatus());
    }
}

}  // namespace velkor
