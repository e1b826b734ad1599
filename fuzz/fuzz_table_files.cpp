// Feeds arbitrary bytes to the readers of the table files (input tables,
// section combinations, address relation, code tables): each file of the
// station folder holds the same bytes. They must never crash nor read past
// the data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/Files.h"
#include "common/Interaction.h"
#include "document/CVelkorDoc.h"
#include "tables/TableFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velkor::SilentInteraction ui;
    velkor::MemoryFileStore files;
    const velkor::fs::path dir = "/station";
    const std::vector<uint8_t> bytes(data, data + size);
    for (int i = 0; i < velkor::kInputTableCount; ++i) {
        files.files[dir / "x86" / velkor::InputTableLeName(i)] = bytes;
    }
    for (const char* name : {"MutiSection.le", "Relation.le"})
        files.files[dir / "x86" / name] = bytes;
    for (const char* name : {"PhysicalSectionCode", "TrackSectionCode", "ElementCode", "CrossCode",
                             "SwitchCode", "SwitSectCode"}) {
        files.files[dir / "x86" / "ATP" / (std::string(name) + ".le")] = bytes;
    }
    // The empty station: version, settings, no objects, trailer.
    files.files[dir / "s.lcp"] = {0, 0, 0,    0, 1, 0, 0,    0, 1, 0, 0, 0, 0, 0,
                                  0, 0, 0x40, 6, 0, 0, 0x84, 3, 0, 0, 2, 0, 0, 0};
    velkor::CVelkorDoc doc(ui, files);
    if (doc.OnOpenDocument(dir / "s.lcp")) doc.OnSaveDocument(dir / "s.lcp");
    return 0;
}
