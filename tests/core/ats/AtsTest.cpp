#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "ats/AtsFiles.h"
#include "ats/AtsGeneration.h"
#include "ats/AtsItemTables.h"
#include "ats/AtsLookups.h"
#include "ats/MainTrack.h"
#include "ats/ZedevEzura.h"
#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/Files.h"
#include "common/Text.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "devices/StationClasses.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"
#include "workbook/Workbook.h"

namespace velkor {
namespace {

using testing::Hex;
using testing::ScriptedInteraction;

constexpr std::time_t kNow = 1765000000;  // 2025-12-06 05:46:40 UTC
const char* const kVersionLine = "V001.002.003.004\t2025-12-06 05:46:40\r\n";

std::string G(const char* utf8) { return ToGbk(FromUtf8(utf8)); }

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }
std::string Str(const std::vector<uint8_t>& b) { return {b.begin(), b.end()}; }

// A station in memory, saved under /st so that it has a folder, with a fixed
// clock and local time in UTC.
class AtsStation : public ::testing::Test {
protected:
    AtsStation() {
        setenv("TZ", "UTC", 1);
        tzset();
        InstallClock([] { return kNow; });
        doc.OnNewDocument();
        doc.version = {1, 2, 3, 4};
        EXPECT_TRUE(doc.OnSaveDocument("/st/S.lcp"));
        ui.log.clear();
    }
    ~AtsStation() override { InstallClock({}); }

    template <typename T>
    T* Add(int code) {
        auto obj = CreateForDeviceType(code);
        T* p = dynamic_cast<T*>(obj.get());
        doc.AddObject(std::move(obj));
        return p;
    }
    CADSignal* Signal(const char* name, uint16_t address, int variant = 0) {
        auto* s = Add<CADSignal>(9 + variant);
        s->io.SetName(FromUtf8(name));
        s->io.address = address;
        s->nameLabel.text = FromUtf8(name);
        return s;
    }
    CADButton* Button(const char* label, uint16_t button, uint16_t address) {
        auto* b = Add<CADButton>(22);
        b->nameLabel.text = FromUtf8(label);
        b->io.button = button;
        b->io.address = address;
        return b;
    }
    Row& AddRow(int table, const char* name, uint16_t address, uint16_t button) {
        Row r = IoTables::NewRow(table);
        r.SetName(FromUtf8(name));
        r.SetU16(io::kAddress, address);
        r.SetU16(io::kButton, button);
        doc.io.Append(table, std::move(r));
        return doc.io.Table(table).back();
    }
    std::string File(const char* name) const {
        const auto it = files.files.find(fs::path("/st/ATS") / name);
        return it == files.files.end() ? std::string("<missing>") : Str(it->second);
    }
    std::vector<std::string> Lines(const char* name) const {
        const std::string text = FromGbkToUtf8(File(name));
        std::vector<std::string> out;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            out.push_back(text.substr(start, end - start));
        }
        return out;
    }
    static std::string FromGbkToUtf8(const std::string& gbk) { return ToUtf8(FromGbk(gbk)); }

    MemoryFileStore files;
    ScriptedInteraction ui;
    CVelkorDoc doc{ui, files};
};

TEST_F(AtsStation, AnEmptyStationGetsOnlyTheFixedVocabularyThatNeedsNoDevice) {
    ASSERT_TRUE(GenerateAtsData(doc));
    EXPECT_EQ(File("AtsCmd.txt"),
              "1\r\n" + std::string(kVersionLine) + G("1\t辅助\t9\t0x0040\r\n"));
    EXPECT_EQ(File("AtsShow.txt"),
              "2\r\n" + std::string(kVersionLine) +
                  G("1\t可上电解锁\t10\t0x0000\r\n2\t已解除临时限速\t10\t0x0000\r\n"));
    EXPECT_EQ(File("LogicSection.txt"), "0\r\n" + std::string(kVersionLine));
    // Count 1, version 1.2.3.4, the time, then serial 1, 辅助 padded to 20
    // bytes, type 9, code 0x0040.
    std::string expected("\x01\x00\x00\x00\x01\x02\x03\x04", 8);
    for (int i = 0; i < 8; ++i)
        expected += static_cast<char>((static_cast<uint64_t>(kNow) >> (8 * i)) & 0xFF);
    std::string record("\x01\x00\x00\x00", 4);
    record += G("辅助");
    record.resize(24, '\0');
    record += std::string("\x09\x40\x00", 3);
    EXPECT_EQ(Hex(Bytes(File("AtsCmd.bin"))), Hex(Bytes(expected + record)));
    EXPECT_EQ(File("AtsShow.bin").size(), 16u + 2 * 27);
    EXPECT_EQ(File("LogicSection.bin").size(), 16u);
    EXPECT_TRUE(doc.atsLogicSections.empty());
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"ATS数据生成完毕！"});
    EXPECT_TRUE(ui.Messages("warning").empty());
}

