#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "devices/CADGraphic.h"
#include "tables/CodeTables.h"
#include "tables/IoTables.h"

namespace velkor {

// An object as bytes: class, payload, window rectangle and the in-memory
// state a station file does not keep (whether the label follows the IO
// name), enough to put the object back exactly as it was.
std::vector<uint8_t> SnapshotObject(CADGraphic& obj, bool hasLogicSections);
// The restored object joins `drawing` before it is laid out.
std::unique_ptr<CADGraphic> RestoreObject(const std::vector<uint8_t>& bytes, bool hasLogicSections,
                                          const DrawingContext* drawing = nullptr);

// One undoable change of the drawing or of the input tables. Objects are
// named by their place in the object list; each change keeps the bytes
// before and after (empty for an object that did not exist on that side).
// An edit of the tables (input and code tables) keeps them whole, before
// and after.
struct Edit {
    struct Change {
        size_t index;
        std::vector<uint8_t> before;
        std::vector<uint8_t> after;
    };
    std::string name;
    std::vector<Change> changes;
    std::shared_ptr<const IoTables> tablesBefore;
    std::shared_ptr<const IoTables> tablesAfter;
    std::shared_ptr<const CodeTables> codesBefore;
    std::shared_ptr<const CodeTables> codesAfter;
    size_t Bytes() const;
};

// The undo and redo stacks of a document, bounded in memory.
class EditHistory {
public:
    static constexpr size_t kMaxBytes = size_t{64} << 20;
    static constexpr size_t kMaxEdits = 500;

    void Push(Edit edit);
    bool CanUndo() const { return cursor_ > 0; }
    bool CanRedo() const { return cursor_ < edits_.size(); }
    const Edit* NextUndo() const { return CanUndo() ? &edits_[cursor_ - 1] : nullptr; }
    const Edit* NextRedo() const { return CanRedo() ? &edits_[cursor_] : nullptr; }
    void StepBack() { --cursor_; }
    void StepForward() { ++cursor_; }
    // Whether the drawing is as it was when last saved or opened.
    bool AtSavePoint() const { return savePoint_ == static_cast<long>(cursor_); }
    void MarkSavePoint() { savePoint_ = static_cast<long>(cursor_); }
    void Clear();

private:
    std::deque<Edit> edits_;
    size_t cursor_ = 0;  // edits before it are applied
    long savePoint_ = 0;
    size_t bytes_ = 0;
};

}  // namespace velkor
