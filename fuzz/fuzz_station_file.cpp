// Feeds arbitrary bytes to the station-file reader: it must report a damaged
// file and never crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Files.h"
#include "common/Interaction.h"
#include "document/CVelkorDoc.h"

namespace {
class SilentInteraction : public velkor::Interaction {
public:
    void Info(const std::string&) override {}
    void Warning(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return true; }
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::vector<bool>> ChooseOptions(const std::string&,
                                                   const std::vector<std::string>&,
                                                   const std::vector<bool>& initial) override {
        return initial;
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilentInteraction ui;
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
