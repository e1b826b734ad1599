#include "document/CVelkorDoc.h"
#include "iotables/IoTableFiles.h"
#include "siemens/CodeTables.h"

namespace velkor {

// The table files live beside the station file and are written before it and
// read before it; nothing in the station file refers to them. Each routine
// writes its .le and .be files when storing and reads the .le file when
// loading; the tables' own code fills them in.
std::vector<TableFileStep> DefaultTableFileSteps() {
    return {
        {"input tables", false, &SerializeInputTables},
        {"section combinations", false, &SerializeSectionCombinations},
        {"physical-section code table", false, &SerializePhysicalSectionCode},
        {"code tables", false, &SerializeCodeTables},
        {"address relation", true, &SerializeAddressRelation},
    };
}

}  // namespace velkor
