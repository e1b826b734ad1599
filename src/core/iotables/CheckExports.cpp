#include "iotables/CheckExports.h"

#include <algorithm>
#include <cstdio>

#include "common/Text.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "tables/CodeTables.h"
#include "tables/IoTables.h"
#include "workbook/ExcelHelper.h"

namespace velkor {

namespace {

std::string Gbk(const char* utf8) { return ToGbk(FromUtf8(utf8)); }

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0X%04X", v);
    return buf;
}

std::string Dec(uint32_t v) { return std::to_string(v); }

// A column of an input-table sheet: its header and the field it shows.
struct Column {
    const char* header;
    const char* field;  // the record description's header
};

CheckSheet TableSheet(const char* name, int table, const std::vector<Column>& columns,
                      const std::vector<Row>& rows, bool trailingTab) {
    const RecordDesc& desc = InputRecordDesc(table);
    CheckSheet sheet{name, {}, {}, trailingTab};
    for (const Column& c : columns) sheet.headers.push_back(Gbk(c.header));
    for (const Row& row : rows) {
        std::vector<std::string> cells;
        for (const Column& c : columns) {
            const FieldDesc& f = *desc.Field(c.field);
            if (f.type == FieldType::Text) {
                cells.push_back(row.TextGbk(f.offset, f.size));
            } else if (table == kSignalTable && f.offset == io::kSignalType) {
                // A type that is none of the eighteen has no name.
                const uint16_t type = row.U16(f.offset);
                cells.push_back(type < kSignalTypeNames.size() ? Gbk(kSignalTypeNames[type]) : "");
            } else if (f.offset == io::kAddress) {
                cells.push_back(Dec(row.U16(f.offset)));
            } else {
                cells.push_back(Hex(row.U16(f.offset)));
            }
        }
        sheet.rows.push_back(std::move(cells));
    }
    return sheet;
}

const std::vector<Column> kHeader = {{"名称", "名称"},
                                     {"地址号", "地址号"},
                                     {"按钮号", "按钮号"},
                                     {"字号", "字号"},
                                     {"位号", "位号"}};

std::vector<Column> HeaderAnd(std::initializer_list<Column> more) {
    std::vector<Column> c = kHeader;
    c.insert(c.end(), more);
    return c;
}

// The five columns of a device's IO record, with the name given.
std::vector<std::string> RecordCells(const std::string& nameGbk, const IORecord& r) {
    return {nameGbk, Dec(r.address), Hex(r.button), Hex(r.word), Hex(r.bit)};
}
std::vector<std::string> RecordCells(const IORecord& r) { return RecordCells(r.NameGbk(), r); }

// The sheets in order, moved in: a braced list would copy every row.
template <class... Sheets>
std::vector<CheckSheet> InOrder(Sheets&&... sheets) {
    std::vector<CheckSheet> out;
    out.reserve(sizeof...(sheets));
    (out.push_back(std::forward<Sheets>(sheets)), ...);
    return out;
}

std::vector<std::string> HeaderCells() {
    std::vector<std::string> h;
    for (const Column& c : kHeader) h.push_back(Gbk(c.header));
    return h;
}

}  // namespace

std::vector<CheckSheet> InputTableSheets(const IoTables& t) {
    return InOrder(
        TableSheet("区段IO信息表", kSectionTable, HeaderAnd({{"GJ", "GJ"}, {"FWZTJ", "FWZTJ"}}),
                   t.Table(kSectionTable), false),
        TableSheet("道岔IO信息表", kSwitchTable,
                   HeaderAnd({{"DBJ", "DBJ"}, {"FBJ", "FBJ"}, {"SJ", "SJ"}}), t.Table(kSwitchTable),
                   true),
        TableSheet("信号机IO信息表", kSignalTable,
                   HeaderAnd({{"按钮号2", "按钮号2"},
                              {"类型", "类型"},
                              {"LXJ", "LXJ"},
                              {"ZXJ", "ZXJ"},
                              {"DXJ", "DXJ"},
                              {"TXJ", "TXJ"},
                              {"LUXJ", "LUXJ"},
                              {"YXJ", "YXJ"},
                              {"DJ", "DJ"},
                              {"2DJ", "2DJ"},
                              {"DDJ", "DDJ"},
                              {"SGJ", "SGJ"}}),
                   t.Table(kSignalTable), true),
        TableSheet("逻辑区段IO信息表", kLogicSectionTable,
                   HeaderAnd({{"物理区段地址", "物理区段地址号"}}), t.Table(kLogicSectionTable),
                   false),
        TableSheet("零散信息IO信息表", kLingsanTable, HeaderAnd({{"继电器", "继电器"}}),
                   t.Table(kLingsanTable), true));
}