TEST_F(AtsStation, TheWorkbookShowsTheGroupsUnderTheirTitles) {
    Button("ZDZ2", 0x0851, 7);
    ASSERT_TRUE(GenerateAtsData(doc));
    Status error;
    const auto book =
        ReadXls(files.files.at(fs::path("/st/ATS") / PathFromUtf8("码位表.xls")), &error);
    ASSERT_TRUE(book) << error.Message();
    std::vector<std::u16string> names;
    for (const auto& s : book->sheets) names.push_back(s.name);
    // Each sheet is added in front of the others, as the helper does.
    EXPECT_EQ(names, (std::vector<std::u16string>{u"逻辑区段码位表", u"控制码位表", u"表示码位表",
                                                  u"Sheet1", u"Sheet2", u"Sheet3"}));
    const auto cellsOf = [&](size_t sheet) {
        std::vector<std::string> rows;
        const auto& cells = book->sheets[sheet].cells;
        for (uint32_t r = 1; r <= 40; ++r) {
            const auto a = cells.find({r, 1});
            const auto b = cells.find({r, 2});
            if (a == cells.end() && b == cells.end()) continue;
            rows.push_back(std::to_string(r) + ":" +
                           (a == cells.end() ? "" : ToUtf8(CellText(a->second))) + "|" +
                           (b == cells.end() ? "" : ToUtf8(CellText(b->second))));
        }
        return rows;
    };
    // The auxiliary indication ZDZ2 is named after the button whose number
    // is its provisional code (none: empty), column A empty.
    EXPECT_EQ(cellsOf(2),
              (std::vector<std::string>{"1:序号|名称",     "2:信号机|",      "3:道岔|",
                                        "4:区段|",         "5:表示灯|",      "6:|",
                                        "7:标志|",         "8:1|可上电解锁", "9:2|已解除临时限速",
                                        "10:防淹门|",      "11:站台|",       "12:提示信息|",
                                        "13:1|提示信息1",  "14:2|提示信息2", "15:3|提示信息3",
                                        "16:4|提示信息4",  "17:5|提示信息5", "18:6|提示信息6",
                                        "19:7|提示信息7",  "20:8|提示信息8", "21:9|提示信息9",
                                        "22:10|提示信息10"}));
    EXPECT_EQ(cellsOf(1), (std::vector<std::string>{"1:序号|名称", "2:列调按钮|", "3:信号机|",
                                                    "4:道岔|", "5:区段|", "6:防淹门|", "7:站台|",
                                                    "8:按钮|", "9:1|ZDZ2", "10:2|辅助"}));
    EXPECT_EQ(cellsOf(0), (std::vector<std::string>{"1:序号|名称", "2:逻辑区段|"}));
}

TEST_F(AtsStation, RowsNamedLikeRepeatsNoOrNothingTakeNoPart) {
    for (const char* name : {"X1F", "NO", ""}) {
        AddRow(kSignalTable, name, 1, 0x0010);
        AddRow(kSwitchTable, name, 1, 0x0020);
        AddRow(kSectionTable, name, 1, 0x0030);
    }
    Signal("X1", 1);
    ASSERT_TRUE(GenerateAtsData(doc));
    EXPECT_EQ(Lines("AtsCmd.txt")[0], "1");
    EXPECT_EQ(Lines("AtsShow.txt")[0], "2");
}

