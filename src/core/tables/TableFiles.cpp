#include "tables/TableFiles.h"

#include <algorithm>
#include <cerrno>

#include "common/Bytes.h"
#include "common/Files.h"
#include "common/Interaction.h"
#include "common/StationDir.h"

namespace velkor {

namespace {
const char* const kLeNames[kInputTableCount] = {"Section.le",      "Switch.le",  "Signal.le",
                                                "LogicSection.le", "LingSan.le", "station.le"};
const char* const kBeNames[kInputTableCount] = {"Section.be",      "Switch.be",  "Signal.be",
                                                "LogicSection.be", "LingSan.be", "Station.be"};

bool Write(const TableFileContext& doc, const fs::path& path, const std::vector<uint8_t>& bytes) {
    return doc.Files().WriteAtomic(path, bytes);
}
}  // namespace

const char* InputTableLeName(int i) { return kLeNames[i]; }
const char* InputTableBeName(int i) { return kBeNames[i]; }

uint16_t RaiseLingsanButton(uint16_t button) {
    const uint8_t low = button & 0xFF;
    if (low >= 0x40 && low <= 0x4F) return static_cast<uint16_t>((button & 0xFF5F) | 0x0050);
    return button;
}

std::vector<uint8_t> EncodeTableFile(const RecordDesc& desc, const std::vector<Row>& rows,
                                     bool bigEndian) {
    ByteWriter w(bigEndian ? Endian::Big : Endian::Little);
    w.I32(static_cast<int32_t>(rows.size()));
    for (const Row& row : rows) {
        if (bigEndian) {
            w.Bytes(desc.ToBigEndian(row.Bytes()));
        } else {
            w.Bytes(row.Bytes());
        }
    }
    return std::move(w.Data());
}

bool DecodeTableFile(const RecordDesc& desc, std::span<const uint8_t> bytes, std::vector<Row>& rows,
                     const Row* defaults) {
    // An empty file reads as a count of 0, as a failed read of the count did.
    if (bytes.empty()) return true;
    if (bytes.size() < 4) return false;
    const int64_t count = GetI32LE(bytes.data());
    const size_t available = (bytes.size() - 4) / desc.size;
    // Never trust the count: only the records really in the file are read.
    const size_t n = count < 0 ? 0 : std::min<size_t>(static_cast<size_t>(count), available);
    for (size_t i = 0; i < n; ++i) {
        Row row = defaults ? *defaults : Row(desc.size);
        std::copy_n(bytes.data() + 4 + i * desc.size, desc.size, row.Bytes().data());
        rows.push_back(std::move(row));
    }
    return count >= 0 && static_cast<size_t>(count) == n && bytes.size() == 4 + n * desc.size;
}

namespace {
// What is wrong with a table file of `size` bytes whose count is `count`
// ("" when nothing).
std::string TableFileProblem(const RecordDesc& desc, uint64_t size, int64_t count) {
    if (size == 0) return {};
    if (size < 4) return "文件只有 " + std::to_string(size) + " 个字节，不足记录数";
    if (count < 0) return "记录数为负（" + std::to_string(count) + "）";
    if (count > kMaxTableRecords) {
        return "记录数为 " + std::to_string(count) + "，超过上限 " +
               std::to_string(kMaxTableRecords);
    }
    const uint64_t whole = (size - 4) / desc.size;
    if (static_cast<uint64_t>(count) > whole) {
        return "记录数为 " + std::to_string(count) + "，文件只有 " + std::to_string(whole) +
               " 条完整记录";
    }
    const uint64_t expected = 4 + static_cast<uint64_t>(count) * desc.size;
    if (size != expected) return "记录之后多出 " + std::to_string(size - expected) + " 个字节";
    return {};
}
}  // namespace

std::string WithCause(const char* message, const FileStore& files) {
    return WithCause(std::string(message), files.LastError());
}

bool ReadTableFile(const TableFileContext& doc, const StationDir& dir, const fs::path& relative,
                   const RecordDesc& desc, std::vector<Row>& rows, const Row* defaults,
                   std::string& cause) {
    const fs::path path = dir / relative;
    const auto Trouble = [&](TableTrouble::Kind kind, std::string why) {
        cause = why;
        doc.troubles.push_back({kind, path, PathToUtf8(relative), std::move(why)});
        return false;
    };
    const auto size = doc.Files().Size(path);
    if (!size) {
        const int error = doc.Files().LastErrno();
        if (error == ENOENT || error == 0)
            return Trouble(TableTrouble::Kind::kMissing, "文件不存在");
        return Trouble(TableTrouble::Kind::kUnreadable, doc.Files().LastError());
    }
    // The count first: it bounds what is read, whatever the file's size.
    const auto head = doc.Files().ReadPrefix(path, 4);
    if (!head) return Trouble(TableTrouble::Kind::kUnreadable, doc.Files().LastError());
    const int64_t count = head->size() == 4 ? GetI32LE(head->data()) : 0;
    const uint64_t wanted =
        count < 0 ? 4 : 4 + static_cast<uint64_t>(std::min(count, kMaxTableRecords)) * desc.size;
    std::optional<std::vector<uint8_t>> bytes;
    if (count > kMaxTableRecords) {
        bytes = *head;
    } else {
        bytes = doc.Files().ReadPrefix(path, static_cast<size_t>(std::min(wanted, *size)));
    }
    if (!bytes) return Trouble(TableTrouble::Kind::kUnreadable, doc.Files().LastError());
    DecodeTableFile(desc, *bytes, rows, defaults);
    std::string problem = TableFileProblem(desc, *size, count);
    if (problem.empty()) return true;
    return Trouble(TableTrouble::Kind::kDamaged, std::move(problem));
}

void SerializeInputTables(const TableFileContext& doc, const StationDir& dir, bool storing) {
    IoTables& t = doc.io;
    const bool logic = doc.hasLogicSections != 0;
    if (storing) {
        for (Row& row : t.Table(kLingsanTable)) {
            row.SetU16(io::kButton, RaiseLingsanButton(row.U16(io::kButton)));
        }
        for (int i = 0; i < kInputTableCount; ++i) {
            if (i == kLogicSectionTable && !logic) continue;
            if (!Write(doc, dir.X86() / kLeNames[i],
                       EncodeTableFile(InputRecordDesc(i), t.Table(i), false))) {
                doc.UI().Warning(WithCause(kMsgSaveTablesFailed, doc.Files()));
            }
        }
        for (int i = 0; i < kInputTableCount; ++i) {
            if (i == kLogicSectionTable && !logic) continue;
            if (!Write(doc, dir.Ppc() / kBeNames[i],
                       EncodeTableFile(InputRecordDesc(i), t.Table(i), true))) {
                doc.UI().Warning(WithCause(kMsgSavePpcFailed, doc.Files()));
            }
        }
        return;
    }
    for (int i = 0; i < kInputTableCount; ++i) {
        if (i == kLogicSectionTable && !logic) continue;
        const Row defaults = IoTables::NewRow(i);
        // A missing file, and a damaged one, are reported with the file and
        // the cause; the complete records of a damaged one are kept.
        std::string cause;
        const fs::path file = fs::path("x86") / kLeNames[i];
        if (!ReadTableFile(doc, dir, file, InputRecordDesc(i), t.Table(i), &defaults, cause)) {
            doc.UI().Warning(std::string(kMsgReadTablesFailed) + "：" + PathToUtf8(file) + "（" +
                             cause + "）");
        }
    }
}

void SerializeSectionCombinations(const TableFileContext& doc, const StationDir& dir,
                                  bool storing) {
    const RecordDesc& desc = MutiSectionDesc();
    if (storing) {
        // MutiSection.le failing to write says nothing: only the big-endian
        // file, which the field equipment loads, is reported.
        Write(doc, dir.X86() / "MutiSection.le", EncodeTableFile(desc, doc.io.combinations, false));
        if (!Write(doc, dir.Ppc() / "MutiSection.be",
                   EncodeTableFile(desc, doc.io.combinations, true))) {
            doc.UI().Warning(WithCause(kMsgSaveMutiBeFailed, doc.Files()));
        }
        return;
    }
    // A missing or damaged combination file is kept in the troubles only:
    // its reading has never been reported.
    std::string cause;
    ReadTableFile(doc, dir, fs::path("x86") / "MutiSection.le", desc, doc.io.combinations, nullptr,
                  cause);
}

void SerializeAddressRelation(const TableFileContext& doc, const StationDir& dir, bool storing) {
    const RecordDesc& desc = AddressRelationDesc();
    if (storing) {
        RebuildRelations(doc.io);
        if (!Write(doc, dir.X86() / "Relation.le",
                   EncodeTableFile(desc, doc.io.relations, false))) {
            doc.UI().Warning(WithCause(kMsgSaveRelationFailed, doc.Files()));
        }
        if (!Write(doc, dir.Ppc() / "relation.be", EncodeTableFile(desc, doc.io.relations, true))) {
            doc.UI().Warning(WithCause(kMsgSaveRelationBeFailed, doc.Files()));
        }
        return;
    }
    doc.io.relations.clear();
    std::string cause;
    const fs::path file = fs::path("x86") / "Relation.le";
    if (!ReadTableFile(doc, dir, file, desc, doc.io.relations, nullptr, cause)) {
        doc.UI().Warning(std::string(kMsgReadRelationFailed) + "：" + PathToUtf8(file) + "（" +
                         cause + "）");
    }
}

}  // namespace velkor
