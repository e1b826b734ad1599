#include "ats/ZedevEzura.h"

#include "ats/AtsFiles.h"
#include "common/Bytes.h"
#include "common/Interaction.h"
#include "devices/CADSignal.h"
#include "document/CVelkorDoc.h"
#include "tables/IoTables.h"

namespace velkor {

namespace {
// Variants 0 to 3 are the up line.
bool UpLine(const CADSignal& s) { return s.variant >= 0 && s.variant <= 3; }
}  // namespace

std::vector<ZedevSignal> ZedevSignals(const CVelkorDoc& doc) {
    std::vector<ZedevSignal> up, down;
    for (const CADSignal* s : doc.ObjectsOf<CADSignal>()) {
        auto& list = UpLine(*s) ? up : down;
        list.push_back({static_cast<uint16_t>((&list == &up ? 1001 : 2001) + list.size()),
                        s->io.address, s->io.NameGbk()});
    }
    up.insert(up.end(), down.begin(), down.end());
    return up;
}

std::string ZedevText(const std::vector<ZedevSignal>& list) {
    std::string out = std::to_string(list.size()) + "\r\n";
    for (const ZedevSignal& s : list) out += std::to_string(s.number) + "\t" + s.name + "\r\n";
    return out;
}

std::vector<uint8_t> ZedevBinary(const std::vector<ZedevSignal>& list) {
    ByteWriter w;
    w.I32(static_cast<int32_t>(list.size()));
    for (const ZedevSignal& s : list) {
        w.U16(s.number);
        w.U16(s.address);
        // The IO name and zeros: an IO name holds at most 15 bytes.
        uint8_t name[16] = {};
        std::copy_n(s.name.begin(), std::min<size_t>(s.name.size(), 15), name);
        w.Bytes(name, sizeof name);
    }
    return std::move(w.Data());
}

bool WriteZedevEzuraFiles(CVelkorDoc& doc) {
    if (doc.PathName().empty()) {
        doc.UI().Warning(kMsgOpenStationFirst);
        return false;
    }
    const auto signals = ZedevSignals(doc);
    // Up-line numbers run from 1001 and down-line numbers from 2001: past
    // 1,000 up-line signals, or past 65,535, two signals would share a number
    // (or a number would wrap), so the files are not written.
    size_t up = 0;
    for (const CADSignal* s : doc.ObjectsOf<CADSignal>()) up += UpLine(*s);
    const size_t down = signals.size() - up;
    if (up > 64535 || down > 63535) {
        const bool upLine = up > 64535;
        const size_t row = upLine ? 64536 : up + 63536;
        doc.UI().Warning(NumberTooLarge("ZedevEzura", row, "信号机编号", 65536, kLargestNumber));
        return false;
    }
    if (up > 1000 && down > 0) {
        doc.UI().Warning(
            "ZedevEzura 第 1001 行的信号机编号将是 "
            "2001，与第一架下行信号机的编号相同（有下行信号机时"
            "上行信号机最多 1000 架），已取消。");
        return false;
    }
    const fs::path folder = doc.Directory() / "ZedevEzura";
    doc.Files().MakeDirs(folder);
    const std::string text = ZedevText(signals);
    OutputBatch batch(doc);
    bool ok = doc.Files().WriteAtomic(
        folder / "ZedevEzura.txt",
        std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    ok = doc.Files().WriteAtomic(folder / "ZedevEzura.bin", ZedevBinary(signals)) && ok;
    ok = ok && batch.Commit();
    if (!ok) {
        doc.UI().Warning(WithCause(kMsgZedevSaveFailed, batch.Error()));
        return false;
    }
    doc.UI().Info(kMsgZedevDone);
    return true;
}

}  // namespace velkor
