#include "iotables/TableText.h"

namespace velkor {

std::string TableAsText(const RecordDesc& desc, const std::vector<Row>& rows, bool signalTable) {
    std::string out;
    bool first = true;
    for (const FieldDesc& f : desc.fields) {
        if (f.format == FieldFormat::Hidden) continue;
        if (!first) out += '\t';
        out += f.header;
        first = false;
    }
    out += '\n';
    for (const Row& row : rows) {
        first = true;
        for (const FieldDesc& f : desc.fields) {
            if (f.format == FieldFormat::Hidden) continue;
            if (!first) out += '\t';
            first = false;
            if (signalTable && f.offset >= io::kSignalRelays && f.offset < io::kSignalRelays + 20) {
                const int relay = static_cast<int>((f.offset - io::kSignalRelays) / 2);
                if (!SignalTypeHasRelay(row.U16(io::kSignalType), relay)) continue;
            }
            out += desc.Show(f, row.Bytes());
        }
        out += '\n';
    }
    return out;
}

}  // namespace velkor