TEST_F(AtsStation, SignalCommandsTheirButtonsAndUnnamedSignals) {
    AddRow(kSignalTable, "D5", 5, 0x0510);
    AddRow(kSignalTable, "X3", 3, 0x0310);
    AddRow(kSignalTable, "S1", 1, 0x0110);
    AddRow(kSignalTable, "S9", 9, 0x0910);  // no signal, no button at 9
    auto* d5 = Signal("D5", 5);
    d5->usageKind = 5;  // 调列
    d5->button.io.button = 0x8510;
    auto* x3 = Signal("X3", 3);
    x3->usageKind = 2;  // 列调
    x3->button.io.button = 0x8310;
    auto* s1 = Signal("S1", 1);
    s1->usageKind = 1;
    s1->nameLabel.text.clear();  // the label is empty: the button at 1 names it
    Button("S1按钮", 0x0110, 1);
    ASSERT_TRUE(GenerateAtsData(doc));
    const auto cmd = Lines("AtsCmd.txt");
    ASSERT_GE(cmd.size(), 9u);
    EXPECT_EQ(cmd[0], "7");
    EXPECT_EQ(cmd[2], "1\tD5LA\t0\t0x8510");
    EXPECT_EQ(cmd[3], "2\tX3DA\t0\t0x8310");
    EXPECT_EQ(cmd[4], "3\tD5\t1\t0x0510");
    EXPECT_EQ(cmd[5], "4\tX3\t1\t0x0310");
    EXPECT_EQ(cmd[6], "5\tS1按钮\t9\t0x0110");
    EXPECT_EQ(cmd[7], "6\tNULL\t9\t0x0910");
    EXPECT_EQ(cmd[8], "7\t辅助\t9\t0x0040");
    const auto show = Lines("AtsShow.txt");
    // Only the signals with a label are indications; numbered in their group.
    EXPECT_EQ(show[2], "1\tD5\t1\t0x0005");
    EXPECT_EQ(show[3], "2\tX3\t1\t0x0003");
    EXPECT_EQ(show[4], "1\t可上电解锁\t10\t0x0000");
}

TEST_F(AtsStation, SectionsOfASwitchTakeTheSwitchAndItsLogicSections) {
    doc.hasLogicSections = 1;
    doc.logicSectionsPerSwitch = 2;
    auto* sw = Add<RailSwitch>(1);
    sw->io.SetName(u"1");
    sw->io.address = 0;
    sw->nameLabel.text = u"1#";
    sw->switchSection.SetName(u"1DG");
    sw->logic[0].SetName(u"1DGA");
    sw->logic[0].address = 11;
    sw->logic[1].SetName(u"1DGB");
    AddRow(kSwitchTable, "1", 0, 0x0020);
    AddRow(kSectionTable, "1DG", 4, 0x0430);
    auto* section = Add<CADSection>(0);
    section->io.SetName(u"3DG");
    section->io.address = 5;
    AddRow(kSectionTable, "3DGA", 5, 0x0530);
    AddRow(kLogicSectionTable, "1DGA", 11, 0);
    AddRow(kLogicSectionTable, "1DGB", 12, 0);
    AddRow(kLogicSectionTable, "3DGA", 13, 0);
    AddRow(kLogicSectionTable, "9DGF1", 14, 0);  // F second to last: a repeat
    AddRow(kLogicSectionTable, "NO", 15, 0);
    ASSERT_TRUE(GenerateAtsData(doc));
    EXPECT_EQ(
        Lines("LogicSection.txt"),
        (std::vector<std::string>{"3", "V001.002.003.004\t2025-12-06 05:46:40", "1\t1\t17\t0x000B",
                                  "2\t1\t18\t0x000C", "3\t3DGA\t15\t0x000D"}));
    const auto cmd = Lines("AtsCmd.txt");
    // Switch command, then the two section commands: the switch section by
    // the switch's label (type 4), the plain section by its IO name.
    EXPECT_EQ(cmd[2], "1\t1#\t2\t0x0020");
    EXPECT_EQ(cmd[3], "2\t1#\t4\t0x0430");
    EXPECT_EQ(cmd[4], "3\t3DG\t3\t0x0530");
    const auto show = Lines("AtsShow.txt");
    EXPECT_EQ(show[2], "1\t1#\t2\t0x0000");
    EXPECT_EQ(show[3], "1\t1#\t4\t0x0004");
    EXPECT_EQ(show[4], "2\t3DG\t3\t0x0005");
    // The base names, with the logic suffix gone, are in the workbook only.
    const auto book = ReadXls(files.files.at(fs::path("/st/ATS") / PathFromUtf8("码位表.xls")));
    ASSERT_TRUE(book);
    const auto& shown = book->sheets[2].cells;
    EXPECT_EQ(CellText(shown.at({6, 2})), u"1DG");
    EXPECT_EQ(CellText(shown.at({7, 2})), u"3DG");
}

