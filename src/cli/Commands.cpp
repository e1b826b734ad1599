#include "Commands.h"

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <ostream>

#include "CliInteraction.h"
#include "QtPainter.h"
#include "QtTextMetrics.h"
#include "ats/AtsFiles.h"
#include "ats/AtsGeneration.h"
#include "ats/MainTrack.h"
#include "ats/ZedevEzura.h"
#include "cizc/CiZcWorkbook.h"
#include "common/SvgPainter.h"
#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/CADDevice.h"
#include "devices/DrawingValues.h"
#include "devices/Label.h"
#include "document/CVelkorDoc.h"
#include "document/NameFont.h"
#include "document/StationPainting.h"
#include "forms/PropertyForm.h"
#include "iotables/CheckExports.h"
#include "iotables/Generators.h"
#include "iotables/TableEditing.h"
#include "iotables/TableExchange.h"
#include "iotables/TableText.h"
#include "siemens/CodeBuilds.h"
#include "siemens/ElementTable.h"
#include "siemens/LogicTables.h"
#include "tables/CodeTables.h"
#include "workbook/ExcelHelper.h"

#include <QCommandLineParser>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <optional>

namespace velkor::cli {

namespace {

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;                // long name -> value ("" for a flag)
    std::map<std::string, std::vector<std::string>> repeated;  // every value given
    bool Has(const std::string& o) const { return options.count(o) != 0; }
    std::string Value(const std::string& o) const {
        auto it = options.find(o);
        return it == options.end() ? std::string() : it->second;
    }
    std::vector<std::string> Values(const std::string& o) const {
        auto it = repeated.find(o);
        return it == repeated.end() ? std::vector<std::string>() : it->second;
    }
};

// An option a command takes: its names (the long one first), a value name
// for an option that takes a value, and what it does.
struct OptionSpec {
    std::vector<const char*> names;
    const char* valueName;  // nullptr for a flag
    const char* description;
};

const OptionSpec kYes{{"yes"}, nullptr, "answers Yes to the command's question"};
const OptionSpec kSave{{"save"}, nullptr, "saves the station afterwards"};

struct Context {
    const Args& args;
    std::ostream& out;
    std::ostream& err;
};

struct Command {
    const char* name;
    const char* usage;
    const char* help;
    size_t positional;  // number of required positional arguments
    std::function<int(Context&)> run;
    std::vector<OptionSpec> options = {};
};

// Opens the station named by the first argument; nothing when it did not open.
// Text is measured with `metrics` where given, else estimated.
std::unique_ptr<CVelkorDoc> OpenStation(
    const std::string& file, CliInteraction& ui, const TextMetrics* metrics = nullptr,
    CVelkorDoc::OpenParts parts = CVelkorDoc::OpenParts::Everything) {
    auto doc = std::make_unique<CVelkorDoc>(ui);
    doc->Drawing().metrics = metrics;
    if (!doc->OnOpenDocument(PathFromUtf8(file), parts)) return nullptr;
    return doc;
}

// info and dump tell only what the station file holds: its tables are not read.
std::unique_ptr<CVelkorDoc> OpenStationFile(const std::string& file, CliInteraction& ui) {
    return OpenStation(file, ui, nullptr, CVelkorDoc::OpenParts::StationFileOnly);
}

std::map<std::string, int> CountByClass(const CVelkorDoc& doc) {
    std::map<std::string, int> counts;
    for (const auto& o : doc.Objects()) ++counts[o->GetRuntimeClass().name];
    return counts;
}

int CmdInfo(Context& c) {
    CliInteraction ui(c.err, false);
    auto doc = OpenStationFile(c.args.positional[0], ui);
    if (!doc) return 1;
    c.out << "车站文件: " << c.args.positional[0] << '\n';
    c.out << "数据版本: " << FormatDataVersion(doc->version) << '\n';
    c.out << "是否包含逻辑区段: " << doc->hasLogicSections << '\n';
    c.out << "道岔包含的逻辑区段个数: " << doc->logicSectionsPerSwitch << '\n';
    if (doc->fileTrailer) {
        const auto& t = *doc->fileTrailer;
        c.out << "显示器: " << t[0] << " * " << t[1] << ", 个数 " << t[2] << '\n';
    }
    c.out << "对象总数: " << doc->Objects().size() << '\n';
    for (const auto& [name, n] : CountByClass(*doc)) c.out << "  " << name << ": " << n << '\n';
    return 0;
}

// A JSON value as nlohmann's dump(2) writes it at `depth` levels of nesting.
void WriteNested(std::ostream& out, const nlohmann::json& value, int depth) {
    const std::string text = value.dump(2);
    const std::string indent(static_cast<size_t>(2 * depth), ' ');
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out << std::string_view(text).substr(start, nl + 1 - start) << indent;
    out << std::string_view(text).substr(start);
}

int CmdDump(Context& c) {
    CliInteraction ui(c.err, false);
    auto doc = OpenStationFile(c.args.positional[0], ui);
    if (!doc) return 1;
    // The document is written as it goes, one object at a time, so a large
    // station needs no second copy of itself as JSON. The text is what one
    // dump(2) of the whole would give.
    const DataVersion& v = doc->version;
    const nlohmann::json header = {{"version", {v.high, v.middle, v.low, v.build}},
                                   {"versionText", FormatDataVersion(v)},
                                   {"hasLogicSections", doc->hasLogicSections},
                                   {"logicSectionsPerSwitch", doc->logicSectionsPerSwitch},
                                   {"objectCount", doc->Objects().size()}};
    std::ostream& out = c.out;
    out << "{\n  \"header\": ";
    WriteNested(out, header, 1);
    out << ",\n  \"objects\": ";
    if (doc->Objects().empty()) {
        out << "[]";
    } else {
        out << "[";
        bool first = true;
        for (const auto& o : doc->Objects()) {
            nlohmann::json obj;
            o->Describe(obj);
            out << (first ? "\n    " : ",\n    ");
            WriteNested(out, obj, 2);
            first = false;
        }
        out << "\n  ]";
    }
    nlohmann::json trailer = nullptr;
    if (doc->fileTrailer) {
        const auto& t = *doc->fileTrailer;
        trailer = {{"displayWidth", t[0]}, {"displayHeight", t[1]}, {"displayCount", t[2]}};
    }
    out << ",\n  \"trailer\": ";
    WriteNested(out, trailer, 1);
    out << "\n}\n";
    return out ? 0 : 1;
}

int CmdResave(Context& c) {
    // The version reminder is answered Yes: resaving keeps the version.
    CliInteraction ui(c.err, true);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    return doc->OnSaveDocument(doc->PathName()) ? 0 : 1;
}

// An integer option, or the default when absent; nothing when malformed.
std::optional<long> IntOption(const Args& a, const std::string& name, long def) {
    auto it = a.options.find(name);
    if (it == a.options.end()) return def;
    try {
        size_t used = 0;
        const long v = std::stol(it->second, &used);
        if (used != it->second.size()) return std::nullopt;
        return v;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The largest PNG picture: 65,536 pixels a side and 2^28 pixels (1 GiB of
// image memory).
constexpr int32_t kLargestPngSide = 65536;
constexpr int64_t kLargestPngPixels = int64_t{1} << 28;

int CmdRender(Context& c) {
    const auto out = c.args.options.find("output");
    if (out == c.args.options.end() || out->second.empty()) {
        c.err << "Usage: velkor-cli render STATION.lcp -o PICTURE.svg|PICTURE.png\n";
        return 2;
    }
    CliInteraction ui(c.err, false);
    auto doc = OpenStation(c.args.positional[0], ui, &UseQtTextMetrics());
    if (!doc) return 1;
    const bool grid = c.args.Has("grid");
    // --check: each device's 地址号 and 按钮号, the flagged ones in red, and
    // their list on stdout.
    std::vector<CheckMark> marks;
    if (c.args.Has("check")) {
        marks = CheckMarks(*doc);
        for (const CheckMark& m : marks) {
            if (!m.flagged) continue;
            const auto* d = AsDevice(doc->Objects()[m.object].get());
            c.out << m.object << '\t' << doc->Objects()[m.object]->GetRuntimeClass().name << '\t'
                  << (d ? ToUtf8(d->io.Name()) : "") << '\t' << m.reason << '\n';
        }
    }
    const fs::path target = PathFromUtf8(out->second);
    // The whole station by default; --area display keeps to the display
    // frames, as the view's scroll range starts.
    const std::string areaName = c.args.Has("area") ? c.args.Value("area") : "station";
    if (areaName != "station" && areaName != "display") {
        c.err << "velkor-cli: --area takes station or display\n";
        return 2;
    }
    const Size displays = CanvasSize(*doc);
    const Rect area =
        areaName == "display" ? Rect{0, 0, displays.cx, displays.cy} : StationBounds(*doc);
    std::string ext = target.extension().string();
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    bool ok = false;
    if (ext == ".png") {
        // A picture of a far-flung (or damaged) station could need more
        // memory than a machine has: such a picture is refused up front.
        const int64_t pixels = int64_t{area.Width()} * area.Height();
        if (area.Width() > kLargestPngSide || area.Height() > kLargestPngSide ||
            pixels > kLargestPngPixels) {
            c.err << "velkor-cli: the picture of " << PathToUtf8(doc->PathName()) << " would be "
                  << area.Width() << " × " << area.Height()
                  << " pixels, more than a PNG picture here may have; write .svg or use --area "
                     "display\n";
            return 1;
        }
        QImage image(area.Width(), area.Height(), QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter qp(&image);
            QtPainter painter(qp);
            painter.SetCanvasOffset({area.left, area.top});
            PaintBackground(painter, *doc, grid, doc->Drawing().values.gridSpacing, &area);
            PaintObjects(painter, *doc);
            PaintCheckMarks(painter, marks);
        }
        // Qt writes the file itself; go through a temporary file and rename.
        const fs::path tmp = fs::path(target).concat(".velkor-tmp.png");
        ok = image.save(QString::fromStdString(PathToUtf8(tmp)), "PNG");
        std::error_code ec;
        if (ok) fs::rename(tmp, target, ec);
        ok = ok && !ec;
        if (!ok) fs::remove(tmp, ec);
    } else {
        SvgPainter painter(area, doc->Drawing().Metrics());
        PaintBackground(painter, *doc, grid, doc->Drawing().values.gridSpacing, &area);
        PaintObjects(painter, *doc);
        PaintCheckMarks(painter, marks);
        const std::string svg = painter.Finish();
        ok = WriteFileAtomic(target,
                             std::span(reinterpret_cast<const uint8_t*>(svg.data()), svg.size()));
    }
    if (!ok) {
        c.err << "velkor-cli: cannot write " << out->second << '\n';
        return 1;
    }
    return 0;
}

int CmdDemo(Context& c) {
    const auto objects = IntOption(c.args, "objects", 0);
    const auto seed = IntOption(c.args, "seed", 1);
    if (!objects || !seed || *objects < 0 || *objects > 10000000) {
        c.err << "velkor-cli: --objects and --seed take whole numbers\n";
        return 2;
    }
    CliInteraction ui(c.err, true);
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &UseQtTextMetrics();
    doc.OnNewDocument();
    BuildDemoStation(
        doc, {static_cast<int>(*objects), static_cast<uint32_t>(*seed), c.args.Has("tables")});
    const fs::path dir = PathFromUtf8(c.args.positional[0]);
    std::error_code ec;
    fs::create_directories(dir, ec);
    const fs::path station = dir / "Demo.lcp";
    if (!doc.OnSaveDocument(station)) return 1;
    c.out << PathToUtf8(station) << ": " << doc.Objects().size() << " objects\n";
    return 0;
}

// The tables by the names the command line knows them.
struct TableRef {
    const char* name;
    std::function<const std::vector<Row>&(const CVelkorDoc&)> rows;
    std::function<const RecordDesc&()> desc;
    bool signal;
};

const std::vector<TableRef>& TableRefs() {
    static const std::vector<TableRef> refs = [] {
        std::vector<TableRef> r;
        const char* inputNames[kInputTableCount] = {"section", "switch",  "signal",
                                                    "logic",   "lingsan", "station"};
        for (int i = 0; i < kInputTableCount; ++i) {
            r.push_back(
                {inputNames[i],
                 [i](const CVelkorDoc& d) -> const std::vector<Row>& { return d.io.Table(i); },
                 [i]() -> const RecordDesc& { return InputRecordDesc(i); }, i == kSignalTable});
        }
        r.push_back(
            {"muti",
             [](const CVelkorDoc& d) -> const std::vector<Row>& { return d.io.combinations; },
             []() -> const RecordDesc& { return MutiSectionDesc(); }, false});
        r.push_back({"relation",
                     [](const CVelkorDoc& d) -> const std::vector<Row>& { return d.io.relations; },
                     []() -> const RecordDesc& { return AddressRelationDesc(); }, false});
        r.push_back(
            {"PhysicalSectionCode",
             [](const CVelkorDoc& d) -> const std::vector<Row>& { return d.codes.physical; },
             []() -> const RecordDesc& { return PhysicalSectionCodeDesc(); }, false});
        for (int i = 0; i < kSiemensTableCount; ++i) {
            r.push_back(
                {CodeTableDesc(i).name,
                 [i](const CVelkorDoc& d) -> const std::vector<Row>& { return d.codes.Table(i); },
                 [i]() -> const RecordDesc& { return CodeTableDesc(i); }, false});
        }
        return r;
    }();
    return refs;
}

int CmdTables(Context& c) {
    const std::string wanted = c.args.positional.size() > 1 ? c.args.positional[1] : "";
    const TableRef* only = nullptr;
    if (!wanted.empty()) {
        for (const TableRef& t : TableRefs()) {
            if (wanted == t.name) only = &t;
        }
        if (!only) {
            c.err << "velkor-cli: unknown table '" << wanted << "'; tables:";
            for (const TableRef& t : TableRefs()) c.err << ' ' << t.name;
            c.err << '\n';
            return 2;
        }
    }
    CliInteraction ui(c.err, false);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    for (const TableRef& t : TableRefs()) {
        if (only && only != &t) continue;
        if (!only) c.out << "# " << t.name << '\n';
        c.out << TableAsText(t.desc(), t.rows(*doc), t.signal);
    }
    return 0;
}

// Runs a generator on the station and saves it with --save; the commands
// that ask first check their --yes before.
int RunGenerator(Context& c, CliInteraction& ui, const std::function<bool(CVelkorDoc&)>& run) {
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    // Completed is success, whatever it warned about on the way; only a
    // generator that failed, or a save that failed, is a failure.
    if (!run(*doc)) return 1;
    if (c.args.Has("save") && !doc->OnSaveDocument(doc->PathName())) return 1;
    return 0;
}

int CmdTransfer(Context& c) {
    if (!c.args.Has("yes")) {
        c.err
            << "velkor-cli: transfer changes the devices and cannot be undone; run it with --yes\n";
        return 2;
    }
    // The six boxes of "输入表属性"; all of them unless --classes names some.
    const std::vector<std::string> names = {"signal", "section", "switch",
                                            "light",  "button",  "station"};
    std::vector<bool> boxes(names.size(), true);
    if (auto it = c.args.options.find("classes"); it != c.args.options.end()) {
        boxes.assign(names.size(), false);
        std::string list = it->second + ",";
        for (size_t start = 0, comma; (comma = list.find(',', start)) != std::string::npos;
             start = comma + 1) {
            const std::string one = list.substr(start, comma - start);
            if (one.empty()) continue;
            const auto found = std::find(names.begin(), names.end(), one);
            if (found == names.end()) {
                c.err << "velkor-cli: unknown class '" << one << "'\n";
                return 2;
            }
            boxes[static_cast<size_t>(found - names.begin())] = true;
        }
    }
    CliInteraction ui(c.err, true);
    ui.PresetOptions(boxes);
    return RunGenerator(c, ui, [](CVelkorDoc& d) { return TransferInputTables(d); });
}

// A generator that asks a Yes/No question first and needs --yes.
int CmdAsking(Context& c, bool (*run)(CVelkorDoc&)) {
    if (!c.args.Has("yes")) {
        c.err << "velkor-cli: this command cannot be undone; run it with --yes\n";
        return 2;
    }
    CliInteraction ui(c.err, true);
    return RunGenerator(c, ui, [run](CVelkorDoc& d) { return run(d); });
}

// The ATS and field files: messages printed as they come, exit 1 on failure.
int CmdAts(Context& c) {
    if (!c.args.Has("yes")) {
        c.err << "velkor-cli: ats regenerates the station's ATS data; run it with --yes\n";
        return 2;
    }
    CliInteraction ui(c.err, true);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    return RunAtsGenerationCommand(doc.get(), ui) ? 0 : 1;
}

int CmdStationFile(Context& c, bool (*run)(CVelkorDoc*, Interaction&)) {
    CliInteraction ui(c.err, false);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    return run(doc.get(), ui) ? 0 : 1;
}

int CmdBuildCodes(Context& c) {
    const std::string table = c.args.positional.size() > 1 ? c.args.positional[1] : "";
    bool (*run)(CVelkorDoc&) = nullptr;
    if (table == "PhysicalSectionCode") {
        run = [](CVelkorDoc& d) {
            if (!d.UI().AskYesNo(kAskBuildCodes)) return false;
            // What the dialog's grid holds when it is closed.
            auto rows = BuildPhysicalSectionCode(d);
            if (!rows) return false;
            TakePhysicalSectionCode(d, std::move(*rows));
            return true;
        };
    } else if (table == "TrackSectionCode") {
        run = [](CVelkorDoc& d) {
            BuildTrackSectionCode(d);
            return true;
        };
    } else if (table == "CrossCode") {
        run = [](CVelkorDoc& d) {
            BuildCrossCode(d);
            return true;
        };
    } else if (table == "SwitchCode") {
        run = [](CVelkorDoc& d) { return BuildSwitchCode(d); };
    } else {
        c.err << "Usage: velkor-cli build-codes STATION.lcp "
                 "PhysicalSectionCode|TrackSectionCode|CrossCode|SwitchCode --yes [--save]\n";
        return 2;
    }
    return CmdAsking(c, run);
}

int CmdVirtualLogicTable(Context& c) {
    const bool siemens = c.args.Has("siemens");
    const bool halde = c.args.Has("halde");
    if (siemens == halde) {
        c.err << "velkor-cli: say --siemens or --halde\n";
        return 2;
    }
    return CmdAsking(c,
                     siemens ? &GenerateSiemensVirtualLogicTable : &GenerateHaldeVirtualLogicTable);
}

int CmdValidate(Context& c) {
    CliInteraction ui(c.err, true);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    const int before = ui.Warnings();
    const bool ok = ValidateInputTables(*doc);
    return ok && ui.Warnings() == before ? 0 : 1;
}

// Backslash, tab, CR and LF written as \\, \t, \r and \n.
std::string Escaped(const std::u16string& text) {
    std::string out;
    for (char ch : ToUtf8(text)) {
        switch (ch) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += ch;
        }
    }
    return out;
}

int CmdWorkbook(Context& c) {
    if (c.args.positional.size() < 2 || c.args.positional[0] != "dump") {
        c.err << "Usage: velkor-cli workbook dump FILE.xls\n";
        return 2;
    }
    ExcelHelper x;
    if (!x.OpenWorkbook(PathFromUtf8(c.args.positional[1]))) {
        c.err << "velkor-cli: " << x.LastError() << '\n';
        return 1;
    }
    for (const WorkbookSheet& sheet : x.Book()->sheets) {
        for (const auto& [pos, cell] : sheet.cells) {
            const std::u16string text = CellText(cell);
            if (text.empty()) continue;
            c.out << Escaped(sheet.name) << '\t' << pos.first << '\t' << pos.second << '\t'
                  << Escaped(text) << '\n';
        }
    }
    return 0;
}

// velkor-cli props: the objects, one object's dialog fields, and "确定" on
// them from a script.
int CmdProps(Context& c) {
    CliInteraction ui(c.err, true);
    auto doc = OpenStation(c.args.positional[0], ui, &UseQtTextMetrics());
    if (!doc) return 1;
    const auto& objects = doc->Objects();
    if (c.args.Has("list")) {
        for (size_t i = 0; i < objects.size(); ++i) {
            const auto* device = AsDevice(objects[i].get());
            c.out << i << '\t' << objects[i]->GetRuntimeClass().name << '\t'
                  << (device ? ToUtf8(device->io.Name()) : "") << '\t'
                  << (device ? ToUtf8(device->nameLabel.text) : "") << '\n';
        }
        return 0;
    }
    if (c.args.positional.size() < 2) {
        c.err << "Usage: velkor-cli props STATION.lcp --list | OBJECT [--set LABEL=VALUE ...]\n";
        return 2;
    }
    size_t index = 0;
    try {
        size_t used = 0;
        index = std::stoul(c.args.positional[1], &used);
        if (used != c.args.positional[1].size()) throw std::invalid_argument("index");
    } catch (const std::exception&) {
        index = objects.size();
    }
    if (index >= objects.size()) {
        c.err << "velkor-cli: no object " << c.args.positional[1] << " (see props --list)\n";
        return 2;
    }
    CADGraphic& obj = *objects[index];
    auto form = MakePropertyForm(obj, *doc);
    if (!form) {
        c.err << "velkor-cli: " << obj.GetRuntimeClass().name << " has no property dialog\n";
        return 1;
    }
    const std::string group = c.args.Value("group");
    const auto field = [&](const std::string& label) -> FormField* {
        if (group.empty() && form->IsAmbiguous(label)) {
            c.err << "velkor-cli: \"" << label
                  << "\" stands in several groups; name one with --group\n";
            return nullptr;
        }
        FormField* f = form->Find(label, group);
        if (!f) c.err << "velkor-cli: the dialog has no field \"" << label << "\"\n";
        return f;
    };
    DocumentEdit edit(*doc, "属性", {&obj});
    const auto sets = c.args.Values("set");
    for (const std::string& label : c.args.Values("lookup")) {
        FormField* f = field(label);
        if (!f) return 2;
        // A name set for the field is typed before the space bar looks it up.
        for (const std::string& set : sets) {
            if (set.compare(0, label.size() + 1, label + "=") == 0) {
                f->value = set.substr(label.size() + 1);
            }
        }
        if (!form->LookUp(*f)) {
            c.err << "velkor-cli: \"" << label << "\" is not a name field\n";
            return 2;
        }
    }
    for (const std::string& set : sets) {
        const auto eq = set.find('=');
        FormField* f = eq == std::string::npos ? nullptr : field(set.substr(0, eq));
        if (!f) {
            if (eq == std::string::npos) c.err << "velkor-cli: --set takes LABEL=VALUE\n";
            return 2;
        }
        f->value = set.substr(eq + 1);
        // A check box, radio button or list changed as a click would change it.
        if (f->kind == FormField::Kind::Check || f->kind == FormField::Kind::List ||
            f->kind == FormField::Kind::Radio) {
            form->Edited(*f);
        }
    }
    if (!sets.empty()) {
        const int before = ui.Warnings();
        if (!form->Confirm() || ui.Warnings() != before) {
            c.err << "velkor-cli: a value was refused; the station is not saved\n";
            return 1;
        }
    }
    edit.Commit();
    c.out << form->Title() << '\n';
    for (const FormField& f : form->Fields()) {
        c.out << f.group << '\t' << f.label << '\t' << f.value << (f.enabled ? "" : "\t(disabled)")
              << '\n';
    }
    if (c.args.Has("save") && !doc->OnSaveDocument(doc->PathName())) return 1;
    return 0;
}

// The input table named on the command line (ribbon name or file stem), or
// a message listing the names.
std::optional<int> TableArgument(Context& c, const std::string& name) {
    const int table = InputTableByName(name);
    if (table >= 0) return table;
    c.err << "velkor-cli: unknown table '" << name
          << "'; tables: 区段 道岔 信号机 逻辑区段 零散信息 车站信息表 (or Section Switch Signal "
             "LogicSection Lingsan Station)\n";
    return std::nullopt;
}

// velkor-cli table-export: one input table as its dialog shows it, as a
// workbook of one sheet.
int CmdTableExport(Context& c) {
    if (c.args.positional.size() < 3) {
        c.err << "Usage: velkor-cli table-export STATION.lcp TABLE FILE.xls\n";
        return 2;
    }
    // A code table writes what its dialog's 导出Excel writes.
    if (const auto code = CodeTableByName(c.args.positional[1])) {
        CliInteraction ui(c.err, false);
        auto doc = OpenStation(c.args.positional[0], ui);
        if (!doc) return 1;
        const auto& rows = *code < 0 ? doc->codes.physical : doc->codes.Table(*code);
        const Status written =
            WriteCodeTableWorkbook(rows, *code, PathFromUtf8(c.args.positional[2]), doc->Files());
        if (!written) c.err << "velkor-cli: " << written.Message() << '\n';
        return written ? 0 : 1;
    }
    const auto table = TableArgument(c, c.args.positional[1]);
    if (!table) return 2;
    CliInteraction ui(c.err, false);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    TableGrid grid(InputGridDesc(*table), ui);
    grid.Load(doc->io.Table(*table));
    const Status written = WriteTableWorkbook(GridTexts(grid), FromUtf8(InputTableTitle(*table)),
                                              PathFromUtf8(c.args.positional[2]), doc->Files());
    if (!written) {
        c.err << "velkor-cli: " << written.Message() << '\n';
        return 1;
    }
    return 0;
}

// velkor-cli table-import: the rows of a workbook or CSV file replace an
// input table, each row taken over as the table dialog takes a grid row.
int CmdTableImport(Context& c) {
    if (c.args.positional.size() < 3) {
        c.err << "Usage: velkor-cli table-import STATION.lcp TABLE FILE [--save]\n";
        return 2;
    }
    const auto table = TableArgument(c, c.args.positional[1]);
    if (!table) return 2;
    CliInteraction ui(c.err, false);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    TextTable texts;
    Status read = ReadTextTable(PathFromUtf8(c.args.positional[2]), doc->Files(), texts);
    TableGrid grid(InputGridDesc(*table), ui);
    grid.Load(doc->io.Table(*table));
    if (read) read = TakeTextTable(texts, grid);
    if (!read) {
        c.err << "velkor-cli: " << read.Message() << "; the station is not changed\n";
        return 1;
    }
    const int before = ui.Warnings();
    StoreInputTable(*doc, *table, grid.Records());
    if (ui.Warnings() != before) return 1;
    if (c.args.Has("save") && !doc->OnSaveDocument(doc->PathName())) return 1;
    return 0;
}

// velkor-cli combine: "区段组合" confirmed on a grid given as three
// tab-separated names per line.
int CmdCombine(Context& c) {
    if (c.args.positional.size() < 2) {
        c.err << "Usage: velkor-cli combine STATION.lcp FILE.tsv [--save]\n";
        return 2;
    }
    CliInteraction ui(c.err, false);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    TextTable texts;
    if (const Status read = ReadTextTable(PathFromUtf8(c.args.positional[1]), doc->Files(), texts);
        !read) {
        c.err << "velkor-cli: " << read.Message() << '\n';
        return 1;
    }
    TableGrid grid(CombinationGridDesc(), ui);
    for (size_t r = 0; r < texts.size(); ++r) {
        grid.Append();
        for (size_t col = 0; col < 3 && col < texts[r].size(); ++col) {
            if (!grid.Edit(r, col, texts[r][col])) return 1;
        }
    }
    DocumentEdit edit(*doc, "区段组合", DocumentEdit::Scope::InputTables);
    size_t failed = 0;
    if (!ConfirmSectionCombinations(doc->io, grid.CombinationNames(), ui, &failed)) {
        c.err << "velkor-cli: line " << failed + 1 << " names a device in no input table\n";
        return 1;
    }
    edit.Commit();
    if (c.args.Has("save") && !doc->OnSaveDocument(doc->PathName())) return 1;
    return 0;
}

// velkor-cli name-font: one font for the name labels of the sections,
// switches and signals.
int CmdNameFont(Context& c) {
    const std::string face = c.args.Value("face");
    const auto height = IntOption(c.args, "height", 0);
    const auto weight = IntOption(c.args, "weight", -1);
    if (face.empty() || !height || *height == 0 || !weight) {
        c.err << "Usage: velkor-cli name-font STATION.lcp --face F --height H [--weight W] "
                 "[--save]\n";
        return 2;
    }
    CliInteraction ui(c.err, true);
    auto doc = OpenStation(c.args.positional[0], ui, &UseQtTextMetrics());
    if (!doc) return 1;
    // A positive height is the character height in pixels, as font sizes are
    // usually given; the label fonts store it negative.
    ApplyNameFont(
        *doc, FromUtf8(face), -std::abs(static_cast<int32_t>(*height)),
        *weight >= 0 ? std::optional<int32_t>(static_cast<int32_t>(*weight)) : std::nullopt);
    if (c.args.Has("save") && !doc->OnSaveDocument(doc->PathName())) return 1;
    return 0;
}

int CmdNew(Context& c) {
    CliInteraction ui(c.err, true);
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    if (c.args.Has("demo")) {
        // A few objects so that a first look shows something.
        auto title = std::make_unique<Label>();
        title->text = u"Velkor 示例车站";
        title->SetDragPoints({40, 30}, {40, 30});
        doc.AddObject(std::move(title));
        auto device = std::make_unique<CADDevice>();
        device->io.SetName(u"1DG");
        device->CreateWindow({100, 100, 300, 120});
        doc.AddObject(std::move(device));
    }
    return doc.OnSaveDocument(PathFromUtf8(c.args.positional[0])) ? 0 : 1;
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"info", "info STATION.lcp",
         "Shows the data version, the station settings and the number of objects of each class.\n"
         "Only the station file is read.",
         1, CmdInfo},
        {"dump", "dump STATION.lcp",
         "Prints the whole station file as JSON: header, every object with all its fields and\n"
         "its rectangle, and the trailer. Only the station file is read, not the tables.",
         1, CmdDump},
        {"resave", "resave STATION.lcp",
         "Opens the station and saves it again in place, with its table files and companion\n"
         "file. The version question is answered Yes.",
         1, CmdResave},
        {"render",
         "render STATION.lcp -o PICTURE.svg|PICTURE.png [--area station|display] [--grid] "
         "[--check]",
         "Draws the station as the view shows it (black canvas, display frames, every object\n"
         "with its labels) into an SVG or PNG picture. The picture covers the whole station:\n"
         "the display frames and every object, wherever it lies (the SVG's view box gives\n"
         "the canvas coordinates); --area display keeps to the display frames. With --check,\n"
         "beside each device its\n"
         "地址号 and 按钮号; devices whose IO name is NO, empty or in no input table are\n"
         "drawn red with the reason and listed on stdout (index, class, IO name, reason).",
         1,
         CmdRender,
         {{{"o", "output"}, "PICTURE", "the picture to write: .svg or .png"},
          {{"area"}, "AREA", "station (default): everything; display: the display frames"},
          {{"grid"}, nullptr, "draws the grid as the view does with 网格 on"},
          {{"check"}, nullptr, "the check view: numbers and flagged devices"}}},
        {"cizc",
         "cizc STATION.lcp --codes CODES.xls|.xlsx --devices DEVICES.xls|.xlsx",
         "生成逻辑区段表 (自主数据): fills ZC_CI/码位及配置数据格式定义.xls of the station from\n"
         "the CI-ZC interface code data and the device numbering workbooks (the answers to\n"
         "the command's two prompts; either may be left out, as a cancelled dialog). Exit 1\n"
         "when the interface workbook is missing or cannot be read or written.",
         1,
         [](Context& c) {
             CliInteraction ui(c.err, false);
             auto doc = OpenStation(c.args.positional[0], ui);
             if (!doc) return 1;
             const std::string codes = c.args.Value("codes");
             const std::string devices = c.args.Value("devices");
             const bool ok = GenerateCiZcWorkbook(
                 doc.get(), ui, [&](const char* prompt) -> std::optional<fs::path> {
                     ui.Info(prompt);
                     const std::string& f =
                         std::string_view(prompt) == kMsgChooseCiZcCodes ? codes : devices;
                     if (f.empty()) return std::nullopt;
                     return PathFromUtf8(f);
                 });
             return ok ? 0 : 1;
         },
         {{{"codes"}, "CODES", "the CI-ZC interface code data workbook"},
          {{"devices"}, "DEVICES", "the device numbering workbook"}}},
        {"elements",
         "elements STATION.lcp",
         "生成元素表: writes 元素表.xls (sheet interface_elements) of the station from its\n"
         "switch, signal, logic-section and section input tables; the logic-section table\n"
         "is sorted by name on the way (saved with --save).",
         1,
         [](Context& c) {
             CliInteraction ui(c.err, false);
             return RunGenerator(c, ui, [](CVelkorDoc& d) { return WriteElementTable(d); });
         },
         {kSave}},
        {"import-elements",
         "import-elements STATION.lcp WORKBOOK.xls|.xlsx --append-misc yes|no [--save]",
         "The element import of ElementCode's 创建码位表: an empty ElementCode table is\n"
         "created from the sheet interface_elements (IxL地址号 by kind), a filled one takes\n"
         "its Siemens columns; --append-misc answers \"需要在表后追加西门子零散信息？\".",
         2,
         [](Context& c) {
             const std::string misc = c.args.Value("append-misc");
             if (misc != "yes" && misc != "no") {
                 c.err << "velkor-cli: --append-misc yes|no is required\n";
                 return 2;
             }
             CliInteraction ui(c.err, false);
             auto doc = OpenStation(c.args.positional[0], ui);
             if (!doc) return 1;
             std::vector<Row> rows;
             const Status read =
                 ReadElementWorkbook(PathFromUtf8(c.args.positional[1]), doc->Files(), rows);
             if (!read) {
                 c.err << "velkor-cli: " << read.Message() << '\n';
                 return 1;
             }
             if (!ImportElements(*doc, rows, misc == "yes")) return 1;
             if (c.args.Has("save") && !doc->OnSaveDocument(doc->PathName())) return 1;
             return 0;
         },
         {{{"append-misc"}, "yes|no", "appends the Initial_element rows at the end"}, kSave}},
        {"checks", "checks STATION.lcp",
         "生成校验数据表: writes CheckIOExcel/IO信息输入表.xls, 站场信息IO表.xls, "
         "西门子信息表.xls\n"
         "and the text views in CheckIOExcel/textView (existing text files are kept, with a\n"
         "message). Exit 1 when a file could not be written.",
         1,
         [](Context& c) {
             CliInteraction ui(c.err, false);
             return RunGenerator(c, ui, [](CVelkorDoc& d) { return GenerateCheckFiles(d); });
         }},
        {"demo",
         "demo OUTDIR [--objects N] [--seed S] [--tables]",
         "Builds a demo station through the same placing operations a user triggers and saves\n"
         "it as OUTDIR/Demo.lcp. Without --objects: a metro station of about 150 devices; with\n"
         "--objects N: copies of it until the station holds at least N objects.",
         1,
         CmdDemo,
         {{{"objects"}, "N", "copies the demo station until it holds at least N objects"},
          {{"seed"}, "S", "the seed of the copies' variation (default 1)"},
          {{"tables"},
           nullptr,
           "with --objects: fills the input tables, a row for every named device"}}},
        {"tables", "tables STATION.lcp [TABLE]",
         "Prints the input tables, section combinations, address relation and code tables (or\n"
         "one of them: section, switch, signal, logic, lingsan, station, muti, relation,\n"
         "PhysicalSectionCode, TrackSectionCode, ElementCode, CrossCode, SwitchCode,\n"
         "SwitSectCode) as tab-separated text with the grids' formats.",
         1, CmdTables},
        {"transfer",
         "transfer STATION.lcp --yes [--classes=signal,section,switch,light,button,station] "
         "[--save]",
         "读取输入板: copies the input tables' relay addresses into the devices of the named\n"
         "classes (all six without --classes). It cannot be undone, so it runs only with --yes;\n"
         "--save saves the station afterwards. Devices not found are reported and the run\n"
         "still completes (exit 0).",
         1,
         CmdTransfer,
         {kYes,
          {{"classes"}, "LIST", "comma-separated: signal, section, switch, light, button, station"},
          kSave}},
        {"validate", "validate STATION.lcp",
         "校验数据: checks the input tables and reports the first fault, or (^_^).\n"
         "Exit 0 when the tables are sound, 1 otherwise.",
         1, CmdValidate},
        {"repeat-io",
         "repeat-io STATION.lcp --yes [--save]",
         "生成复示逻辑区段IO: appends a TrackSectionCode row for every repeat section.",
         1,
         [](Context& c) { return CmdAsking(c, &GenerateRepeatSectionRows); },
         {kYes, kSave}},
        {"logic-table",
         "logic-table STATION.lcp --yes [--save]",
         "生成逻辑区段表 (西门子数据): rebuilds the logic-section table from the code tables.",
         1,
         [](Context& c) { return CmdAsking(c, &GenerateSiemensLogicTable); },
         {kYes, kSave}},
        {"virtual-logic-table",
         "virtual-logic-table STATION.lcp --siemens|--halde --yes [--save]",
         "生成虚拟逻辑区段表: rebuilds the logic-section table from the drawing, the Siemens way\n"
         "(a row per section and switch section) or the 自主数据 way (a row per logic name).",
         1,
         CmdVirtualLogicTable,
         {{{"siemens"}, nullptr, "a row per section and switch section"},
          {{"halde"}, nullptr, "a row per logic-section name"},
          kYes,
          kSave}},
        {"build-codes",
         "build-codes STATION.lcp PhysicalSectionCode|TrackSectionCode|CrossCode|SwitchCode --yes "
         "[--save]",
         "创建码位表: builds a code table from the other tables and the drawing.",
         2,
         CmdBuildCodes,
         {kYes, kSave}},
        {"ats",
         "ats STATION.lcp --yes",
         "ATS数据生成: writes the ATS command, indication and logic-section lists into the\n"
         "station's ATS folder as AtsCmd.txt, AtsShow.txt, LogicSection.txt, 码位表.xls and the\n"
         "three .bin files. Refuses while a text file of an earlier run is there.",
         1,
         CmdAts,
         {kYes}},
        {"ats-bin", "ats-bin STATION.lcp",
         "ATS文本转换成二进制: converts the ATS folder's three text files (possibly edited by\n"
         "hand) into AtsCmd.bin, AtsShow.bin and LogicSection.bin.",
         1, [](Context& c) { return CmdStationFile(c, &RunAtsTextToBinaryCommand); }},
        {"maintrack", "maintrack STATION.lcp",
         "股道文本转换成二进制: converts MainTrack/MainTrack.txt into MainTrack/MainTrack.bin.", 1,
         [](Context& c) { return CmdStationFile(c, &RunMainTrackCommand); }},
        {"zedev", "zedev STATION.lcp",
         "vu信号机文件: writes ZedevEzura/ZedevEzura.txt and ZedevEzura.bin, the signals numbered\n"
         "from 1001 (up line) and 2001 (down line).",
         1,
         [](Context& c) {
             return CmdStationFile(
                 c, [](CVelkorDoc* d, Interaction&) { return WriteZedevEzuraFiles(*d); });
         }},
        {"workbook", "workbook dump FILE.xls|FILE.xlsx",
         "Prints every non-empty cell of a workbook: sheet, row, column and text, tab-separated,\n"
         "sheets in workbook order, cells row by row; \\, tab, CR and LF escaped.",
         2, CmdWorkbook},
        {"name-font",
         "name-font STATION.lcp --face F --height H [--weight W] [--save]",
         "大小端反转: gives the name labels of all sections, switches and signals the face and\n"
         "character height (pixels) F and H, and the weight W when given; the labels are\n"
         "placed again.",
         1,
         CmdNameFont,
         {{{"face"}, "F", "the font face, as 宋体"},
          {{"height"}, "H", "the character height in pixels"},
          {{"weight"}, "W", "the weight: 400 normal, 700 bold"},
          kSave}},
        {"props",
         "props STATION.lcp --list | OBJECT [--lookup LABEL] [--set LABEL=VALUE ...] "
         "[--group GROUP] [--save]",
         "Lists the objects (index, class, IO name, label text), or shows the fields of one\n"
         "object's property dialog (group, label, value), runs a name field's lookup as the\n"
         "space bar does, and takes values over as \"确定\" does. A value the dialog refuses\n"
         "exits 1 without saving.",
         1,
         CmdProps,
         {{{"list"}, nullptr, "lists the objects with their indexes"},
          {{"set"}, "LABEL=VALUE", "a field's new value (repeatable)"},
          {{"group"}, "GROUP", "the group of fields whose label stands in several"},
          {{"lookup"}, "LABEL", "runs that name field's lookup (repeatable)"},
          kSave}},
        {"table-export", "table-export STATION.lcp TABLE FILE.xls",
         "Writes one input table as its table dialog shows it (the dialog's columns and\n"
         "texts) into a workbook of one sheet. TABLE: 区段 道岔 信号机 逻辑区段 零散信息\n"
         "车站信息表, or Section Switch Signal LogicSection Lingsan Station.",
         3, CmdTableExport},
        {"table-import",
         "table-import STATION.lcp TABLE FILE.xls|FILE.xlsx|FILE.csv [--save]",
         "Replaces an input table with the rows of the file's first sheet (CSV: UTF-8, comma\n"
         "or tab separated). The first row must hold the dialog's column headers. Each row is\n"
         "taken over as the table dialog takes a grid row, with its checks; an empty cell\n"
         "keeps the row's value (a new row is numbered by its position). The first refused\n"
         "cell is reported with its row and column, and nothing changes.",
         3,
         CmdTableImport,
         {kSave}},
        {"combine",
         "combine STATION.lcp FILE.tsv [--save]",
         "区段组合: rebuilds the section combinations from a grid of up to three names per\n"
         "line (tab separated), as \"确定\" does; a name in no input table changes nothing.",
         2,
         CmdCombine,
         {kSave}},
        {"new",
         "new STATION.lcp [--demo]",
         "Creates an empty station (with --demo: a few sample objects) and saves it.",
         1,
         CmdNew,
         {{{"demo"}, nullptr, "adds a few sample objects"}}},
    };
    return commands;
}

void PrintUsage(std::ostream& os) {
    os << "Usage: velkor-cli COMMAND [ARGS...]\n\n"
          "Velkor's command-line tool for batch work on station files (.lcp).\n\n"
          "Commands:\n";
    for (const Command& cmd : Commands()) os << "  " << cmd.usage << '\n';
    os << "\nRun 'velkor-cli COMMAND --help' for a command's description.\n"
          "Messages go to stderr. Exit code: 0 completed (warnings included), 1 failed or\n"
          "refused, 2 wrong usage.\n";
}

// The options a command takes, for QCommandLineParser, with --help.
std::vector<QCommandLineOption> ParserOptions(const Command& cmd) {
    std::vector<QCommandLineOption> options;
    for (const OptionSpec& o : cmd.options) {
        QStringList names;
        for (const char* n : o.names) names << QString::fromUtf8(n);
        options.emplace_back(names, QString::fromUtf8(o.description),
                             o.valueName ? QString::fromUtf8(o.valueName) : QString());
    }
    options.emplace_back(QStringList{"h", "help"}, QStringLiteral("shows this help"));
    return options;
}

void PrintCommandHelp(const Command& cmd, std::ostream& os) {
    os << "Usage: velkor-cli " << cmd.usage << "\n\n" << cmd.help << "\n\nOptions:\n";
    for (const QCommandLineOption& o : ParserOptions(cmd)) {
        std::string names;
        for (const QString& n : o.names()) {
            if (!names.empty()) names += ", ";
            names += (n.size() == 1 ? "-" : "--") + n.toStdString();
        }
        if (!o.valueName().isEmpty()) names += " " + o.valueName().toStdString();
        os << "  " << names << std::string(names.size() < 22 ? 22 - names.size() : 1, ' ')
           << o.description().toStdString() << '\n';
    }
}

// The command's arguments, parsed as its options declare; an unknown option
// or a missing value is an error message.
std::optional<Args> ParseArgs(const Command& cmd, const std::vector<std::string>& raw,
                              std::string& error) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const std::vector<QCommandLineOption> options = ParserOptions(cmd);
    for (const QCommandLineOption& o : options) parser.addOption(o);
    QStringList list{QStringLiteral("velkor-cli")};
    for (const std::string& r : raw) list << QString::fromStdString(r);
    if (!parser.parse(list)) {
        error = parser.errorText().toStdString();
        return std::nullopt;
    }
    Args args;
    for (const QString& p : parser.positionalArguments())
        args.positional.push_back(p.toStdString());
    for (const QCommandLineOption& o : options) {
        if (!parser.isSet(o)) continue;
        const std::string name = o.names().back().toStdString();  // the long name
        args.options[name] =
            o.valueName().isEmpty() ? std::string() : parser.value(o).toStdString();
        for (const QString& v : parser.values(o)) args.repeated[name].push_back(v.toStdString());
    }
    return args;
}

}  // namespace

