#include "document/CVelkorDoc.h"

#include <algorithm>
#include <utility>

#include "archive/Archive.h"
#include "common/Bytes.h"
#include "devices/CADDevice.h"
#include "devices/StationClasses.h"

namespace velkor {

CVelkorDoc::CVelkorDoc(Interaction& ui, FileStore& files)
    : ui_(&ui), files_(&files), tableSteps_(DefaultTableFileSteps()) {
    ownDrawing_.messages = &ui;
}

void CVelkorDoc::ShareDrawing(DrawingContext& drawing) {
    drawing_ = &drawing;
    for (const auto& obj : objects_) obj->SetDrawingContext(drawing_);
}

CVelkorDoc::~CVelkorDoc() = default;

void CVelkorDoc::OnNewDocument() {
    stationFileOnly_ = false;
    SetObjects({});
    modified_ = false;
    history_.Clear();
    io = IoTables{};
    codes = CodeTables{};
    path_.clear();
    static_cast<StationSettings&>(*this) = StationSettings{};
    fileTrailer.reset();
    tableTroubles.clear();
}

OutputBatch::OutputBatch(CVelkorDoc& doc, const fs::path& journalFolder) : doc_(doc) {
    if (doc.batch_) return;
    batch_ = std::make_unique<FileBatch>(*doc.files_, journalFolder);
    previous_ = doc.files_;
    doc.files_ = batch_.get();
    doc.batch_ = batch_.get();
}

OutputBatch::~OutputBatch() {
    if (!batch_) return;
    doc_.files_ = previous_;
    doc_.batch_ = nullptr;
}

bool OutputBatch::Commit() {
    if (!batch_) return !doc_.batch_->Failed();
    const bool ok = batch_->CommitAll();
    if (!ok) error_ = batch_->FirstError();
    return ok;
}

bool OutputBatch::Failed() const { return (batch_ ? batch_.get() : doc_.batch_)->Failed(); }

std::string OutputBatch::Error() const {
    if (!error_.empty()) return error_;
    return (batch_ ? batch_.get() : doc_.batch_)->FirstError();
}

void CVelkorDoc::MakeFolders(const StationDir& dir) {
    // Failures are left to the file operations that follow, which report their own.
    for (const fs::path& p : {dir.X86(), dir.Ppc(), dir.PpcAtp(), dir.X86Atp(), dir.Ats()}) {
        Files().MakeDirs(p);
    }
}

void CVelkorDoc::RunTableFiles(const StationDir& dir, bool storing) {
    for (const TableFileStep& step : tableSteps_) {
        if (step.onlyWithLogicSections && !hasLogicSections) continue;
        step.run(*this, dir, storing);
    }
}

Status CVelkorDoc::OnOpenDocument(const fs::path& path, OpenParts parts) {
    OnNewDocument();
    // A station that did not open is told to the user and left empty.
    const auto Fail = [this](Status status) {
        ui_->Warning(status.Message());
        OnNewDocument();
        return status;
    };
    path_ = path;
    const StationDir dir = StationDir::ForStationFile(path);
    // A save that was stopped part way is finished or undone first, so the
    // folder holds the files of one save, old or new.
    ReportRecovery(RecoverInterruptedSave(*files_, dir.root, dir.Folders()));
    // The station file first: a file that is no station (a companion file,
    // anything else) is one message, and nothing is read or made beside it.
    std::string refused;
    files_->ClearLastError();
    const auto size = StationFileSize(path, refused);
    auto source = size ? files_->OpenRead(path) : nullptr;
    if (!source) {
        if (!refused.empty()) {
            return Fail(Status::Damaged(WithCause(kMsgBadFormat, refused)));
        }
        return Fail(Status::IoError(WithCause(kMsgOpenFailed, files_->LastError())));
    }
    // The station file is read a piece at a time as its objects are built,
    // so a large station is never in memory twice, as bytes and as objects.
    try {
        ByteReader in(*source, *size);
        Load(in);
    } catch (const ArchiveError&) {
        return Fail(Status::Damaged(kMsgBadFormat));
    } catch (const FileReadError& e) {
        return Fail(Status::IoError(WithCause(kMsgOpenFailed, e.what())));
    } catch (const std::exception&) {
        return Fail(Status::Damaged(kMsgOpenFailed));
    }
    source.reset();
    if (parts == OpenParts::StationFileOnly) {
        stationFileOnly_ = true;
        modified_ = false;
        return {};
    }
    // Opening only reads: the station's folders are made when it is saved.
    // The tables are read while has-logic-sections holds its default, so the
    // logic-section table and the address relation are read whatever the
    // station file says.
    const int32_t logic = hasLogicSections;
    hasLogicSections = StationSettings{}.hasLogicSections;
    RunTableFiles(dir, false);
    hasLogicSections = logic;
    modified_ = false;
    return {};
}

void CVelkorDoc::ReportRecovery(const SaveRecovery& recovery) {
    using Kind = SaveRecovery::Kind;
    if (recovery.kind == Kind::kFinished) {
        ui_->Info("上次保存在完成之前中断：已完成这次保存（" + std::to_string(recovery.files) +
                  " 个文件）。");
    } else if (recovery.kind == Kind::kUndone) {
        ui_->Info("上次保存在完成之前中断：已撤销未完成的保存，车站保持保存之前的内容（清除了 " +
                  std::to_string(recovery.files) + " 个临时文件）。");
    }
}

std::optional<uint64_t> CVelkorDoc::StationFileSize(const fs::path& path, std::string& refused) {
    // The header names the object count, which bounds the file: a file far
    // larger than its objects can fill is refused without being read.
    const auto size = files_->Size(path);
    if (!size) return std::nullopt;
    constexpr uint64_t kHeader = 16;
    constexpr uint64_t kTrailer = 12;
    const auto head = files_->ReadPrefix(path, kHeader);
    if (!head) return std::nullopt;
    if (head->size() == kHeader) {
        const int64_t count = GetI32LE(head->data() + 12);
        if (count < 0 || count > kMaxStationObjects) {
            refused = PathToUtf8(path) + "：对象数为 " + std::to_string(count) + "，超过上限 " +
                      std::to_string(kMaxStationObjects);
            return std::nullopt;
        }
        const uint64_t largest =
            kHeader + static_cast<uint64_t>(count) * kMaxObjectBytes + kTrailer;
        if (*size > largest) {
            refused = PathToUtf8(path) + "：文件有 " + std::to_string(*size) + " 个字节，" +
                      std::to_string(count) + " 个对象的车站文件最多 " + std::to_string(largest) +
                      " 个字节";
            return std::nullopt;
        }
    }
    return size;
}

void CVelkorDoc::Load(ByteReader& in) {
    Archive ar(in, StationClassRegistry());
    StationContext context;
    ar.SetContext(&context);
    DataVersion v;
    ar.Byte(v.high);
    ar.Byte(v.middle);
    ar.Byte(v.low);
    ar.Byte(v.build);
    int32_t logic = 0;
    int32_t perSwitch = 0;
    int32_t count = 0;
    ar.Int(logic);
    ar.Int(perSwitch);
    ar.Int(count);
    context.hasLogicSections = logic != 0;

    std::vector<std::unique_ptr<CADGraphic>> loaded;
    for (int32_t i = 0; i < count; ++i) {
        std::unique_ptr<ArchiveObject> created;
        ar.ReadObject(CADGraphic::Class(), created);
        Rect rect;
        ar.Rectangle(rect);
        // A null entry or a reference back to an object already read adds
        // nothing: every object is owned once, at its first place.
        if (!created) continue;
        std::unique_ptr<CADGraphic> obj(dynamic_cast<CADGraphic*>(created.get()));
        if (!obj) throw ArchiveError(ArchiveErrorKind::BadClass);
        created.release();
        obj->SetDrawingContext(drawing_);
        obj->CreateWindow(rect);
        obj->UpdateShape();
        obj->AfterLoad(logic != 0);
        loaded.push_back(std::move(obj));
    }
    // The trailing display values are not read back: the document keeps its
    // defaults, and a file whose trailer was cut off still opens.
    if (in.Remaining() >= 12) {
        fileTrailer = {in.I32(), in.I32(), in.I32()};
    }
    version = v;
    hasLogicSections = logic;
    logicSectionsPerSwitch = perSwitch;
    SetObjects(std::move(loaded));
}

std::vector<uint8_t> CVelkorDoc::Store(std::vector<uint8_t>& companionOut) const {
    std::array<std::vector<CADGraphic*>, kStationFileGroupCount> groups;
    int32_t total = 0;
    for (const auto& obj : objects_) {
        const int group = StationFileGroup(obj->GetRuntimeClass().name);
        if (group < 0 || obj->IsDegenerate()) continue;
        groups[static_cast<size_t>(group)].push_back(obj.get());
        ++total;
    }

    ByteWriter out;
    ByteWriter companion;
    for (ByteWriter* w : {&out, &companion}) {
        w->U8(version.high);
        w->U8(version.middle);
        w->U8(version.low);
        w->U8(version.build);
        w->I32(hasLogicSections);
        w->I32(logicSectionsPerSwitch);
    }
    out.I32(total);

    Archive ar(out, StationClassRegistry());
    StationContext context;
    context.hasLogicSections = hasLogicSections != 0;
    ar.SetContext(&context);
    ar.SetCompanion(&companion);
    for (const auto& group : groups) {
        companion.I32(static_cast<int32_t>(group.size()));
        for (CADGraphic* obj : group) {
            ar.WriteObject(obj);
            Rect rect = obj->GetCanvasRect();
            ar.Rectangle(rect);
        }
    }
    for (ByteWriter* w : {&out, &companion}) {
        w->I32(displayWidth);
        w->I32(displayHeight);
        w->I32(displayCount);
    }
    companionOut = std::move(companion.Data());
    return std::move(out.Data());
}

Status CVelkorDoc::OnSaveDocument(const fs::path& path) {
    // Its tables were never read: saving would write empty ones.
    if (stationFileOnly_) {
        ui_->Warning(kMsgStationFileOnly);
        return Status::Unsupported(kMsgStationFileOnly);
    }
    // A reminder only: both answers go on with the save.
    (void)ui_->AskYesNo(kVersionQuestion);
    MessageBatch messages(*ui_);
    if (Status written = WriteStation(path); !written) return written;
    tableTroubles.clear();
    path_ = path;
    modified_ = false;
    history_.MarkSavePoint();
    return {};
}

namespace {
// Keeps what a recovery copy's save would tell, for its status.
class Collected : public SilentInteraction {
public:
    void Warning(const std::string& text) override {
        if (first.empty()) first = text;
    }
    std::string first;
};
}  // namespace

Status CVelkorDoc::SaveCopy(const fs::path& path) {
    Collected quiet;
    struct Restore {
        Interaction*& ui;
        Interaction* user;
        ~Restore() { ui = user; }
    } restore{ui_, ui_};
    ui_ = &quiet;
    const Status written = WriteStation(path);
    if (!written && !quiet.first.empty()) return Status::IoError(quiet.first);
    return written;
}

Status CVelkorDoc::WriteStation(const fs::path& path) {
    const StationDir dir = StationDir::ForStationFile(path);
    const auto Fail = [this](std::string message) {
        ui_->Warning(message);
        return Status::IoError(std::move(message));
    };
    // A table file that is there but cannot be read would be replaced by
    // tables this station never held: no save goes ahead over it.
    for (const TableTrouble& t : tableTroubles) {
        if (t.kind == TableTrouble::Kind::kUnreadable && dir.root == Directory().root) {
            return Fail(std::string(kMsgSaveFailed) + "\n" + "无法读取 " + t.name + "（" + t.cause +
                        "），保存会替换它，已取消保存。");
        }
    }
    // What an interrupted save left behind goes before this one.
    ReportRecovery(RecoverInterruptedSave(*files_, dir.root, dir.Folders()));

    // Every file of the save is staged before the first one replaces its
    // predecessor; a failure anywhere leaves the previous station whole.
    OutputBatch batch(*this, dir.root);
    MakeFolders(dir);
    // A damaged table file is kept beside the one that replaces it.
    std::vector<std::string> kept;
    if (dir.root == Directory().root) {
        for (const TableTrouble& t : tableTroubles) {
            if (t.kind != TableTrouble::Kind::kDamaged) continue;
            fs::path copy = t.file;
            copy += ".damaged";
            if (Files().StageCopy(t.file, copy)) kept.push_back(t.name + ".damaged");
        }
    }
    RunTableFiles(dir, true);

    std::vector<uint8_t> station;
    std::vector<uint8_t> companion;
    try {
        station = Store(companion);
    } catch (const std::exception&) {
        return Fail(kMsgSaveFailed);
    }
    if (!Files().WriteAtomic(dir.CompanionFile(), companion)) {
        return Fail(WithCause(kMsgCompanionFailed, batch.Error()));
    }
    if (!Files().WriteAtomic(path, station) || !batch.Commit()) {
        return Fail(WithCause(kMsgSaveFailed, batch.Error()));
    }
    for (const std::string& name : kept) {
        ui_->Info("损坏的表文件已另存为 " + name + "。");
    }
    return {};
}

std::vector<uint8_t> CVelkorDoc::Snapshot(CADGraphic& obj) const {
    return SnapshotObject(obj, hasLogicSections != 0);
}

std::unique_ptr<CADGraphic> CVelkorDoc::Restore(const std::vector<uint8_t>& snapshot) const {
    return RestoreObject(snapshot, hasLogicSections != 0, drawing_);
}

namespace {
// The name of a class whose objects the station file does not keep, or null.
const char* UnsavedClassName(const CADGraphic& obj) {
    const std::string_view cls = obj.GetRuntimeClass().name;
    if (StationFileGroup(cls) >= 0) return nullptr;
    if (cls == "TurnTable") return "转盘";
    if (cls == "NavigableTrack") return "地航";
    return nullptr;
}
}  // namespace

std::string CVelkorDoc::UnsavedObjects() const {
    std::vector<std::pair<std::string, int>> counts;
    for (const auto& obj : objects_) {
        const char* name = UnsavedClassName(*obj);
        if (!name) continue;
        auto it = std::find_if(counts.begin(), counts.end(),
                               [name](const auto& c) { return c.first == name; });
        if (it == counts.end()) {
            counts.emplace_back(name, 1);
        } else {
            ++it->second;
        }
    }
    std::string out;
    for (const auto& [name, n] : counts) {
        if (!out.empty()) out += "、";
        out += std::to_string(n) + " 个" + name;
    }
    return out;
}

void CVelkorDoc::AddObject(std::unique_ptr<CADGraphic> obj) {
    CADGraphic* raw = obj.get();
    InsertObject(objects_.size(), std::move(obj));
    raw->SetDrawingContext(drawing_);
    raw->UpdateShape();
    if (IsDeclaredDevice(*raw)) raw->PlaceLabel();
    // Nothing a user draws is lost without a word.
    if (const char* name = UnsavedClassName(*raw)) {
        std::string message = kMsgNotSavedPlaced;
        message.replace(message.find("%s"), 2, name);
        ui_->Warning(message);
    }
    Edit edit;
    edit.name = "放置";
    edit.changes.push_back({objects_.size() - 1, {}, Snapshot(*raw)});
    Record(std::move(edit));
}

void CVelkorDoc::ApplyEdit(const Edit& edit, bool toBefore) {
    if (const auto& tables = toBefore ? edit.tablesBefore : edit.tablesAfter) io = *tables;
    if (const auto& c = toBefore ? edit.codesBefore : edit.codesAfter) codes = *c;
    if (edit.changes.empty()) return;
    ObjectsReplaced();
    const auto from = [toBefore](const Edit::Change& c) -> const std::vector<uint8_t>& {
        return toBefore ? c.after : c.before;
    };
    const auto to = [toBefore](const Edit::Change& c) -> const std::vector<uint8_t>& {
        return toBefore ? c.before : c.after;
    };
    // Objects changed in place first, then the removed ones from the back and
    // the inserted ones from the front, so that each index names the place
    // the object had when the edit was recorded.
    for (const Edit::Change& c : edit.changes) {
        if (from(c).empty() || to(c).empty() || c.index >= objects_.size()) continue;
        objects_[c.index]->DestroyWindow();
        ReplaceObject(c.index, Restore(to(c)));
    }
    for (auto it = edit.changes.rbegin(); it != edit.changes.rend(); ++it) {
        if (!to(*it).empty() || it->index >= objects_.size()) continue;
        objects_[it->index]->DestroyWindow();
        EraseObject(it->index);
    }
    for (const Edit::Change& c : edit.changes) {
        if (!from(c).empty() || to(c).empty() || c.index > objects_.size()) continue;
        InsertObject(c.index, Restore(to(c)));
    }
}

void CVelkorDoc::SetObjects(std::vector<std::unique_ptr<CADGraphic>> objects) {
    objects_ = std::move(objects);
    classes_.clear();
    classes_.reserve(objects_.size());
    for (const auto& obj : objects_) classes_.push_back(&obj->GetRuntimeClass());
}

void CVelkorDoc::InsertObject(size_t index, std::unique_ptr<CADGraphic> obj) {
    classes_.insert(classes_.begin() + static_cast<long>(index), &obj->GetRuntimeClass());
    objects_.insert(objects_.begin() + static_cast<long>(index), std::move(obj));
}

void CVelkorDoc::ReplaceObject(size_t index, std::unique_ptr<CADGraphic> obj) {
    classes_[index] = &obj->GetRuntimeClass();
    objects_[index] = std::move(obj);
}

void CVelkorDoc::EraseObject(size_t index) {
    classes_.erase(classes_.begin() + static_cast<long>(index));
    objects_.erase(objects_.begin() + static_cast<long>(index));
}

bool CVelkorDoc::Step(bool back) {
    const Edit* edit = back ? history_.NextUndo() : history_.NextRedo();
    if (!edit) return false;
    ApplyEdit(*edit, back);
    if (back) {
        history_.StepBack();
    } else {
        history_.StepForward();
    }
    return true;
}

bool CVelkorDoc::Contains(const CADGraphic* obj) const {
    return obj && std::any_of(objects_.begin(), objects_.end(),
                              [obj](const auto& o) { return o.get() == obj; });
}

void CVelkorDoc::DeleteObject(CADGraphic* obj) { DeleteObjects({obj}); }

void CVelkorDoc::DeleteObjects(const std::vector<CADGraphic*>& objs) {
    // Changes in list order: undo puts them back from the front, redo takes
    // them out from the back, so every index names the place it had.
    Edit edit;
    edit.name = "删除";
    for (size_t i = 0; i < objects_.size(); ++i) {
        if (std::find(objs.begin(), objs.end(), objects_[i].get()) == objs.end()) continue;
        edit.changes.push_back({i, Snapshot(*objects_[i]), {}});
    }
    if (edit.changes.empty()) return;
    for (auto it = edit.changes.rbegin(); it != edit.changes.rend(); ++it) {
        objects_[it->index]->DestroyWindow();
        EraseObject(it->index);
    }
    Record(std::move(edit));
}

DocumentEdit::DocumentEdit(CVelkorDoc& doc, std::string name,
                           const std::vector<CADGraphic*>& objects)
    : doc_(&doc) {
    edit_.name = std::move(name);
    for (size_t i = 0; i < doc.objects_.size(); ++i) {
        CADGraphic* obj = doc.objects_[i].get();
        if (std::find(objects.begin(), objects.end(), obj) == objects.end()) continue;
        edit_.changes.push_back({i, doc.Snapshot(*obj), {}});
    }
}

DocumentEdit::DocumentEdit(CVelkorDoc& doc, std::string name, Scope scope)
    : doc_(&doc), scope_(scope) {
    edit_.name = std::move(name);
    if (scope == Scope::DevicesOutsideUndo) return;
    settings_.emplace(doc);
    io_.emplace(doc.io);
    codes_.emplace(doc.codes);
}

DocumentEdit::DocumentEdit(CVelkorDoc& doc, std::string name, std::vector<Row>& table)
    : doc_(&doc), scope_(Scope::TablesAndSettings), table_(&table), tableBefore_(table) {
    edit_.name = std::move(name);
}

DocumentEdit::DocumentEdit(CVelkorDoc& doc, std::string name, std::vector<Row>& table,
                           std::vector<Row> rows)
    : doc_(&doc),
      scope_(Scope::TablesAndSettings),
      table_(&table),
      tableBefore_(std::exchange(table, std::move(rows))) {
    edit_.name = std::move(name);
}

DocumentEdit::DocumentEdit(DocumentEdit&& other) noexcept
    : doc_(std::exchange(other.doc_, nullptr)),
      scope_(std::move(other.scope_)),
      edit_(std::move(other.edit_)),
      settings_(std::move(other.settings_)),
      io_(std::move(other.io_)),
      codes_(std::move(other.codes_)),
      table_(other.table_),
      tableBefore_(std::move(other.tableBefore_)) {}

DocumentEdit::~DocumentEdit() {
    if (!doc_) return;
    try {
        RollBack();
    } catch (...) {
        // A roll-back that fails leaves the edit as it stands; a destructor
        // must not throw.
    }
}

void DocumentEdit::Commit() {
    if (!doc_) return;
    CVelkorDoc& doc = *doc_;
    doc_ = nullptr;
    if (scope_ == Scope::InputTables) {
        // Only a real change becomes a step (and marks the station changed).
        if (doc.io == *io_ && doc.codes == *codes_) return;
        edit_.tablesBefore = std::make_shared<const IoTables>(std::move(*io_));
        edit_.tablesAfter = std::make_shared<const IoTables>(doc.io);
        edit_.codesBefore = std::make_shared<const CodeTables>(std::move(*codes_));
        edit_.codesAfter = std::make_shared<const CodeTables>(doc.codes);
        doc.Record(std::move(edit_));
        return;
    }
    if (scope_) {
        if (*scope_ == Scope::AllObjects || *scope_ == Scope::DevicesOutsideUndo)
            doc.history_.Clear();
        doc.modified_ = true;
        return;
    }
    std::vector<Edit::Change> changed;
    for (Edit::Change& c : edit_.changes) {
        if (c.index >= doc.objects_.size()) continue;
        c.after = doc.Snapshot(*doc.objects_[c.index]);
        if (c.after != c.before) changed.push_back(std::move(c));
    }
    if (changed.empty()) return;
    edit_.changes = std::move(changed);
    doc.Record(std::move(edit_));
}

void DocumentEdit::RollBack() {
    CVelkorDoc& doc = *doc_;
    doc_ = nullptr;
    if (table_) {
        *table_ = std::move(*tableBefore_);
        return;
    }
    if (scope_) {
        if (!settings_) return;  // nothing of the tables or settings was changed
        static_cast<StationSettings&>(doc) = std::move(*settings_);
        doc.io = std::move(*io_);
        doc.codes = std::move(*codes_);
        return;
    }
    // Only what changed is put back: untouched objects keep their identity.
    Edit changed;
    for (Edit::Change& c : edit_.changes) {
        if (c.index >= doc.objects_.size()) continue;
        c.after = doc.Snapshot(*doc.objects_[c.index]);
        if (c.after != c.before) changed.changes.push_back(std::move(c));
    }
    if (!changed.changes.empty()) doc.ApplyEdit(changed, true);
}

}  // namespace velkor
