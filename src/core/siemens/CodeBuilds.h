#pragma once
#include <optional>
#include <vector>

#include "tables/IoTables.h"

namespace velkor {

class CVelkorDoc;

inline constexpr const char* kAskBuildCodes = "是否确定创建码位表？";
inline constexpr const char* kAskBuildCodesCaption = "提示";

// "创建码位表" of the code tables that are derived from other data.
// PhysicalSectionCode: runs of TrackSectionCode rows with one physical name.
// Returns the rows; the dialog keeps them in its grid until it is closed.
// Nothing, with the reason told, when a 终止编号 would pass 65,535.
std::optional<std::vector<Row>> BuildPhysicalSectionCode(const CVelkorDoc& doc);
// Takes the rows of a closed PhysicalSectionCode grid into the document.
void TakePhysicalSectionCode(CVelkorDoc& doc, std::vector<Row> rows);
// The others change the document's table at once.
void BuildTrackSectionCode(CVelkorDoc& doc);  // ElementCode rows of kind 207
void BuildCrossCode(CVelkorDoc& doc);         // ElementCode rows of kind 203
// The switch input table and the drawing; false, with the reason told and
// the table unchanged, when a Switch编号 would pass 65,535.
bool BuildSwitchCode(CVelkorDoc& doc);

}  // namespace velkor
