// Reading Office Open XML workbooks (.xlsx): a zip of XML parts, read with
// libzip and expat. External entities are never resolved and documents that
// declare entities are refused.
#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

#include "common/Text.h"
#include "workbook/Workbook.h"

namespace velkor {

namespace {

constexpr size_t kMaxPart = size_t{256} << 20;  // no XML part of a workbook is larger
// Workbook XML deflates to a tenth of its size or so; a large part that
// claims to inflate a hundred times over is a zip bomb.
constexpr uint64_t kMaxRatio = 100;
constexpr uint64_t kRatioCheckedFrom = uint64_t{16} << 20;

struct ZipArchive {
    zip_t* zip = nullptr;
    ~ZipArchive() {
        if (zip) zip_discard(zip);
    }
};

// Why a part is refused before it is inflated ("" when it is not).
std::string BombCheck(const zip_stat_t& st, const std::string& name) {
    const uint64_t stored = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    const bool tooLarge = st.size > kMaxPart;
    const bool tooDense =
        st.size > kRatioCheckedFrom && st.size / std::max<uint64_t>(stored, 1) > kMaxRatio;
    if (!tooLarge && !tooDense) return {};
    return "工作簿的 " + name + " 解压后有 " + std::to_string(st.size) + " 个字节（压缩后 " +
           std::to_string(stored) + " 个字节），超出工作簿的限度，疑为压缩炸弹，拒绝读取";
}

std::optional<std::string> ReadPart(zip_t* zip, const std::string& name,
                                    std::string* refused = nullptr) {
    zip_stat_t st;
    if (zip_stat(zip, name.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    if (std::string why = BombCheck(st, name); !why.empty()) {
        if (refused) *refused = std::move(why);
        return std::nullopt;
    }
    zip_file_t* f = zip_fopen(zip, name.c_str(), 0);
    if (!f) return std::nullopt;
    std::string data(static_cast<size_t>(st.size), '\0');
    const zip_int64_t n = zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    if (n < 0 || static_cast<zip_uint64_t>(n) != st.size) return std::nullopt;
    return data;
}

// A small event interface over expat.
struct XmlEvents {
    std::function<void(const std::string& name, const std::map<std::string, std::string>& attrs)>
        start;
    std::function<void(const std::string& name)> end;
    std::function<void(const std::string& text)> text;
};

std::string LocalName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

struct ParseState {
    XmlEvents* ev;
    XML_Parser parser;
    bool declaresEntity = false;
};

bool ParseXml(const std::string& xml, XmlEvents& ev) {
    if (xml.size() > static_cast<size_t>(INT32_MAX)) return false;
    XML_Parser p = XML_ParserCreate("UTF-8");
    if (!p) return false;
    ParseState state{&ev, p};
    XML_SetUserData(p, &state);
    XML_SetElementHandler(
        p,
        [](void* u, const XML_Char* name, const XML_Char** atts) {
            auto* st = static_cast<ParseState*>(u);
            std::map<std::string, std::string> a;
            for (size_t i = 0; atts[i] && atts[i + 1]; i += 2) a[LocalName(atts[i])] = atts[i + 1];
            if (st->ev->start) st->ev->start(LocalName(name), a);
        },
        [](void* u, const XML_Char* name) {
            auto* st = static_cast<ParseState*>(u);
            if (st->ev->end) st->ev->end(LocalName(name));
        });
    XML_SetCharacterDataHandler(p, [](void* u, const XML_Char* s, int len) {
        auto* st = static_cast<ParseState*>(u);
        if (st->ev->text) st->ev->text(std::string(s, static_cast<size_t>(len)));
    });
    // A workbook part declares no entities; one that does is refused before
    // anything is expanded.
    XML_SetEntityDeclHandler(
        p, [](void* u, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
              const XML_Char*, const XML_Char*) {
            auto* st = static_cast<ParseState*>(u);
            st->declaresEntity = true;
            XML_StopParser(st->parser, XML_FALSE);
        });
    XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetExternalEntityRefHandler(
        p,
        [](XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) -> int {
            return XML_STATUS_ERROR;
        });
    const bool ok = XML_Parse(p, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(p);
    return ok && !state.declaresEntity;
}

// "AB12" -> row 12, column 28.
bool CellRef(const std::string& ref, uint32_t& row, uint32_t& col) {
    size_t i = 0;
    uint64_t c = 0, r = 0;
    while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i]))) {
        c = c * 26 +
            static_cast<uint64_t>(std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
        if (c > 16384) return false;
        ++i;
    }
    while (i < ref.size() && std::isdigit(static_cast<unsigned char>(ref[i]))) {
        r = r * 10 + static_cast<uint64_t>(ref[i] - '0');
        if (r > 1048576) return false;
        ++i;
    }
    if (i != ref.size() || c == 0 || r == 0) return false;
    row = static_cast<uint32_t>(r);
    col = static_cast<uint32_t>(c);
    return true;
}

bool DateFormat(int id, const std::map<int, std::string>& formats) {
    if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47)) return true;
    auto it = formats.find(id);
    if (it == formats.end()) return false;
    bool quoted = false, bracket = false;
    for (char c : it->second) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '[') bracket = true;
        if (c == ']') bracket = false;
        if (!bracket && std::strchr("dmyhsDMYHS", c)) return true;
    }
    return false;
}

}  // namespace

