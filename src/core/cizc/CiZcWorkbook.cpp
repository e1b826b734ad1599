#include "cizc/CiZcWorkbook.h"

#include <map>
#include <type_traits>
#include <unordered_map>

#include "common/Interaction.h"
#include "common/Text.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/RailSwitch.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "workbook/ExcelHelper.h"

namespace velkor {

namespace {

// What a column of a code sheet holds.
enum Column : int { kNum = -1, kZc = -2, kC1 = 0, kC2, kC3, kC4, kC5, kC6 };

struct CodeSheet {
    const char16_t* name;
    int kind;
    std::vector<int> columns;  // A, B, C ...
};

const std::vector<CodeSheet>& CodeSheets() {
    static const std::vector<CodeSheet> sheets = {
        {u"CI_ZC道岔码位", kZcSwitches, {kNum, kC1, kC2, kC3, kZc}},
        {u"CI_ZC信号机码位", kZcSignals, {kNum, kC3, kC1, kC2, kZc}},
        {u"CI_ZC屏蔽门码位", kZcScreenDoors, {kNum, kC1, kZc}},
        {u"CI_ZC紧急停车按钮码位", kZcEmergencyStops, {kNum, kC1, kZc}},
        {u"CI_ZC计轴区段码位", kZcAxleSections, {kNum, kC3, kC4, kC5, kC6, kC1, kC2, kZc}},
        {u"CI_ZC逻辑区段码位", kZcLogicSections, {kNum, kC1, kC2, kZc}},
        {u"CI_ZC进路码位", kZcRoutes, {kNum, kC2, kC3, kC1, kZc}},
        {u"CI_ZC保护区段码位", kZcProtectionSections, {kNum, kC1, kZc}},
        {u"CI_ZC无人折返码位", kZcTurnbacks, {kNum, kC1, kC2, kC3, kZc}},
        {u"CI_ZC防淹门码位", kZcFloodGates, {kNum, kC1, kZc}},
    };
    return sheets;
}

// The device sheets with names, by list.
const std::map<std::u16string, int>& DeviceSheets() {
    static const std::map<std::u16string, int> sheets = {
        {u"道岔", kZcSwitches},         {u"信号机", kZcSignals},
        {u"屏蔽门", kZcScreenDoors},    {u"紧急按钮", kZcEmergencyStops},
        {u"计轴区段", kZcAxleSections}, {u"逻辑区段", kZcLogicSections},
        {u"进路表", kZcRoutes},
    };
    return sheets;
}

// The interface sheets and what their columns after A, B, C hold: code
// values by index, as many as the sheet has.
struct OutSheet {
    const char16_t* name;
    int kind;
    int codes;
};
const std::vector<OutSheet>& OutSheets() {
    static const std::vector<OutSheet> sheets = {
        {u"道岔", kZcSwitches, 3},          {u"信号机", kZcSignals, 3},
        {u"屏蔽门", kZcScreenDoors, 1},     {u"紧急停车按钮", kZcEmergencyStops, 1},
        {u"防淹门", kZcFloodGates, 1},      {u"保护区段", kZcProtectionSections, 1},
        {u"逻辑区段", kZcLogicSections, 2}, {u"自动折返", kZcTurnbacks, 3},
        {u"物理区段", kZcAxleSections, 6},
    };
    return sheets;
}

std::u16string Dec(uint16_t v) { return FromUtf8(std::to_string(v)); }

// The first row of each number of a list.
std::unordered_map<uint16_t, size_t> FirstByNumber(const std::vector<InterfaceRow>& list) {
    std::unordered_map<uint16_t, size_t> first;
    for (size_t i = 0; i < list.size(); ++i) first.emplace(list[i].number, i);
    return first;
}

// The part of a name before a separator (the whole name without one).
std::u16string Before(const std::u16string& name, char16_t sep) {
    const size_t at = name.find(sep);
    return at == std::u16string::npos ? name : name.substr(0, at);
}

}  // namespace

uint16_t CiZcRun::Number(std::u16string_view text) { return CellLeadingNumber(text); }

void CiZcRun::ReadWorkbook(const fs::path& file) {
    ExcelHelper x(doc_.Files());
    if (!x.OpenWorkbook(file)) {
        doc_.UI().Warning(x.LastError());
        return;
    }
    const size_t count = x.Book()->sheets.size();
    for (size_t i = 1; i <= count; ++i) {
        x.SelectSheet(i);
        const std::u16string name = x.CurrentSheetName();
        bool done = false;
        for (const CodeSheet& s : CodeSheets()) {
            if (name == s.name) {
                ReadCodeSheet(x, s.kind, s.columns);
                done = true;
            }
        }
        if (done) continue;
        if (name == u"保护区段") {
            ReadProtectionSheet(x);
        } else if (name == u"物理区段") {
            ReadPhysicalSheet(x);
        } else if (auto it = DeviceSheets().find(name); it != DeviceSheets().end()) {
            ReadDeviceSheet(x, it->second);
        }
    }
    x.CloseWorkbook();
}

void CiZcRun::ReadCodeSheet(ExcelHelper& x, int kind, const std::vector<int>& columns) {
    const uint16_t n = Number(x.GetCell(2, 3));  // C2; D2 is not used
    for (uint32_t r = 5; r < 5u + n; ++r) {
        InterfaceRow row;
        for (size_t c = 0; c < columns.size(); ++c) {
            const uint16_t v = Number(x.GetCell(r, static_cast<uint32_t>(c + 1)));
            if (columns[c] == kNum) {
                row.number = v;
            } else if (columns[c] == kZc) {
                row.zc = v;
            } else {
                row.codes[static_cast<size_t>(columns[c])] = v;
            }
        }
        lists_[kind].push_back(std::move(row));
    }
}

void CiZcRun::ReadDeviceSheet(ExcelHelper& x, int kind) {
    // Matching mode when the list it names already holds rows.
    const bool matching = !lists_[kind].empty();
    const auto byNumber = FirstByNumber(lists_[kind]);
    for (uint32_t r = 2; !x.GetCell(r, 1).empty(); ++r) {
        const uint16_t number = Number(x.GetCell(r, 1));
        const std::u16string name = x.GetCell(r, 2);
        if (!matching) {
            InterfaceRow row;
            row.number = number;
            row.name = name;
            lists_[kind].push_back(std::move(row));
            continue;
        }
        if (const auto it = byNumber.find(number); it != byNumber.end())
            lists_[kind][it->second].name = name;
    }
}

void CiZcRun::ReadProtectionSheet(ExcelHelper& x) {
    auto& list = lists_[kZcProtectionSections];
    const bool matching = !list.empty();
    const auto byNumber = FirstByNumber(list);
    for (uint32_t r = 2; !x.GetCell(r, 1).empty(); ++r) {
        const uint16_t number = Number(x.GetCell(r, 1));
        const uint16_t k = Number(x.GetCell(r, 2));
        if (k > 5) doc_.UI().Warning(kMsgAxleCountWrong);
        std::vector<uint16_t> axles;
        for (uint32_t i = 0; i < std::min<uint32_t>(k, 5); ++i)
            axles.push_back(Number(x.GetCell(r, 3 + i)));
        if (!matching) {
            InterfaceRow row;
            row.number = number;
            row.axleCount = k;
            row.axles = std::move(axles);
            list.push_back(std::move(row));
            continue;
        }
        if (const auto it = byNumber.find(number); it != byNumber.end()) {
            InterfaceRow& row = list[it->second];
            row.axleCount = k;
            row.axles = std::move(axles);
            row.name = ProtectionName(row);
        }
    }
}

void CiZcRun::ReadPhysicalSheet(ExcelHelper& x) {
    auto& list = lists_[kZcPhysicalSections];
    list.clear();
    for (uint32_t r = 2; !x.GetCell(r, 1).empty(); ++r) {
        InterfaceRow row;
        row.number = Number(x.GetCell(r, 1));
        row.name = x.GetCell(r, 2);
        row.zc = Number(x.GetCell(r, 3));
        row.axleCount = Number(x.GetCell(r, 4));
        for (uint32_t i = 0; i < std::min<uint32_t>(row.axleCount, 5); ++i)
            row.axles.push_back(Number(x.GetCell(r, 5 + i)));
        list.push_back(std::move(row));
    }
    // Where each axle section lies: the first physical section of its ZC
    // link that lists it (a row with more than five axle sections lists none).
    axlePlaces_.clear();
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].axleCount > 5) continue;
        for (uint16_t a : list[i].axles) axlePlaces_.emplace(AxleKey(a, list[i].zc), i);
    }
}

