#include "shell/CChildFrame.h"

#include <QCloseEvent>
#include <QFileInfo>

#include "common/Files.h"
#include "devices/RailSwitch.h"
#include "document/Placing.h"
#include "iotables/CheckExports.h"
#include "iotables/Generators.h"
#include "shell/CommandTable.h"
#include "siemens/ElementTable.h"
#include "siemens/LogicTables.h"

namespace velkor::gui {

CChildFrame::CChildFrame(std::unique_ptr<CVelkorDoc> doc, QString title, QWidget* parent)
    : QMdiSubWindow(parent), doc_(std::move(doc)), docTarget_(*this) {
    view_ = new CChildView(*doc_, this);
    setWidget(view_);
    setAttribute(Qt::WA_DeleteOnClose);
    SetTitle(std::move(title));
}

CChildFrame::~CChildFrame() {
    // The view refers to the document: it goes first.
    delete view_;
}

void CChildFrame::SetTitle(QString title) {
    title_ = std::move(title);
    ShowState({});
}

void CChildFrame::ShowState(const QString& suffix) {
    const QString text = title_ + suffix + (doc_->IsModified() ? QStringLiteral("*") : QString());
    if (windowTitle() != text) setWindowTitle(text);
    const QString tip = doc_->PathName().empty()
                            ? QStringLiteral("新车站，尚未保存")
                            : QString::fromStdString(PathToUtf8(doc_->PathName()));
    if (toolTip() != tip) setToolTip(tip);
}

bool CChildFrame::Save() {
    if (doc_->PathName().empty()) return SaveAs();
    return doc_->OnSaveDocument(doc_->PathName()).IsOk();
}

bool CChildFrame::SaveAs() {
    auto chosen = doc_->UI().ChooseSaveFile("另存为", kDocumentFilter);
    if (!chosen) return false;
    fs::path path = PathFromUtf8(*chosen);
    if (path.extension() != ".lcp") path += ".lcp";
    if (!doc_->OnSaveDocument(path)) return false;
    SetTitle(QString::fromStdString(PathToUtf8(path.filename())));
    if (savedAs_) savedAs_(QString::fromStdString(PathToUtf8(path)));
    return true;
}

bool CChildFrame::ConfirmClose() {
    if (!doc_->IsModified()) return true;
    std::string question = "是否保存对“" + title_.toStdString() + "”的更改？";
    if (const std::string lost = doc_->UnsavedObjects(); !lost.empty())
        question += "\n（" + lost + "不能保存到车站文件中，保存后将不再存在。）";
    const auto answer = doc_->UI().AskSaveChanges(question);
    if (!answer) return false;
    if (!*answer) return true;
    return Save();
}

void CChildFrame::closeEvent(QCloseEvent* e) {
    if (!closeConfirmed_ && !ConfirmClose()) {
        e->ignore();
        return;
    }
    closeConfirmed_ = true;
    QMdiSubWindow::closeEvent(e);
}

bool DocumentTarget::QueryCommand(int id, CommandState& state) {
    switch (id) {
        case cmd::kFileSave:
        case cmd::kFileSaveAs:
        case cmd::kFileClose:
        case cmd::kDelete:
        case cmd::kAlignName:
        case cmd::kMovePoint1:
        case cmd::kStretch:
        case cmd::kNoStretch:
            return true;
        case cmd::kReadInputBoard:
        case cmd::kValidate:
        case cmd::kRepeatSectionIo:
        case cmd::kCheckFiles:
        case cmd::kElementTable:
            return true;
        case cmd::kUndo:
            state.enabled = frame_.Doc().CanUndo();
            state.why = "没有可撤销的操作";
            return true;
        case cmd::kRedo:
            state.enabled = frame_.Doc().CanRedo();
            state.why = "没有可重做的操作";
            return true;
        default:
            return id >= cmd::kRotateFirst && id <= cmd::kRotateLast;
    }
}

void DocumentTarget::ExecuteCommand(int id) {
    CVelkorDoc& doc = frame_.Doc();
    switch (id) {
        case cmd::kFileSave:
            frame_.Save();
            break;
        case cmd::kFileSaveAs:
            frame_.SaveAs();
            break;
        case cmd::kFileClose:
            frame_.close();
            return;
        case cmd::kDelete:
            frame_.View().DeleteContextOrSelection();
            break;
        case cmd::kAlignName:
            frame_.View().ObjectMenu().AlignName();
            break;
        case cmd::kMovePoint1:
            frame_.View().ObjectMenu().SetStretchMode(RailSwitch::kMovePoint1);
            break;
        case cmd::kStretch:
            frame_.View().ObjectMenu().SetStretchMode(RailSwitch::kStretch);
            break;
        case cmd::kNoStretch:
            frame_.View().ObjectMenu().SetStretchMode(RailSwitch::kNoStretch);
            break;
        case cmd::kReadInputBoard:
            frame_.View().ForgetObjects();
            TransferInputTables(doc);
            break;
        case cmd::kValidate:
            ValidateInputTables(doc);
            break;
        case cmd::kRepeatSectionIo:
            GenerateRepeatSectionRows(doc);
            break;
        case cmd::kCheckFiles:
            GenerateCheckFiles(doc);
            break;
        case cmd::kElementTable:
            WriteElementTable(doc);
            break;
        case cmd::kUndo:
            doc.Undo();
            break;
        case cmd::kRedo:
            doc.Redo();
            break;
        default:
            frame_.View().ObjectMenu().RotateSwitch(RotationOfIndex(id - cmd::kRotateFirst));
            break;
    }
    frame_.View().Refresh();
}

}  // namespace velkor::gui
