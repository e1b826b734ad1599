#include <cstdio>

#include "common/Text.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "iotables/Generators.h"
#include "tables/TableFiles.h"

namespace velkor {

namespace {

enum Box { kSignals, kSections, kSwitches, kLamps, kButtons, kStations };

std::string Format(const char* pattern, const std::u16string& a, const std::u16string& b = {}) {
    std::string out = pattern;
    for (const std::u16string* arg : {&a, &b}) {
        const auto at = out.find("%s");
        if (at == std::string::npos) break;
        out.replace(at, 2, ToUtf8(*arg));
    }
    return out;
}

// Here a reset names the record "NO", unlike a new device's empty reset.
void ResetRecord(IORecord& r) {
    r.SetName(u"NO");
    r.address = r.button = r.word = r.bit = IORecord::kUnset;
    r.station = 0;
}

void ClearNumbers(IORecord& r) { r.address = r.button = r.word = r.bit = IORecord::kUnset; }

void CopyNumbers(const Row& row, IORecord& r) {
    r.address = row.U16(io::kAddress);
    r.button = row.U16(io::kButton);
    r.word = row.U16(io::kWord);
    r.bit = row.U16(io::kBit);
}

void SwitchStep(CVelkorDoc& doc, const RowLookup& names, RailSwitch& sw, bool logic) {
    std::u16string s = sw.switchSection.Name();
    if (logic) s = RemoveLogicSuffix(s);
    const Row* row = names(s);
    if (!row) {
        for (IORecord& r : sw.logic) ResetRecord(r);
        doc.UI().Warning(
            Format("输入表中没有找到道岔区段：%s，所属道岔：%s", s, sw.nameLabel.text));
        ResetRecord(sw.switchSection);
        return;
    }
    CopyNumbers(*row, sw.switchSection);
    if (!logic) {
        for (IORecord& r : sw.logic) ResetRecord(r);
        return;
    }
    const int perSwitch = std::clamp(doc.logicSectionsPerSwitch, 0, 4);
    for (int k = 0; k < perSwitch; ++k) {
        IORecord& r = sw.logic[static_cast<size_t>(k)];
        if (const Row* found = names(r.Name())) {
            CopyNumbers(*found, r);
        } else {
            doc.UI().Warning(Format("道岔的逻辑区段%s 未找到IO信息，请修改！", r.Name()));
            ResetRecord(r);
        }
    }
}

// The device a message names: its IO name, or its class and place when it
// has none.
std::u16string DeviceDescription(const CADDevice& d) {
    if (!d.io.Name().empty()) return d.io.Name();
    const Rect r = d.GetCanvasRect();
    return FromUtf8(std::string(d.GetRuntimeClass().name) + " (" + std::to_string(r.left) + ", " +
                    std::to_string(r.top) + ")");
}

void DeviceStep(CVelkorDoc& doc, const RowLookup& names, CADDevice& d, bool logic) {
    const std::u16string name = d.io.Name();
    if (name == u"NO" || name == u" ") return;
    const Row* row = names(name);
    if (!row) {
        ClearNumbers(d.io);
        if (auto* s = ExactlyAs<CADSection>(&d)) ClearNumbers(s->logic);
        if (auto* sw = ExactlyAs<RailSwitch>(&d)) {
            for (IORecord& r : sw->logic) ResetRecord(r);
        }
        doc.UI().Warning(Format("输入表中无此设备：%s", DeviceDescription(d)));
        return;
    }
    CopyNumbers(*row, d.io);
    if (auto* s = ExactlyAs<CADSection>(&d)) {
        if (!logic) {
            ResetRecord(s->logic);
        } else if (const Row* l = names(s->logic.Name())) {
            CopyNumbers(*l, s->logic);
        }
    } else if (auto* g = ExactlyAs<CADSignal>(&d)) {
        // The second button number comes only from a signal row.
        if (CADSignal::HasEmbeddedButton(g->usageKind) && doc.io.TableOf(row) == kSignalTable) {
            g->button2 = row->U16(io::kSignalButton2);
        }
    } else if (auto* sw = ExactlyAs<RailSwitch>(&d)) {
        SwitchStep(doc, names, *sw, logic);
    } else if (ExactlyAs<CADButton>(&d) || ExactlyAs<CADDeLight>(&d)) {
        d.io.SetName(d.nameLabel.text);
    }
}

// How many objects ahead of the walk a device's memory is asked for.
constexpr size_t kAhead = 12;

// Asks for the lines of device `i` that its step reads (its class, its IO
// records, its name label's text, a signal's kind). The devices of a large
// station lie far beyond the processor's caches, and a walk that waits for
// each line in turn spends most of its time waiting; asked for a dozen
// objects ahead, the lines arrive together. On the 60,000-object demo
// station this takes a quarter off the walk when memory is slow and changes
// nothing when it is fast (other walks, whose steps do more per device,
// measured no gain).
void PrefetchStep(const CVelkorDoc& doc, size_t i) {
    if (i >= doc.Objects().size()) return;
    const auto device = [](const CADDevice* d) {
        __builtin_prefetch(d);
        __builtin_prefetch(&d->io);
        __builtin_prefetch(&d->nameLabel.text);
    };
    if (const auto* s = doc.ObjectAs<CADSignal>(i)) {
        device(s);
        __builtin_prefetch(&s->usageKind);
    } else if (const auto* c = doc.ObjectAs<CADSection>(i)) {
        device(c);
        __builtin_prefetch(&c->logic);
    } else if (const auto* w = doc.ObjectAs<RailSwitch>(i)) {
        device(w);
        __builtin_prefetch(&w->switchSection);
        __builtin_prefetch(&w->logic);
    } else if (const auto* b = doc.ObjectAs<CADButton>(i)) {
        device(b);
    } else if (const auto* l = doc.ObjectAs<CADDeLight>(i)) {
        device(l);
    }
}

}  // namespace

void TransferInputTablesInto(CVelkorDoc& doc, const std::vector<bool>& boxes) {
    // The tables do not change during the run: their names are indexed once.
    const IoNameIndex index(doc.io);
    IoNameIndex::Cursor cursor;
    TransferInputTablesInto(doc, boxes, [&index, &cursor](std::u16string_view name) {
        return index.Find(name, cursor);
    });
}

void TransferInputTablesInto(CVelkorDoc& doc, const std::vector<bool>& boxes,
                             const RowLookup& names) {
    const auto ticked = [&](Box b) {
        return static_cast<size_t>(b) < boxes.size() && boxes[static_cast<size_t>(b)];
    };
    // Outside undo, as every generation: earlier edits can no longer be undone.
    DocumentEdit edit(doc, "读取输入板", DocumentEdit::Scope::DevicesOutsideUndo);
    const bool logic = doc.hasLogicSections != 0;
    for (size_t i = 0; i < doc.Objects().size(); ++i) {
        PrefetchStep(doc, i + kAhead);
        CADDevice* device = nullptr;
        if (auto* s = doc.ObjectAs<CADSignal>(i)) {
            if (ticked(kSignals)) device = s;
        } else if (auto* c = doc.ObjectAs<CADSection>(i)) {
            if (ticked(kSections)) device = c;
        } else if (auto* w = doc.ObjectAs<RailSwitch>(i)) {
            if (ticked(kSwitches)) device = w;
        } else if (auto* b = doc.ObjectAs<CADButton>(i)) {
            if (ticked(kButtons)) device = b;
        } else if (auto* lamp = doc.ObjectAs<CADDeLight>(i)) {
            if (ticked(kLamps)) DeviceStep(doc, names, *lamp, logic);
            // A device's step changes only the device itself, so raising the
            // 零散 buttons right after it gives what a second walk would.
            lamp->io.button = RaiseLingsanButton(lamp->io.button);
        } else if (auto* box = doc.ObjectAs<CADStation>(i); box && ticked(kStations)) {
            for (CADButton& b : box->buttons) b.io.button = RaiseLingsanButton(b.io.button);
            for (CADDoor& d : box->doors) d.io.button = RaiseLingsanButton(d.io.button);
        }
        if (device) DeviceStep(doc, names, *device, logic);
    }
    edit.Commit();
}

bool TransferInputTables(CVelkorDoc& doc) {
    if (!doc.UI().AskYesNo(kAskTransfer)) return false;
    const std::vector<std::string> labels = {"  信号机", "  区段", "  道岔",
                                             "  表示灯", "  按钮", "  车站"};
    const auto boxes = doc.UI().ChooseOptions(kTransferOptionsTitle, labels,
                                              std::vector<bool>(labels.size(), false));
    if (!boxes || boxes->size() != labels.size()) {
        doc.UI().Warning(kMsgNoTransferOptions);
        return false;
    }
    TransferInputTablesInto(doc, *boxes);
    doc.UI().Info(kMsgTransferDone);
    return true;
}

}  // namespace velkor
