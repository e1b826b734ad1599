// The generators look rows and devices up through indexes built once per
// run. Each index must answer exactly as the plain walk it replaces: the
// first match in table or list order. Random tables with many clashes, and a
// large demo station, are run both ways here.
#include <gtest/gtest.h>

#include <random>

#include "common/Files.h"
#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "iotables/Generators.h"
#include "support/ScriptedInteraction.h"
#include "tables/IoTables.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;

// Names drawn from a small pool, so that most of them repeat, with the
// switch-row forms a lookup must see through: pairs, empty parts, dashes
// at either end.
const std::vector<std::u16string> kNames = {
    u"1",  u"3",  u"1-3", u"3-5",  u"1--3", u"-", u"5-",   u"-7",   u"1DG",   u"3DG",
    u"X1", u"X3", u"NO",  u"5DGA", u"5DGB", u"",  u"7DGA", u"7DGB", u"1DG-1", u"总取消"};

// Random tables: names from the pool, numbers and relays from a small range
// so that conflicts of every kind occur, in random places.
IoTables RandomTables(std::mt19937& rng, int rows, int valueRange) {
    IoTables t;
    std::uniform_int_distribution<size_t> name(0, kNames.size() - 1);
    std::uniform_int_distribution<int> value(0, valueRange);
    std::uniform_int_distribution<int> type(0, 19);
    for (int i = 0; i < kInputTableCount; ++i) {
        std::uniform_int_distribution<int> count(0, rows);
        const int n = count(rng);
        for (int r = 0; r < n; ++r) {
            Row row = IoTables::NewRow(i);
            row.SetName(kNames[name(rng)]);
            // Mostly continuous numbering with a clash now and then.
            row.SetU16(io::kAddress,
                       static_cast<uint16_t>(value(rng) < valueRange / 8 ? value(rng) : r + 100));
            const size_t size = row.Size();
            for (size_t o = 18; o + 2 <= size && o < 60; o += 2) {
                if (i == kSignalTable && o == io::kSignalType) continue;
                if (o >= 26 || i == kSignalTable) row.SetU16(o, static_cast<uint16_t>(value(rng)));
            }
            if (i == kSignalTable) row.SetU16(io::kSignalType, static_cast<uint16_t>(type(rng)));
            if (i == kSectionTable)
                row.SetU16(io::kSectionGJ, static_cast<uint16_t>(value(rng) + 1000));
            if (i == kSwitchTable) {
                for (size_t o : {io::kSwitchDBJ, io::kSwitchFBJ, io::kSwitchSJ})
                    row.SetU16(o, static_cast<uint16_t>(value(rng) + 1000));
            }
            if (i == kLogicSectionTable) {
                row.SetU16(io::kLogicPhysicalAddress,
                           static_cast<uint16_t>(value(rng) % 3 ? value(rng) % 4 : 0xFFFF));
            }
            t.Append(i, std::move(row));
        }
    }
    return t;
}

TEST(IndexedLookups, NameIndexFindsWhatTheWalkFinds) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const IoTables t = RandomTables(rng, 12, 40);
        const IoNameIndex index(t);
        for (const std::u16string& probe : kNames) {
            EXPECT_EQ(index.Find(probe), t.FindByName(probe)) << ToUtf8(probe);
        }
        for (const std::u16string probe : {u"5", u"7", u"DG", u"1-3-5"}) {
            EXPECT_EQ(index.Find(probe), t.FindByName(probe)) << ToUtf8(probe);
        }
    }
}

