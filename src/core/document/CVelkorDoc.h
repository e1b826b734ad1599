#pragma once
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Files.h"
#include "common/Interaction.h"
#include "common/StationDir.h"
#include "common/Status.h"
#include "devices/CADGraphic.h"
#include "document/EditHistory.h"
#include "document/Settings.h"
#include "tables/AtsItem.h"
#include "tables/CodeTables.h"
#include "tables/IoTables.h"
#include "tables/TableFiles.h"

namespace velkor {

class CVelkorDoc;

inline constexpr const char* kMsgBadFormat = "意外的文件格式。";
inline constexpr const char* kMsgOpenFailed = "打开文档失败。";
inline constexpr const char* kMsgSaveFailed = "保存文档失败。";
inline constexpr const char* kMsgCompanionFailed = "打开二进制文件失败";
inline constexpr const char* kMsgStationFileOnly =
    "保存文档失败。\n这个车站只读取了车站文件，没有读取表文件，保存会用空表替换它们，已取消保存。";
inline constexpr const char* kMsgNotSavedPlaced =
    "%s不能保存到车站文件中：保存并重新打开车站后它将消失。";
// The largest station: a million objects, none of which takes more than
// 64 KiB in the station file.
inline constexpr int64_t kMaxStationObjects = 1'000'000;
inline constexpr uint64_t kMaxObjectBytes = 64 * 1024;
inline constexpr const char* kDocumentFilter = "Velkor Files (*.lcp)";

// One of the table-file routines that run around the station file: given the
// station directory and the direction, it writes or reads its files.
struct TableFileStep {
    const char* name;
    bool onlyWithLogicSections;
    std::function<void(CVelkorDoc&, const StationDir&, bool storing)> run;
};

// The routines in their fixed order: input tables, section combinations, the
// physical-section code table, the other code tables, then the address
// relation (only while the station has logic sections).
std::vector<TableFileStep> DefaultTableFileSteps();

// One open station: its drawing, settings and tables. The station settings
// are the document's own members (doc.hasLogicSections ...).
class CVelkorDoc : public StationSettings {
public:
    explicit CVelkorDoc(Interaction& ui, FileStore& files = DefaultFileStore());
    ~CVelkorDoc();
    CVelkorDoc(const CVelkorDoc&) = delete;
    CVelkorDoc& operator=(const CVelkorDoc&) = delete;

    // Resets every member to its default and empties the drawing.
    void OnNewDocument();
    // Reads the station at `path` into this document, which starts afresh.
    // On failure the user has been told, the document is left empty and the
    // caller discards it, as a station that did not open has no window.
    //
    // A command that reads only the drawing (a dump, a count of objects)
    // opens the station file alone: the tables are not read, and the
    // document holds empty tables that must not be saved over the station's.
    enum class OpenParts { Everything, StationFileOnly };
    Status OnOpenDocument(const fs::path& path, OpenParts parts = OpenParts::Everything);
    // Writes the station to `path`. On failure the user has been told and the
    // previous station file and companion file are as they were.
    Status OnSaveDocument(const fs::path& path);

    // Appends a newly placed object, lays it out and, for a declared device,
    // places its name label.
    void AddObject(std::unique_ptr<CADGraphic> obj);
    // Removes an object of the station, recorded for undo.
    void DeleteObject(CADGraphic* obj);
    // The objects the station file has no place for (turntables, navigable
    // tracks), as "2 个转盘、1 个地航"; empty when there are none.
    std::string UnsavedObjects() const;
    // Deletes these objects of the list as one undoable step; others are
    // ignored.
    void DeleteObjects(const std::vector<CADGraphic*>& objs);
    bool Contains(const CADGraphic* obj) const;

    const std::vector<std::unique_ptr<CADGraphic>>& Objects() const { return objects_; }
    // Object `index` as a T when its class is T, else null, told from the
    // array of classes without reading the object: walks over every object
    // of a large station read the objects they treat and no other.
    template <typename T>
    T* ObjectAs(size_t index) const {
        static_assert(std::is_final_v<T>);
        return classes_[index] == &T::Class() ? static_cast<T*>(objects_[index].get()) : nullptr;
    }
    template <typename T>
    std::vector<T*> ObjectsOf() const {
        std::vector<T*> out;
        if constexpr (std::is_final_v<T>) {
            // From the array of classes: the objects of other classes are
            // not read at all.
            for (size_t i = 0; i < classes_.size(); ++i) {
                if (T* t = ObjectAs<T>(i)) out.push_back(t);
            }
        } else {
            for (const auto& o : objects_) {
                if (auto* t = dynamic_cast<T*>(o.get())) out.push_back(t);
            }
        }
        return out;
    }

