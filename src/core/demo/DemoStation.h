#pragma once
#include <cstdint>

#include "document/CVelkorDoc.h"

namespace velkor {

struct DemoOptions {
    // 0 builds the believable metro station of about 150 devices; a larger
    // number repeats varied track and panel groups until the station holds
    // at least that many objects.
    int objects = 0;
    uint32_t seed = 1;
    // A large station gets input tables too: a row for every named device.
    bool tables = false;
};

// Fills an empty document with a station built through the same placing
// operations a user triggers: sections dragged, switches attached at their
// connection points, signals at every angle and usage kind, panel objects,
// station boxes and block panels.
void BuildDemoStation(CVelkorDoc& doc, const DemoOptions& options);

}  // namespace velkor
