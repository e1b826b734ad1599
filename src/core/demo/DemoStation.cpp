#include "demo/DemoStation.h"

#include <unordered_set>

#include "iotables/Generators.h"

#include <random>
#include <string>

#include "common/Text.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "devices/TrackSpecials.h"
#include "document/Placing.h"
#include "tables/IoTables.h"

namespace velkor {

namespace {

// Palette codes.
enum Code : int {
    kSection = 0,
    kSwitchStraightLeftUp = 1,
    kSwitchStraightRightDown = 4,
    kSignalUpHighDouble = 9,
    kSignalDownHighDouble = 13,
    kStationBox = 17,
    kText = 18,
    kDecoLine = 19,
    kLight = 21,
    kButton = 22,
    kArrowLeft = 23,
    kBlockLeft = 25,
    kThreeWayLeftUp = 30,
    kSealCount = 36,
    kDerailer = 37,
    kFloodGate = 38,
};

std::u16string U(const std::string& utf8) { return FromUtf8(utf8); }

class Builder {
public:
    Builder(CVelkorDoc& doc, uint32_t seed) : doc_(doc), rng_(seed) {}

    size_t Count() const { return doc_.Objects().size(); }
    int Random(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // A device takes its name as the property dialog's lookup would give it,
    // and lays out its label for that name.
    static void Name(CADDevice* d, const std::u16string& name) {
        if (!d) return;
        d->io.SetName(name);
        d->nameLabel.text = name;
        d->PlaceLabel();
    }

    CADSection* Section(Point a, Point b, const std::string& name, int leftJoint = 0,
                        int rightJoint = 0) {
        auto* s = dynamic_cast<CADSection*>(PlaceObject(doc_, {kSection, a, b}));
        if (!s) return nullptr;
        s->logic.SetName(U(name));
        s->leftJoint = leftJoint;
        s->rightJoint = rightJoint;
        Name(s, U(name));
        return s;
    }

    RailSwitch* Switch(int code, Point at, int connection, const std::string& name,
                       const std::string& section) {
        auto* sw = dynamic_cast<RailSwitch*>(PlaceObject(doc_, {code, at, at, connection}));
        if (!sw) return nullptr;
        sw->switchSection.SetName(U(section));
        // One logic section per switch, named after its switch section.
        sw->logic[0].SetName(U(section + "A"));
        Name(sw, U(name));
        return sw;
    }

    CADThreeSwitch* ThreeWay(int code, Point at, int connection, const std::string& name) {
        auto* sw = dynamic_cast<CADThreeSwitch*>(PlaceObject(doc_, {code, at, at, connection}));
        if (!sw) return nullptr;
        sw->switchSection.SetName(U(name + "DG"));
        Name(sw, U(name));
        return sw;
    }

    CADSignal* Signal(int code, Point at, int angleIndex, const std::string& name, int usage = 0) {
        auto* s = dynamic_cast<CADSignal*>(PlaceObject(doc_, {code, at, at, angleIndex}));
        if (!s) return nullptr;
        Name(s, U(name));
        if (usage != 0) s->ChangeUsageKind(usage);
        if (usage == 3 || usage == 6) {
            // As the property dialog confirms these kinds: the button alone
            // carries the signal's name.
            s->io.SetName(u"");
            s->nameLabel.text.clear();
            s->button.nameLabel.text = U(name);
            s->button.PlaceLabel();
        }
        return s;
    }

    Label* Text(Point at, const std::string& text, int height = -12) {
        auto* l = dynamic_cast<Label*>(PlaceObject(doc_, {kText, at, at}));
        if (!l) return nullptr;
        l->text = U(text);
        l->font.height = height;
        l->SetDragPoints(at, at);
        return l;
    }

    CADButton* Button(Point at, const std::string& name, int type = CADButton::kPlain) {
        auto* b = dynamic_cast<CADButton*>(PlaceObject(doc_, {kButton, at, at}));
        if (!b) return nullptr;
        if (type != CADButton::kPlain) b->SetType(type);
        b->io.SetName(U(name));
        ApplyButtonFunction(b->io);
        b->nameLabel.text = U(name);
        b->PlaceLabel();
        return b;
    }

    template <typename T>
    T* Place(int code, Point a, Point b, const std::string& name = {}) {
        auto* obj = dynamic_cast<T*>(PlaceObject(doc_, {code, a, b}));
        if constexpr (std::is_base_of_v<CADDevice, T>) {
            if (obj && !name.empty()) Name(obj, U(name));
        }
        return obj;
    }

    CVelkorDoc& doc_;
    std::mt19937 rng_;
};

// Two main lines through a platform, a crossover at each end, signals at the
// section joints, a siding with a three-way switch, and the control panel
// below the track.
void BuildMetroStation(Builder& b, Point o, int serial) {
    const std::string n = serial == 0 ? "" : std::to_string(serial) + "-";
    const auto at = [o](int x, int y) { return Point{o.x + x, o.y + y}; };
    const int up = 300;
    const int down = 404;

    // Up line, west to east, with a crossover to the down line at each end.
    b.Section(at(60, up), at(200, up), n + "X1JG", 1, 0);
    b.Section(at(200, up), at(320, up), n + "1DG");
    b.Switch(kSwitchStraightRightDown, at(320, up), 0, n + "1", n + "3DG");
    b.Section(at(380, up), at(540, up), n + "5DG");
    b.Section(at(540, up), at(1060, up), n + "IG");
    b.Section(at(1060, up), at(1180, up), n + "7DG");
    b.Switch(kSwitchStraightLeftUp + 1, at(1240, up), 0, n + "5", n + "9DG");
    b.Section(at(1240, up), at(1400, up), n + "11DG");
    b.Section(at(1400, up), at(1560, up), n + "S1JG", 0, 1);

    // Down line, west to east.
    b.Section(at(60, down), at(200, down), n + "X2JG", 1, 0);
    b.Section(at(200, down), at(380, down), n + "2DG");
    b.Switch(kSwitchStraightLeftUp, at(380, down), 1, n + "2", n + "4DG");
    b.Section(at(440, down), at(540, down), n + "6DG");
    b.Section(at(540, down), at(1060, down), n + "IIG");
    b.Section(at(1060, down), at(1120, down), n + "8DG");
    b.Switch(kSwitchStraightLeftUp + 2, at(1120, down), 0, n + "6", n + "10DG");
    b.Section(at(1180, down), at(1400, down), n + "12DG");
    b.Section(at(1400, down), at(1560, down), n + "S2JG", 0, 2);

    // Signals: up-line ones above the up line, down-line ones below the down
    // line, at every angle and with every usage kind. Copies of the group in
    // a large station vary their signals with the seed.
    const auto angle = [&](int fixed) { return serial == 0 ? fixed : b.Random(0, 4); };
    const auto usage = [&](int fixed) { return serial == 0 ? fixed : b.Random(0, 6); };
    b.Signal(kSignalUpHighDouble, at(200, up), angle(2), n + "X1", usage(0));
    b.Signal(kSignalUpHighDouble + 1, at(540, up), angle(2), n + "X3", usage(2));
    b.Signal(kSignalUpHighDouble + 2, at(1060, up), angle(2), n + "XI", usage(1));
    b.Signal(kSignalUpHighDouble + 3, at(1400, up), angle(2), n + "X5", usage(5));
    b.Signal(kSignalDownHighDouble, at(200, down), angle(2), n + "S2", usage(0));
    b.Signal(kSignalDownHighDouble + 1, at(540, down), angle(2), n + "SII", usage(4));
    b.Signal(kSignalDownHighDouble + 2, at(1060, down), angle(2), n + "S4", usage(0));
    b.Signal(kSignalDownHighDouble + 3, at(1400, down), angle(2), n + "S6", usage(2));

    // A siding north of the up line, with a three-way switch and its ends.
    const int siding = 160;
    b.Section(at(460, siding), at(620, siding), n + "21DG", 0, 1);
    b.ThreeWay(kThreeWayLeftUp + 4, at(620, siding), 0, n + "21");
    b.Section(at(680, siding), at(900, siding), n + "23DG", 0, 1);
    b.Section(at(680, siding - 52), at(840, siding - 52), n + "25DG", 0, 1);
    b.Section(at(680, siding + 52), at(840, siding + 52), n + "27DG", 0, 1);
    b.Signal(kSignalUpHighDouble + 1, at(620, siding - 40), 0, n + "D21");
    b.Signal(kSignalDownHighDouble + 1, at(840, siding + 80), 1, n + "D23");
    b.Signal(kSignalUpHighDouble + 3, at(900, siding), 3, n + "D25", 3);
    b.Signal(kSignalDownHighDouble + 3, at(460, siding + 40), 4, n + "D27", 6);
    b.Place<CADDerailer>(kDerailer, at(940, siding), at(940, siding), n + "TG1");

    // A depot track south of the down line.
    const int depot = 470;
    b.Section(at(200, depot), at(400, depot), n + "31DG", 1, 0);
    b.ThreeWay(kThreeWayLeftUp + 2, at(460, depot), 0, n + "31");
    b.Section(at(460, depot), at(700, depot), n + "33DG", 0, 1);
    b.Section(at(300, depot - 52), at(400, depot - 52), n + "35DG", 1, 0);
    b.Section(at(300, depot + 52), at(400, depot + 52), n + "37DG", 1, 0);
    b.Signal(kSignalDownHighDouble + 3, at(700, depot), angle(2), n + "D31", usage(1));
    b.Signal(kSignalUpHighDouble + 3, at(200, depot), angle(2), n + "D33", usage(1));
    b.Place<CADDerailer>(kDerailer, at(720, depot), at(720, depot), n + "TG2");
    b.Place<CADAfgDoor>(kFloodGate, at(780, depot), at(780, depot), n + "FMG2");
    b.Text(at(880, depot - 6), n + "车辆段", -12);
    b.Place<CADAfgDoor>(kFloodGate, at(1000, siding), at(1000, siding), n + "FMG1");

    // The station: a box over the platforms with its doors and buttons.
    auto* box = b.Place<CADStation>(kStationBox, at(740, 212), at(740, 212));
    if (box) {
        box->name = U(n + "示例站");
        box->upperDoor = 1;
        box->lowerDoor = 1;
        box->Layout();
        const char* names[4] = {"扣车", "取消扣车", "跳停", "取消跳停"};
        for (int i = 0; i < 4; ++i) b.Name(&box->buttons[static_cast<size_t>(i)], U(names[i]));
    }
    b.Text(at(40, 20), n + "Velkor 示例车站", -20);
    b.Text(at(600, 320), n + "上行", -12);
    b.Text(at(600, 424), n + "下行", -12);

    // The control panel.
    const int panel = 560;
    b.Place<CADDeLine>(kDecoLine, at(40, panel - 20), at(1560, panel - 20));
    b.Place<CADDeLine>(kDecoLine, at(40, 880), at(1560, 880));
    b.Place<CADDeLine>(kDecoLine, at(40, panel - 20), at(40, 880));
    b.Place<CADDeLine>(kDecoLine, at(1560, panel - 20), at(1560, 880));
    const char* functions[] = {"总取消", "总人解", "总定位",   "总反位",   "单锁",     "单解",
                               "封锁",   "解封",   "引导总锁", "计轴复位", "上电解锁", "坡道解"};
    for (int i = 0; i < 12; ++i)
        b.Button(at(60 + (i % 6) * 90, panel + (i / 6) * 50), functions[i]);
    const char* more[] = {"自动进路", "取消自动进路", "快速进路", "取消快速进路",
                          "点灯命令", "灭灯命令",     "紧急停车", "取消紧急停车",
                          "遥控",     "站控",         "闭塞",     "复原"};
    for (int i = 0; i < 12; ++i)
        b.Button(at(1060 + (i % 4) * 120, panel + 120 + (i / 4) * 50), more[i]);
    for (int i = 0; i < 4; ++i)
        b.Button(at(620 + i * 40, panel + 10), "ZDZ" + std::to_string(i + 1), 1);
    for (int i = 0; i < 4; ++i) {
        b.Button(at(620 + i * 40, panel + 60), "取消ZDZ" + std::to_string(i + 1), 2);
    }
    for (int i = 0; i < 16; ++i) {
        const Point p = at(800 + (i % 8) * 40, panel + 20 + (i / 8) * 50);
        b.Place<CADDeLight>(kLight, p, p, n + "L" + std::to_string(i + 1));
    }
    b.Place<ArrowLight>(kArrowLeft, at(1140, panel + 20), at(1140, panel + 20), n + "XJT");
    b.Place<ArrowLight>(kArrowLeft + 1, at(1260, panel + 20), at(1260, panel + 20), n + "SJT");
    b.Place<ArrowLight>(kArrowLeft, at(1140, panel + 70), at(1140, panel + 70), n + "XFJT");
    b.Place<ArrowLight>(kArrowLeft + 1, at(1260, panel + 70), at(1260, panel + 70), n + "SFJT");
    const char* seals[3] = {"总人解计数", "区故解计数", "引导计数"};
    for (int i = 0; i < 3; ++i) {
        const Point p = at(1300 + i * 90, panel + 10);
        b.Place<CADSealCount>(kSealCount, p, p, n + seals[i]);
    }
    for (int v = 0; v < 3; ++v) {
        b.Place<CADSemiAutoBlock>(kBlockLeft + v, at(60 + v * 200, panel + 120), at(0, 0));
    }
    b.Text(at(700, panel + 140), n + "半自动闭塞", -16);
}

// Relay addresses handed out one after the other, as boards of sixteen (0x0100, 0x0101 … 0x010F,
// 0x0200 …); a station larger than those 4,080 relays goes on with the other 16-bit values, so that
// even a very large demo has no relay used twice until all 65,535 are taken.
struct RelayCounter {
    uint32_t next = 0x0100;
    bool boards = true;
    uint16_t Take() {
        const auto r = static_cast<uint16_t>(next);
        if (boards) {
            next = (next & 0x0F) == 0x0F ? (next & 0xFF00) + 0x0100 : next + 1;
            if (next > 0xFFFF) {
                boards = false;
                next = 0;
            }
        } else {
            do {
                next = next + 1 >= 0xFFFF ? 0 : next + 1;
            } while (next >= 0x0100 && (next & 0xF0) == 0);
        }
        return r;
    }
};

// The rows of the demo's tables with the names already given, so that a
// large station's tables fill in linear time.
struct TableFill {
    IoTables& t;
    std::unordered_set<std::u16string> names;