    // Unsaved changes to the drawing, the tables or the settings since the
    // last open or save. Undoing back to the saved drawing makes the station
    // unchanged again. Changes become unsaved by committing a DocumentEdit,
    // and by placing and deleting objects.
    bool IsModified() const { return modified_ || !history_.AtSavePoint(); }
    // Drops the unsaved state: the user chose to discard the changes.
    void DiscardChanges() {
        modified_ = false;
        history_.MarkSavePoint();
    }

    // Undo and redo of the drawing edits.
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    bool Undo() { return Step(true); }
    bool Redo() { return Step(false); }

    // Told before objects are replaced or removed by undo, redo or a
    // rolled-back edit, so that a view lets go of the objects it points at.
    void SetObjectsReplacedListener(std::function<void()> listener) {
        objectsReplaced_ = std::move(listener);
    }

    // Writes the station with its table files to `path` (a recovery copy)
    // without asking, without telling, and without making it the
    // document's file: the document stays as changed as it was. On failure
    // the status says what went wrong.
    Status SaveCopy(const fs::path& path);
    // Makes `path` the document's file and the document changed: a station
    // recovered from a copy is saved where it came from.
    void AdoptPath(const fs::path& path) {
        path_ = path;
        modified_ = true;
    }

    const fs::path& PathName() const { return path_; }
    StationDir Directory() const { return StationDir::ForStationFile(path_); }
    Interaction& UI() const { return *ui_; }
    FileStore& Files() const { return *files_; }

    // The drawing values and editing state the objects of this station
    // consult. A document has its own until it is given one to share (the
    // desktop program shares one among all its stations).
    DrawingContext& Drawing() const { return *drawing_; }
    void ShareDrawing(DrawingContext& drawing);

    // Replaces the table-file routines (tests watch their order with it).
    void SetTableFileSteps(std::vector<TableFileStep> steps) { tableSteps_ = std::move(steps); }

    // The input tables, section combinations and address relation.
    IoTables io;
    // The six code tables.
    CodeTables codes;
    // The logic-section list of the last ATS generation; not stored in the
    // station file, rebuilt by every generation.
    std::vector<AtsItem> atsLogicSections;

    // The display values found after the objects of the file last opened, for
    // inspection only: the document keeps its defaults (see Load).
    std::optional<std::array<int32_t, 3>> fileTrailer;

    // The table files that were missing, damaged or unreadable when the
    // station was opened (cleared by a save that replaced them).
    std::vector<TableTrouble> tableTroubles;

private:
    friend class DocumentEdit;
    friend class OutputBatch;

    // Undoes (back) or redoes the next edit.
    bool Step(bool back);
    // Puts the objects of one side of an edit in place.
    void ApplyEdit(const Edit& edit, bool toBefore);
    void Record(Edit edit) { history_.Push(std::move(edit)); }
    std::unique_ptr<CADGraphic> Restore(const std::vector<uint8_t>& snapshot) const;
    std::vector<uint8_t> Snapshot(CADGraphic& obj) const;
    void ObjectsReplaced() {
        if (objectsReplaced_) objectsReplaced_();
    }

    void MakeFolders(const StationDir& dir);
    void ReportRecovery(const SaveRecovery& recovery);
    // The files of a save into `path`, all or none; the document's own
    // state is left to the caller.
    Status WriteStation(const fs::path& path);
    // The station file's size; nothing when it cannot be read, or when it is
    // larger than its object count allows (then `refused` says why).
    std::optional<uint64_t> StationFileSize(const fs::path& path, std::string& refused);
    void RunTableFiles(const StationDir& dir, bool storing);
    // Throws ArchiveError or ShortReadError for a damaged station file.
    void Load(ByteReader& in);
    std::vector<uint8_t> Store(std::vector<uint8_t>& companion) const;

