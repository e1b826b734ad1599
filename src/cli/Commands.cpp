#include "Commands.h"

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <ostream>

#include "CliInteraction.h"
#include "common/Text.h"
#include "devices/CADDevice.h"
#include "devices/Label.h"
#include "document/CVelkorDoc.h"

namespace velkor::cli {

namespace {

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // --name or --name=value
    bool Has(const std::string& o) const { return options.count(o) != 0; }
};

Args Parse(const std::vector<std::string>& raw) {
    Args a;
    for (const std::string& s : raw) {
        if (s.rfind("--", 0) == 0) {
            const auto eq = s.find('=');
            if (eq == std::string::npos) {
                a.options[s.substr(2)] = "";
            } else {
                a.options[s.substr(2, eq - 2)] = s.substr(eq + 1);
            }
        } else if (s == "-h") {
            a.options["help"] = "";
        } else {
            a.positional.push_back(s);
        }
    }
    return a;
}

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
};

// Opens the station named by the first argument; nothing when it did not open.
std::unique_ptr<CVelkorDoc> OpenStation(const std::string& file, CliInteraction& ui) {
    auto doc = std::make_unique<CVelkorDoc>(ui);
    if (!doc->OnOpenDocument(PathFromUtf8(file))) return nullptr;
    return doc;
}

std::map<std::string, int> CountByClass(const CVelkorDoc& doc) {
    std::map<std::string, int> counts;
    for (const auto& o : doc.Objects()) ++counts[o->GetRuntimeClass().name];
    return counts;
}

int CmdInfo(Context& c) {
    CliInteraction ui(c.err, false);
    auto doc = OpenStation(c.args.positional[0], ui);
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

int CmdDump(Context& c) {
    CliInteraction ui(c.err, false);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    nlohmann::json j;
    const DataVersion& v = doc->version;
    j["header"] = {{"version", {v.high, v.middle, v.low, v.build}},
                   {"versionText", FormatDataVersion(v)},
                   {"hasLogicSections", doc->hasLogicSections},
                   {"logicSectionsPerSwitch", doc->logicSectionsPerSwitch},
                   {"objectCount", doc->Objects().size()}};
    nlohmann::json objects = nlohmann::json::array();
    for (const auto& o : doc->Objects()) {
        nlohmann::json obj;
        o->Describe(obj);
        objects.push_back(std::move(obj));
    }
    j["objects"] = std::move(objects);
    if (doc->fileTrailer) {
        const auto& t = *doc->fileTrailer;
        j["trailer"] = {{"displayWidth", t[0]}, {"displayHeight", t[1]}, {"displayCount", t[2]}};
    } else {
        j["trailer"] = nullptr;
    }
    c.out << j.dump(2) << '\n';
    return 0;
}

int CmdResave(Context& c) {
    // The version reminder is answered Yes: resaving keeps the version.
    CliInteraction ui(c.err, true);
    auto doc = OpenStation(c.args.positional[0], ui);
    if (!doc) return 1;
    return doc->OnSaveDocument(doc->PathName()) ? 0 : 1;
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
         "Shows the data version, the station settings and the number of objects of each class.",
         1, CmdInfo},
        {"dump", "dump STATION.lcp",
         "Prints the whole station as JSON: header, every object with all its fields and its\n"
         "rectangle, and the trailer.",
         1, CmdDump},
        {"resave", "resave STATION.lcp",
         "Opens the station and saves it again in place, with its table files and companion\n"
         "file. The version question is answered Yes.",
         1, CmdResave},
        {"new", "new STATION.lcp [--demo]",
         "Creates an empty station (with --demo: a few sample objects) and saves it.", 1, CmdNew},
    };
    return commands;
}

void PrintUsage(std::ostream& os) {
    os << "Usage: velkor-cli COMMAND [ARGS...]\n\n"
          "Velkor's command-line tool for batch work on station files (.lcp).\n\n"
          "Commands:\n";
    for (const Command& cmd : Commands()) os << "  " << cmd.usage << '\n';
    os << "\nRun 'velkor-cli COMMAND --help' for a command's description.\n"
          "Messages go to stderr; the exit code is 0 on success and 1 on failure.\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& raw, std::ostream& out, std::ostream& err) {
    if (raw.empty() || raw[0] == "--help" || raw[0] == "-h" || raw[0] == "help") {
        PrintUsage(raw.empty() ? err : out);
        return raw.empty() ? 2 : 0;
    }
    const Args args = Parse({raw.begin() + 1, raw.end()});
    for (const Command& cmd : Commands()) {
        if (raw[0] != cmd.name) continue;
        if (args.Has("help")) {
            out << "Usage: velkor-cli " << cmd.usage << "\n\n" << cmd.help << '\n';
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
