#include <algorithm>
#include <string>

#include "common/Text.h"
#include "document/CVelkorDoc.h"
#include "iotables/Generators.h"

namespace velkor {

namespace {

std::string Name(const Row& r) { return ToUtf8(r.Name()); }

std::string Replace(std::string pattern, std::initializer_list<std::string> args) {
    for (const std::string& a : args) {
        const auto at = pattern.find('%');
        if (at == std::string::npos || at + 1 >= pattern.size()) break;
        pattern.replace(at, 2, a);
    }
    return pattern;
}

// A signal row matches a value when one of its first eight relays that its
// type has holds the value. A type outside the table has no relays.
bool SignalMatches(const Row& g, uint16_t v) {
    const int type = g.U16(io::kSignalType);
    for (int i = 0; i < 8; ++i) {
        if (SignalTypeHasRelay(type, i) &&
            g.U16(io::kSignalRelays + 2 * static_cast<size_t>(i)) == v) {
            return true;
        }
    }
    return false;
}

const Row* SignalUsing(const std::vector<Row>& signals, uint16_t v, size_t from = 0) {
    for (size_t i = from; i < signals.size(); ++i) {
        if (SignalMatches(signals[i], v)) return &signals[i];
    }
    return nullptr;
}

constexpr size_t kSwitchRelays[3] = {io::kSwitchDBJ, io::kSwitchFBJ, io::kSwitchSJ};

bool SwitchUses(const Row& w, uint16_t v) {
    return std::any_of(std::begin(kSwitchRelays), std::end(kSwitchRelays),
                       [&](size_t o) { return w.U16(o) == v; });
}

}  // namespace

bool ValidateInputTables(CVelkorDoc& doc) {
    Interaction& ui = doc.UI();
    IoTables& t = doc.io;
    const char* twoDevices = "两个设备继电器地址冲突 %s, %s";
    const char* oneDevice = "设备内继电器地址冲突 %s";

    // 0. Tables that were not read whole: what they hold is not the
    // station's data, whatever the checks below would say of it.
    if (!doc.tableTroubles.empty()) {
        for (const TableTrouble& trouble : doc.tableTroubles) {
            ui.Warning("表文件有误：" + trouble.name + "（" + trouble.cause + "）");
        }
        return false;
    }

    // 1. Continuity: the plain integers, so 0xFFFF followed by 0 is a gap.
    for (int i = 0; i < kInputTableCount; ++i) {
        const auto& rows = t.Table(i);
        bool gap = false;
        for (size_t r = 1; r < rows.size(); ++r) {
            if (int{rows[r].U16(io::kAddress)} != int{rows[r - 1].U16(io::kAddress)} + 1)
                gap = true;
        }
        if (gap) {
            ui.Warning("IO表地址存在不连续号码，请点击重新整理IO表，使得IO表地址连续！");
            break;
        }
    }
    // 2. Names within each table, as stored, up to their terminator.
    for (int i = 0; i < kInputTableCount; ++i) {
        const auto& rows = t.Table(i);
        for (size_t a = 0; a < rows.size(); ++a) {
            const std::string name = rows[a].TextGbk(io::kName, io::kNameBytes);
            for (size_t b = a + 1; b < rows.size(); ++b) {
                if (rows[b].TextGbk(io::kName, io::kNameBytes) == name) {
                    ui.Warning(Replace("设备名称冲突：%s，冲突距离：%d",
                                       {Name(rows[a]), std::to_string(b - a)}));
                    return false;
                }
            }
        }
    }
    const auto& sections = t.Table(kSectionTable);
    const auto& switches = t.Table(kSwitchTable);
    const auto& signals = t.Table(kSignalTable);
    // 3. Section relays (GJ).
    for (size_t a = 0; a < sections.size(); ++a) {
        const uint16_t v = sections[a].U16(io::kSectionGJ);
        const Row* found = nullptr;
        for (size_t b = a + 1; b < sections.size() && !found; ++b) {
            if (sections[b].U16(io::kSectionGJ) == v) found = &sections[b];
        }
        for (size_t b = 0; b < switches.size() && !found; ++b) {
            if (SwitchUses(switches[b], v)) found = &switches[b];
        }
        if (!found) found = SignalUsing(signals, v);
        if (found) {
            ui.Warning(Replace(twoDevices, {Name(sections[a]), Name(*found)}));
            return false;
        }
    }
    // 4. Switch relays.
    for (size_t a = 0; a < switches.size(); ++a) {
        for (size_t f = 0; f < 3; ++f) {
            const uint16_t v = switches[a].U16(kSwitchRelays[f]);
            const Row* found = nullptr;
            for (size_t b = a + 1; b < switches.size() && !found; ++b) {
                if (SwitchUses(switches[b], v)) found = &switches[b];
            }
            if (!found) found = SignalUsing(signals, v);
            if (found) {
                ui.Warning(Replace(twoDevices, {Name(switches[a]), Name(*found)}));
                return false;
            }
            for (size_t g = f + 1; g < 3; ++g) {
                if (switches[a].U16(kSwitchRelays[g]) == v) {
                    ui.Warning(Replace(oneDevice, {Name(switches[a])}));
                    return false;
                }
            }
        }
    }
    // 5. Signal relays: the first eight that the type has.
    for (size_t a = 0; a < signals.size(); ++a) {
        const int type = signals[a].U16(io::kSignalType);
        for (int i = 0; i < 8; ++i) {
            if (!SignalTypeHasRelay(type, i)) continue;
            const uint16_t v = signals[a].U16(io::kSignalRelays + 2 * static_cast<size_t>(i));
            if (const Row* found = SignalUsing(signals, v, a + 1)) {
                ui.Warning(Replace(twoDevices, {Name(signals[a]), Name(*found)}));
                return false;
            }
            for (int j = i + 1; j < 8; ++j) {
                if (signals[a].U16(io::kSignalRelays + 2 * static_cast<size_t>(j)) == v) {
                    ui.Warning(Replace(oneDevice, {Name(signals[a])}));
                    return false;
                }
            }
        }
    }
    // 6. Address numbers within each table.
    for (int i = 0; i < kInputTableCount; ++i) {
        const auto& rows = t.Table(i);
        for (size_t a = 0; a < rows.size(); ++a) {
            for (size_t b = a + 1; b < rows.size(); ++b) {
                if (rows[b].U16(io::kAddress) == rows[a].U16(io::kAddress)) {
                    ui.Warning(Replace(
                        "设备地址冲突：%d，冲突距离：%d",
                        {std::to_string(rows[a].U16(io::kAddress)), std::to_string(b - a)}));
                    return false;
                }
            }
        }
    }
    // 7. Logic sections of one physical section share its address.
    RebuildRelations(t);
    const auto& logic = t.Table(kLogicSectionTable);
    const auto stem = [](const Row& r) {
        std::u16string n = r.Name();
        if (!n.empty()) n.pop_back();
        return n;
    };
    for (size_t a = 0; a < logic.size(); ++a) {
        for (size_t b = a + 1; b < logic.size(); ++b) {
            if (stem(logic[b]) == stem(logic[a]) && logic[b].U16(io::kLogicPhysicalAddress) !=
                                                        logic[a].U16(io::kLogicPhysicalAddress)) {
                ui.Warning(
                    Replace("设备地址冲突：%d，冲突距离：%d",
                            {std::to_string(logic[a].U16(io::kAddress)), std::to_string(b - a)}));
                return false;
            }
        }
    }
    ui.Info(kMsgValidationOk);
    return true;
}

}  // namespace velkor
