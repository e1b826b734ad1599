// The ATS generation end to end on the demo station: every output file and
// the workbook's cells against an expectation derived here, straight from
// the rules, by plain walks over the drawing and the tables.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ats/AtsGeneration.h"
#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/Files.h"
#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"
#include "workbook/Workbook.h"

namespace velkor {
namespace {

constexpr int kSerial = 1, kNull = 2;

struct Expected {
    int serial;
    std::u16string name;
    int type;
    int code;
};

class DemoAts {
public:
    explicit DemoAts(const CVelkorDoc& doc) : doc_(doc) {}

    template <typename T>
    std::vector<const T*> All() const {
        std::vector<const T*> out;
        for (const auto& o : doc_.Objects()) {
            if (auto* t = dynamic_cast<const T*>(o.get())) out.push_back(t);
        }
        return out;
    }
    template <typename T, typename P>
    const T* FirstOf(P pred) const {
        for (const T* t : All<T>()) {
            if (pred(*t)) return t;
        }
        return nullptr;
    }
    std::u16string Strip(std::u16string s) const {
        return doc_.hasLogicSections ? RemoveLogicSuffix(s) : s;
    }
    const RailSwitch* SwitchBySection(const std::u16string& text) const {
        const std::u16string key = Strip(text);
        return FirstOf<RailSwitch>(
            [&](const RailSwitch& w) { return w.switchSection.Name() == key; });
    }
    static bool Takes(const Row& r) {
        const std::u16string n = r.Name();
        return !n.empty() && n.back() != u'F' && n != u"NO";
    }
    std::u16string SignalLabel(uint16_t a) const {
        auto* s = FirstOf<CADSignal>([&](const CADSignal& x) { return x.io.address == a; });
        return s ? s->nameLabel.text : u"";
    }
    std::u16string SwitchLabel(uint16_t a) const {
        auto* s = FirstOf<RailSwitch>([&](const RailSwitch& x) { return x.io.address == a; });
        return s ? s->nameLabel.text : u"";
    }
    std::u16string SectionName(uint16_t a) const {
        auto* s = FirstOf<CADSection>([&](const CADSection& x) { return x.io.address == a; });
        return s ? s->io.Name() : u"";
    }
    const CADButton* ButtonLabelled(const std::u16string& l) const {
        return FirstOf<CADButton>([&](const CADButton& b) { return b.nameLabel.text == l; });
    }
    int PlatformType(uint16_t id) const {
        auto* st = FirstOf<CADStation>([&](const CADStation& s) { return s.id == id; });
        return !st ? 204 : st->lowerDoor ? 13 : st->upperDoor ? 12 : 204;
    }