    Interaction* ui_;
    FileStore* files_;
    FileBatch* batch_ = nullptr;  // the output batch open on this document
    DrawingContext ownDrawing_;
    DrawingContext* drawing_ = &ownDrawing_;
    std::vector<std::unique_ptr<CADGraphic>> objects_;
    // The class of each object, index for index: a walk for the objects of
    // one class reads this small array instead of the memory of every
    // object of a large station. Changed only with objects_, through the
    // functions below.
    std::vector<const RuntimeClass*> classes_;
    void SetObjects(std::vector<std::unique_ptr<CADGraphic>> objects);
    void InsertObject(size_t index, std::unique_ptr<CADGraphic> obj);
    void ReplaceObject(size_t index, std::unique_ptr<CADGraphic> obj);
    void EraseObject(size_t index);
    bool modified_ = false;
    bool stationFileOnly_ = false;  // opened without its tables
    EditHistory history_;
    std::function<void()> objectsReplaced_;
    fs::path path_;
    std::vector<TableFileStep> tableSteps_;
};

// The files that one save or one command writes through the document's
// store go in place together: while the batch is open every write is staged,
// and Commit puts them all in place (see FileBatch). A batch opened inside
// another joins it and the outermost one commits. Dropped without Commit, it
// removes what was staged and the previous files stand.
class OutputBatch {
public:
    // The journal is kept in `journalFolder`: the station's folder.
    OutputBatch(CVelkorDoc& doc, const fs::path& journalFolder);
    explicit OutputBatch(CVelkorDoc& doc) : OutputBatch(doc, doc.Directory().root) {}
    ~OutputBatch();
    OutputBatch(const OutputBatch&) = delete;
    OutputBatch& operator=(const OutputBatch&) = delete;

    // True when every file is in place (a joined batch: when nothing failed
    // so far). On failure Error() says what the system said, with the file.
    bool Commit();
    bool Failed() const;
    std::string Error() const;

private:
    CVelkorDoc& doc_;
    std::unique_ptr<FileBatch> batch_;  // none when joined to an outer batch
    FileStore* previous_ = nullptr;
    std::string error_;
};

// One change of a station, begun when made and committed once complete:
// the only way a change other than placing or deleting becomes unsaved.
//
// An edit of drawing objects keeps their bytes before and after; committing
// records it for undo, as it does an edit of the input tables (the table
// dialogs). A change of the tables and settings together is not undone,
// and one that also rewrites objects outside undo (a generation writing into
// the devices) clears the undo history when committed. An edit dropped
// without Commit (an error, an early return) puts back what it covers: the
// objects of an object edit, the tables and settings of the others.
class DocumentEdit {
public:
    enum class Scope {
        InputTables,        // the input and code tables, undoable
        TablesAndSettings,  // the tables and the station settings
        AllObjects,         // these, and objects outside undo
        // Objects outside undo, the tables and settings untouched: nothing
        // is copied to put back (读取输入板 writes only into the devices).
        DevicesOutsideUndo,
    };
    // An undoable edit of these objects.
    DocumentEdit(CVelkorDoc& doc, std::string name, const std::vector<CADGraphic*>& objects);
    DocumentEdit(CVelkorDoc& doc, std::string name, Scope scope);
    // A generator's rewrite of one table of the document, outside undo as
    // TablesAndSettings: only that table is kept to put back when the edit
    // is dropped, so a run on a large station copies no other table.
    DocumentEdit(CVelkorDoc& doc, std::string name, std::vector<Row>& table);
    // The same edit for a table built anew: `rows` take the table's place at
    // once and the old rows are kept aside, not copied, to put back.
    DocumentEdit(CVelkorDoc& doc, std::string name, std::vector<Row>& table, std::vector<Row> rows);
    DocumentEdit(DocumentEdit&& other) noexcept;
    DocumentEdit(const DocumentEdit&) = delete;
    DocumentEdit& operator=(const DocumentEdit&) = delete;
    DocumentEdit& operator=(DocumentEdit&&) = delete;
    ~DocumentEdit();

    void Commit();

private:
    void RollBack();

    CVelkorDoc* doc_;
    std::optional<Scope> scope_;  // none for an object edit
    Edit edit_;
    // The tables and settings as they were, for a change that is dropped.
    std::optional<StationSettings> settings_;
    std::optional<IoTables> io_;
    std::optional<CodeTables> codes_;
    // The one table of a table edit, and its rows as they were.
    std::vector<Row>* table_ = nullptr;
    std::optional<std::vector<Row>> tableBefore_;
};

}  // namespace velkor
