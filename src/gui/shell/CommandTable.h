#pragma once
#include <string>
#include <vector>

namespace velkor::gui {

// Who handles a command first: the view, then its document, the child frame,
// the main frame and the application, in that order.
enum class Target { None, View, Document, ChildFrame, MainFrame, Application };

// One numbered command of the program: what the ribbon, a menu or an
// accelerator sends, and where it is shown.
struct CommandInfo {
    int id;
    const char* name;      // resource name, empty for menu-only commands
    const char* text;      // ribbon or menu text
    const char* category;  // ribbon category, empty when not on the ribbon
    const char* panel;     // ribbon panel
    Target target;
    const char* shortcut;  // Qt key sequence text, empty for none
    bool checkable;
};

// Command numbers used by the code.
namespace cmd {
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintDirect = 57608;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kFileMru1 = 57616;
inline constexpr int kFileMruLast = 57631;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kAutosave = 34010;  // the autosave interval
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
inline constexpr int kStatusBar = 59393;
inline constexpr int kGrid = 32790;
inline constexpr int kMove = 32791;
inline constexpr int kZoomIn = 34001;
inline constexpr int kZoomOut = 34002;
inline constexpr int kZoomFit = 34003;
inline constexpr int kZoom100 = 34004;
inline constexpr int kCheckView = 34005;
inline constexpr int kElementTable = 33003;  // 生成元素表
inline constexpr int kCiZcWorkbook = 32914;  // 生成逻辑区段表 (自主数据)
inline constexpr int kCheckFiles = 33005;    // 生成校验数据表
inline constexpr int kFirstDevice = 32797;
inline constexpr int kLastDevice = 32835;
inline constexpr int kAlignLeft = 32840;
inline constexpr int kAlignTop = 32841;
inline constexpr int kSameSpacing = 32842;
inline constexpr int kMoveLeft = 32860;
inline constexpr int kMoveRight = 32861;
inline constexpr int kMoveUp = 32862;
inline constexpr int kMoveDown = 32863;
inline constexpr int kDelete = 32789;
inline constexpr int kAlignName = 32874;
inline constexpr int kRotateFirst = 32876;
inline constexpr int kRotateLast = 32883;
inline constexpr int kMovePoint1 = 32897;
inline constexpr int kStretch = 32903;
inline constexpr int kNoStretch = 32905;
inline constexpr int kConnectionFirst = 32771;  // 区段, 直股, 斜股
inline constexpr int kConnectionLast = 32773;
inline constexpr int kThreeWayFirst = 32847;  // 区段, 直股, 上斜股, 下斜股
inline constexpr int kThreeWayLast = 32850;
inline constexpr int kAngleFirst = 32851;  // 60°, 45°, 0°, -45°, -60°
inline constexpr int kAngleLast = 32855;
// The input-table dialogs 区段, 道岔, 信号机, 逻辑区段, 零散信息 (tables 0 to 4),
// 车站信息表, and 区段组合.
inline constexpr int kInputTableFirst = 32792;
inline constexpr int kInputTableLast = 32796;
inline constexpr int kStationTable = 33001;
inline constexpr int kCombinations = 32844;
inline constexpr int kReadInputBoard = 32843;
inline constexpr int kValidate = 32845;
inline constexpr int kRepeatSectionIo = 33004;
inline constexpr int kSiemensLogicTable = 32906;
inline constexpr int kSiemensVirtualTable = 32913;
inline constexpr int kHaldeVirtualTable = 32911;
inline constexpr int kSettings = 32912;
inline constexpr int kNameFont = 32846;  // 大小端反转: the name font
inline constexpr int kVersion = 32909;
inline constexpr int kSelectMode = 33000;
inline constexpr int kNotAdded = 33009;
inline constexpr int kAtsGeneration = 32907;
inline constexpr int kAtsTextToBinary = 33006;
inline constexpr int kMainTrackToBinary = 33007;
inline constexpr int kZedevEzura = 33008;
}  // namespace cmd

const std::vector<CommandInfo>& CommandTable();
// The first entry of a number (some numbers, 32796, have two elements).
const CommandInfo* FindCommand(int id);

// The ribbon's categories and their panels, in display order.
struct RibbonPanel {
    const char* category;
    const char* panel;
};
const std::vector<RibbonPanel>& RibbonLayout();

}  // namespace velkor::gui
