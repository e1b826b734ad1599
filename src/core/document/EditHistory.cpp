#include "document/EditHistory.h"

#include "archive/Archive.h"
#include "devices/CADDevice.h"
#include "devices/StationClasses.h"

namespace velkor {

std::vector<uint8_t> SnapshotObject(CADGraphic& obj, bool hasLogicSections) {
    CADDevice* device = AsDevice(&obj);
    ByteWriter w;
    {
        Archive ar(w, StationClassRegistry());
        StationContext ctx;
        ctx.hasLogicSections = hasLogicSections;
        ctx.snapshot = true;
        ar.SetContext(&ctx);
        ar.WriteObject(&obj);
        Rect r = obj.GetCanvasRect();
        ar.Rectangle(r);
    }
    w.I32(device ? device->displayNameFollowsIoName : 0);
    w.I32(obj.HasWindow() ? 1 : 0);
    return std::move(w.Data());
}

std::unique_ptr<CADGraphic> RestoreObject(const std::vector<uint8_t>& bytes, bool hasLogicSections,
                                          const DrawingContext* drawing) {
    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    StationContext ctx;
    ctx.hasLogicSections = hasLogicSections;
    ctx.snapshot = true;
    ar.SetContext(&ctx);
    std::unique_ptr<ArchiveObject> created;
    ar.ReadObject(CADGraphic::Class(), created);
    Rect rect;
    ar.Rectangle(rect);
    std::unique_ptr<CADGraphic> obj(dynamic_cast<CADGraphic*>(created.release()));
    if (!obj) return nullptr;
    obj->SetDrawingContext(drawing);
    const int32_t follows = r.I32();
    const int32_t hadWindow = r.I32();
    if (hadWindow) {
        obj->CreateWindow(rect);
        obj->UpdateShape();
    }
    if (CADDevice* device = AsDevice(obj.get())) device->displayNameFollowsIoName = follows;
    return obj;
}

size_t Edit::Bytes() const {
    size_t n = name.size();
    for (const Change& c : changes) n += c.before.size() + c.after.size() + sizeof(Change);
    if (tablesBefore) n += tablesBefore->Bytes();
    if (tablesAfter) n += tablesAfter->Bytes();
    if (codesBefore) n += codesBefore->Bytes();
    if (codesAfter) n += codesAfter->Bytes();
    return n;
}

void EditHistory::Push(Edit edit) {
    // A new edit ends the redo branch.
    while (edits_.size() > cursor_) {
        bytes_ -= edits_.back().Bytes();
        edits_.pop_back();
    }
    if (savePoint_ > static_cast<long>(cursor_)) savePoint_ = -1;
    bytes_ += edit.Bytes();
    edits_.push_back(std::move(edit));
    ++cursor_;
    while ((bytes_ > kMaxBytes || edits_.size() > kMaxEdits) && edits_.size() > 1) {
        bytes_ -= edits_.front().Bytes();
        edits_.pop_front();
        --cursor_;
        --savePoint_;  // may reach -1: that state can no longer be undone to
    }
}

void EditHistory::Clear() {
    edits_.clear();
    cursor_ = 0;
    savePoint_ = 0;
    bytes_ = 0;
}

}  // namespace velkor
