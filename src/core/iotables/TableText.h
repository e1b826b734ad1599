#pragma once
#include <string>
#include <vector>

#include "tables/IoTables.h"

namespace velkor {

// A table as tab-separated text with the grids' columns and formats: a header
// line, then a line per row (CR LF is left to the caller). Signal rows leave
// the relays their type lacks empty, as the grid does.
std::string TableAsText(const RecordDesc& desc, const std::vector<Row>& rows,
                        bool signalTable = false);

}  // namespace velkor