const InterfaceRow* CiZcRun::PlaceAxle(uint16_t a, uint16_t zc) const {
    const auto it = axlePlaces_.find(AxleKey(a, zc));
    return it == axlePlaces_.end() ? nullptr : &lists_[kZcPhysicalSections][it->second];
}

std::u16string CiZcRun::ProtectionName(const InterfaceRow& row) const {
    std::u16string name;
    for (uint16_t a : row.axles) {
        const InterfaceRow* p = PlaceAxle(a, row.zc);
        if (!p) continue;  // an axle section in no physical section adds nothing
        if (!name.empty()) name += u",";
        name += p->name;
    }
    return name;
}

void CiZcRun::ResolveAddresses() {
    // The first object of each name in list order, one pass over the
    // drawing: switches by display name, signals, sections and flood gates by
    // IO name, switch sections by their record's name.
    std::unordered_map<std::u16string, uint16_t> switches, signals, sections, switchSections,
        floodGates;
    for (size_t i = 0; i < doc_.Objects().size(); ++i) {
        if (const auto* sw = doc_.ObjectAs<RailSwitch>(i)) {
            switches.emplace(sw->nameLabel.text, sw->io.address);
            switchSections.emplace(sw->switchSection.Name(), sw->switchSection.address);
        } else if (const auto* g = doc_.ObjectAs<CADSignal>(i)) {
            signals.emplace(g->io.Name(), g->io.address);
        } else if (const auto* c = doc_.ObjectAs<CADSection>(i)) {
            sections.emplace(c->io.Name(), c->io.address);
        } else if (const auto* f = doc_.ObjectAs<CADAfgDoor>(i)) {
            floodGates.emplace(f->io.Name(), f->io.address);
        }
    }
    const auto in = [](const std::unordered_map<std::u16string, uint16_t>& map,
                       const std::u16string& name) -> uint16_t {
        const auto it = map.find(name);
        return it == map.end() ? uint16_t{0xFFFF} : it->second;
    };
    const auto switchAddress = [&](const std::u16string& name) { return in(switches, name); };
    const auto ioAddress = [&]<typename T>(const std::u16string& name, const T*) {
        if constexpr (std::is_same_v<T, CADSignal>)
            return in(signals, name);
        else
            return in(floodGates, name);
    };
    // A section's address, or else (also when the section's is unset) the
    // switch section's of that name.
    const auto sectionAddress = [&](const std::u16string& name) {
        const uint16_t s = in(sections, name);
        return s != 0xFFFF ? s : in(switchSections, name);
    };
    for (InterfaceRow& r : lists_[kZcSwitches]) r.ciAddress = switchAddress(r.name);
    for (InterfaceRow& r : lists_[kZcSignals])
        r.ciAddress = ioAddress(r.name, static_cast<const CADSignal*>(nullptr));
    for (InterfaceRow& r : lists_[kZcProtectionSections])
        r.ciAddress = sectionAddress(Before(r.name, u','));
    for (InterfaceRow& r : lists_[kZcFloodGates])
        r.ciAddress = ioAddress(r.name, static_cast<const CADAfgDoor*>(nullptr));
    for (InterfaceRow& r : lists_[kZcLogicSections])
        r.ciAddress = sectionAddress(Before(r.name, u'_'));
    for (InterfaceRow& r : lists_[kZcAxleSections]) {
        const InterfaceRow* p = PlaceAxle(r.number, r.zc);
        r.physicalName = p ? p->name : u"";
        r.ciAddress = sectionAddress(r.physicalName);
    }
}