TEST_F(AtsStation, PlatformsFloodGatesAndTheirDeviceTypes) {
    const auto station = [&](const char* header, const char* name, uint16_t id) {
        Row& r = AddRow(kStationTable, header, 0, 0);
        r.SetText(io::kStationName, io::kStationNameBytes, FromUtf8(name));
        r.SetU16(io::kStation, id);
    };
    auto* both = Add<CADStation>(17);
    both->id = 1;
    both->upperDoor = both->lowerDoor = 1;
    auto* upper = Add<CADStation>(17);
    upper->id = 2;
    upper->upperDoor = 1;
    upper->lowerDoor = 0;
    station("NO", "甲站", 1);
    station("B", "乙站", 2);
    station("C", "丙站", 3);
    station("DF", "丁站", 4);  // header ends in F
    station("E", "戊站F", 5);  // station name ends in F
    for (const char* label : {"FMG1", "FMG2F", "NO", ""}) {
        auto* gate = Add<CADAfgDoor>(38);
        gate->nameLabel.text = FromUtf8(label);
        gate->io.address = 0x21;
        gate->io.button = 0x0221;
    }
    ASSERT_TRUE(GenerateAtsData(doc));
    const auto cmd = Lines("AtsCmd.txt");
    EXPECT_EQ(std::vector<std::string>(cmd.begin() + 2, cmd.end()),
              (std::vector<std::string>{"1\tFMG1\t11\t0x0221", "2\tNULL\t11\t0x0221",
                                        "3\t甲站\t13\t0x0001", "4\t乙站\t12\t0x0002",
                                        "5\t丙站\t204\t0x0003", "6\t辅助\t9\t0x0040"}));
    const auto show = Lines("AtsShow.txt");
    EXPECT_EQ(std::vector<std::string>(show.begin() + 4, show.end()),
              (std::vector<std::string>{"1\tFMG1\t11\t0x0021", "2\tNULL\t11\t0x0021",
                                        "1\t甲站\t13\t0x0001", "2\t乙站\t12\t0x0002",
                                        "3\t丙站\t204\t0x0003"}));
}

TEST_F(AtsStation, AuxiliaryItemsAreMatchedAgainstTheButtonsOrRemoved) {
    Button("总取消", 0x0645, 9);
    Button("总取消2", 0x0645, 10);  // a second 0x0645: only the first counts
    Button("引导总锁", 0x0745, 1);
    Button("远程", 0x0E42, 2);
    Button("ZDZ3", 0x0A51, 3);
    Button("其他", 0x2144, 4);  // carries ZDZ3's provisional code
    auto* light = Add<CADDeLight>(21);
    light->nameLabel.text = u"熔丝报警";
    const AtsLookups lookups(doc);
    const AtsItemTables fixed(lookups);
    // Before matching: list E's items from the buttons, with their serials.
    std::vector<std::string> provisional;
    for (const auto& item : fixed.auxiliaryCommands) {
        provisional.push_back(std::to_string(item.serial) + " " + ToUtf8(FromGbk(item.name)));
    }
    EXPECT_EQ(
        std::vector<std::string>(provisional.begin(), provisional.begin() + 5),
        (std::vector<std::string>{"52 总取消", "53 引导总锁", "61 远程", "63 引导总锁", "1 ZDZ1"}));
    EXPECT_EQ(fixed.auxiliaryCommands[3].ioCode, 0x0E42);

    ASSERT_TRUE(GenerateAtsData(doc));
    const auto cmd = Lines("AtsCmd.txt");
    EXPECT_EQ(std::vector<std::string>(cmd.begin() + 2, cmd.end()),
              (std::vector<std::string>{"1\t总取消\t9\t0x0645", "2\t引导总锁\t9\t0x0745",
                                        "3\t远程\t9\t0x0E42", "4\t引导总锁\t9\t0x0745",
                                        "5\tZDZ3\t9\t0x0A51", "6\t辅助\t9\t0x0040"}));
    const auto show = Lines("AtsShow.txt");
    // 熔丝报警 only (a light carries its name), then the auxiliary copies
    // renumbered from 65, named after the button with their old code.
    EXPECT_EQ(std::vector<std::string>(show.begin() + 2, show.begin() + 6),
              (std::vector<std::string>{"1\t熔丝报警\t5\t0x0000", "65\t远程\t9\t0x0E42",
                                        "66\t远程\t9\t0x0745", "67\t其他\t9\t0x0A51"}));
}

TEST_F(AtsStation, ASecondRunIsRefusedAndTouchesNothing) {
    ASSERT_TRUE(GenerateAtsData(doc));
    const auto before = files.files;
    InstallClock([] { return kNow + 3600; });
    ui.log.clear();
    EXPECT_FALSE(GenerateAtsData(doc));
    EXPECT_EQ(ui.Messages("warning"),
              std::vector<std::string>{"ATS文件已存在，请先删除文件，才能重新生成！"});
    EXPECT_TRUE(ui.Messages("info").empty());
    EXPECT_EQ(files.files, before);
    // Only LogicSection.txt left: still refused before anything is written.
    files.files.erase(fs::path("/st/ATS/AtsCmd.txt"));
    files.files.erase(fs::path("/st/ATS/AtsShow.txt"));
    const auto rest = files.files;
    EXPECT_FALSE(GenerateAtsData(doc));
    EXPECT_EQ(files.files, rest);
}

