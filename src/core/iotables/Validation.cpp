#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/NameIndex.h"
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

constexpr size_t kSwitchRelays[3] = {io::kSwitchDBJ, io::kSwitchFBJ, io::kSwitchSJ};

constexpr size_t kNone = static_cast<size_t>(-1);

// For each row, the position of the next row with the same name as stored
// (its bytes up to the terminator), or kNone: the check for "a later row of
// the same name" in one pass.
std::vector<size_t> NextWithSameName(const std::vector<Row>& rows) {
    std::vector<size_t> next(rows.size(), kNone);
    NameIndex<size_t, char> seen;
    seen.Reserve(rows.size());
    for (size_t a = rows.size(); a-- > 0;) {
        const std::string_view name = rows[a].TextView(io::kName, io::kNameBytes);
        if (size_t* later = seen.Find(name)) {
            next[a] = std::exchange(*later, a);
        } else {
            seen.Insert(name, a);
        }
    }
    return next;
}

// The same for a 16-bit number of the rows, through a table of every value.
std::vector<size_t> NextWithSameNumber(const std::vector<Row>& rows, size_t offset) {
    std::vector<size_t> next(rows.size(), kNone);
    std::vector<uint32_t> seen(size_t{1} << 16, UINT32_MAX);
    for (size_t a = rows.size(); a-- > 0;) {
        uint32_t& later = seen[rows[a].U16(offset)];
        if (later != UINT32_MAX) next[a] = later;
        later = static_cast<uint32_t>(a);
    }
    return next;
}

// The rows that use each relay address, in table order, each row once.
class RowsUsing {
public:
    void Add(uint16_t v, size_t row) {
        auto& list = rows_[v];
        if (list.empty() || list.back() != row) list.push_back(row);
    }
    // The first row after `after` (or the first of all) that uses v.
    size_t FirstAfter(uint16_t v, size_t after = kNone) const {
        const auto it = rows_.find(v);
        if (it == rows_.end()) return kNone;
        const auto& list = it->second;
        const auto found =
            after == kNone ? list.begin() : std::upper_bound(list.begin(), list.end(), after);
        return found == list.end() ? kNone : *found;
    }

private:
    std::unordered_map<uint16_t, std::vector<size_t>> rows_;
};

// A signal row matches a value when one of its first eight relays that its
// type has holds the value. A type outside the table has no relays.
RowsUsing SignalRelayUse(const std::vector<Row>& signals) {
    RowsUsing use;
    for (size_t b = 0; b < signals.size(); ++b) {
        const int type = signals[b].U16(io::kSignalType);
        for (int i = 0; i < 8; ++i) {
            if (SignalTypeHasRelay(type, i))
                use.Add(signals[b].U16(io::kSignalRelays + 2 * static_cast<size_t>(i)), b);
        }
    }
    return use;
}

RowsUsing SwitchRelayUse(const std::vector<Row>& switches) {
    RowsUsing use;
    for (size_t b = 0; b < switches.size(); ++b) {
        for (size_t o : kSwitchRelays) use.Add(switches[b].U16(o), b);
    }
    return use;
}

// For each logic-section row, the first later row of the same name stem
// (the name without its last character) whose physical address differs.
std::vector<size_t> NextDisagreeing(const std::vector<Row>& logic) {
    struct Latest {
        size_t row;
        uint16_t phys;
        size_t next;
    };
    std::vector<size_t> next(logic.size(), kNone);
    NameIndex<Latest> latest;
    latest.Reserve(logic.size());
    for (size_t a = logic.size(); a-- > 0;) {
        std::u16string stem = logic[a].Name();
        if (!stem.empty()) stem.pop_back();
        const uint16_t phys = logic[a].U16(io::kLogicPhysicalAddress);
        Latest* group = latest.Find(stem);
        if (!group) {
            latest.Insert(stem, Latest{a, phys, kNone});
            continue;
        }
        // The row just after in the group differs, or else the first that
        // differs from it differs from this one too.
        next[a] = group->phys != phys ? group->row : group->next;
        *group = {a, phys, next[a]};
    }
    return next;
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
    // Every check below reports the first fault in the order of a plain
    // walk (row by row, each against the rows after it); the lookups are
    // indexed so that a large station costs a few passes, not one per row.
    // 2. Names within each table, as stored, up to their terminator.
    for (int i = 0; i < kInputTableCount; ++i) {
        const auto& rows = t.Table(i);
        const auto next = NextWithSameName(rows);
        for (size_t a = 0; a < rows.size(); ++a) {
            if (next[a] == kNone) continue;
            ui.Warning(Replace("设备名称冲突：%s，冲突距离：%d",
                               {Name(rows[a]), std::to_string(next[a] - a)}));
            return false;
        }
    }
    const auto& sections = t.Table(kSectionTable);
    const auto& switches = t.Table(kSwitchTable);
    const auto& signals = t.Table(kSignalTable);
    const RowsUsing switchUse = SwitchRelayUse(switches);
    const RowsUsing signalUse = SignalRelayUse(signals);
    // 3. Section relays (GJ).
    const auto nextGJ = NextWithSameNumber(sections, io::kSectionGJ);
    for (size_t a = 0; a < sections.size(); ++a) {
        const uint16_t v = sections[a].U16(io::kSectionGJ);
        const Row* found = nullptr;
        if (nextGJ[a] != kNone) {
            found = &sections[nextGJ[a]];
        } else if (const size_t w = switchUse.FirstAfter(v); w != kNone) {
            found = &switches[w];
        } else if (const size_t g = signalUse.FirstAfter(v); g != kNone) {
            found = &signals[g];
        }
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
            if (const size_t w = switchUse.FirstAfter(v, a); w != kNone) {
                found = &switches[w];
            } else if (const size_t g = signalUse.FirstAfter(v); g != kNone) {
                found = &signals[g];
            }
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
            if (const size_t g = signalUse.FirstAfter(v, a); g != kNone) {
                ui.Warning(Replace(twoDevices, {Name(signals[a]), Name(signals[g])}));
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
        const auto next = NextWithSameNumber(rows, io::kAddress);
        for (size_t a = 0; a < rows.size(); ++a) {
            if (next[a] == kNone) continue;
            ui.Warning(
                Replace("设备地址冲突：%d，冲突距离：%d",
                        {std::to_string(rows[a].U16(io::kAddress)), std::to_string(next[a] - a)}));
            return false;
        }
    }
    // 7. Logic sections of one physical section share its address.
    RebuildRelations(t);
    const auto& logic = t.Table(kLogicSectionTable);
    const auto disagreeing = NextDisagreeing(logic);
    for (size_t a = 0; a < logic.size(); ++a) {
        if (disagreeing[a] == kNone) continue;
        ui.Warning(Replace(
            "设备地址冲突：%d，冲突距离：%d",
            {std::to_string(logic[a].U16(io::kAddress)), std::to_string(disagreeing[a] - a)}));
        return false;
    }
    ui.Info(kMsgValidationOk);
    return true;
}

}  // namespace velkor