// The validation as a plain walk: every row against every later row.
std::vector<std::string> PlainValidation(IoTables& t) {
    std::vector<std::string> out;
    const auto name = [](const Row& r) { return ToUtf8(r.Name()); };
    const auto signalMatches = [](const Row& g, uint16_t v) {
        for (int i = 0; i < 8; ++i) {
            if (SignalTypeHasRelay(g.U16(io::kSignalType), i) &&
                g.U16(io::kSignalRelays + 2 * static_cast<size_t>(i)) == v)
                return true;
        }
        return false;
    };
    const size_t relays[3] = {io::kSwitchDBJ, io::kSwitchFBJ, io::kSwitchSJ};
    const auto switchUses = [&](const Row& w, uint16_t v) {
        return w.U16(relays[0]) == v || w.U16(relays[1]) == v || w.U16(relays[2]) == v;
    };
    for (int i = 0; i < kInputTableCount; ++i) {
        const auto& rows = t.Table(i);
        bool gap = false;
        for (size_t r = 1; r < rows.size(); ++r)
            gap |= int{rows[r].U16(io::kAddress)} != int{rows[r - 1].U16(io::kAddress)} + 1;
        if (gap) {
            out.push_back("IO表地址存在不连续号码，请点击重新整理IO表，使得IO表地址连续！");
            break;
        }
    }
    const auto two = [&](const Row& a, const Row& b) {
        out.push_back("两个设备继电器地址冲突 " + name(a) + ", " + name(b));
        return out;
    };
    for (int i = 0; i < kInputTableCount; ++i) {
        const auto& rows = t.Table(i);
        for (size_t a = 0; a < rows.size(); ++a) {
            for (size_t b = a + 1; b < rows.size(); ++b) {
                if (rows[b].TextGbk(io::kName, io::kNameBytes) ==
                    rows[a].TextGbk(io::kName, io::kNameBytes)) {
                    out.push_back("设备名称冲突：" + name(rows[a]) + "，冲突距离：" +
                                  std::to_string(b - a));
                    return out;
                }
            }
        }
    }
    const auto& sections = t.Table(kSectionTable);
    const auto& switches = t.Table(kSwitchTable);
    const auto& signals = t.Table(kSignalTable);
    for (size_t a = 0; a < sections.size(); ++a) {
        const uint16_t v = sections[a].U16(io::kSectionGJ);
        for (size_t b = a + 1; b < sections.size(); ++b) {
            if (sections[b].U16(io::kSectionGJ) == v) return two(sections[a], sections[b]);
        }
        for (const Row& w : switches) {
            if (switchUses(w, v)) return two(sections[a], w);
        }
        for (const Row& g : signals) {
            if (signalMatches(g, v)) return two(sections[a], g);
        }
    }
    for (size_t a = 0; a < switches.size(); ++a) {
        for (size_t f = 0; f < 3; ++f) {
            const uint16_t v = switches[a].U16(relays[f]);
            for (size_t b = a + 1; b < switches.size(); ++b) {
                if (switchUses(switches[b], v)) return two(switches[a], switches[b]);
            }
            for (const Row& g : signals) {
                if (signalMatches(g, v)) return two(switches[a], g);
            }
            for (size_t g = f + 1; g < 3; ++g) {
                if (switches[a].U16(relays[g]) == v) {
                    out.push_back("设备内继电器地址冲突 " + name(switches[a]));
                    return out;
                }
            }
        }
    }
    for (size_t a = 0; a < signals.size(); ++a) {
        for (int i = 0; i < 8; ++i) {
            if (!SignalTypeHasRelay(signals[a].U16(io::kSignalType), i)) continue;
            const uint16_t v = signals[a].U16(io::kSignalRelays + 2 * static_cast<size_t>(i));
            for (size_t b = a + 1; b < signals.size(); ++b) {
                if (signalMatches(signals[b], v)) return two(signals[a], signals[b]);
            }
            for (int j = i + 1; j < 8; ++j) {
                if (signals[a].U16(io::kSignalRelays + 2 * static_cast<size_t>(j)) == v) {
                    out.push_back("设备内继电器地址冲突 " + name(signals[a]));
                    return out;
                }
            }
        }
    }
    const auto addressClash = [&](const Row& a, size_t distance) {
        out.push_back("设备地址冲突：" + std::to_string(a.U16(io::kAddress)) + "，冲突距离：" +
                      std::to_string(distance));
        return out;
    };
    for (int i = 0; i < kInputTableCount; ++i) {
        const auto& rows = t.Table(i);
        for (size_t a = 0; a < rows.size(); ++a) {
            for (size_t b = a + 1; b < rows.size(); ++b) {
                if (rows[b].U16(io::kAddress) == rows[a].U16(io::kAddress))
                    return addressClash(rows[a], b - a);
            }
        }
    }
    const auto& logic = t.Table(kLogicSectionTable);
    const auto stem = [](const Row& r) {
        std::u16string n = r.Name();
        if (!n.empty()) n.pop_back();
        return n;
    };
    for (size_t a = 0; a < logic.size(); ++a) {
        for (size_t b = a + 1; b < logic.size(); ++b) {
            if (stem(logic[b]) == stem(logic[a]) &&
                logic[b].U16(io::kLogicPhysicalAddress) != logic[a].U16(io::kLogicPhysicalAddress))
                return addressClash(logic[a], b - a);
        }
    }
    out.push_back(kMsgValidationOk);
    return out;
}

// Every message of a validation run, in order.
std::vector<std::string> Validation(const IoTables& tables) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.io = tables;
    ValidateInputTables(doc);
    std::vector<std::string> out;
    for (const auto& e : ui.log) out.push_back(e.text);
    return out;
}

