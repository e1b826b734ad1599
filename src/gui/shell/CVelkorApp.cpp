#include "shell/CVelkorApp.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <ctime>

#include "common/Files.h"
#include "document/CVelkorDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandTable.h"
#include "shell/QtInteraction.h"

namespace velkor::gui {

namespace {
QSettings UserSettings() { return QSettings(kSettingsOrganisation, QStringLiteral("Velkor")); }

fs::path RecoveryRoot() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return PathFromUtf8((data + QStringLiteral("/recovery")).toStdString());
}
}  // namespace

CVelkorApp::CVelkorApp(Interaction* ui) : recovery_(RecoveryRoot()) {
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
    connect(&autosave_, &QTimer::timeout, this, &CVelkorApp::AutosaveNow);
    SetAutosaveMinutes(AutosaveMinutes());
}

double CVelkorApp::AutosaveMinutes() const {
    bool ok = false;
    const double m = UserSettings()
                         .value(QStringLiteral("AutosaveMinutes"), kDefaultAutosaveMinutes)
                         .toDouble(&ok);
    return ok && m > 0 ? m : kDefaultAutosaveMinutes;
}

void CVelkorApp::SetAutosaveMinutes(double minutes) {
    if (minutes <= 0) return;
    UserSettings().setValue(QStringLiteral("AutosaveMinutes"), minutes);
    autosave_.start(std::max(1000, static_cast<int>(minutes * 60000)));
}

CChildFrame* CVelkorApp::Track(CChildFrame* child) {
    const int slot = nextSlot_++;
    slots_[child] = slot;
    connect(child, &QObject::destroyed, this, [this, child, slot] {
        slots_.erase(child);
        recovery_.Remove(slot);
    });
    return child;
}

void CVelkorApp::AutosaveNow() {
    std::vector<std::string> failed;
    for (CChildFrame* child : frame_->Children()) {
        const auto it = slots_.find(child);
        if (it == slots_.end()) continue;
        // A station saved since its last copy needs none.
        if (!child->Doc().IsModified()) {
            recovery_.Remove(it->second);
            continue;
        }
        const Status s = recovery_.Save(child->Doc(), it->second, std::time(nullptr));
        if (!s) failed.push_back(s.Message());
    }
    if (!failed.empty()) {
        frame_->statusBar()->showMessage(QStringLiteral("自动保存恢复副本失败：") +
                                         QString::fromStdString(failed.front()));
    }
}

int CVelkorApp::AskRecovery(const RecoveryCopy& copy) {
    const QString when =
        QDateTime::fromSecsSinceEpoch(copy.savedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString station = copy.original.empty() ? QStringLiteral("未保存的车站")
                                                  : QString::fromStdString(copy.original);
    QMessageBox box(QMessageBox::Question, QStringLiteral("恢复"),
                    QStringLiteral("Velkor 上次没有正常退出。\n找到“%1”的自动保存副本，保存于 "
                                   "%2。\n是否恢复这份副本？")
                        .arg(station, when),
                    QMessageBox::NoButton, frame_.get());
    QPushButton* restore = box.addButton(QStringLiteral("恢复"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("放弃"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("以后再说"), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.exec();
    if (box.clickedButton() == restore) return 1;
    if (box.clickedButton() == discard) return 0;
    return -1;
}

void CVelkorApp::OfferRecoveries() {
    for (const RecoveryCopy& copy : recovery_.LeftBehind()) {
        const int answer = askRecovery ? askRecovery(copy) : AskRecovery(copy);
        if (answer == 0) RecoveryStore::Discard(copy);
        if (answer != 1) continue;
        MessageBatch batch(*ui_);
        auto doc = std::make_unique<CVelkorDoc>(*ui_);
        doc->ShareDrawing(drawing_);
        if (!doc->OnOpenDocument(copy.station)) continue;
        // The copy stands for the station's own file, with its changes unsaved.
        doc->AdoptPath(PathFromUtf8(copy.original));
        const QString title =
            copy.original.empty()
                ? QStringLiteral("Velkor%1").arg(++newCount_)
                : QString::fromStdString(PathToUtf8(PathFromUtf8(copy.original).filename()));
        CChildFrame* child = Track(frame_->AddChild(std::move(doc), title));
        // Kept under this program's name before the old copy goes.
        if (recovery_.Save(child->Doc(), slots_[child], copy.savedAt)) RecoveryStore::Discard(copy);
    }
}

CVelkorApp::~CVelkorApp() {
    // The windows go first: each station's window takes its recovery copy
    // with it, which needs the slots still in place.
    frame_.reset();
}

void CVelkorApp::NewDocument() {
    auto doc = std::make_unique<CVelkorDoc>(*ui_);
    doc->ShareDrawing(drawing_);
    doc->OnNewDocument();
    Track(frame_->AddChild(std::move(doc), QStringLiteral("Velkor%1").arg(++newCount_)));
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
    Track(frame_->AddChild(std::move(doc), QFileInfo(absolute).fileName()));
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
        case cmd::kAutosave:
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
        case cmd::kAutosave: {
            bool ok = false;
            const double minutes =
                QInputDialog::getDouble(frame_.get(), QStringLiteral("自动保存"),
                                        QStringLiteral("每隔多少分钟保存一份恢复副本："),
                                        AutosaveMinutes(), 0.5, 240, 1, &ok);
            if (ok) SetAutosaveMinutes(minutes);
            break;
        }
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
