#include "iotables/TableEditing.h"

#include <cctype>

#include "common/Text.h"
#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"

#include <algorithm>

namespace velkor {

std::optional<uint16_t> ParseHexField(std::string_view text) {
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)) && c != 'x' && c != 'X')
            return std::nullopt;
    }
    std::string_view digits = text;
    if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
    }
    // Read as a hexadecimal number is read: up to the first character that
    // is not a hexadecimal digit.
    uint32_t v = 0;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) break;
        const int d =
            std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10);
        v = ((v << 4) | static_cast<uint32_t>(d)) & 0xFFFFFFu;
    }
    return static_cast<uint16_t>(v);
}

std::optional<uint16_t> ParseDecimalField(std::string_view text) {
    uint32_t v = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        v = (v * 10 + static_cast<uint32_t>(c - '0')) & 0xFFFFFFu;
    }
    return static_cast<uint16_t>(v);
}

uint16_t SignalTypeFromName(std::u16string_view name) {
    for (size_t i = 0; i < kSignalTypeNames.size(); ++i) {
        if (FromUtf8(kSignalTypeNames[i]) == name) return static_cast<uint16_t>(i);
    }
    return 0xFFFF;
}

Row NewEditorRow(int table, uint16_t n) {
    Row r = IoTables::NewRow(table);
    r.SetName(u"");
    r.SetU16(io::kStation, 0);
    const auto unset = [&r](std::initializer_list<size_t> offsets) {
        for (size_t o : offsets) r.SetU16(o, 0xFFFF);
    };
    switch (table) {
        case kSectionTable:
            unset({io::kSectionGJ, io::kSectionFWZTJ});
            break;
        case kSwitchTable:
            unset({io::kSwitchDBJ, io::kSwitchFBJ, io::kSwitchSJ});
            break;
        case kLogicSectionTable:
            unset({io::kLogicPhysicalAddress});
            break;
        case kLingsanTable:
            unset({io::kLingsanRelay});
            break;
        default:
            break;
    }
    if (table == kStationTable) r.SetText(io::kStationName, io::kStationNameBytes, u"");
    AssignAddresses(table, r, n);
    return r;
}

namespace {
void TakeNumbers(const Row& row, IORecord& rec) {
    rec.address = row.U16(io::kAddress);
    rec.button = row.U16(io::kButton);
    rec.word = row.U16(io::kWord);
    rec.bit = row.U16(io::kBit);
}
void Unset(IORecord& rec) { rec.address = rec.button = rec.word = rec.bit = IORecord::kUnset; }

bool Match(const IoTables& t, std::u16string_view text, IORecord& rec, CADSignal* signal) {
    const Row* row = t.FindByName(text);
    if (!row) {
        Unset(rec);
        return false;
    }
    rec.SetName(text);
    TakeNumbers(*row, rec);
    // The second button number is a signal row's field; other rows have
    // relays at that offset.
    if (signal && CADSignal::HasEmbeddedButton(signal->usageKind) &&
        t.TableOf(row) == kSignalTable) {
        signal->button2 = row->U16(io::kSignalButton2);
    }
    return true;
}
}  // namespace

bool MatchIoRecord(const IoTables& t, std::u16string_view text, IORecord& rec, Interaction& ui,
                   CADSignal* signal) {
    if (Match(t, text, rec, signal)) return true;
    ui.Warning(kMsgNoMatchingDevice);
    return false;
}

bool MatchNamedRecord(const IoTables& t, std::u16string_view text, IORecord& rec, Interaction& ui) {
    if (Match(t, text, rec, nullptr)) return true;
    std::string msg = kMsgNoMatchingName;
    msg.replace(msg.find("%s"), 2, ToUtf8(text));
    ui.Warning(msg);
    return false;
}

bool MatchThreeWayLogicSections(const IoTables& t, std::u16string_view text, CADThreeSwitch& sw,
                                int perSwitch, Interaction& ui) {
    bool ok = MatchIoRecord(t, text, sw.io, ui);
    for (int k = 0; k < std::clamp(perSwitch, 0, 4); ++k) {
        const std::u16string name = std::u16string(text) + u"_" + char16_t(u'A' + k);
        ok = MatchNamedRecord(t, name, sw.logic[static_cast<size_t>(k)], ui) && ok;
    }
    return ok;
}