bool CiZcRun::FillInterfaceWorkbook(const fs::path& file) {
    Interaction& ui = doc_.UI();
    ExcelHelper x(doc_.Files());
    if (!x.OpenWorkbook(file)) {
        ui.Warning("无法读取接口码位表“" + PathToUtf8(file) + "”：" + x.LastError());
        return false;
    }
    const size_t count = x.Book()->sheets.size();
    // The first route of each name.
    std::unordered_map<std::u16string, size_t> routeByName;
    for (size_t i = 0; i < lists_[kZcRoutes].size(); ++i)
        routeByName.emplace(lists_[kZcRoutes][i].name, i);
    // Z and the routes, as the workbook names them.
    for (size_t i = 1; i <= count; ++i) {
        x.SelectSheet(i);
        const std::u16string name = x.CurrentSheetName();
        if (name == u"ZC-CI序号") z_ = Number(x.GetCell(2, 2));
        if (name != u"进路") continue;
        for (uint32_t r = 2; !x.GetCell(r, 2).empty(); ++r) {
            std::u16string route = x.GetCell(r, 2);
            if (!route.empty() && route.back() == u'F') route.pop_back();
            if (const auto it = routeByName.find(route); it != routeByName.end()) {
                routes_.push_back(lists_[kZcRoutes][it->second]);
            } else {
                InterfaceRow row;
                row.name = route;
                routes_.push_back(std::move(row));
            }
        }
    }
    // The sheets written, each from row 2 without gaps.
    for (size_t i = 1; i <= count; ++i) {
        x.SelectSheet(i);
        const std::u16string name = x.CurrentSheetName();
        if (name == u"进路") {
            uint32_t r = 2;
            for (const InterfaceRow& row : routes_) {
                x.SetCell(r, 4, Dec(row.number));
                for (uint32_t c = 0; c < 3; ++c) x.SetCell(r, 5 + c, Dec(row.codes[c]));
                ++r;
            }
            continue;
        }
        for (const OutSheet& s : OutSheets()) {
            if (name != s.name) continue;
            uint32_t r = 2;
            for (const InterfaceRow& row : lists_[s.kind]) {
                if (row.zc != z_) continue;
                x.SetCell(r, 1, s.kind == kZcAxleSections ? row.physicalName : row.name);
                x.SetCell(r, 2, Dec(row.ciAddress));
                x.SetCell(r, 3, Dec(row.number));
                for (int c = 0; c < s.codes; ++c)
                    x.SetCell(r, 4 + static_cast<uint32_t>(c),
                              Dec(row.codes[static_cast<size_t>(c)]));
                ++r;
            }
        }
    }
    if (!x.SaveAs(file)) {
        ui.Warning("无法保存接口码位表“" + PathToUtf8(file) + "”：" + x.LastError());
        return false;
    }
    x.CloseWorkbook();
    return true;
}