TEST(AtsGeneration, NeedsAStationFileAndAnAnswer) {
    ScriptedInteraction ui;
    MemoryFileStore files;
    CVelkorDoc doc(ui, files);
    doc.OnNewDocument();
    EXPECT_FALSE(GenerateAtsData(doc));
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"请先打开站场文件！"});
    ui.log.clear();
    ui.answers = {false};
    EXPECT_FALSE(RunAtsGenerationCommand(&doc, ui));
    EXPECT_EQ(ui.log, (std::vector<ScriptedInteraction::Entry>{
                          {"question", "请确定是否需要重新生成本站ATS数据！"}}));
    EXPECT_TRUE(files.files.empty());
}

TEST(AtsBinary, NamesAreCutToTwentyBytesWithoutATerminator) {
    const AtsItem exact{1, std::string(20, 'A'), 3, 0x1234};
    const AtsItem longer{2, G("区段名称很长很长的名字"), 4, 0xABCD};  // 22 GBK bytes
    const AtsItem nul{3, "NULL", 9, 0};
    const auto file = AtsBinaryFile({&exact, &longer, &nul}, {9, 8, 7, 6}, 0x0102030405060708);
    ASSERT_EQ(file.size(), 16u + 3 * 27);
    EXPECT_EQ(Hex(file, 0, 16), "03 00 00 00 09 08 07 06 08 07 06 05 04 03 02 01");
    EXPECT_EQ(std::string(file.begin() + 20, file.begin() + 40), std::string(20, 'A'));
    EXPECT_EQ(Hex(file, 40, 3), "03 34 12");
    EXPECT_EQ(std::string(file.begin() + 47, file.begin() + 67),
              G("区段名称很长很长的名字").substr(0, 20));
    EXPECT_EQ(Hex(file, 67, 3), "04 CD AB");
    EXPECT_EQ(std::string(file.begin() + 74, file.begin() + 78), "NULL");
    EXPECT_EQ(file[78], 0);
}

TEST(AtsText, LinesAreReadAsACProgramWouldAndParsedFieldByField) {
    const struct {
        std::string text;
        int expected;
        std::vector<AtsItem> items;
    } cases[] = {
        {"2\r\nV1\r\n1\tX1\t1\t0x0010\r\n2\tS\t3\t0xABCD",
         2,
         {{1, "X1", 1, 0x10}, {2, "S", 3, 0xABCD}}},
        // The empty line after the items is an item of its own.
        {"1\r\nV\r\n1\tX1\t1\t0x0010\r\n\r\n", 1, {{1, "X1", 1, 0x10}, {}}},
        // Nothing after the final line break is not a line.
        {"1\nV\n7 D5LA 300 0x1", 1, {{7, "D5LA", 44, 1}}},
        // Missing or broken fields stay 0; the name is one token of at most 49 bytes.
        {"3\nV\nabc\n5\tname\n6\t" + std::string(52, 'n') + "\t1\t0x2",
         3,
         {{}, {5, "name", 0, 0}, {6, std::string(49, 'n'), 0, 0}}},
        {"", 0, {}},
        {"0\r\n", 0, {}},
    };
    for (const auto& c : cases) {
        const AtsTextContent read = ParseAtsText(Bytes(c.text));
        EXPECT_EQ(read.expected, c.expected) << c.text;
        EXPECT_EQ(read.items, c.items) << c.text;
        EXPECT_FALSE(read.lineTooLong) << c.text;
    }
    EXPECT_TRUE(ParseAtsText(Bytes("1\nV\n1\t" + std::string(95, 'x') + "\t1\t0x1")).lineTooLong);
    EXPECT_FALSE(ParseAtsText(Bytes("1\nV\n1\t" + std::string(86, 'x') + "\t1\t0x1")).lineTooLong);
}

class AtsConversion : public AtsStation {
protected:
    void Put(const char* name, const std::string& text) {
        files.files[fs::path("/st/ATS") / name] = Bytes(text);
    }
};