std::vector<CheckSheet> DrawingIoSheets(const CVelkorDoc& doc) {
    CheckSheet sections{"区段IO信息表", HeaderCells(), {}, true};
    for (const char* h : {"上行站台ID", "下行站台ID", "防淹门ID1", "防淹门ID2"})
        sections.headers.push_back(Gbk(h));
    CheckSheet switches{"道岔IO信息表", HeaderCells(), {}, true};
    CheckSheet signals{"信号机IO信息表", HeaderCells(), {}, true};
    CheckSheet logic{"逻辑区段IO信息表", HeaderCells(), {}, true};
    CheckSheet lingsan{"零散信息IO信息表", HeaderCells(), {}, true};
    const int perSwitch = std::clamp(doc.logicSectionsPerSwitch, 0, 4);
    for (size_t i = 0; i < doc.Objects().size(); ++i) {
        if (auto* s = doc.ObjectAs<CADSection>(i)) {
            auto cells = RecordCells(ToGbk(s->nameLabel.text), s->io);
            for (uint32_t v : {uint32_t{s->upStation}, uint32_t{s->downStation},
                               uint32_t{s->floodGate1}, uint32_t{s->floodGate2}}) {
                cells.push_back(Hex(v));
            }
            sections.rows.push_back(std::move(cells));
            if (doc.hasLogicSections) logic.rows.push_back(RecordCells(s->logic));
        } else if (auto* sw = doc.ObjectAs<RailSwitch>(i)) {
            switches.rows.push_back(RecordCells(sw->io));
            if (doc.hasLogicSections) {
                for (int k = 0; k < perSwitch; ++k)
                    logic.rows.push_back(RecordCells(sw->logic[static_cast<size_t>(k)]));
            }
        } else if (auto* g = doc.ObjectAs<CADSignal>(i)) {
            signals.rows.push_back(RecordCells(g->io));
        } else if (auto* lamp = doc.ObjectAs<CADDeLight>(i)) {
            lingsan.rows.push_back(RecordCells(lamp->io));
        } else if (auto* box = doc.ObjectAs<CADStation>(i)) {
            // Two buttons and a door of the side the box has.
            size_t a = 0, b = 0, d = 0;
            if (box->lowerDoor) {
                a = 2, b = 3, d = 1;
            } else if (box->upperDoor) {
                a = 0, b = 1, d = 0;
            }
            const std::string name = ToGbk(box->name);
            for (const IORecord* r :
                 {&box->buttons[a].io, &box->buttons[b].io, &box->doors[d].io}) {
                auto cells = RecordCells(*r);
                cells.push_back(name);
                lingsan.rows.push_back(std::move(cells));
            }
        }
    }
    return InOrder(std::move(sections), std::move(switches), std::move(signals), std::move(logic),
                   std::move(lingsan));
}

std::vector<CheckSheet> SiemensSheets(const CodeTables& c) {
    const auto sheet = [](const RecordDesc& desc, const std::vector<Row>& rows) {
        CheckSheet s{desc.name, {}, {}, true};
        for (const FieldDesc& f : desc.fields) s.headers.push_back(Gbk(f.header));
        for (const Row& row : rows) {
            std::vector<std::string> cells;
            for (const FieldDesc& f : desc.fields) {
                if (f.type == FieldType::Text) {
                    cells.push_back(row.TextGbk(f.offset, f.size));
                } else if (f.type == FieldType::U32) {
                    cells.push_back(Dec(row.U32(f.offset)));
                } else {
                    cells.push_back(Dec(row.U16(f.offset)));
                }
            }
            s.rows.push_back(std::move(cells));
        }
        return s;
    };
    return InOrder(sheet(CodeTableDesc(kElementCode), c.Table(kElementCode)),
                   sheet(CodeTableDesc(kTrackSectionCode), c.Table(kTrackSectionCode)),
                   sheet(PhysicalSectionCodeDesc(), c.physical),
                   sheet(CodeTableDesc(kCrossCode), c.Table(kCrossCode)),
                   sheet(CodeTableDesc(kSwitchCode), c.Table(kSwitchCode)),
                   sheet(CodeTableDesc(kSwitSectCode), c.Table(kSwitSectCode)));
}

Status WriteCheckWorkbook(const std::vector<CheckSheet>& sheets, const fs::path& file,
                          FileStore& files) {
    if (sheets.empty()) return Status::IoError("no sheets");
    ExcelHelper x(files);
    // Sheets are added in front: the last first.
    for (auto it = sheets.rbegin(); it != sheets.rend(); ++it) {
        if (it == sheets.rbegin()) {
            x.NewWorkbook(FromUtf8(it->name));
        } else {
            x.AddSheet(FromUtf8(it->name));
        }
        size_t cells = it->headers.size();
        for (const auto& row : it->rows) cells += row.size();
        x.ReserveCells(cells);
        for (size_t c = 0; c < it->headers.size(); ++c)
            x.SetCell(1, static_cast<uint32_t>(c + 1), FromGbk(it->headers[c]));
        for (size_t r = 0; r < it->rows.size(); ++r) {
            for (size_t c = 0; c < it->rows[r].size(); ++c) {
                // Every cell a text: "007" and "1-3" stay as they are.
                x.SetCell(static_cast<uint32_t>(r + 2), static_cast<uint32_t>(c + 1),
                          FromGbk(it->rows[r][c]));
            }
        }
    }
    if (!x.SaveAs(file)) return x.LastStatus();
    return {};
}