std::optional<Workbook> ReadXlsx(std::span<const uint8_t> file, Status* status) {
    const auto fail = [status](const std::string& why) -> std::optional<Workbook> {
        if (status) *status = Status::Damaged(why);
        return std::nullopt;
    };
    zip_error_t zerr;
    zip_error_init(&zerr);
    zip_source_t* src = zip_source_buffer_create(file.data(), file.size(), 0, &zerr);
    if (!src) return fail("not a zip file");
    ZipArchive archive;
    archive.zip = zip_open_from_source(src, ZIP_RDONLY, &zerr);
    if (!archive.zip) {
        zip_source_free(src);
        return fail("not a zip file");
    }
    // A part refused as a zip bomb refuses the workbook.
    std::string refused;
    const auto workbookXml = ReadPart(archive.zip, "xl/workbook.xml", &refused);
    if (!refused.empty()) return fail(refused);
    if (!workbookXml) return fail("not an Excel workbook");

    // Sheets in workbook order and where their parts are.
    std::vector<std::pair<std::string, std::string>> sheets;  // name, relationship id
    XmlEvents ev;
    ev.start = [&](const std::string& n, const std::map<std::string, std::string>& a) {
        if (n == "sheet" && a.count("name") && a.count("id"))
            sheets.push_back({a.at("name"), a.at("id")});
    };
    if (!ParseXml(*workbookXml, ev)) return fail("damaged workbook.xml");
    std::map<std::string, std::string> targets;
    const auto rels = ReadPart(archive.zip, "xl/_rels/workbook.xml.rels", &refused);
    if (!refused.empty()) return fail(refused);
    if (rels) {
        XmlEvents rv;
        rv.start = [&](const std::string& n, const std::map<std::string, std::string>& a) {
            if (n == "Relationship" && a.count("Id") && a.count("Target"))
                targets[a.at("Id")] = a.at("Target");
        };
        if (!ParseXml(*rels, rv)) return fail("damaged workbook relationships");
    }
    std::vector<std::u16string> shared;
    const auto sst = ReadPart(archive.zip, "xl/sharedStrings.xml", &refused);
    if (!refused.empty()) return fail(refused);
    if (sst) {
        std::string current;
        bool inSi = false, inT = false, inRph = false;
        XmlEvents sv;
        sv.start = [&](const std::string& n, const std::map<std::string, std::string>&) {
            if (n == "si") {
                inSi = true;
                current.clear();
            }
            if (n == "rPh") inRph = true;
            if (n == "t") inT = true;
        };
        sv.end = [&](const std::string& n) {
            if (n == "t") inT = false;
            if (n == "rPh") inRph = false;
            if (n == "si") {
                inSi = false;
                shared.push_back(FromUtf8(current));
            }
        };
        sv.text = [&](const std::string& t) {
            if (inSi && inT && !inRph) current += t;
        };
        if (!ParseXml(*sst, sv)) return fail("damaged sharedStrings.xml");
    }
    std::map<int, std::string> numFmts;
    std::vector<int> xfFormats;
    const auto styles = ReadPart(archive.zip, "xl/styles.xml", &refused);
    if (!refused.empty()) return fail(refused);
    if (styles) {
        bool inCellXfs = false;
        XmlEvents st;
        st.start = [&](const std::string& n, const std::map<std::string, std::string>& a) {
            if (n == "numFmt" && a.count("numFmtId"))
                numFmts[std::atoi(a.at("numFmtId").c_str())] =
                    a.count("formatCode") ? a.at("formatCode") : "";
            if (n == "cellXfs") inCellXfs = true;
            if (n == "xf" && inCellXfs)
                xfFormats.push_back(a.count("numFmtId") ? std::atoi(a.at("numFmtId").c_str()) : 0);
        };
        st.end = [&](const std::string& n) {
            if (n == "cellXfs") inCellXfs = false;
        };
        if (!ParseXml(*styles, st)) return fail("damaged styles.xml");
    }

    Workbook out;
    for (const auto& [name, rid] : sheets) {
        WorkbookSheet sheet;
        sheet.name = FromUtf8(name);
        auto target = targets.count(rid) ? targets.at(rid) : std::string();
        if (target.empty()) return fail("sheet without its part");
        const std::string path = target.rfind("/xl/", 0) == 0 ? target.substr(1) : "xl/" + target;
        const auto xml = ReadPart(archive.zip, path, &refused);
        if (!refused.empty()) return fail(refused);
        if (!xml) return fail("missing sheet part " + path);
        uint32_t row = 0, col = 0;
        std::string type, value, inlineText;
        int style = 0;
        bool inCell = false, inV = false, inIs = false, inT = false;
        XmlEvents cv;
        cv.start = [&](const std::string& n, const std::map<std::string, std::string>& a) {
            if (n == "c") {
                inCell = a.count("r") && CellRef(a.at("r"), row, col);
                type = a.count("t") ? a.at("t") : "n";
                style = a.count("s") ? std::atoi(a.at("s").c_str()) : 0;
                value.clear();
                inlineText.clear();
            }
            if (n == "v") inV = true;
            if (n == "is") inIs = true;
            if (n == "t") inT = true;
            if (n == "col" && a.count("min") && a.count("max") && a.count("width")) {
                const int lo = std::atoi(a.at("min").c_str()), hi = std::atoi(a.at("max").c_str());
                const double w = std::atof(a.at("width").c_str());
                for (int c = std::max(1, lo); c <= hi && c <= 16384 && c - lo < 1024; ++c) {
                    sheet.columns[static_cast<uint32_t>(c)].width =
                        static_cast<uint16_t>(std::clamp(w, 0.0, 255.0) * 256);
                }
            }
            if (n == "row" && a.count("r") && a.count("ht") && a.count("customHeight") &&
                (a.at("customHeight") == "1" || a.at("customHeight") == "true")) {
                const long r = std::strtol(a.at("r").c_str(), nullptr, 10);
                const double ht = std::atof(a.at("ht").c_str());
                if (r >= 1 && r <= 1048576) {
                    sheet.rows[static_cast<uint32_t>(r)].height =
                        static_cast<uint16_t>(std::clamp(ht, 0.0, 409.0) * 20);
                }
            }
            if (n == "mergeCell" && a.count("ref")) {
                const std::string& ref = a.at("ref");
                const size_t colon = ref.find(':');
                WorkbookRange m;
                if (colon != std::string::npos &&
                    CellRef(ref.substr(0, colon), m.firstRow, m.firstColumn) &&
                    CellRef(ref.substr(colon + 1), m.lastRow, m.lastColumn) &&
                    m.firstRow <= m.lastRow && m.firstColumn <= m.lastColumn) {
                    sheet.merges.push_back(m);
                }
            }
        };
        cv.text = [&](const std::string& t) {
            if (inCell && inV) value += t;
            if (inCell && inIs && inT) inlineText += t;
        };
        cv.end = [&](const std::string& n) {
            if (n == "v") inV = false;
            if (n == "t") inT = false;
            if (n == "is") inIs = false;
            if (n != "c" || !inCell) return;
            inCell = false;
            WorkbookCell cell;
            if (type == "s") {
                const long k = std::strtol(value.c_str(), nullptr, 10);
                if (k < 0 || static_cast<size_t>(k) >= shared.size()) return;
                cell.text = shared[static_cast<size_t>(k)];
            } else if (type == "inlineStr") {
                cell.text = FromUtf8(inlineText);
            } else if (type == "str") {
                cell.text = FromUtf8(value);
            } else if (type == "b") {
                cell.kind = WorkbookCell::Kind::Boolean;
                cell.number = value == "1" ? 1 : 0;
            } else if (type == "e" || value.empty()) {
                return;
            } else {
                cell.kind = WorkbookCell::Kind::Number;
                cell.number = std::strtod(value.c_str(), nullptr);
                if (style >= 0 && static_cast<size_t>(style) < xfFormats.size() &&
                    DateFormat(xfFormats[static_cast<size_t>(style)], numFmts)) {
                    cell.kind = WorkbookCell::Kind::Date;
                }
            }
            sheet.cells[{row, col}] = std::move(cell);
        };
        if (!ParseXml(*xml, cv)) return fail("damaged sheet " + path);
        out.sheets.push_back(std::move(sheet));
    }
    return out;
}

std::optional<Workbook> ReadWorkbook(std::span<const uint8_t> file, Status* status) {
    if (file.size() >= 4 && file[0] == 'P' && file[1] == 'K') return ReadXlsx(file, status);
    return ReadXls(file, status);
}

}  // namespace velkor
