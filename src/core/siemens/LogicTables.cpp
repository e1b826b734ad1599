#include "siemens/LogicTables.h"

#include <algorithm>

#include "common/NameIndex.h"
#include "common/Text.h"
#include "devices/CADSection.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "tables/CodeTables.h"

namespace velkor {

std::string DropLastGbkCharacter(const std::string& gbk) {
    if (gbk.empty()) return gbk;
    // Walk the characters; the last one starts where the walk last stopped.
    size_t last = 0;
    size_t i = 0;
    while (i < gbk.size()) {
        last = i;
        const auto b = static_cast<unsigned char>(gbk[i]);
        i += (b >= 0x81 && b <= 0xFE && i + 1 < gbk.size()) ? 2 : 1;
    }
    return gbk.substr(0, last);
}

namespace {

// TrackSectionCode fields.
constexpr size_t kTsNumber = 0, kTsName = 2, kTsKind = 18, kTsIndex = 20, kTsPhysName = 22,
                 kTsPhysAddress = 38, kTsDirection = 40;

void SetGbk(Row& row, size_t offset, size_t n, const std::string& gbk) {
    StoreFixedTextGbk(row.Bytes().subspan(offset, n), gbk);
}

// The bit rule of the generated logic-section tables: four rows to a word.
// The count runs on past 65,535 (a table of more than 32,768 rows), so the
// word numbers go on rising instead of starting again at 0.
struct Bits {
    uint32_t b = 0;
    void Place(Row& r) {
        r.SetU16(io::kWord, static_cast<uint16_t>(b / 8));
        r.SetU16(io::kBit, static_cast<uint16_t>(b % 8));
        b += 2;
    }
};

Row NewLogicRow() {
    Row r = IoTables::NewRow(kLogicSectionTable);
    // Values the generators do not set take the natural ones.
    r.SetU16(io::kLogicPhysicalAddress, 0xFFFF);
    r.SetU16(io::kLogicDirection, 0);
    return r;
}

// The sections and the switches, each in drawing order, from one walk over
// the objects: on a large station a walk costs a memory access per object.
struct SectionsAndSwitches {
    std::vector<CADSection*> sections;
    std::vector<RailSwitch*> switches;
    explicit SectionsAndSwitches(const CVelkorDoc& doc) {
        for (size_t i = 0; i < doc.Objects().size(); ++i) {
            if (auto* s = doc.ObjectAs<CADSection>(i)) sections.push_back(s);
            if (auto* w = doc.ObjectAs<RailSwitch>(i)) switches.push_back(w);
        }
    }
};

bool EndsWithSuffixLetter(const std::u16string& name) {
    return !name.empty() && name.back() >= u'A' && name.back() <= u'F';
}

void Finish(CVelkorDoc& doc, DocumentEdit& edit, const char* message) {
    edit.Commit();
    doc.UI().Info(message);
}

// A logic-section table is built apart and takes the table's place only when
// it is whole: a refusal on the way leaves the table as it was, and the old
// rows are not copied to be put back.
std::vector<Row> NewLogicTable(const CVelkorDoc& doc) {
    std::vector<Row> rows;
    rows.reserve(doc.io.Table(kLogicSectionTable).size());
    return rows;
}

void Finish(CVelkorDoc& doc, const char* editName, std::vector<Row> logic, const char* message) {
    DocumentEdit(doc, editName, doc.io.Table(kLogicSectionTable), std::move(logic)).Commit();
    doc.UI().Info(message);
}

}  // namespace

bool GenerateRepeatSectionRows(CVelkorDoc& doc) {
    if (!doc.UI().AskYesNo(kAskRepeatSections)) return false;
    auto& table = doc.codes.Table(kTrackSectionCode);
    DocumentEdit edit(doc, "生成复示逻辑区段IO", table);
    // An empty table numbers the new rows from 0.
    const int32_t last = table.empty() ? -1 : table.back().U16(kTsNumber);
    std::vector<Row> rows;
    for (CADSection* s : doc.ObjectsOf<CADSection>()) {
        const std::u16string logic = s->logic.Name();
        const bool repeat = logic.size() >= 2 ? logic[logic.size() - 2] == u'F'
                                              : (logic.size() == 1 && logic[0] == u'F');
        if (!repeat) continue;
        Row r = CodeTables::NewRow(kTrackSectionCode);
        const std::string gbk = s->io.NameGbk();
        SetGbk(r, kTsName, 16, gbk);
        r.SetU16(kTsKind, 207);
        r.SetU16(kTsIndex, 0);
        SetGbk(r, kTsPhysName, 16, DropLastGbkCharacter(gbk));
        r.SetU16(kTsPhysAddress, s->io.address);
        r.SetU16(kTsDirection, 0);
        rows.push_back(std::move(r));
    }
    // By name, equal names in drawing order.
    int64_t n = last;
    for (size_t index : OrderByText(rows, kTsName, 16)) {
        Row& r = rows[index];
        if (!NumberFits(doc.UI(), "TrackSectionCode", table.size() + 1, "逻辑区段编号", ++n,
                        kLargestNumber))
            return false;
        r.SetU16(kTsNumber, static_cast<uint16_t>(n));
        table.push_back(std::move(r));
    }
    Finish(doc, edit, kMsgRepeatSectionsDone);
    return true;
}

bool GenerateSiemensLogicTable(CVelkorDoc& doc) {
    if (!doc.UI().AskYesNo(kAskSiemensLogicTable)) return false;
    std::vector<Row> logic = NewLogicTable(doc);
    Bits bits;
    for (const Row& t : doc.codes.Table(kTrackSectionCode)) {
        Row r = NewLogicRow();
        SetGbk(r, io::kName, 16, t.TextGbk(kTsName, 16));
        SetGbk(r, io::kLogicPhysicalName, 16, t.TextGbk(kTsPhysName, 16));
        r.SetU16(io::kAddress, t.U16(kTsNumber));
        r.SetU16(io::kLogicPhysicalAddress, t.U16(kTsPhysAddress));
        r.SetU16(io::kLogicDirection, t.U16(kTsDirection));
        bits.Place(r);
        logic.push_back(std::move(r));
    }
    int64_t c = static_cast<int64_t>(doc.codes.Table(kTrackSectionCode).size());
    const auto address = [&](Row& r) {
        if (!NumberFits(doc.UI(), "LogicSection", logic.size() + 1, "地址号", c, kLargestAddress))
            return false;
        r.SetU16(io::kAddress, static_cast<uint16_t>(c++));
        return true;
    };
    // The first switch of each display name, in list order.
    NameIndex<const RailSwitch*> switchByName;
    const auto switches = doc.ObjectsOf<RailSwitch>();
    switchByName.Reserve(switches.size());
    for (const RailSwitch* sw : switches) switchByName.Insert(sw->nameLabel.text, sw);
    for (const Row& s : doc.codes.Table(kSwitchCode)) {
        Row r = NewLogicRow();
        if (const RailSwitch* const* found = switchByName.Find(s.Text(2, 16))) {
            const RailSwitch& w = **found;
            SetGbk(r, io::kName, 16, w.logic[0].NameGbk());
            SetGbk(r, io::kLogicPhysicalName, 16, w.switchSection.NameGbk());
            r.SetU16(io::kLogicPhysicalAddress, w.switchSection.address);
        } else {
            r.SetText(io::kLogicPhysicalName, 16, u"");
        }
        if (!address(r)) return false;
        bits.Place(r);
        logic.push_back(std::move(r));
    }
    for (const Row& x : doc.codes.Table(kCrossCode)) {
        Row r = NewLogicRow();
        SetGbk(r, io::kName, 16, x.TextGbk(2, 16));
        SetGbk(r, io::kLogicPhysicalName, 16, x.TextGbk(2, 16));
        r.SetU16(io::kLogicPhysicalAddress, x.U16(26));
        if (!address(r)) return false;
        bits.Place(r);
        logic.push_back(std::move(r));
    }
    Finish(doc, "生成逻辑区段表", std::move(logic), kMsgLogicTableDone);
    return true;
}

bool GenerateSiemensVirtualLogicTable(CVelkorDoc& doc) {
    doc.UI().Info(kMsgSiemensVirtual);
    if (!doc.UI().AskYesNo(kAskVirtualLogicTable)) return false;
    std::vector<Row> logic = NewLogicTable(doc);
    Bits bits;
    const auto append = [&](const IORecord& rec, size_t address) {
        if (!NumberFits(doc.UI(), "LogicSection", logic.size() + 1, "地址号",
                        static_cast<int64_t>(address), kLargestAddress))
            return false;
        Row r = NewLogicRow();
        const std::string gbk = rec.NameGbk();
        SetGbk(r, io::kName, 16, gbk);
        SetGbk(r, io::kLogicPhysicalName, 16, DropLastGbkCharacter(gbk));
        r.SetU16(io::kAddress, static_cast<uint16_t>(address));
        r.SetU16(io::kLogicPhysicalAddress, rec.address);
        bits.Place(r);
        // The name as the row holds it: a 16-byte name without terminator is
        // cut there, and the message must name what the table has.
        const std::u16string name = r.Name();
        logic.push_back(std::move(r));
        if (!EndsWithSuffixLetter(name)) doc.UI().Warning(ToUtf8(name) + kMsgMissingSuffix);
        return true;
    };
    const auto [sections, switches] = SectionsAndSwitches(doc);
    for (size_t i = 0; i < sections.size(); ++i) {
        if (!append(sections[i]->io, i)) return false;
    }
    for (size_t j = 0; j < switches.size(); ++j) {
        if (switches[j]->switchSection.address == 0xFFFF) continue;
        if (!append(switches[j]->switchSection, sections.size() + j)) return false;
    }
    Finish(doc, "生成虚拟逻辑区段表", std::move(logic), kMsgVirtualDone);
    return true;
}

bool GenerateHaldeVirtualLogicTable(CVelkorDoc& doc) {
    if (!doc.UI().AskYesNo(kAskVirtualLogicTable)) return false;
    std::vector<Row> logic = NewLogicTable(doc);
    const auto [sections, switches] = SectionsAndSwitches(doc);
    // The physical address of a name: the first section of that IO name
    // when its address is set, else the first switch of that switch-section
    // name. Asked as the names are collected, in drawing order, the lookups
    // mostly follow the order the indexes were filled in (see the cursor).
    NameIndex<uint16_t> sectionAddress, switchSectionAddress;
    sectionAddress.Reserve(sections.size());
    switchSectionAddress.Reserve(switches.size());
    // The sections of a large station lie beyond the processor's caches:
    // each walk asks for the record it reads a dozen sections ahead.
    constexpr size_t kAhead = 12;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (i + kAhead < sections.size()) __builtin_prefetch(&sections[i + kAhead]->io);
        sectionAddress.Insert(sections[i]->io.Name(), sections[i]->io.address);
    }
    for (const RailSwitch* w : switches)
        switchSectionAddress.Insert(w->switchSection.Name(), w->switchSection.address);
    NameIndex<uint16_t>::Cursor sectionCursor, switchCursor;
    const auto physicalAddress = [&](const std::u16string& y) -> uint16_t {
        if (const uint16_t* s = sectionAddress.Find(y, sectionCursor); s && *s != 0xFFFF) return *s;
        const uint16_t* w = switchSectionAddress.Find(y, switchCursor);
        return w ? *w : 0xFFFF;
    };
    struct Virtual {
        std::u16string name;      // x
        std::u16string physical;  // y: x without its suffix letter
        uint16_t address;         // y's
    };
    std::vector<Virtual> plain, repeats;
    NameSet collected;
    collected.Reserve(sections.size() + switches.size() * 4);
    const auto collect = [&](std::u16string name) {
        if (name == u"NO" || !collected.Insert(name)) return;
        auto& list = name.size() >= 2 && name[name.size() - 2] == u'F' ? repeats : plain;
        std::u16string y = doc.hasLogicSections ? RemoveLogicSuffix(name) : name;
        const uint16_t address = physicalAddress(y);
        list.push_back({std::move(name), std::move(y), address});
    };
    for (size_t i = 0; i < sections.size(); ++i) {
        if (i + kAhead < sections.size()) __builtin_prefetch(&sections[i + kAhead]->logic);
        collect(sections[i]->logic.Name());
    }
    const int perSwitch = std::clamp(doc.logicSectionsPerSwitch, 0, 4);
    for (RailSwitch* w : switches) {
        if (w->switchSection.address == 0xFFFF) continue;
        for (int k = 0; k < perSwitch; ++k) collect(w->logic[static_cast<size_t>(k)].Name());
    }
    // The names are distinct: their order is the whole order. Sorted by a
    // key of their first eight units beside their place in the list, so that
    // the sort moves small entries instead of two strings each and reads a
    // name only when the first eight units agree.
    const auto byName = [](const std::vector<Virtual>& list) {
        struct Entry {
            uint64_t high = 0, low = 0;  // units 0-3 and 4-7, 0 past the end
            uint32_t at = 0;
        };
        std::vector<Entry> entries(list.size());
        for (size_t i = 0; i < list.size(); ++i) {
            const std::u16string& name = list[i].name;
            Entry& e = entries[i];
            for (size_t k = 0; k < 8; ++k) {
                const uint64_t unit = k < name.size() ? name[k] : 0;
                (k < 4 ? e.high : e.low) |= unit << (48 - 16 * (k % 4));
            }
            e.at = static_cast<uint32_t>(i);
        }
        // A unit 0 compares as the end of a name does: keys that agree send
        // the comparison to the names themselves.
        std::sort(entries.begin(), entries.end(), [&list](const Entry& p, const Entry& q) {
            if (p.high != q.high) return p.high < q.high;
            if (p.low != q.low) return p.low < q.low;
            return list[p.at].name < list[q.at].name;
        });
        return entries;
    };
    Bits bits;
    int64_t a = 0;
    for (const auto* list : {&plain, &repeats}) {
        for (const auto& entry : byName(*list)) {
            const Virtual& v = (*list)[entry.at];
            if (!NumberFits(doc.UI(), "LogicSection", logic.size() + 1, "地址号", a,
                            kLargestAddress))
                return false;
            Row r = NewLogicRow();
            r.SetName(v.name);
            r.SetText(io::kLogicPhysicalName, 16, v.physical);
            r.SetU16(io::kAddress, static_cast<uint16_t>(a++));
            r.SetU16(io::kLogicPhysicalAddress, v.address);
            bits.Place(r);
            logic.push_back(std::move(r));
        }
    }
    Finish(doc, "生成虚拟逻辑区段表", std::move(logic), kMsgVirtualDone);
    return true;
}

}  // namespace velkor
