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
#include "devices/CADGraphic.h"
#include "document/EditHistory.h"
#include "document/Settings.h"
#include "tables/AtsItem.h"
#include "tables/CodeTables.h"
#include "tables/IoTables.h"

namespace velkor {

class CVelkorDoc;

inline constexpr const char* kMsgBadFormat = "意外的文件格式。";
inline constexpr const char* kMsgOpenFailed = "打开文档失败。";
inline constexpr const char* kMsgSaveFailed = "保存文档失败。";
inline constexpr const char* kMsgCompanionFailed = "打开二进制文件失败";
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

// One open station: its drawing, settings and tables.
class CVelkorDoc {
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
    bool OnOpenDocument(const fs::path& path);
    // Writes the station to `path`. On failure the user has been told and the
    // previous station file and companion file are as they were.
    bool OnSaveDocument(const fs::path& path);

    // Appends a newly placed object, lays it out and, for a declared device,
    // places its name label.
    void AddObject(std::unique_ptr<CADGraphic> obj);
    // The edit menu's "删除" on the context object.
    void DeleteContextObject();
    // The edit menu's "名字对齐" on the context object.
    void AlignContextName();
    // "移动道岔点1" (1), "道岔拉伸" (2), "道岔不拉伸" (0) on a context switch.
    void SetContextStretchMode(int mode);
    // The "旋转" items on a context switch.
    void RotateContextSwitch(double radians);
    void SetContextObject(CADGraphic* obj) { contextObject_ = obj; }
    CADGraphic* ContextObject() const { return contextObject_; }
    bool Contains(const CADGraphic* obj) const;

    const std::vector<std::unique_ptr<CADGraphic>>& Objects() const { return objects_; }
    template <typename T>
    std::vector<T*> ObjectsOf() const {
        std::vector<T*> out;
        for (const auto& o : objects_) {
            if (auto* t = dynamic_cast<T*>(o.get())) out.push_back(t);
        }
        return out;
    }

    // Unsaved changes to the drawing or the settings since the last open or
    // save. Undoing back to the saved drawing makes the station unchanged again.
    bool IsModified() const { return modified_ || !history_.AtSavePoint(); }
    // A change outside the undoable drawing edits (the settings, the version).
    void SetModified(bool modified = true) { modified_ = modified; }

    // Undo and redo. Placing (AddObject) and deleting record their edits;
    // other changes of objects are framed by BeginEdit and CommitEdit, which
    // record the objects before and after.
    void BeginEdit(std::string name, const std::vector<CADGraphic*>& objects);
    void CommitEdit();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    bool Undo();
    bool Redo();
    // After a generation command changed objects outside undo.
    void ForgetHistory() {
        history_.Clear();
        history_.MarkSavePoint();
    }

    const fs::path& PathName() const { return path_; }
    StationDir Directory() const { return StationDir::ForStationFile(path_); }
    Interaction& UI() const { return ui_; }
    FileStore& Files() const { return files_; }

    // The drawing values and editing state the objects of this station
    // consult. A document has its own until it is given one to share (the
    // desktop program shares one among all its stations).
    DrawingContext& Drawing() const { return *drawing_; }
    void ShareDrawing(DrawingContext& drawing);

    // Replaces the table-file routines (tests watch their order with it).
    void SetTableFileSteps(std::vector<TableFileStep> steps) { tableSteps_ = std::move(steps); }

    // Station settings.
    DataVersion version;
    int32_t hasLogicSections = 1;
    int32_t logicSectionsPerSwitch = 1;
    int32_t displayWidth = 1600;
    int32_t displayHeight = 900;
    int32_t displayCount = 2;
    std::u16string stationName = u"NO";
    int32_t stationNumber = 0;
    int32_t bufferWidth = 12288;
    int32_t bufferHeight = 6480;

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

private:
    void MakeFolders(const StationDir& dir);
    void RunTableFiles(const StationDir& dir, bool storing);
    bool Load(const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> Store(std::vector<uint8_t>& companion) const;

    Interaction& ui_;
    FileStore& files_;
    DrawingContext ownDrawing_;
    DrawingContext* drawing_ = &ownDrawing_;
    std::vector<std::unique_ptr<CADGraphic>> objects_;
    CADGraphic* contextObject_ = nullptr;
    bool modified_ = false;
    EditHistory history_;
    std::optional<Edit> pending_;
    fs::path path_;
    std::vector<TableFileStep> tableSteps_;
};

}  // namespace velkor