TEST_F(AtsConversion, TextFilesBecomeBinaryFilesWithTheStationsVersion) {
    Put("AtsCmd.txt", "0\r\nV009.009.009.009\t1999-01-01 00:00:00\r\n");
    Put("AtsShow.txt", "1\r\nV\r\n65\tNULL\t9\t0x0E42\r\n");
    Put("LogicSection.txt", "0\r\n");
    ASSERT_TRUE(RunAtsTextToBinaryCommand(&doc, ui));
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"ATS文件转换成bin文件，转换完毕！"});
    const std::string cmd = File("AtsCmd.bin");
    ASSERT_EQ(cmd.size(), 16u);
    EXPECT_EQ(Hex(Bytes(cmd), 0, 8), "00 00 00 00 01 02 03 04");
    const std::string show = File("AtsShow.bin");
    ASSERT_EQ(show.size(), 16u + 27);
    EXPECT_EQ(show.substr(20, 5), std::string("NULL\0", 5));
}

TEST_F(AtsConversion, ACountThatDisagreesOrAMissingFileWritesNothing) {
    const struct {
        std::string cmd, show, logic;
        const char* message;
    } cases[] = {
        {"3\nV\n1\ta\t1\t0x1\n2\tb\t1\t0x1\n3\tc\t1\t0x1\n\n", "0", "0",
         "命令信息数量读取错误，请核查配置文件AtsCtrl.txt"},
        {"0", "2\nV\n1\ta\t1\t0x1", "0", "表示信息数量读取错误，请核查配置文件AtsShow.txt"},
        {"0", "0", "1\nV\n1\t" + std::string(120, 'x') + "\t1\t0x1",
         "命令信息数量读取错误，请核查配置文件LogicSection.txt"},
    };
    for (const auto& c : cases) {
        files.files.clear();
        ui.log.clear();
        Put("AtsCmd.txt", c.cmd);
        Put("AtsShow.txt", c.show);
        Put("LogicSection.txt", c.logic);
        EXPECT_FALSE(RunAtsTextToBinaryCommand(&doc, ui));
        EXPECT_EQ(ui.Messages("warning"),
                  (std::vector<std::string>{c.message, "ATS文件转换成bin文件，转换失败!"}));
        EXPECT_EQ(files.files.size(), 3u);  // no binary file
    }
    files.files.erase(fs::path("/st/ATS/AtsShow.txt"));
    ui.log.clear();
    EXPECT_FALSE(RunAtsTextToBinaryCommand(&doc, ui));
    EXPECT_EQ(ui.Messages("warning"),
              (std::vector<std::string>{"数据读取失败，无法打开文件！",
                                        "ATS文件转换成bin文件，转换失败!"}));
    ui.log.clear();
    EXPECT_FALSE(RunAtsTextToBinaryCommand(nullptr, ui));
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"ATS文件转换成bin文件，转换失败!"});
}

TEST_F(AtsConversion, GeneratedTextConvertsToTheSameBinaryFiles) {
    AddRow(kSignalTable, "X1", 1, 0x0110);
    Signal("X1", 1);
    ASSERT_TRUE(GenerateAtsData(doc));
    const std::string cmd = File("AtsCmd.bin"), show = File("AtsShow.bin"),
                      logic = File("LogicSection.bin");
    ASSERT_TRUE(ConvertAtsTextToBinary(doc));
    EXPECT_EQ(File("AtsCmd.bin"), cmd);
    EXPECT_EQ(File("AtsShow.bin"), show);
    EXPECT_EQ(File("LogicSection.bin"), logic);
}

class MainTrackFile : public AtsStation {
protected:
    bool Convert(const std::string& text) {
        files.files[fs::path("/st/MainTrack/MainTrack.txt")] = Bytes(text);
        files.files.erase(fs::path("/st/MainTrack/MainTrack.bin"));
        ui.log.clear();
        return RunMainTrackCommand(&doc, ui);
    }
    std::string Binary() const {
        const auto it = files.files.find(fs::path("/st/MainTrack/MainTrack.bin"));
        return it == files.files.end() ? std::string() : Str(it->second);
    }
};

TEST_F(MainTrackFile, TracksBecomeRecordsOfTwentySlots) {
    ASSERT_TRUE(Convert("2\n3 1G 2G 3G\n1 IIG"));
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"股道文件转换成bin文件，转换完毕！"});
    const std::string bin = Binary();
    ASSERT_EQ(bin.size(), 660u);
    EXPECT_EQ(Hex(Bytes(bin), 0, 4), "01 02 03 04");
    EXPECT_EQ(Hex(Bytes(bin), 12, 4), "02 00 00 00");
    EXPECT_EQ(Hex(Bytes(bin), 16, 2), "03 00");
    EXPECT_EQ(bin.substr(18, 16), std::string("1G") + std::string(14, '\0'));
    EXPECT_EQ(bin.substr(34, 16), std::string("2G") + std::string(14, '\0'));
    EXPECT_EQ(bin.substr(50, 16), std::string("3G") + std::string(14, '\0'));
    EXPECT_EQ(bin.substr(66, 16 * 17), std::string(16 * 17, '\0'));
    EXPECT_EQ(Hex(Bytes(bin), 16 + 322, 2), "01 00");
    EXPECT_EQ(bin.substr(16 + 322 + 2, 4), std::string("IIG\0", 4));
}