int RunCli(const std::vector<std::string>& raw, std::ostream& out, std::ostream& err) {
    if (raw.empty() || raw[0] == "--help" || raw[0] == "-h" || raw[0] == "help") {
        PrintUsage(raw.empty() ? err : out);
        return raw.empty() ? 2 : 0;
    }
    for (const Command& cmd : Commands()) {
        if (raw[0] != cmd.name) continue;
        std::string error;
        const auto parsed = ParseArgs(cmd, {raw.begin() + 1, raw.end()}, error);
        if (!parsed) {
            err << "velkor-cli " << cmd.name << ": " << error << "\nUsage: velkor-cli " << cmd.usage
                << '\n';
            return 2;
        }
        const Args& args = *parsed;
        if (args.Has("help")) {
            PrintCommandHelp(cmd, out);
            return 0;
        }
        if (args.positional.size() < cmd.positional) {
            err << "Usage: velkor-cli " << cmd.usage << '\n';
            return 2;
        }
        Context ctx{args, out, err};
        try {
            return cmd.run(ctx);
        } catch (const std::exception& e) {
            err << "velkor-cli: " << e.what() << '\n';
            return 1;
        }
    }
    err << "velkor-cli: unknown command '" << raw[0] << "'\n";
    PrintUsage(err);
    return 2;
}

}  // namespace velkor::cli
