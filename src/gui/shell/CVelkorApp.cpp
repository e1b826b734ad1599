#include "shell/CVelkorApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include "common/Files.h"
#include "document/CVelkorDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandTable.h"
#include "shell/QtInteraction.h"

namespace velkor::gui {

namespace {
QSettings UserSettings() { return QSettings(kSettingsOrganisation, QStringLiteral("Velkor")); }
}  // namespace

CVelkorApp::CVelkorApp(Interaction* ui) {
    frame_ = std::make_unique<CMainFrame>(*this);
    if (ui) {
        ui_ = ui;
    } else {
        ownUi_ = std::make_unique<QtInteraction>(frame_.get());
        ui_ = ownUi_.get();
    }
    // Objects report their own problems (a switch placed without a
    // connection point) through the same channel.
    drawing_.messages = ui_;
    frame_->RebuildRecentMenu(RecentFiles());
}

CVelkorApp::~CVelkorApp() = default;

void CVelkorApp::NewDocument() {
    auto doc = std::make_unique<CVelkorDoc>(*ui_);
    doc->ShareDrawing(drawing_);
    doc->OnNewDocument();
    frame_->AddChild(std::move(doc), QStringLiteral("Velkor%1").arg(++newCount_));
}

bool CVelkorApp::OpenDocument(const QString& path) {
    // The table files' complaints of one station come as one list.
    MessageBatch batch(*ui_);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (CChildFrame* child : frame_->Children()) {
        if (QString::fromStdString(PathToUtf8(child->Doc().PathName())) == absolute) {
            frame_->Area().setActiveSubWindow(child);
            return true;
        }
    }
    auto doc = std::make_unique<CVelkorDoc>(*ui_);
    doc->ShareDrawing(drawing_);
    if (!doc->OnOpenDocument(PathFromUtf8(absolute.toStdString()))) return false;
    frame_->AddChild(std::move(doc), QFileInfo(absolute).fileName());
    AddRecentFile(absolute);
    return true;
}

void CVelkorApp::ProcessCommandLine(const QStringList& args) {
    for (const QString& a : args) {
        if (!a.startsWith('-')) {
            if (OpenDocument(a)) return;
            break;
        }
    }
    NewDocument();
}

QStringList CVelkorApp::RecentFiles() const {
    return UserSettings().value(QStringLiteral("RecentFiles")).toStringList();
}

void CVelkorApp::AddRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFileCount) files.removeLast();
    UserSettings().setValue(QStringLiteral("RecentFiles"), files);
    frame_->RebuildRecentMenu(files);
}

bool CVelkorApp::QueryCommand(int id, CommandState& state) {
    if (id >= cmd::kFileMru1 && id <= cmd::kFileMruLast) {
        state.enabled = id - cmd::kFileMru1 < RecentFiles().size();
        return true;
    }
    switch (id) {
        case cmd::kFileNew:
        case cmd::kFileOpen:
        case cmd::kAppExit:
        case cmd::kAppAbout:
            return true;
        default:
            return false;
    }
}

void CVelkorApp::ExecuteCommand(int id) {
    if (id >= cmd::kFileMru1 && id <= cmd::kFileMruLast) {
        const QStringList files = RecentFiles();
        const int i = id - cmd::kFileMru1;
        if (i < files.size()) OpenDocument(files[i]);
        return;
    }
    switch (id) {
        case cmd::kFileNew:
            NewDocument();
            break;
        case cmd::kFileOpen:
            if (auto file = ui_->ChooseOpenFile("打开", kDocumentFilter)) {
                OpenDocument(QString::fromStdString(*file));
            }
            break;
        case cmd::kAppExit:
            frame_->close();
            break;
        case cmd::kAppAbout:
            QMessageBox::about(frame_.get(), QStringLiteral("关于 Velkor"),
                               QStringLiteral("Velkor 1.0\n车站联锁数据设计工具\n"
                                              "CAD软件版本号：V001.000.000"));
            break;
        default:
            break;
    }
}

}  // namespace velkor::gui