TEST_F(MainTrackFile, TheCountMustTakeTheFileToItsEnd) {
    const struct {
        const char* text;
        bool ok;
        size_t size;
        const char* message;
    } cases[] = {
        {"2\n3 1G 2G 3G\n1 IIG\n", false, 0, "股道信息数量读取错误，请核查配置文件MainTrack.txt"},
        {"1\n3 1G 2G 3G\n1 IIG", false, 0, "股道信息数量读取错误，请核查配置文件MainTrack.txt"},
        {"0", true, 16, nullptr},
        {"", true, 16, nullptr},
        {"3\n1 IG", true, 16 + 3 * 322, nullptr},  // missing lines: empty tracks
        {"333311110", false, 0, "股道信息数量读取错误，请核查配置文件MainTrack.txt"},
        {"1\n21 a b c d e f g h i j k l m n o p q r s t u", false, 0,
         "股道名称超过20个，请核查配置文件MainTrack.txt"},
        {"1\n1 ABCDEFGHIJKLMNOP", false, 0, "股道名称超过15个字节，请核查配置文件MainTrack.txt"},
        {"1\n1 ABCDEFGHIJKLMNO", true, 16 + 322, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Convert(c.text), c.ok) << c.text;
        EXPECT_EQ(Binary().size(), c.size) << c.text;
        if (c.message) {
            EXPECT_EQ(ui.Messages("warning"),
                      (std::vector<std::string>{c.message, "股道文件转换成bin文件，转换失败!"}))
                << c.text;
        }
    }
    files.files.clear();
    ui.log.clear();
    EXPECT_FALSE(RunMainTrackCommand(&doc, ui));
    EXPECT_EQ(ui.Messages("warning"),
              (std::vector<std::string>{"无法打开配置文件MainTrack.txt！",
                                        "股道文件转换成bin文件，转换失败!"}));
}

// A run that cannot write one of its files writes none of them, so the
// next run is not refused with "ATS文件已存在".
TEST_F(AtsStation, ARunThatCannotWriteEveryFileWritesNoneAndDoesNotBlockTheNext) {
    struct Refusing : MemoryFileStore {
        bool refuse = true;
        std::optional<Staged> Stage(const fs::path& p, std::span<const uint8_t> b) override {
            if (refuse && p.filename() == "LogicSection.bin") return std::nullopt;
            return MemoryFileStore::Stage(p, b);
        }
    } refusing;
    ScriptedInteraction ui2;
    CVelkorDoc other(ui2, refusing);
    other.OnNewDocument();
    ASSERT_TRUE(other.OnSaveDocument("/st/S.lcp"));
    const auto before = refusing.files;
    ui2.log.clear();
    EXPECT_FALSE(GenerateAtsData(other));
    EXPECT_EQ(refusing.files, before);
    EXPECT_TRUE(ui2.Messages("info").empty());

    refusing.refuse = false;
    ui2.log.clear();
    EXPECT_TRUE(GenerateAtsData(other));
    EXPECT_EQ(ui2.Messages("info"), std::vector<std::string>{kMsgAtsDone});
    for (const char* name : {kAtsCommandText, kAtsIndicationText, kAtsLogicText, "AtsCmd.bin",
                             "AtsShow.bin", "LogicSection.bin", "码位表.xls"}) {
        EXPECT_TRUE(refusing.files.count(fs::path("/st/ATS") / PathFromUtf8(name))) << name;
    }
}

TEST_F(AtsStation, ZedevEzuraNumbersUpLineThenDownLineSignals) {
    Signal("X2", 0x22, 4);
    Signal("S1", 0x11, 0);
    Signal("S3", 0x13, 3);
    ASSERT_TRUE(WriteZedevEzuraFiles(doc));
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"vu信号机文件生成完毕！"});
    EXPECT_EQ(Str(files.files.at("/st/ZedevEzura/ZedevEzura.txt")),
              "3\r\n1001\tS1\r\n1002\tS3\r\n2001\tX2\r\n");
    const auto bin = files.files.at("/st/ZedevEzura/ZedevEzura.bin");
    ASSERT_EQ(bin.size(), 64u);
    EXPECT_EQ(Hex(bin, 0, 8), "03 00 00 00 E9 03 11 00");
    EXPECT_EQ(std::string(bin.begin() + 8, bin.begin() + 24),
              std::string("S1") + std::string(14, '\0'));
    EXPECT_EQ(Hex(bin, 44, 4), "D1 07 22 00");
}