    // The names a row answers to, as the tables' own name lookup matches
    // them: a two-way switch "1-3" answers to 1 and 3 as well.
    void Append(int table, Row row) {
        const std::u16string name = row.Name();
        names.insert(name);
        if (table == kSwitchTable) {
            size_t start = 0;
            for (size_t dash; (dash = name.find(u'-', start)) != std::u16string::npos;
                 start = dash + 1) {
                names.insert(name.substr(start, dash - start));
            }
            names.insert(name.substr(start));
        }
        t.Append(table, std::move(row));
    }
};

void AddRow(TableFill& fill, int table, const std::u16string& name,
            std::initializer_list<size_t> relays, RelayCounter& relay) {
    IoTables& t = fill.t;
    if (table != kSectionTable && fill.names.count(name)) return;  // one row a name
    Row r = IoTables::NewRow(table);
    r.SetName(name);
    AssignAddresses(table, r, static_cast<uint16_t>(t.Table(table).size()));
    for (size_t o : relays) r.SetU16(o, relay.Take());
    fill.Append(table, std::move(r));
}

// The input tables of the demo: a row for every named device, relay
// addresses without conflicts, a logic section per track section.
void FillInputTables(CVelkorDoc& doc) {
    IoTables& t = doc.io;
    TableFill fill{t, {}};
    RelayCounter relay;
    for (const auto& obj : doc.Objects()) {
        if (auto* s = dynamic_cast<CADSection*>(obj.get())) {
            AddRow(fill, kSectionTable, s->io.Name(), {io::kSectionGJ}, relay);
            Row l = IoTables::NewRow(kLogicSectionTable);
            l.SetName(s->logic.Name());
            AssignAddresses(kLogicSectionTable, l,
                            static_cast<uint16_t>(t.Table(kLogicSectionTable).size()));
            l.SetU16(io::kLogicPhysicalAddress, t.Table(kSectionTable).back().U16(io::kAddress));
            l.SetText(io::kLogicPhysicalName, 16, s->io.Name());
            l.SetU16(io::kLogicDirection, 0);
            fill.Append(kLogicSectionTable, std::move(l));
        }
    }
    for (const auto& obj : doc.Objects()) {
        if (auto* w = dynamic_cast<RailSwitch*>(obj.get())) {
            AddRow(fill, kSwitchTable, w->io.Name(),
                   {io::kSwitchDBJ, io::kSwitchFBJ, io::kSwitchSJ}, relay);
            AddRow(fill, kSectionTable, w->switchSection.Name(), {io::kSectionGJ}, relay);
            Row l = IoTables::NewRow(kLogicSectionTable);
            l.SetName(w->logic[0].Name());
            AssignAddresses(kLogicSectionTable, l,
                            static_cast<uint16_t>(t.Table(kLogicSectionTable).size()));
            l.SetU16(io::kLogicPhysicalAddress, t.Table(kSectionTable).back().U16(io::kAddress));
            l.SetText(io::kLogicPhysicalName, 16, w->switchSection.Name());
            l.SetU16(io::kLogicDirection, 0);
            fill.Append(kLogicSectionTable, std::move(l));
        }
    }
    for (const auto& obj : doc.Objects()) {
        auto* g = dynamic_cast<CADSignal*>(obj.get());
        if (!g || g->io.Name().empty()) continue;
        const std::u16string name = g->io.Name();
        Row r = IoTables::NewRow(kSignalTable);
        r.SetName(name);
        AssignAddresses(kSignalTable, r, static_cast<uint16_t>(t.Table(kSignalTable).size()));
        // Two-lamp signals show 三显（绿引）, single-lamp ones 二显（红白）.
        const uint16_t type = g->lampCount == 2 ? 6 : 2;
        r.SetU16(io::kSignalType, type);
        for (int i = 0; i < 10; ++i) {
            if (SignalTypeHasRelay(type, i))
                r.SetU16(io::kSignalRelays + 2 * static_cast<size_t>(i), relay.Take());
        }
        fill.Append(kSignalTable, std::move(r));
    }
    for (const auto& obj : doc.Objects()) {
        if (auto* d = dynamic_cast<CADDevice*>(obj.get())) {
            if (dynamic_cast<CADButton*>(d) || dynamic_cast<CADDeLight*>(d)) {
                if (d->io.Name() != u"NO")
                    AddRow(fill, kLingsanTable, d->io.Name(), {io::kLingsanRelay}, relay);
            }
        }
        if (auto* box = dynamic_cast<CADStation*>(obj.get())) {
            Row st = IoTables::NewRow(kStationTable);
            AssignAddresses(kStationTable, st,
                            static_cast<uint16_t>(t.Table(kStationTable).size()));
            st.SetText(io::kStationName, io::kStationNameBytes, box->name);
            st.SetU16(io::kStation, static_cast<uint16_t>(t.Table(kStationTable).size() + 1));
            fill.Append(kStationTable, std::move(st));
        }
    }
}

}  // namespace

void BuildDemoStation(CVelkorDoc& doc, const DemoOptions& options) {
    Builder b(doc, options.seed);
    BuildMetroStation(b, {0, 0}, 0);
    if (options.objects <= 0) {
        FillInputTables(doc);
        // As a designer leaves it: the relay addresses read into the devices
        // (读取输入板). The signals whose button alone carries their name have
        // no row, so the named signals take theirs here rather than through
        // the transfer, which would report the unnamed ones.
        TransferInputTablesInto(doc, {false, true, true, true, true, true});
        for (CADSignal* s : doc.ObjectsOf<CADSignal>()) {
            const Row* row = s->io.Name().empty() ? nullptr : doc.io.FindByName(s->io.Name());
            if (!row || doc.io.TableOf(row) != kSignalTable) continue;
            s->io.address = row->U16(io::kAddress);
            s->io.button = row->U16(io::kButton);
            s->io.word = row->U16(io::kWord);
            s->io.bit = row->U16(io::kBit);
            if (CADSignal::HasEmbeddedButton(s->usageKind))
                s->button2 = row->U16(io::kSignalButton2);
        }
        return;
    }
    // A large station: the same group again and again, shifted so that the
    // copies do not overlap, with names numbered by copy.
    int serial = 1;
    while (static_cast<int>(b.Count()) < options.objects) {
        const int col = serial % 4;
        const int row = serial / 4;
        BuildMetroStation(b, {col * 1700, row * 1000}, serial);
        ++serial;
    }
    if (options.tables) FillInputTables(doc);
}

}  // namespace velkor
