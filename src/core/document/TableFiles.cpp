#include "tables/TableFiles.h"
#include "document/CVelkorDoc.h"
#include "tables/CodeTables.h"

namespace velkor {

// The table files live beside the station file and are written before it and
// read before it; nothing in the station file refers to them. Each routine
// writes its .le and .be files when storing and reads the .le file when
// loading; the tables' own code fills them in.
namespace {

using TableRoutine = void (*)(const TableFileContext&, const StationDir&, bool);

TableFileStep Step(const char* name, bool onlyWithLogicSections, TableRoutine routine) {
    return {name, onlyWithLogicSections,
            [routine](CVelkorDoc& doc, const StationDir& dir, bool storing) {
                const TableFileContext context{doc.io,      doc.codes, doc.hasLogicSections != 0,
                                               doc.Files(), doc.UI(),  doc.tableTroubles};
                routine(context, dir, storing);
            }};
}

}  // namespace

std::vector<TableFileStep> DefaultTableFileSteps() {
    return {
        Step("input tables", false, &SerializeInputTables),
        Step("section combinations", false, &SerializeSectionCombinations),
        Step("physical-section code table", false, &SerializePhysicalSectionCode),
        Step("code tables", false, &SerializeCodeTables),
        Step("address relation", true, &SerializeAddressRelation),
    };
}

}  // namespace velkor