TEST_F(AtsStation, ZedevEzuraWithoutSignalsAndWhenAFileCannotBeWritten) {
    ASSERT_TRUE(WriteZedevEzuraFiles(doc));
    EXPECT_EQ(Str(files.files.at("/st/ZedevEzura/ZedevEzura.txt")), "0\r\n");
    EXPECT_EQ(files.files.at("/st/ZedevEzura/ZedevEzura.bin").size(), 4u);

    // A store that refuses the binary file: the failure is reported, not success.
    struct Refusing : MemoryFileStore {
        std::optional<Staged> Stage(const fs::path& p, std::span<const uint8_t> b) override {
            if (p.extension() == ".bin") return std::nullopt;
            return MemoryFileStore::Stage(p, b);
        }
    } refusing;
    ScriptedInteraction ui2;
    CVelkorDoc other(ui2, refusing);
    other.OnNewDocument();
    ASSERT_TRUE(other.OnSaveDocument("/st/S.lcp"));
    ui2.log.clear();
    EXPECT_FALSE(WriteZedevEzuraFiles(other));
    EXPECT_EQ(ui2.Messages("warning"),
              std::vector<std::string>{
                  "保存ZedevEzura数据失败，无法打开文件：无法写入：/st/ZedevEzura/ZedevEzura.bin"});
    // Neither file of the run was replaced by half of it.
    EXPECT_FALSE(refusing.files.count("/st/ZedevEzura/ZedevEzura.txt"));
    EXPECT_TRUE(ui2.Messages("info").empty());
}

// An ATS file holds at most 65,535 items, and a sheet of the .xls workbook
// 65,536 rows (its header and group titles included): longer lists are
// refused before any file is written.
TEST_F(AtsStation, ListsLongerThanTheFilesHoldAreRefused) {
    auto& logic = doc.io.Table(kLogicSectionTable);
    for (int i = 0; i < 65536; ++i) {
        Row r = IoTables::NewRow(kLogicSectionTable);
        r.SetName(FromUtf8("L" + std::to_string(i)));
        logic.push_back(std::move(r));
    }
    const auto refused = [&](const char* message) {
        ui.answers = {true};
        ui.log.clear();
        EXPECT_FALSE(RunAtsGenerationCommand(&doc, ui));
        EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{message});
        for (const auto& [path, bytes] : files.files)
            EXPECT_EQ(path.string().find("/st/ATS/"), std::string::npos) << path;
    };
    refused("LogicSection.txt 将有 65536 项，超出 ATS 文件能存的 65535 项，已取消生成。");
    logic.pop_back();
    refused(
        "码位表.xls 的工作表“逻辑区段码位表”将有 65537 行，超出 .xls 工作表能存的 65536 "
        "行，已取消生成。");
    logic.pop_back();
    logic.pop_back();
    ui.answers = {true};
    EXPECT_TRUE(RunAtsGenerationCommand(&doc, ui));
}

// Up-line numbers start at 1001, down-line ones at 2001: a 1,001st up-line
// signal would take the first down-line signal's number.
TEST_F(AtsStation, ZedevEzuraRefusesUpLineNumbersThatReachTheDownLine) {
    for (int i = 0; i < 1001; ++i) Signal(("S" + std::to_string(i)).c_str(), 0x10, 0);
    ASSERT_TRUE(WriteZedevEzuraFiles(doc));  // no down line: 2001 is free
    const std::string text = Str(files.files.at("/st/ZedevEzura/ZedevEzura.txt"));
    EXPECT_NE(text.find("\r\n2001\tS1000\r\n"), std::string::npos);

    files.files.erase("/st/ZedevEzura/ZedevEzura.txt");
    files.files.erase("/st/ZedevEzura/ZedevEzura.bin");
    Signal("X1", 0x20, 4);
    ui.log.clear();
    EXPECT_FALSE(WriteZedevEzuraFiles(doc));
    EXPECT_EQ(ui.Messages("warning"),
              std::vector<std::string>{
                  "ZedevEzura 第 1001 行的信号机编号将是 2001，与第一架下行信号机的编号相同（有下行"
                  "信号机时上行信号机最多 1000 架），已取消。"});
    EXPECT_FALSE(files.files.count("/st/ZedevEzura/ZedevEzura.txt"));
    EXPECT_FALSE(files.files.count("/st/ZedevEzura/ZedevEzura.bin"));
}

}  // namespace
}  // namespace velkor
