#include "shell/CommandTable.h"

#include <map>

namespace velkor::gui {

namespace {

constexpr Target A = Target::Application;
constexpr Target M = Target::MainFrame;
constexpr Target D = Target::Document;
constexpr Target V = Target::View;
constexpr Target N = Target::None;

// Resource names of the palette: ID_BUTTON7 to ID_BUTTON42, then three named ones.
const char* const kPaletteNames[39] = {
    "ID_BUTTON7",   "ID_BUTTON8",  "ID_BUTTON9",  "ID_BUTTON10", "ID_BUTTON11", "ID_BUTTON12",
    "ID_BUTTON13",  "ID_BUTTON14", "ID_BUTTON15", "ID_BUTTON16", "ID_BUTTON17", "ID_BUTTON18",
    "ID_BUTTON19",  "ID_BUTTON20", "ID_BUTTON21", "ID_BUTTON22", "ID_BUTTON23", "ID_BUTTON24",
    "ID_BUTTON25",  "ID_BUTTON26", "ID_BUTTON27", "ID_BUTTON28", "ID_BUTTON29", "ID_BUTTON30",
    "ID_BUTTON31",  "ID_BUTTON32", "ID_BUTTON33", "ID_BUTTON34", "ID_BUTTON35", "ID_BUTTON36",
    "ID_BUTTON37",  "ID_BUTTON38", "ID_BUTTON39", "ID_BUTTON40", "ID_BUTTON41", "ID_BUTTON42",
    "ID_SEALCOUNT", "ID_DERAILER", "ID_AFGDOOR"};

struct PaletteEntry {
    int code;
    const char* text;
    const char* category;
    const char* panel;
};

// The palette in ribbon order; the code is the command number minus 32797.
const PaletteEntry kPalette[] = {
    {0, "区段", "区段/道岔", "区段"},  {1, "左上", "区段/道岔", "直股"},
    {2, "左下", "区段/道岔", "直股"},  {3, "右上", "区段/道岔", "直股"},
    {4, "右下", "区段/道岔", "直股"},  {5, "左上", "区段/道岔", "斜股"},
    {6, "左下", "区段/道岔", "斜股"},  {7, "右上", "区段/道岔", "斜股"},
    {8, "右下", "区段/道岔", "斜股"},  {30, "左上", "区段/道岔", "三开"},
    {31, "左直", "区段/道岔", "三开"}, {32, "左下", "区段/道岔", "三开"},
    {33, "右上", "区段/道岔", "三开"}, {34, "右直", "区段/道岔", "三开"},
    {35, "右下", "区段/道岔", "三开"}, {9, "高双", "信号机", "上行"},
    {10, "高单", "信号机", "上行"},    {11, "矮双", "信号机", "上行"},
    {12, "矮单", "信号机", "上行"},    {13, "高双", "信号机", "下行"},
    {14, "高单", "信号机", "下行"},    {15, "矮双", "信号机", "下行"},
    {16, "矮单", "信号机", "下行"},    {17, "车站", "其他", "面板9"},
    {18, "文字", "其他", "面板9"},     {19, "装饰线", "其他", "面板9"},
    {20, "时钟", "其他", "面板9"},     {21, "灯", "其他", "面板9"},
    {22, "按钮", "其他", "面板9"},     {23, "左箭头", "其他", "面板10"},
    {24, "右箭头", "其他", "面板10"},  {25, "左64F", "其他", "面板11"},
    {26, "右64F", "其他", "面板11"},   {27, "64D", "其他", "面板11"},
    {28, "转盘", "其他", "面板11"},    {29, "地航", "其他", "面板11"},
    {36, "铅封计数", "其他", "面板1"}, {37, "脱轨器", "其他", "面板1"},
    {38, "防淹门", "其他", "面板1"},
};

std::vector<CommandInfo> Build() {
    std::vector<CommandInfo> t = {
        {57600, "ID_FILE_NEW", "新建(&N)", "文件", "", A, "Ctrl+N", false},
        {57601, "ID_FILE_OPEN", "打开(&O)...", "文件", "", A, "Ctrl+O", false},
        {57603, "ID_FILE_SAVE", "保存(&S)", "文件", "", D, "Ctrl+S", false},
        {57604, "ID_FILE_SAVE_AS", "另存为(&A)...", "文件", "", D, "", false},
        {57607, "ID_FILE_PRINT", "打印", "文件", "", V, "Ctrl+P", false},
        {57608, "ID_FILE_PRINT_DIRECT", "快速打印(&Q)", "文件", "", V, "", false},
        {57609, "ID_FILE_PRINT_PREVIEW", "打印预览(&V)", "文件", "", V, "", false},
        {57606, "ID_FILE_PRINT_SETUP", "打印设置(&U)", "文件", "", A, "", false},
        {57602, "ID_FILE_CLOSE", "关闭(&C)", "文件", "", D, "", false},
        {57665, "ID_APP_EXIT", "退出(&X)", "文件", "", A, "", false},
        {34010, "", "自动保存(&U)...", "文件", "", A, "", false},
        {57664, "", "关于 Velkor(&A)...", "", "", A, "", false},
        {57637, "ID_EDIT_PASTE", "粘贴", "主页", "剪贴板", N, "Ctrl+V", false},
        {57635, "ID_EDIT_CUT", "剪切", "主页", "剪贴板", N, "Ctrl+X", false},
        {57634, "ID_EDIT_COPY", "复制", "主页", "剪贴板", N, "Ctrl+C", false},
        {57642, "ID_EDIT_SELECT_ALL", "全选", "主页", "剪贴板", N, "", false},
        // Undo and redo of drawing edits.
        {57643, "ID_EDIT_UNDO", "撤销", "主页", "剪贴板", D, "Ctrl+Z", false},
        {57643, "ID_EDIT_UNDO", "撤销", "", "", D, "Alt+Backspace", false},
        {57644, "ID_EDIT_REDO", "重做", "主页", "剪贴板", D, "Ctrl+Y", false},
        {59393, "ID_VIEW_STATUS_BAR", "状态栏", "主页", "视图", M, "", true},
        {32790, "ID_CHECK2", "网格", "主页", "视图", M, "", true},
        {32791, "ID_CHECK3", "移动", "主页", "视图", M, "", true},
        // Zoom of the drawing.
        {34001, "ID_VIEW_ZOOM_IN", "放大", "主页", "视图", V, "Ctrl+=", false},
        {34001, "ID_VIEW_ZOOM_IN", "放大", "", "", V, "Ctrl++", false},
        {34002, "ID_VIEW_ZOOM_OUT", "缩小", "主页", "视图", V, "Ctrl+-", false},
        {34003, "ID_VIEW_ZOOM_FIT", "适合窗口", "主页", "视图", V, "", false},
        {34004, "ID_VIEW_ZOOM_100", "100%", "主页", "视图", V, "Ctrl+0", false},
        // The check view: numbers beside the devices, unmatched ones in red.
        {34005, "ID_VIEW_CHECK", "校验视图", "主页", "视图", V, "", true},
        {32792, "ID_BUTTON2", "区段", "主页", "输入板", M, "", false},
        {32793, "ID_BUTTON3", "道岔", "主页", "输入板", M, "", false},
        {32794, "ID_BUTTON4", "信号机", "主页", "输入板", M, "", false},
        {32795, "ID_BUTTON5", "逻辑区段", "主页", "输入板", M, "", false},
        {32796, "ID_BUTTON6", "零散信息", "主页", "输入板", M, "", false},
        {33001, "ID_BUTTONSTATION", "车站信息表", "主页", "输入板", M, "", false},
        {32843, "ID_BUTTON46", "读取输入板", "主页", "输入板", D, "", false},
        {32844, "ID_BUTTON47", "区段组合", "主页", "输入板", M, "", false},
        {32845, "ID_BUTTON48", "校验数据", "主页", "输入板", D, "", false},
        {33003, "ID_BUTTON_GEN_XMZELEMENT", "生成元素表", "主页", "输入板", D, "", false},
        {33004, "ID_BUTTON_FSEC_LOGICIO", "生成复示逻辑区段IO", "主页", "输入板", D, "", false},
        {33005, "ID_BUTTON_CHECK_EXCEL", "生成校验数据表", "主页", "输入板", D, "", false},
        {32907, "ID_BUTTON72", "ATS数据生成", "主页", "输入板", M, "", false},
        {33006, "ID_BUTTON_ATSTXT2BIN", "ATS文本转换成二进制", "主页", "输入板", M, "", false},
        {33007, "ID_BUTTON_MAINTRACKTXT2BIN", "股道文本转换成二进制", "主页", "输入板", M, "",
         false},
        {32796, "ID_BUTTON6", "鼠标", "主页", "控制", M, "", false},
        {32912, "ID_BUTTON70", "设置", "主页", "数据", M, "", false},
        {32909, "ID_BUTTONVER", "版本号", "主页", "数据", M, "", false},
        {32846, "ID_BUTTON49", "大小端反转", "主页", "数据", D, "", false},
    };
    for (const PaletteEntry& p : kPalette) {
        t.push_back(
            {32797 + p.code, kPaletteNames[p.code], p.text, p.category, p.panel, M, "", true});
    }
    const std::vector<CommandInfo> rest = {
        {32840, "ID_BUTTON43", "左", "多选设备", "对齐", V, "", false},
        {32841, "ID_BUTTON44", "顶", "多选设备", "对齐", V, "", false},
        {32842, "ID_BUTTON45", "同样间距", "多选设备", "对齐", V, "", false},
        {32860, "ID_BUTTON50", "左移", "多选设备", "全移", V, "", false},
        {32861, "ID_BUTTON51", "右移", "多选设备", "全移", V, "", false},
        {32862, "ID_BUTTON52", "上移", "多选设备", "全移", V, "", false},
        {32863, "ID_BUTTON53", "下移", "多选设备", "全移", V, "", false},
        {32866, "ID_BUTTON56", "ElementCode", "西门子数据", "CI_ATP通信码位", M, "", false},
        {32864, "ID_BUTTON54", "TrackSectionCode", "西门子数据", "CI_ATP通信码位", M, "", false},
        {32865, "ID_BUTTON55", "PhysicalSectionCode", "西门子数据", "CI_ATP通信码位", M, "", false},
        {32867, "ID_BUTTON57", "CrossCode", "西门子数据", "CI_ATP通信码位", M, "", false},
        {32868, "ID_BUTTON58", "SwitchCode", "西门子数据", "CI_ATP通信码位", M, "", false},
        {32869, "ID_BUTTON59", "SwitSectCode", "西门子数据", "CI_ATP通信码位", M, "", false},
        {32906, "ID_BUTTON_LOGICTABLE_XMZ", "生成逻辑区段表", "西门子数据", "CI_ATP通信码位", M, "",
         false},
        {32913, "ID_BUTTON_FAKE_LOGIC_TABLE_XMZ", "生成虚拟逻辑区段表", "西门子数据",
         "CI_ATP通信码位", M, "", false},
        {32914, "ID_BUTTON_LOGICTABLE_HALDE", "生成逻辑区段表", "自主数据", "CI_ATP通信码位", M, "",
         false},
        {32911, "ID_BUTTON_FAKE_LOGIC_TABLE_HALDE", "生成虚拟逻辑区段表", "自主数据",
         "CI_ATP通信码位", M, "", false},
        {32789, "", "删除(&D)\tCtrl+D", "", "", D, "Ctrl+D", false},
        {32789, "", "删除(&D)", "", "", D, "Del", false},
        {32874, "", "名字对齐", "", "", D, "", false},
        {32876, "", "90°", "", "", D, "", false},
        {32877, "", "60°", "", "", D, "", false},
        {32878, "", "45°", "", "", D, "", false},
        {32879, "", "30°", "", "", D, "", false},
        {32880, "", "-30°", "", "", D, "", false},
        {32881, "", "-45°", "", "", D, "", false},
        {32882, "", "-60°", "", "", D, "", false},
        {32883, "", "-90°", "", "", D, "", false},
        {32897, "", "移动道岔点1", "", "", D, "", false},
        {32903, "", "道岔拉伸", "", "", D, "", false},
        {32905, "", "道岔不拉伸", "", "", D, "", false},
        {32771, "", "区段(&S)", "", "", V, "", false},
        {32772, "", "直股(&T)", "", "", V, "", false},
        {32773, "", "斜股(&R)", "", "", V, "", false},
        {32847, "", "区段", "", "", V, "", false},
        {32848, "", "直股", "", "", V, "", false},
        {32849, "", "上斜股", "", "", V, "", false},
        {32850, "", "下斜股", "", "", V, "", false},
        {32851, "", "60°", "", "", V, "", false},
        {32852, "", "45°", "", "", V, "", false},
        {32853, "", "0°", "", "", V, "", false},
        {32854, "", "-45°", "", "", V, "", false},
        {32855, "", "-60°", "", "", V, "", false},
        {33000, "", "", "", "", M, "", true},
        // The signal file of the ZedevEzura has no element of its own in the
        // original ribbon; it sits beside the other field files here so that
        // a user can reach it.
        {33008, "", "vu信号机文件", "主页", "输入板", M, "", false},
        {33009, "", "", "", "", M, "", false},
    };
    t.insert(t.end(), rest.begin(), rest.end());
    return t;
}

}  // namespace

const std::vector<CommandInfo>& CommandTable() {
    static const std::vector<CommandInfo> table = Build();
    return table;
}

const CommandInfo* FindCommand(int id) {
    for (const CommandInfo& c : CommandTable()) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

const std::vector<RibbonPanel>& RibbonLayout() {
    static const std::vector<RibbonPanel> layout = {
        {"主页", "剪贴板"},
        {"主页", "视图"},
        {"主页", "输入板"},
        {"主页", "控制"},
        {"主页", "数据"},
        {"区段/道岔", "区段"},
        {"区段/道岔", "直股"},
        {"区段/道岔", "斜股"},
        {"区段/道岔", "三开"},
        {"信号机", "上行"},
        {"信号机", "下行"},
        {"其他", "面板9"},
        {"其他", "面板10"},
        {"其他", "面板11"},
        {"其他", "面板1"},
        {"多选设备", "对齐"},
        {"多选设备", "全移"},
        {"西门子数据", "CI_ATP通信码位"},
        {"自主数据", "CI_ATP通信码位"},
    };
    return layout;
}

}  // namespace velkor::gui