bool MatchTwoWaySwitchRecords(const IoTables& t, std::u16string_view text, RailSwitch& sw,
                              int perSwitch, Interaction& ui) {
    bool ok = true;
    for (int k = 0; k < std::clamp(perSwitch, 0, 4); ++k) {
        IORecord& rec = sw.logic[static_cast<size_t>(k)];
        ok = MatchNamedRecord(t, rec.Name(), rec, ui) && ok;
    }
    return MatchNamedRecord(t, text, sw.switchSection, ui) && ok;
}

bool MatchPairedLingsan(const IoTables& t, std::u16string_view text, IORecord& first,
                        IORecord& second, Interaction& ui) {
    std::vector<const Row*> found;
    for (const Row& row : t.Table(kLingsanTable)) {
        const std::u16string name = row.Name();
        size_t cut = name.find(u'_');
        if (cut == std::u16string::npos) cut = name.find(u'-');
        if (std::u16string_view(name).substr(0, cut) == text) found.push_back(&row);
        if (found.size() == 2) break;
    }
    if (found.size() == 2) {
        IORecord* recs[2] = {&first, &second};
        for (size_t i = 0; i < 2; ++i) {
            recs[i]->SetName(found[i]->Name());
            TakeNumbers(*found[i], *recs[i]);
            recs[i]->station = found[i]->U16(io::kStation);
        }
        return true;
    }
    for (IORecord* r : {&first, &second}) {
        r->Reset();
    }
    ui.Warning(kMsgNoMatchingDevice);
    return false;
}

bool LookUpStationBox(const IoTables& t, std::u16string_view text, CADStation& box,
                      Interaction& ui) {
    const auto& rows = t.Table(kStationTable);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::u16string name = rows[i].Text(io::kStationName, io::kStationNameBytes);
        if (name != text) continue;
        box.name = name;
        box.stationRow = static_cast<int32_t>(i + 1);
        box.id = rows[i].U16(io::kStation);
        return true;
    }
    ui.Warning(kMsgNoMatchingStation);
    return false;
}

bool LookUpButtonName(const IoTables& t, std::u16string_view text, IORecord& rec, Interaction& ui) {
    if (const Row* row = t.FindByName(text)) {
        rec.SetName(text);
        TakeNumbers(*row, rec);
        return true;
    }
    IORecord candidate = rec;
    candidate.SetName(text);
    if (ApplyButtonFunction(candidate)) {
        rec = candidate;
        return true;
    }
    ui.Warning(kMsgButtonNameMismatch);
    return false;
}

uint16_t MatchStation(const IoTables& t, std::u16string_view text) {
    for (const Row& row : t.Table(kStationTable)) {
        if (row.Text(io::kStationName, io::kStationNameBytes) == text) return row.U16(io::kStation);
    }
    return 0xFFFF;
}

bool ConfirmSectionCombinations(IoTables& t, const std::vector<std::array<std::u16string, 3>>& grid,
                                Interaction& ui, size_t* failedRow) {
    // Every row is resolved before the list changes, so a name that is in
    // no table leaves the list as it was.
    std::vector<Row> built;
    const IoNameIndex names(t);
    for (size_t r = 0; r < grid.size(); ++r) {
        const auto& cells = grid[r];
        Row e(MutiSectionDesc().size);
        uint32_t count = 0;
        for (size_t j = 0; j < 3; ++j) {
            if (cells[j].empty()) continue;
            ++count;
            e.SetText(4 + 16 * j, 16, cells[j]);
            const Row* row = names.Find(cells[j]);
            if (!row) {
                ui.Warning(kMsgCombinationNotFound);
                if (failedRow) *failedRow = r;
                return false;
            }
            e.SetU16(52 + 2 * j, row->U16(io::kAddress));
            e.SetU16(58 + 2 * j, row->U16(io::kSectionGJ));
        }
        e.SetU32(0, count);
        built.push_back(std::move(e));
    }
    t.combinations = std::move(built);
    return true;
}

}  // namespace velkor
