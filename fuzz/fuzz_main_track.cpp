// Feeds arbitrary bytes to the reader of MainTrack.txt (written by hand): it
// refuses or reads, never crashes, and what it reads fits the records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ats/MainTrack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const velkor::MainTrackText read =
        velkor::ParseMainTrackText(std::span<const uint8_t>(data, size));
    if (read.error) return 0;
    for (const auto& t : read.tracks) {
        if (t.count > velkor::kMainTrackNames || t.names.size() > t.count) std::abort();
        for (const auto& n : t.names) {
            if (n.size() >= velkor::kMainTrackNameBytes) std::abort();
        }
    }
    const auto bin = velkor::MainTrackBinary(read.tracks, {}, 0);
    if (bin.size() != 16 + read.tracks.size() * velkor::kMainTrackRecordBytes) std::abort();
    return 0;
}
