#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/StationDir.h"
#include "tables/IoTables.h"

namespace velkor {

struct StationDir;
class FileStore;
class Interaction;
struct CodeTables;

// A table file that could not be read whole when the station was opened.
struct TableTrouble {
    enum class Kind {
        kMissing,     // no such file: the next save writes it afresh
        kDamaged,     // read as far as it was whole; kept as NAME.damaged by the next save
        kUnreadable,  // there but not readable: no save may replace it
    };
    Kind kind;
    fs::path file;
    std::string name;   // "x86/Section.le"
    std::string cause;  // what was wrong, in the user's words
};

// What the table-file routines work on: a station's tables, whether it has
// logic sections, where its files are kept and where failures are told.
struct TableFileContext {
    IoTables& io;
    CodeTables& codes;
    bool hasLogicSections;
    FileStore& files;
    Interaction& ui;
    std::vector<TableTrouble>& troubles;

    FileStore& Files() const { return files; }
    Interaction& UI() const { return ui; }
};

inline constexpr const char* kMsgSaveTablesFailed = "保存驱采数据失败，无法打开文件";
inline constexpr const char* kMsgSavePpcFailed = "打开 ppc 下的文件失败";
inline constexpr const char* kMsgReadTablesFailed = "读取驱采数据失败，无法打开文件";
inline constexpr const char* kMsgSaveMutiBeFailed = "保存 ppc\\MutiSection.be 失败";
inline constexpr const char* kMsgSaveRelationFailed =
    "保存逻辑地址和物理地址关系失败，无法打开文件";
inline constexpr const char* kMsgSaveRelationBeFailed = "保存 ppc\\relation.be 失败";
inline constexpr const char* kMsgReadRelationFailed =
    "读取逻辑地址和物理地址关系表失败，无法打开文件";

// The file names of the input tables: x86 and ppc, by table index. Their
// case is as the field tools expect (x86/station.le, ppc/Station.be).
const char* InputTableLeName(int tableIndex);
const char* InputTableBeName(int tableIndex);

// A table file: a signed 32-bit count in the file's byte order, then the
// records back to back (big-endian images for .be files).
std::vector<uint8_t> EncodeTableFile(const RecordDesc& desc, const std::vector<Row>& rows,
                                     bool bigEndian);
// Reads the complete records of a little-endian table file. Nothing when the
// file is damaged: a count the file cannot hold or a record cut short; the
// records before the damage are in `rows` all the same.
// What is wrong with a table file's bytes ("" when nothing): a count the
// file cannot hold, a negative count, bytes left after the records.
std::string TableFileProblem(const RecordDesc& desc, std::span<const uint8_t> bytes);
bool DecodeTableFile(const RecordDesc& desc, std::span<const uint8_t> bytes, std::vector<Row>& rows,
                     const Row* defaults = nullptr);

// The most records a table file may hold: a station of a million objects
// has no table longer than this.
inline constexpr int64_t kMaxTableRecords = 1'000'000;

// Reads the little-endian table file `relative` (under the station folder)
// into `rows`, never more than its count names (and never past the records
// really in the file). Returns false when the file is missing, damaged or
// unreadable; then its trouble is recorded and `cause` says what was wrong.
bool ReadTableFile(const TableFileContext& doc, const StationDir& dir, const fs::path& relative,
                   const RecordDesc& desc, std::vector<Row>& rows, const Row* defaults,
                   std::string& cause);
// A failed write's warning: the message, then what the system said.
std::string WithCause(const char* message, const FileStore& files);

// The routines the document runs around the station file.
void SerializeInputTables(const TableFileContext& doc, const StationDir& dir, bool storing);
void SerializeSectionCombinations(const TableFileContext& doc, const StationDir& dir, bool storing);
void SerializeAddressRelation(const TableFileContext& doc, const StationDir& dir, bool storing);

// The miscellaneous table's button codes as saving raises them: a low byte
// in 0x40 to 0x4F becomes 0x50 to 0x5F.
uint16_t RaiseLingsanButton(uint16_t button);

}  // namespace velkor
