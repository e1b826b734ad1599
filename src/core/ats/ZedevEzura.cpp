#include "ats/ZedevEzura.h"

#include "ats/AtsFiles.h"
#include "common/Bytes.h"
#include "common/Interaction.h"
#include "devices/CADSignal.h"
#include "document/CVelkorDoc.h"

namespace velkor {

std::vector<ZedevSignal> ZedevSignals(const CVelkorDoc& doc) {
    std::vector<ZedevSignal> up, down;
    for (const CADSignal* s : doc.ObjectsOf<CADSignal>()) {
        auto& list = s->variant >= 0 && s->variant <= 3 ? up : down;
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
    const fs::path folder = doc.Directory() / "ZedevEzura";
    doc.Files().MakeDirs(folder);
    const auto signals = ZedevSignals(doc);
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