std::string CheckTextView(const CheckSheet& sheet) {
    std::string out;
    for (const std::string& h : sheet.headers) out += h + "\t";
    out += "\r\n";
    for (const auto& row : sheet.rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            out += row[i];
            if (i + 1 < row.size() || sheet.trailingTab) out += "\t";
        }
        out += "\r\n";
    }
    return out;
}

namespace {
// The text views of a step: each file in order until one exists already.
bool WriteTextViews(CVelkorDoc& doc, const fs::path& dir, const std::vector<CheckSheet>& sheets,
                    const char* existsMessage) {
    doc.Files().MakeDirs(dir);
    for (const CheckSheet& s : sheets) {
        const fs::path file = dir / PathFromUtf8(s.name + ".txt");
        if (doc.Files().Size(file)) {
            doc.UI().Warning(existsMessage);
            return true;
        }
        const std::string text = CheckTextView(s);
        // A file that cannot be made is passed over.
        doc.Files().WriteAtomic(
            file, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    return true;
}
}  // namespace

bool GenerateCheckFiles(CVelkorDoc& doc) {
    const fs::path dir = doc.Directory() / "CheckIOExcel";
    const fs::path textDir = dir / "textView";
    // The workbooks and text views of one run go in place together.
    OutputBatch batch(doc);
    doc.Files().MakeDirs(dir);
    bool ok = true;
    const auto workbook = [&](const std::vector<CheckSheet>& sheets, const char* name) {
        const Status s = WriteCheckWorkbook(sheets, dir / PathFromUtf8(name), doc.Files());
        if (!s) {
            doc.UI().Warning(s.Message());
            ok = false;
        }
    };
    const auto inputSheets = InputTableSheets(doc.io);
    workbook(inputSheets, "IO信息输入表.xls");
    workbook(DrawingIoSheets(doc), "站场信息IO表.xls");
    WriteTextViews(doc, textDir, inputSheets, kMsgIoTextExists);
    const auto siemens = SiemensSheets(doc.codes);
    workbook(siemens, "西门子信息表.xls");
    WriteTextViews(doc, textDir, siemens, kMsgSiemensTextExists);
    if (!ok) return false;  // told already; nothing of this run is kept
    if (!batch.Commit()) {
        doc.UI().Warning(WithCause(kMsgChecksFailed, batch.Error()));
        return false;
    }
    doc.UI().Info(kMsgChecksDone);
    return ok;
}

std::vector<CheckMark> CheckMarks(const CVelkorDoc& doc) {
    std::vector<CheckMark> out;
    const auto& objects = doc.Objects();
    const IoNameIndex names(doc.io);
    for (size_t i = 0; i < objects.size(); ++i) {
        const auto* d = AsDevice(objects[i].get());
        if (!d) continue;
        CheckMark m{i, d->GetCanvasRect(), Dec(d->io.address) + " " + Hex(d->io.button), false, {}};
        const std::u16string name = d->io.Name();
        if (name.empty()) {
            m.reason = "无IO名称";
        } else if (name == u"NO") {
            m.reason = "IO名称为NO";
        } else if (!names.Find(name)) {
            m.reason = "输入表中无" + ToUtf8(name);
        }
        m.flagged = !m.reason.empty();
        out.push_back(std::move(m));
    }
    return out;
}

void PaintCheckMarks(Painter& painter, const std::vector<CheckMark>& marks) {
    FontDesc font = FontDesc::DefaultLabelFont();
    font.height = -11;
    const Color ok = Rgb(255, 255, 0);
    const Color bad = Rgb(255, 0, 0);
    for (const CheckMark& m : marks) {
        painter.SetOrigin({m.rect.left, m.rect.top});
        const Rect box{0, 0, m.rect.Width(), m.rect.Height()};
        if (m.flagged) {
            painter.SetPen({bad, 2});
            painter.SetBrush({bad, true});
            painter.Rectangle(box);
        }
        const std::string text = m.flagged ? m.text + " " + m.reason : m.text;
        painter.Text({box.right + 2, 0}, FromUtf8(text), font, m.flagged ? bad : ok, Rgb(0, 0, 0));
    }
}

}  // namespace velkor
