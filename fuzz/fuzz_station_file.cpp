// Feeds arbitrary bytes to the station-file reader: it must report a damaged
// file and never crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Files.h"
#include "common/Interaction.h"
#include "document/CVelkorDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velkor::SilentInteraction ui;
    velkor::MemoryFileStore files;
    const velkor::fs::path path = "/station/fuzz.lcp";
    files.files[path] = std::vector<uint8_t>(data, data + size);
    velkor::CVelkorDoc doc(ui, files);
    if (doc.OnOpenDocument(path)) {
        // What opened must save again.
        doc.OnSaveDocument(path);
    }
    return 0;
}