TEST(IndexedLookups, ValidationReportsWhatThePlainWalkReports) {
    // Wide value ranges let the walk get past the early checks; narrow ones
    // make every check find something.
    std::mt19937 rng(11);
    std::map<std::string, int> seen;
    for (int range : {6, 40, 400, 4000}) {
        for (int round = 0; round < 150; ++round) {
            IoTables t = RandomTables(rng, 10, range);
            // Names made unique now and then, so the later checks run.
            if (round % 2) {
                for (int i = 0; i < kInputTableCount; ++i) {
                    auto& rows = t.Table(i);
                    for (size_t r = 0; r < rows.size(); ++r)
                        rows[r].SetName(u"N" + FromUtf8(std::to_string(r)));
                }
            }
            IoTables plain = t;
            const auto expected = PlainValidation(plain);
            EXPECT_EQ(Validation(t), expected) << "range " << range << " round " << round;
            seen[expected.back().substr(0, 9)]++;
        }
    }
    // The rounds reached every kind of ending.
    for (const char* kind : {"设备名", "两个设", "设备内", "设备地", "(^_^)"}) {
        bool found = false;
        for (const auto& [k, n] : seen) found |= k.rfind(kind, 0) == 0;
        EXPECT_TRUE(found) << kind;
    }
}

// The relation table as a plain walk.
std::vector<Row> PlainRelations(const std::vector<Row>& logic) {
    std::vector<Row> out;
    std::vector<uint16_t> handled;
    for (size_t i = 0; i < logic.size(); ++i) {
        const uint16_t phys = logic[i].U16(io::kLogicPhysicalAddress);
        if (std::find(handled.begin(), handled.end(), phys) != handled.end()) continue;
        handled.push_back(phys);
        Row e(AddressRelationDesc().size);
        e.SetU16(0, phys);
        e.SetU16(4, logic[i].U16(io::kAddress));
        uint16_t count = 1;
        for (size_t j = i + 1; phys != 0xFFFF && j < logic.size() && count < 10; ++j) {
            if (logic[j].U16(io::kLogicPhysicalAddress) != phys) continue;
            e.SetU16(4 + 2 * size_t{count}, logic[j].U16(io::kAddress));
            ++count;
        }
        e.SetU16(2, count);
        out.push_back(std::move(e));
    }
    return out;
}

TEST(IndexedLookups, RelationsAreThoseOfThePlainWalk) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> phys(0, 6);
    for (int round = 0; round < 100; ++round) {
        IoTables t;
        // Up to 30 rows over a few physical sections: some hold more than ten.
        for (int r = 0; r < round % 31; ++r) {
            Row row = IoTables::NewRow(kLogicSectionTable);
            row.SetU16(io::kAddress, static_cast<uint16_t>(r));
            const int p = phys(rng);
            row.SetU16(io::kLogicPhysicalAddress, static_cast<uint16_t>(p == 6 ? 0xFFFF : p));
            t.Append(kLogicSectionTable, std::move(row));
        }
        RebuildRelations(t);
        EXPECT_EQ(t.relations, PlainRelations(t.Table(kLogicSectionTable))) << round;
    }
}

// 读取输入板 on a large station, with names that are found twice, found
// through switch pairs, and not found: the indexed run and a run through the
// plain walk leave the same devices and say the same things.
TEST(IndexedLookups, TransferOfALargeStationIsThatOfThePlainWalk) {
    const auto run = [](bool plain) {
        ScriptedInteraction ui;
        MemoryFileStore files;
        CVelkorDoc doc(ui, files);
        doc.OnNewDocument();
        BuildDemoStation(doc, {1000, 2, true});
        doc.hasLogicSections = 1;
        doc.logicSectionsPerSwitch = 2;
        auto& sections = doc.io.Table(kSectionTable);
        auto& switches = doc.io.Table(kSwitchTable);
        // Some rows lost, some renamed to pairs, some duplicated in an
        // earlier table.
        for (size_t i = 0; i < sections.size(); i += 7) sections[i].SetName(u"gone");
        for (size_t i = 1; i + 1 < switches.size(); i += 5) {
            switches[i].SetName(switches[i].Name() + u"-" + switches[i + 1].Name());
        }
        for (size_t i = 0; i < switches.size(); i += 9) {
            Row copy = switches[i];
            copy.SetU16(io::kAddress, 4000);
            sections.push_back(copy);
        }
        if (plain) {
            TransferInputTablesInto(
                doc, std::vector<bool>(6, true),
                [&doc](std::u16string_view name) { return doc.io.FindByName(name); });
        } else {
            TransferInputTablesInto(doc, std::vector<bool>(6, true));
        }
        const auto messages = ui.log;
        EXPECT_TRUE(doc.OnSaveDocument("/s/Demo.lcp"));
        return std::make_pair(*files.Read("/s/Demo.lcp"), messages);
    };
    const auto indexed = run(false);
    const auto plain = run(true);
    EXPECT_EQ(indexed.first, plain.first);
    EXPECT_EQ(indexed.second, plain.second);
    EXPECT_GT(indexed.second.size(), 10u);  // the lost rows were reported
}

}  // namespace
}  // namespace velkor