bool GenerateCiZcWorkbook(
    CVelkorDoc* doc, Interaction& ui,
    const std::function<std::optional<fs::path>(const char* prompt)>& choose) {
    if (!doc) {
        ui.Info(kMsgCiZcDone);
        return true;
    }
    CiZcRun run(*doc);
    for (const char* prompt : {kMsgChooseCiZcCodes, kMsgChooseDeviceNumbers}) {
        if (const auto file = choose(prompt)) run.ReadWorkbook(*file);
    }
    run.ResolveAddresses();
    if (doc->PathName().empty()) {
        ui.Warning(std::string("车站尚未保存，没有“ZC_CI\\") + kCiZcWorkbookName +
                   "”可填写：请先保存车站，并把接口码位表放入其ZC_CI文件夹。");
        return false;
    }
    const fs::path dir = doc->Directory() / "ZC_CI";
    doc->Files().MakeDirs(dir);
    const fs::path file = dir / PathFromUtf8(kCiZcWorkbookName);
    if (!doc->Files().Size(file)) {
        ui.Warning("缺少接口码位表“" + PathToUtf8(file) +
                   "”：请把它放入车站的ZC_CI文件夹后再生成。");
        return false;
    }
    if (!run.FillInterfaceWorkbook(file)) return false;
    ui.Info(kMsgCiZcDone);
    return true;
}

}  // namespace velkor
