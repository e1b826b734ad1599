#include "ats/AtsFiles.h"

#include <cstdio>
#include <limits>

#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/Interaction.h"
#include "document/CVelkorDoc.h"

namespace velkor {

namespace {

constexpr size_t kLongestLine = 99;  // what the ATS's 100-byte line buffer holds

struct TextFileInfo {
    const char* text;
    const char* binary;
    const char* countMessage;
};
// The first message names AtsCtrl.txt for AtsCmd.txt, as the field tools' manuals do.
constexpr TextFileInfo kFiles[3] = {
    {kAtsCommandText, kAtsCommandBinary, "命令信息数量读取错误，请核查配置文件AtsCtrl.txt"},
    {kAtsIndicationText, kAtsIndicationBinary, "表示信息数量读取错误，请核查配置文件AtsShow.txt"},
    {kAtsLogicText, kAtsLogicBinary, "命令信息数量读取错误，请核查配置文件LogicSection.txt"},
};

// A scanf-like reader over one line: white space skipped before numbers and
// tokens, a failed field leaves it and every later field at its default.
class LineScanner {
public:
    explicit LineScanner(const std::string& line) : s_(line) {}
    bool Int(int64_t& out) {
        SkipSpace();
        size_t p = pos_;
        bool negative = false;
        if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) negative = s_[p++] == '-';
        if (p >= s_.size() || !IsDigit(s_[p])) return false;
        int64_t v = 0;
        for (; p < s_.size() && IsDigit(s_[p]); ++p) {
            // Saturates instead of overflowing; no item number is that large.
            if (v < (int64_t{1} << 40)) v = v * 10 + (s_[p] - '0');
        }
        pos_ = p;
        out = negative ? -v : v;
        return true;
    }
    bool Token(std::string& out, size_t most) {
        SkipSpace();
        const size_t start = pos_;
        while (pos_ < s_.size() && pos_ - start < most && !IsSpace(s_[pos_])) ++pos_;
        out = s_.substr(start, pos_ - start);
        return !out.empty();
    }
    bool Literal(const char* text) {
        for (const char* c = text; *c; ++c) {
            if (pos_ >= s_.size() || s_[pos_] != *c) return false;
            ++pos_;
        }
        return true;
    }
    bool Hex(uint32_t& out, size_t most) {
        size_t n = 0;
        uint32_t v = 0;
        while (pos_ < s_.size() && n < most &&
               std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
            const char c = s_[pos_];
            v = v * 16 + static_cast<uint32_t>(IsDigit(c) ? c - '0' : (std::tolower(c) - 'a' + 10));
            ++pos_;
            ++n;
        }
        out = v;
        return n > 0;
    }
    void SkipSpace() {
        while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    const std::string& s_;
    size_t pos_ = 0;
};

// The lines of a text file as fgets returns them, each without its line break
// (and without the CR of a CR LF, as a text-mode read drops it).
std::vector<std::string> Lines(std::span<const uint8_t> text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\n') ++end;
        std::string line(text.begin() + static_cast<std::ptrdiff_t>(start),
                         text.begin() + static_cast<std::ptrdiff_t>(end));
        if (end < text.size() && !line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string AtsTextFile(const std::vector<AtsItem*>& items, const DataVersion& version,
                        std::time_t now) {
    std::string out;
    char buf[256];
    std::snprintf(buf, sizeof buf, "%d\r\n", static_cast<int>(items.size()));
    out += buf;
    std::snprintf(buf, sizeof buf, "V%03d.%03d.%03d.%03d\t%s\r\n", version.high, version.middle,
                  version.low, version.build, FormatLocalTime(now, "%Y-%m-%d %H:%M:%S").c_str());
    out += buf;
    for (AtsItem* item : items) {
        if (item->name.empty()) item->name = "NULL";
        out += std::to_string(item->serial);
        out += '\t';
        out += item->name;
        std::snprintf(buf, sizeof buf, "\t%d\t0x%04X\r\n", item->deviceType, item->ioCode);
        out += buf;
    }
    return out;
}

std::vector<uint8_t> AtsBinaryFile(const std::vector<const AtsItem*>& items,
                                   const DataVersion& version, std::time_t now) {
    ByteWriter w;
    w.I32(static_cast<int32_t>(items.size()));
    w.U8(version.high);
    w.U8(version.middle);
    w.U8(version.low);
    w.U8(version.build);
    w.U64(static_cast<uint64_t>(static_cast<int64_t>(now)));
    for (const AtsItem* item : items) {
        w.I32(item->serial);
        // A shorter name is zero-terminated and padded; 20 bytes or more are
        // cut to 20 with no terminator, as the ATS reads the field.
        uint8_t name[kAtsBinaryNameBytes] = {};
        const size_t n = std::min(item->name.size(), kAtsBinaryNameBytes);
        std::copy_n(item->name.begin(), n, name);
        w.Bytes(name, kAtsBinaryNameBytes);
        w.U8(item->deviceType);
        w.U16(item->ioCode);
    }
    return std::move(w.Data());
}

AtsTextContent ParseAtsText(std::span<const uint8_t> text) {
    AtsTextContent out;
    const auto lines = Lines(text);
    for (const auto& line : lines) {
        // A longer line would be cut by the ATS into pieces read as items of
        // their own; the file is refused instead, with its count message.
        if (line.size() > kLongestLine) out.lineTooLong = true;
    }
    if (!lines.empty()) {
        LineScanner count(lines[0]);
        int64_t n = 0;
        if (count.Int(n)) {
            out.expected = static_cast<int32_t>(std::clamp<int64_t>(
                n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
        }
    }
    // lines[1] is the version line: read and ignored.
    for (size_t i = 2; i < lines.size(); ++i) {
        LineScanner in(lines[i]);
        AtsItem item;
        int64_t serial = 0, type = 0;
        uint32_t code = 0;
        // "%d\t%s\t%d\t0x%04X": a tab in the pattern matches any white space.
        if (in.Int(serial)) {
            item.serial = static_cast<int32_t>(std::clamp<int64_t>(
                serial, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
            if (in.Token(item.name, 49) && in.Int(type)) {
                item.deviceType = static_cast<uint8_t>(type & 0xFF);
                in.SkipSpace();
                if (in.Literal("0x") && in.Hex(code, 4)) item.ioCode = static_cast<uint16_t>(code);
            }
        }
        out.items.push_back(std::move(item));
    }
    return out;
}

bool WriteAtsBinaryFiles(CVelkorDoc& doc, const std::vector<const AtsItem*>& commands,
                         const std::vector<const AtsItem*>& indications,
                         const std::vector<const AtsItem*>& logicSections, bool stopOnFailure) {
    const fs::path folder = doc.Directory().Ats();
    const std::vector<const AtsItem*>* lists[3] = {&commands, &indications, &logicSections};
    bool all = true;
    for (int i = 0; i < 3; ++i) {
        const auto bytes = AtsBinaryFile(*lists[i], doc.version, CurrentTime());
        if (!doc.Files().WriteAtomic(folder / kFiles[i].binary, bytes)) {
            doc.UI().Warning(WithCause(kMsgAtsSaveFailed, doc.Files()));
            all = false;
            if (stopOnFailure) return false;
        }
    }
    return all;
}

bool ConvertAtsTextToBinary(CVelkorDoc& doc) {
    if (doc.PathName().empty()) {
        doc.UI().Warning(kMsgOpenStationFirst);
        return false;
    }
    const fs::path folder = doc.Directory().Ats();
    doc.Files().MakeDirs(folder);
    AtsTextContent read[3];
    for (int i = 0; i < 3; ++i) {
        // A count line, a version line and at most 65,535 items, each line
        // of at most 99 bytes and its line break.
        constexpr uint64_t kLargestText = (kLargestAtsItems + 2) * (kLongestLine + 2);
        std::string refused;
        const auto bytes = ReadAtMost(doc.Files(), folder / kFiles[i].text, kLargestText, refused);
        if (!bytes) {
            doc.UI().Warning(
                WithCause(kMsgAtsReadFailed, refused.empty() ? doc.Files().LastError() : refused));
            return false;
        }
        read[i] = ParseAtsText(*bytes);
        if (read[i].lineTooLong || static_cast<int64_t>(read[i].items.size()) != read[i].expected) {
            doc.UI().Warning(kFiles[i].countMessage);
            return false;
        }
    }
    std::vector<const AtsItem*> lists[3];
    for (int i = 0; i < 3; ++i) {
        for (const AtsItem& item : read[i].items) lists[i].push_back(&item);
    }
    OutputBatch batch(doc);
    if (!WriteAtsBinaryFiles(doc, lists[0], lists[1], lists[2], true)) return false;
    if (!batch.Commit()) {
        doc.UI().Warning(WithCause(kMsgAtsSaveFailed, batch.Error()));
        return false;
    }
    return true;
}

bool RunAtsTextToBinaryCommand(CVelkorDoc* doc, Interaction& ui) {
    const bool ok = doc && ConvertAtsTextToBinary(*doc);
    if (ok) {
        ui.Info(kMsgAtsConvertDone);
    } else {
        ui.Warning(kMsgAtsConvertFailed);
    }
    return ok;
}

}  // namespace velkor
