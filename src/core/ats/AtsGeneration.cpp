#include "ats/AtsGeneration.h"

#include <algorithm>
#include <cstdio>

#include "ats/AtsFiles.h"
#include "ats/AtsItemTables.h"
#include "ats/AtsLookups.h"
#include "common/Clock.h"
#include "common/Interaction.h"
#include "common/Text.h"
#include "devices/CADSignal.h"
#include "devices/Composites.h"
#include "devices/RailSwitch.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "workbook/ExcelHelper.h"

namespace velkor {

namespace {

bool EndsInF(const std::u16string& name) { return !name.empty() && name.back() == u'F'; }

// Input-table rows take part when named, not "NO" and not a repeat (…F) row.
bool PassesNameFilter(const Row& row) {
    const std::u16string name = row.Name();
    return !name.empty() && !EndsInF(name) && name != u"NO";
}

std::string RowName(const Row& row) { return row.TextGbk(io::kName, io::kNameBytes); }
uint16_t RowAddress(const Row& row) { return row.U16(io::kAddress); }
uint16_t RowButton(const Row& row) { return row.U16(io::kButton); }

// A flood gate takes part unless its label ends in F or is "NO"; an empty
// label takes part (and is written as "NULL").
bool FloodGateKept(const std::string& name) {
    const std::u16string text = FromGbk(name);
    return !EndsInF(text) && text != u"NO";
}

// 13 with lower-side doors, else 12 with upper-side doors, else 204 (also
// without a station of that ID).
uint8_t PlatformType(const AtsLookups& lookups, int32_t id) {
    const CADStation* st = lookups.StationById(id);
    if (!st) return 204;
    if (st->lowerDoor) return 13;
    if (st->upperDoor) return 12;
    return 204;
}

// The platforms of the station table that take part, in table order, as
// items without a serial number: rows whose header 名称 is empty or ends in
// F, and station names that are empty or end in F, have none.
std::vector<AtsItem> Platforms(const CVelkorDoc& doc, const AtsLookups& lookups) {
    std::vector<AtsItem> out;
    for (const Row& row : doc.io.Table(kStationTable)) {
        const std::u16string header = row.Name();
        if (header.empty() || EndsInF(header)) continue;
        const std::string name = row.TextGbk(io::kStationName, io::kStationNameBytes);
        if (name.empty() || EndsInF(FromGbk(name))) continue;
        const uint16_t id = row.U16(io::kStation);
        out.push_back({0, name, PlatformType(lookups, id), id});
    }
    return out;
}

void GenerateCommands(const CVelkorDoc& doc, const AtsLookups& lookups, AtsItemTables& t) {
    int32_t c = 1;
    const auto& signals = doc.io.Table(kSignalTable);
    for (const Row& row : signals) {
        if (!PassesNameFilter(row)) continue;
        const CADSignal* s = lookups.SignalByIoName(RowName(row));
        if (!s || (s->usageKind != 2 && s->usageKind != 5)) continue;  // 列调, 调列
        const std::string name = s->io.NameGbk();
        const std::string suffix = !name.empty() && name[0] == 'D' ? "LA" : "DA";
        t.signalButtonCommands.push_back({c++, name + suffix, 0, s->button.io.button});
    }
    for (const Row& row : signals) {
        if (!PassesNameFilter(row)) continue;
        AtsItem item{c++, lookups.SignalLabelByAddress(RowAddress(row)), 1, RowButton(row)};
        if (item.name.empty()) {
            item.deviceType = 9;
            item.name = lookups.ButtonLabelByAddress(RowAddress(row));
        }
        t.signalCommands.push_back(std::move(item));
    }
    for (const Row& row : doc.io.Table(kSwitchTable)) {
        if (!PassesNameFilter(row)) continue;
        t.switchCommands.push_back(
            {c++, lookups.SwitchLabelByAddress(RowAddress(row)), 2, RowButton(row)});
    }
    for (const Row& row : doc.io.Table(kSectionTable)) {
        if (!PassesNameFilter(row)) continue;
        AtsItem command{c, lookups.SectionNameByAddress(RowAddress(row)), 3, RowButton(row)};
        AtsItem ioName{c, RowName(row), 3, RowButton(row)};
        ++c;
        const std::string key = command.name.empty() ? RowName(row) : command.name;
        if (const RailSwitch* w = lookups.SwitchBySectionName(key)) {
            command.name = LabelGbk(w->nameLabel.text);
            ioName.name = lookups.Strip(w->switchSection.NameGbk());
            command.deviceType = ioName.deviceType = 4;
        }
        t.sectionCommands.push_back(std::move(command));
        t.sectionIoNameCommands.push_back(std::move(ioName));
    }
    for (const CADAfgDoor* gate : lookups.FloodGates()) {
        const std::string name = LabelGbk(gate->nameLabel.text);
        if (!FloodGateKept(name)) continue;
        t.floodGateCommands.push_back({c++, name, 11, gate->io.button});
    }
    for (AtsItem& item : Platforms(doc, lookups)) {
        item.serial = c++;
        t.platformCommands.push_back(std::move(item));
    }
    // The auxiliary commands: the last ("辅助") stays, the others only when a
    // button carries their name.
    auto& aux = t.auxiliaryCommands;
    std::vector<AtsItem> kept;
    for (size_t i = 0; i + 1 < aux.size(); ++i) {
        const CADButton* b = lookups.ButtonByLabel(aux[i].name);
        if (!b) continue;
        AtsItem item = aux[i];
        item.ioCode = b->io.button;
        item.serial = c++;
        kept.push_back(std::move(item));
    }
    if (!aux.empty()) {
        AtsItem last = aux.back();
        last.serial = c;
        kept.push_back(std::move(last));
    }
    aux = std::move(kept);
}

void GenerateIndications(const CVelkorDoc& doc, const AtsLookups& lookups, AtsItemTables& t) {
    int32_t n = 1;
    for (const Row& row : doc.io.Table(kSignalTable)) {
        if (!PassesNameFilter(row)) continue;
        std::string name = lookups.SignalLabelByAddress(RowAddress(row));
        if (name.empty()) continue;
        t.signalIndications.push_back({n++, std::move(name), 1, RowAddress(row)});
    }
    n = 1;
    for (const Row& row : doc.io.Table(kSwitchTable)) {
        if (!PassesNameFilter(row)) continue;
        t.switchIndications.push_back(
            {n++, lookups.SwitchLabelByAddress(RowAddress(row)), 2, RowAddress(row)});
    }
    n = 1;
    for (const Row& row : doc.io.Table(kSectionTable)) {
        if (!PassesNameFilter(row)) continue;
        AtsItem section{n, lookups.SectionNameByAddress(RowAddress(row)), 3, RowAddress(row)};
        AtsItem base{n, section.name.empty() ? std::string() : lookups.Strip(section.name), 3,
                     RowAddress(row)};
        ++n;
        if (const RailSwitch* w = lookups.SwitchBySectionName(RowName(row))) {
            section.name = LabelGbk(w->nameLabel.text);
            base.name = lookups.Strip(w->switchSection.NameGbk());
            section.deviceType = base.deviceType = 4;
        }
        t.sectionIndications.push_back(std::move(section));
        t.sectionBaseNameIndications.push_back(std::move(base));
    }
    std::erase_if(t.equipmentIndications,
                  [&](const AtsItem& item) { return !lookups.DecorationLightByLabel(item.name); });
    std::vector<AtsItem> aux;
    for (const AtsItem& item : t.auxiliaryIndications) {
        const CADButton* b = lookups.ButtonByLabel(item.name);
        if (!b) continue;
        AtsItem matched = item;
        matched.name = lookups.ButtonLabelByButtonNumber(item.ioCode);
        matched.ioCode = b->io.button;
        aux.push_back(std::move(matched));
    }
    t.auxiliaryIndications = std::move(aux);
    n = 1;
    for (AtsItem& item : Platforms(doc, lookups)) {
        item.serial = n++;
        t.platformIndications.push_back(std::move(item));
    }
    n = 1;
    for (const CADAfgDoor* gate : lookups.FloodGates()) {
        const std::string name = LabelGbk(gate->nameLabel.text);
        if (!FloodGateKept(name)) continue;
        t.floodGateIndications.push_back({n++, name, 11, gate->io.address});
    }
}

void RebuildLogicSections(CVelkorDoc& doc, const AtsLookups& lookups) {
    doc.atsLogicSections.clear();
    int32_t n = 1;
    for (const Row& row : doc.io.Table(kLogicSectionTable)) {
        const std::u16string name = row.Name();
        if (name == u"NO" || (name.size() >= 2 && name[name.size() - 2] == u'F')) continue;
        const uint16_t address = RowAddress(row);
        AtsItem item{n++, RowName(row), 15, address};
        if (const RailSwitch* w = lookups.SwitchByLogicRecord(address)) {
            item.name = w->io.NameGbk();
            // Three or four logic sections per switch have no type of their
            // own in the ATS; they are marked as a switch's logic section (16).
            item.deviceType = 16;
            if (doc.logicSectionsPerSwitch == 2)
                item.deviceType = address == w->logic[0].address ? 17 : 18;
        }
        doc.atsLogicSections.push_back(std::move(item));
    }
}

struct SheetGroup {
    const char* title;  // "" for none
    const std::vector<AtsItem>* items;
    bool serials;  // column A shows the serial numbers
};

void WriteSheet(ExcelHelper& x, const char* sheet, const std::vector<SheetGroup>& groups) {
    if (!x.SelectSheet(FromUtf8(sheet))) x.AddSheet(FromUtf8(sheet));
    size_t cells = 2;
    for (const SheetGroup& g : groups) cells += (*g.title ? 1 : 0) + g.items->size() * 2;
    x.ReserveCells(cells);
    x.SetCell(1, 1, u"序号");
    x.SetCell(1, 2, u"名称");
    uint32_t row = 2;
    for (const SheetGroup& g : groups) {
        if (*g.title) x.SetCell(row++, 1, FromUtf8(g.title));
        for (const AtsItem& item : *g.items) {
            if (g.serials) x.SetCell(row, 1, FromUtf8(std::to_string(item.serial)));
            x.SetCell(row, 2, FromGbk(item.name));
            ++row;
        }
    }
}

struct Sheet {
    const char* name;
    std::vector<SheetGroup> groups;
    // The header row, a row per group title and one per item.
    size_t Rows() const {
        size_t rows = 1;
        for (const SheetGroup& g : groups) rows += (*g.title ? 1 : 0) + g.items->size();
        return rows;
    }
};

std::vector<Sheet> WorkbookSheets(const CVelkorDoc& doc, const AtsItemTables& t) {
    return {{"表示码位表",
             {{"信号机", &t.signalIndications, true},
              {"道岔", &t.switchIndications, true},
              {"区段", &t.sectionBaseNameIndications, true},
              {"表示灯", &t.equipmentIndications, false},
              {"", &t.auxiliaryIndications, false},
              {"标志", &t.powerUpPrompts, true},
              {"防淹门", &t.floodGateIndications, true},
              {"站台", &t.platformIndications, true},
              {"提示信息", &t.promptMessages, true}}},
            {"控制码位表",
             {{"列调按钮", &t.signalButtonCommands, true},
              {"信号机", &t.signalCommands, true},
              {"道岔", &t.switchCommands, true},
              {"区段", &t.sectionIoNameCommands, true},
              {"防淹门", &t.floodGateCommands, true},
              {"站台", &t.platformCommands, true},
              {"按钮", &t.auxiliaryCommands, true}}},
            {"逻辑区段码位表", {{"逻辑区段", &doc.atsLogicSections, true}}}};
}

// The rows of an .xls sheet.
constexpr size_t kLargestSheetRows = 65536;

bool WriteWorkbook(const CVelkorDoc& doc, const AtsItemTables& t) {
    ExcelHelper x(doc.Files());
    x.NewWorkbook();
    for (const Sheet& sheet : WorkbookSheets(doc, t)) WriteSheet(x, sheet.name, sheet.groups);
    const bool saved = x.SaveAs(doc.Directory().Ats() / PathFromUtf8("码位表.xls"));
    x.CloseWorkbook();
    return saved;
}

std::vector<const AtsItem*> Const(const std::vector<AtsItem*>& items) {
    return {items.begin(), items.end()};
}

}  // namespace

bool GenerateAtsData(CVelkorDoc& doc) {
    Interaction& ui = doc.UI();
    if (doc.PathName().empty()) {
        ui.Warning(kMsgOpenStationFirst);
        return false;
    }
    const AtsLookups lookups(doc);
    AtsItemTables t(lookups);
    GenerateCommands(doc, lookups, t);
    GenerateIndications(doc, lookups, t);
    RebuildLogicSections(doc, lookups);
    t.CombineIndications();
    t.CombineCommands();

    const fs::path folder = doc.Directory().Ats();
    doc.Files().MakeDirs(folder);
    std::vector<AtsItem*> logic;
    for (AtsItem& item : doc.atsLogicSections) logic.push_back(&item);
    const std::pair<const char*, const std::vector<AtsItem*>*> texts[3] = {
        {kAtsCommandText, &t.Commands()},
        {kAtsIndicationText, &t.Indications()},
        {kAtsLogicText, &logic}};
    // Lists longer than an ATS file holds are refused before anything is
    // written.
    for (const auto& [name, items] : texts) {
        if (items->size() > kLargestAtsItems) {
            ui.Warning(std::string(name) + " 将有 " + std::to_string(items->size()) +
                       " 项，超出 ATS 文件能存的 " + std::to_string(kLargestAtsItems) +
                       " 项，已取消生成。");
            return false;
        }
    }
    for (const Sheet& sheet : WorkbookSheets(doc, t)) {
        if (sheet.Rows() > kLargestSheetRows) {
            ui.Warning(std::string("码位表.xls 的工作表“") + sheet.name + "”将有 " +
                       std::to_string(sheet.Rows()) + " 行，超出 .xls 工作表能存的 " +
                       std::to_string(kLargestSheetRows) + " 行，已取消生成。");
            return false;
        }
    }
    // Existing text files may hold the person's own edits: nothing is written
    // while any of the three is there, so the folder never ends up with text
    // files of two different runs.
    for (const auto& [name, items] : texts) {
        if (doc.Files().Size(folder / name)) {
            ui.Warning(kMsgAtsFileExists);
            return false;
        }
    }
    // The three texts, the workbook and the three binaries go in place
    // together or not at all: a failed run never leaves texts behind that
    // would stop the next one.
    OutputBatch batch(doc);
    const std::time_t now = CurrentTime();
    bool all = true;
    for (const auto& [name, items] : texts) {
        const std::string text = AtsTextFile(*items, doc.version, now);
        if (!doc.Files().WriteAtomic(
                folder / name,
                std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()))) {
            ui.Warning(kMsgAtsSaveFailed);
            all = false;
        }
    }
    if (!WriteWorkbook(doc, t)) {
        ui.Warning(kMsgAtsSaveFailed);
        all = false;
    }
    if (!WriteAtsBinaryFiles(doc, Const(t.Commands()), Const(t.Indications()), Const(logic), false))
        all = false;
    if (all && !batch.Commit()) {
        ui.Warning(WithCause(kMsgAtsSaveFailed, batch.Error()));
        all = false;
    }
    // After a file that could not be written (already reported), the run
    // does not claim to be complete.
    if (all) ui.Info(kMsgAtsDone);
    return all;
}

bool RunAtsGenerationCommand(CVelkorDoc* doc, Interaction& ui) {
    if (!ui.AskYesNo(kAskAtsGeneration)) return false;
    return doc ? GenerateAtsData(*doc) : false;
}

}  // namespace velkor