    const CVelkorDoc& doc_;
};

std::string Text(const std::vector<Expected>& items) {
    std::string out =
        std::to_string(items.size()) + "\r\nV000.000.000.000\t2025-12-06 05:46:40\r\n";
    for (const Expected& e : items) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", e.code);
        out += std::to_string(e.serial) + "\t" + ToGbk(e.name.empty() ? u"NULL" : e.name) + "\t" +
               std::to_string(e.type) + "\t" + code + "\r\n";
    }
    return out;
}

std::vector<uint8_t> Binary(const std::vector<Expected>& items, std::time_t now) {
    std::vector<uint8_t> out(16, 0);
    PutU32LE(out.data(), static_cast<uint32_t>(items.size()));
    for (int i = 0; i < 8; ++i)
        out[8 + i] = static_cast<uint8_t>(static_cast<uint64_t>(now) >> (8 * i));
    for (const Expected& e : items) {
        uint8_t rec[27] = {};
        PutU32LE(rec, static_cast<uint32_t>(e.serial));
        const std::string name = ToGbk(e.name.empty() ? u"NULL" : e.name);
        std::copy_n(name.begin(), std::min<size_t>(name.size(), 20), rec + 4);
        rec[24] = static_cast<uint8_t>(e.type);
        PutU16LE(rec + 25, static_cast<uint16_t>(e.code));
        out.insert(out.end(), rec, rec + 27);
    }
    return out;
}

struct AtsStation {
    const char* name;
    DemoOptions options;
    int32_t logicSections;  // 有逻辑区段
};

class AtsDemo : public ::testing::TestWithParam<AtsStation> {};

// The believable station, and a large one of copies with full tables and
// logic sections, whose lookups run through the generation's indexes.
INSTANTIATE_TEST_SUITE_P(Stations, AtsDemo,
                         ::testing::Values(AtsStation{"Demo", {}, 0},
                                           AtsStation{"Copies1000", {1000, 3, true}, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(AtsDemo, EveryFileAndTheWorkbookMatchTheRules) {
    setenv("TZ", "UTC", 1);
    tzset();
    constexpr std::time_t kNow = 1765000000;
    InstallClock([] { return kNow; });
    MemoryFileStore files;
    testing::ScriptedInteraction ui;
    CVelkorDoc doc(ui, files);
    doc.OnNewDocument();
    BuildDemoStation(doc, GetParam().options);
    if (GetParam().logicSections) {
        doc.hasLogicSections = GetParam().logicSections;
        doc.logicSectionsPerSwitch = 1;
    }
    ASSERT_TRUE(doc.OnSaveDocument("/demo/Demo.lcp"));
    ASSERT_TRUE(GenerateAtsData(doc));
    InstallClock({});

    const DemoAts d(doc);
    // Commands, one running number.
    std::vector<Expected> buttonCmds, signalCmds, switchCmds, sectionCmds, sectionIoCmds, gateCmds,
        platformCmds, auxCmds;
    int c = 1;
    for (const Row& r : doc.io.Table(kSignalTable)) {
        if (!DemoAts::Takes(r)) continue;
        auto* s = d.FirstOf<CADSignal>([&](const CADSignal& x) { return x.io.Name() == r.Name(); });
        if (s && (s->usageKind == 2 || s->usageKind == 5)) {
            buttonCmds.push_back({c++, s->io.Name() + (s->io.Name()[0] == u'D' ? u"LA" : u"DA"), 0,
                                  s->button.io.button});
        }
    }
    for (const Row& r : doc.io.Table(kSignalTable)) {
        if (!DemoAts::Takes(r)) continue;
        const uint16_t a = r.U16(io::kAddress);
        Expected e{c++, d.SignalLabel(a), 1, r.U16(io::kButton)};
        if (e.name.empty()) {
            auto* b = d.FirstOf<CADButton>([&](const CADButton& x) { return x.io.address == a; });
            e = {e.serial, b ? b->nameLabel.text : u"", 9, e.code};
        }
        signalCmds.push_back(e);
    }
    for (const Row& r : doc.io.Table(kSwitchTable)) {
        if (DemoAts::Takes(r))
            switchCmds.push_back({c++, d.SwitchLabel(r.U16(io::kAddress)), 2, r.U16(io::kButton)});
    }
    for (const Row& r : doc.io.Table(kSectionTable)) {
        if (!DemoAts::Takes(r)) continue;
        Expected cmd{c, d.SectionName(r.U16(io::kAddress)), 3, r.U16(io::kButton)};
        Expected ioCmd{c++, r.Name(), 3, r.U16(io::kButton)};
        if (const RailSwitch* w = d.SwitchBySection(cmd.name.empty() ? r.Name() : cmd.name)) {
            cmd = {cmd.serial, w->nameLabel.text, 4, cmd.code};
            ioCmd = {ioCmd.serial, d.Strip(w->switchSection.Name()), 4, ioCmd.code};
        }
        sectionCmds.push_back(cmd);
        sectionIoCmds.push_back(ioCmd);
    }
    for (const CADAfgDoor* g : d.All<CADAfgDoor>()) {
        const std::u16string n = g->nameLabel.text;
        if ((!n.empty() && n.back() == u'F') || n == u"NO") continue;
        gateCmds.push_back({c++, n, 11, g->io.button});
    }
    for (const Row& r : doc.io.Table(kStationTable)) {
        const std::u16string name = r.Text(io::kStationName, io::kStationNameBytes);
        if (r.Name().empty() || r.Name().back() == u'F' || name.empty() || name.back() == u'F')
            continue;
        platformCmds.push_back(
            {c++, name, d.PlatformType(r.U16(io::kStation)), r.U16(io::kStation)});
    }
    const uint16_t commandButtons[] = {0x0645, 0x0745, 0x0C45, 0x0D45, 0x0945, 0x0A45, 0x0B45};
    std::vector<std::u16string> auxNames;
    for (uint16_t number : commandButtons) {
        if (auto* b =
                d.FirstOf<CADButton>([&](const CADButton& x) { return x.io.button == number; })) {
            auxNames.push_back(b->nameLabel.text);
        }
    }
    for (uint16_t j = 1; j <= 3; ++j) {
        if (auto* b = d.FirstOf<CADButton>(
                [&](const CADButton& x) { return x.io.button == 0x0E42 && x.io.address == j; })) {
            auxNames.push_back(b->nameLabel.text);
        }
    }
    for (uint16_t k = 1; k <= 2; ++k) {
        if (auto* b = d.FirstOf<CADButton>(
                [&](const CADButton& x) { return x.io.button == 0x0745 && x.io.address == k; })) {
            auxNames.push_back(b->nameLabel.text);
        }
    }
    for (int z = 1; z <= 16; ++z) auxNames.push_back(u"ZDZ" + FromUtf8(std::to_string(z)));
    for (const auto& n : auxNames) {
        if (const CADButton* b = d.ButtonLabelled(n)) auxCmds.push_back({c++, n, 9, b->io.button});
    }
    auxCmds.push_back({c, u"辅助", 9, 0x0040});

    // Indications, numbered per group.
    std::vector<Expected> signalShow, switchShow, sectionShow, baseShow, lightShow, auxShow,
        gateShow, platformShow;
    int n = 1;
    for (const Row& r : doc.io.Table(kSignalTable)) {
        if (!DemoAts::Takes(r)) continue;
        const std::u16string name = d.SignalLabel(r.U16(io::kAddress));
        if (!name.empty()) signalShow.push_back({n++, name, 1, r.U16(io::kAddress)});
    }
    n = 1;
    for (const Row& r : doc.io.Table(kSwitchTable)) {
        if (DemoAts::Takes(r))
            switchShow.push_back({n++, d.SwitchLabel(r.U16(io::kAddress)), 2, r.U16(io::kAddress)});
    }
    n = 1;
    for (const Row& r : doc.io.Table(kSectionTable)) {
        if (!DemoAts::Takes(r)) continue;
        Expected s{n, d.SectionName(r.U16(io::kAddress)), 3, r.U16(io::kAddress)};
        Expected b{n++, s.name.empty() ? u"" : d.Strip(s.name), 3, s.code};
        if (const RailSwitch* w = d.SwitchBySection(r.Name())) {
            s = {s.serial, w->nameLabel.text, 4, s.code};
            b = {b.serial, d.Strip(w->switchSection.Name()), 4, b.code};
        }
        sectionShow.push_back(s);
        baseShow.push_back(b);
    }
    const char* equipment[][2] = {{"1", "熔丝报警"},  {"2", "灯丝报警"},  {"3", "电源报警"},
                                  {"4", "一路电源"},  {"5", "二路电源"},  {"7", "I系"},
                                  {"8", "I系"},       {"9", "II系"},      {"10", "II系"},
                                  {"11", "DA-FAN"},   {"12", "DA-ON"},    {"13", "板卡状态"},
                                  {"14", "维修机"},   {"15", "DA-RE"},    {"17", "ATP-A网"},
                                  {"18", "ATP-B网"},  {"19", "试车请求"}, {"20", "试车同意"},
                                  {"21", "试车开始"}, {"22", "通信状态"}, {"23", "维修点灯"}};
    for (const auto& e : equipment) {
        const std::u16string name = FromUtf8(e[1]);
        const int serial = std::atoi(e[0]);
        const int type = serial == 1 || serial == 15 ? 5 : (serial == 8 || serial == 10 ? 7 : 6);
        if (d.FirstOf<CADDeLight>([&](const CADDeLight& l) { return l.nameLabel.text == name; })) {
            lightShow.push_back({serial, name, type, 0});
        }
    }
    std::vector<std::pair<std::u16string, uint16_t>> auxB;  // name, provisional code
    for (uint16_t j = 1; j <= 3; ++j) {
        if (auto* b = d.FirstOf<CADButton>(
                [&](const CADButton& x) { return x.io.button == 0x0E42 && x.io.address == j; })) {
            auxB.push_back({b->nameLabel.text, 0x0E42});
        }
    }
    for (uint16_t k = 1; k <= 2; ++k) {
        if (auto* b = d.FirstOf<CADButton>(
                [&](const CADButton& x) { return x.io.button == 0x0745 && x.io.address == k; })) {
            auxB.push_back({b->nameLabel.text, 0x0E42});
        }
    }
    for (int z = 0; z < 16; ++z)
        auxB.push_back(
            {u"ZDZ" + FromUtf8(std::to_string(z + 1)), static_cast<uint16_t>((z << 12) | 0x0144)});
    for (size_t i = 0; i < auxB.size(); ++i) {
        const CADButton* b = d.ButtonLabelled(auxB[i].first);
        if (!b) continue;
        auto* byNumber =
            d.FirstOf<CADButton>([&](const CADButton& x) { return x.io.button == auxB[i].second; });
        auxShow.push_back({65 + static_cast<int>(auxShow.size()),
                           byNumber ? byNumber->nameLabel.text : u"", 9, b->io.button});
    }
    n = 1;
    for (const Row& r : doc.io.Table(kStationTable)) {
        const std::u16string name = r.Text(io::kStationName, io::kStationNameBytes);
        if (r.Name().empty() || r.Name().back() == u'F' || name.empty() || name.back() == u'F')
            continue;
        platformShow.push_back(
            {n++, name, d.PlatformType(r.U16(io::kStation)), r.U16(io::kStation)});
    }
    n = 1;
    for (const CADAfgDoor* g : d.All<CADAfgDoor>()) {
        const std::u16string name = g->nameLabel.text;
        if ((!name.empty() && name.back() == u'F') || name == u"NO") continue;
        gateShow.push_back({n++, name, 11, g->io.address});
    }
    const std::vector<Expected> power = {{1, u"可上电解锁", 10, 0}, {2, u"已解除临时限速", 10, 0}};

    // The logic-section list.
    std::vector<Expected> logic;
    n = 1;
    for (const Row& r : doc.io.Table(kLogicSectionTable)) {
        const std::u16string name = r.Name();
        if (name == u"NO" || (name.size() >= 2 && name[name.size() - 2] == u'F')) continue;
        const uint16_t a = r.U16(io::kAddress);
        auto* w = d.FirstOf<RailSwitch>([&](const RailSwitch& x) {
            for (int i = 0; i < doc.logicSectionsPerSwitch && i < 4; ++i) {
                const Row* found = doc.io.FindByName(x.logic[static_cast<size_t>(i)].Name());
                if (found && found->U16(io::kAddress) == a) return true;
            }
            return false;
        });
        logic.push_back(w ? Expected{n++, w->io.Name(),
                                     doc.logicSectionsPerSwitch == 2
                                         ? (a == w->logic[0].address ? 17 : 18)
                                         : 16,
                                     a}
                          : Expected{n++, name, 15, a});
    }

    const auto join = [](std::initializer_list<const std::vector<Expected>*> groups) {
        std::vector<Expected> out;
        for (auto* g : groups) out.insert(out.end(), g->begin(), g->end());
        return out;
    };
    const auto commands = join(
        {&buttonCmds, &signalCmds, &switchCmds, &sectionCmds, &gateCmds, &platformCmds, &auxCmds});
    const auto indications = join({&signalShow, &switchShow, &sectionShow, &lightShow, &auxShow,
                                   &power, &gateShow, &platformShow});
    // The demo has something in the groups this test is about.
    EXPECT_FALSE(buttonCmds.empty());
    EXPECT_FALSE(gateCmds.empty());
    EXPECT_FALSE(platformCmds.empty());
    EXPECT_GT(
        std::count_if(logic.begin(), logic.end(), [](const Expected& e) { return e.type == 16; }),
        0);
    EXPECT_GT(std::count_if(sectionCmds.begin(), sectionCmds.end(),
                            [](const Expected& e) { return e.type == 4; }),
              0);

    const auto file = [&](const char* name) {
        const auto it = files.files.find(fs::path("/demo/ATS") / PathFromUtf8(name));
        return it == files.files.end() ? std::vector<uint8_t>() : it->second;
    };
    const auto str = [](const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); };
    EXPECT_EQ(str(file("AtsCmd.txt")), Text(commands));
    EXPECT_EQ(str(file("AtsShow.txt")), Text(indications));
    EXPECT_EQ(str(file("LogicSection.txt")), Text(logic));
    EXPECT_EQ(file("AtsCmd.bin"), Binary(commands, kNow));
    EXPECT_EQ(file("AtsShow.bin"), Binary(indications, kNow));
    EXPECT_EQ(file("LogicSection.bin"), Binary(logic, kNow));

    // The workbook: the groups under their titles; NULL where the text files
    // named an item so, except the auxiliary indications (the files had copies).
    Status error;
    const auto book = ReadXls(file("码位表.xls"), &error);
    ASSERT_TRUE(book) << error.Message();
    ASSERT_EQ(book->sheets.size(), 6u);
    const auto sheetRows = [&](size_t sheet) {
        std::vector<std::pair<std::u16string, std::u16string>> rows;
        const auto& cells = book->sheets[sheet].cells;
        uint32_t last = cells.empty() ? 0 : cells.rbegin()->first.first;
        for (uint32_t r = 1; r <= last; ++r) {
            const auto a = cells.find({r, 1}), b = cells.find({r, 2});
            rows.push_back({a == cells.end() ? u"" : CellText(a->second),
                            b == cells.end() ? u"" : CellText(b->second)});
        }
        return rows;
    };
    using Rows = std::vector<std::pair<std::u16string, std::u16string>>;
    const auto rowsOf = [](std::initializer_list<
                            std::pair<const char*, std::pair<const std::vector<Expected>*, int>>>
                               groups) {
        Rows rows{{u"序号", u"名称"}};
        for (const auto& [title, g] : groups) {
            if (*title) rows.push_back({FromUtf8(title), u""});
            for (const Expected& e : *g.first) {
                // kSerial: column A shows the serial; kNull: the group's items
                // went to a text file, where an unnamed one became "NULL".
                const std::u16string name = e.name.empty() && (g.second & kNull) ? u"NULL" : e.name;
                rows.push_back(
                    {(g.second & kSerial) ? FromUtf8(std::to_string(e.serial)) : u"", name});
            }
        }
        return rows;
    };
    const std::vector<Expected> prompts = [] {
        std::vector<Expected> p;
        for (int i = 1; i <= 10; ++i)
            p.push_back({i, u"提示信息" + FromUtf8(std::to_string(i)), 14, 0});
        return p;
    }();
    // The workbook's base names were never written to a text file: no NULL.
    EXPECT_EQ(book->sheets[2].name, u"表示码位表");
    EXPECT_EQ(sheetRows(2), rowsOf({{"信号机", {&signalShow, kSerial | kNull}},
                                    {"道岔", {&switchShow, kSerial | kNull}},
                                    {"区段", {&baseShow, kSerial}},
                                    {"表示灯", {&lightShow, kNull}},
                                    {"", {&auxShow, 0}},
                                    {"标志", {&power, kSerial | kNull}},
                                    {"防淹门", {&gateShow, kSerial | kNull}},
                                    {"站台", {&platformShow, kSerial | kNull}},
                                    {"提示信息", {&prompts, kSerial}}}));
    EXPECT_EQ(book->sheets[1].name, u"控制码位表");
    constexpr int kBoth = kSerial | kNull;
    EXPECT_EQ(sheetRows(1), rowsOf({{"列调按钮", {&buttonCmds, kBoth}},
                                    {"信号机", {&signalCmds, kBoth}},
                                    {"道岔", {&switchCmds, kBoth}},
                                    {"区段", {&sectionIoCmds, kSerial}},
                                    {"防淹门", {&gateCmds, kBoth}},
                                    {"站台", {&platformCmds, kBoth}},
                                    {"按钮", {&auxCmds, kBoth}}}));
    EXPECT_EQ(book->sheets[0].name, u"逻辑区段码位表");
    Rows logicRows = rowsOf({{"逻辑区段", {&logic, kSerial | kNull}}});
    EXPECT_EQ(sheetRows(0), logicRows);
}

}  // namespace
}  // namespace velkor
