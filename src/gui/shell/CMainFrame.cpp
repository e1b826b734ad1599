#include "shell/CMainFrame.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>
#include <set>

#include "ats/AtsFiles.h"
#include "ats/AtsGeneration.h"
#include "ats/MainTrack.h"
#include "ats/ZedevEzura.h"
#include "cizc/CiZcWorkbook.h"
#include "devices/DrawingValues.h"
#include "dialogs/Dialogs.h"
#include "dialogs/TableDialog.h"
#include "document/NameFont.h"
#include "shell/CVelkorApp.h"
#include "shell/CommandTable.h"
#include "siemens/LogicTables.h"
#include "tables/CodeTables.h"

namespace velkor::gui {

namespace {
// The table dialog a command opens: an input table, -1 for 区段组合.
std::optional<int> TableOfCommand(int id) {
    if (id >= cmd::kInputTableFirst && id <= cmd::kInputTableLast)
        return id - cmd::kInputTableFirst;
    if (id == cmd::kStationTable) return kStationTable;
    if (id == cmd::kCombinations) return -1;
    return std::nullopt;
}
// The code-table dialog a command opens (-1 for PhysicalSectionCode).
std::optional<int> CodeTableOfCommand(int id) {
    switch (id) {
        case 32864:
            return kTrackSectionCode;
        case 32865:
            return -1;
        case 32866:
            return kElementCode;
        case 32867:
            return kCrossCode;
        case 32868:
            return kSwitchCode;
        case 32869:
            return kSwitSectCode;
        default:
            return std::nullopt;
    }
}
}  // namespace

CMainFrame::CMainFrame(CVelkorApp& app)
    : app_(app), router_([this] {
          std::vector<CommandTarget*> chain;
          if (CChildFrame* child = ActiveChild()) {
              chain = {&child->View(), &child->DocTarget(), child};
          }
          chain.push_back(this);
          chain.push_back(&app_);
          return chain;
      }) {
    setWindowTitle(QStringLiteral("Velkor"));
    setAcceptDrops(true);
    ribbon_ = new Ribbon([this](int id) { Execute(id); }, this);
    area_ = new QMdiArea(this);
    area_->setViewMode(QMdiArea::TabbedView);
    area_->setTabsClosable(true);
    area_->setTabsMovable(true);
    area_->setDocumentMode(true);
    area_->setBackground(QBrush(QColor(90, 90, 90)));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ribbon_);
    layout->addWidget(area_, 1);
    setCentralWidget(central);
    for (QLabel*& pane : panes_) {
        pane = new QLabel(QString(42, QLatin1Char(' ')), this);
        statusBar()->addPermanentWidget(pane);
    }
    BuildFileMenu();
    BuildQuickAccess();
    BuildShortcuts();
    connect(area_, &QMdiArea::subWindowActivated, this, [this] {
        UpdateTitle();
        UpdateCommandStates();
    });
    // The element states follow the program as it idles: enabled and checked
    // states are asked of the command table a few times a second.
    idle_.setInterval(200);
    connect(&idle_, &QTimer::timeout, this, [this] { UpdateCommandStates(); });
    idle_.start();
}

void CMainFrame::BuildFileMenu() {
    auto* fileButton = new QToolButton(this);
    fileButton->setText(QStringLiteral("文件"));
    fileButton->setPopupMode(QToolButton::InstantPopup);
    fileButton->setStyleSheet(
        QStringLiteral("QToolButton { background: #2e6eaa; color: white; padding: 3px 14px; }"));
    auto* menu = new QMenu(fileButton);
    auto add = [&](QMenu* m, int id) {
        QString text = QString::fromUtf8(FindCommand(id)->text);
        QAction* a = m->addAction(text);
        connect(a, &QAction::triggered, this, [this, id] { Execute(id); });
        connect(m, &QMenu::aboutToShow, a, [this, a, id] { a->setEnabled(State(id).enabled); });
    };
    add(menu, cmd::kFileNew);
    add(menu, cmd::kFileOpen);
    add(menu, cmd::kFileSave);
    add(menu, cmd::kFileSaveAs);
    QMenu* print = menu->addMenu(QStringLiteral("打印"));
    add(print, cmd::kFilePrint);
    add(print, cmd::kFilePrintDirect);
    add(print, cmd::kFilePrintPreview);
    add(print, cmd::kFilePrintSetup);
    add(menu, cmd::kFileClose);
    menu->addSeparator();
    recentMenu_ = menu->addMenu(QStringLiteral("最近使用的文档"));
    recentMenu_->setMinimumWidth(300);
    menu->addSeparator();
    add(menu, cmd::kAutosave);
    add(menu, cmd::kAppAbout);
    add(menu, cmd::kAppExit);
    fileButton->setMenu(menu);
    ribbon_->setCornerWidget(fileButton, Qt::TopLeftCorner);

    // The document list of the tab area: every open station, to switch to.
    auto* documents = new QToolButton(this);
    documents->setText(QStringLiteral("文档列表"));
    documents->setPopupMode(QToolButton::InstantPopup);
    auto* list = new QMenu(documents);
    connect(list, &QMenu::aboutToShow, this, [this, list] {
        list->clear();
        for (CChildFrame* child : Children()) {
            QAction* a = list->addAction(child->Title());
            a->setCheckable(true);
            a->setChecked(child == ActiveChild());
            connect(a, &QAction::triggered, this,
                    [this, child] { area_->setActiveSubWindow(child); });
        }
    });
    documents->setMenu(list);
    ribbon_->setCornerWidget(documents, Qt::TopRightCorner);
}

void CMainFrame::RebuildRecentMenu(const QStringList& files) {
    if (!recentMenu_) return;
    recentMenu_->clear();
    for (int i = 0; i < files.size(); ++i) {
        QAction* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]));
        const int id = cmd::kFileMru1 + i;
        connect(a, &QAction::triggered, this, [this, id] { Execute(id); });
    }
    recentMenu_->setEnabled(!files.isEmpty());
}

void CMainFrame::BuildQuickAccess() {
    auto* bar = addToolBar(QStringLiteral("快速访问"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    const std::pair<int, QStyle::StandardPixmap> items[] = {
        {cmd::kFileNew, QStyle::SP_FileIcon},
        {cmd::kFileOpen, QStyle::SP_DialogOpenButton},
        {cmd::kFileSave, QStyle::SP_DialogSaveButton},
        {cmd::kFilePrintDirect, QStyle::SP_FileDialogDetailedView}};
    for (const auto& [id, icon] : items) {
        QString text = QString::fromUtf8(FindCommand(id)->text);
        QAction* a = bar->addAction(style()->standardIcon(icon), text);
        const int cid = id;
        connect(a, &QAction::triggered, this, [this, cid] { Execute(cid); });
    }
}

void CMainFrame::BuildShortcuts() {
    for (const CommandInfo& c : CommandTable()) {
        if (std::string_view(c.shortcut).empty()) continue;
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence(QString::fromUtf8(c.shortcut)));
        a->setShortcutContext(Qt::WindowShortcut);
        const int id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { Execute(id); });
        addAction(a);
    }
}

bool CMainFrame::Execute(int id) {
    // The commands that read, check or generate a station say everything
    // they found in one list at their end.
    static const std::set<int> kBatched = {cmd::kFileOpen,          cmd::kFileSave,
                                           cmd::kFileSaveAs,        cmd::kReadInputBoard,
                                           cmd::kValidate,          cmd::kRepeatSectionIo,
                                           cmd::kSiemensLogicTable, cmd::kSiemensVirtualTable,
                                           cmd::kHaldeVirtualTable, cmd::kAtsGeneration,
                                           cmd::kAtsTextToBinary,   cmd::kMainTrackToBinary,
                                           cmd::kZedevEzura,        cmd::kCheckFiles};
    std::optional<MessageBatch> batch;
    if (kBatched.count(id) || (id >= cmd::kFileMru1 && id <= cmd::kFileMruLast))
        batch.emplace(app_.UI());
    const bool handled = router_.Execute(id);
    UpdateCommandStates();
    return handled;
}

void CMainFrame::UpdateCommandStates() {
    ribbon_->UpdateStates(router_, ActiveChild() != nullptr);
    ShowDocumentStates();
}

void CMainFrame::ShowDocumentStates() {
    const std::vector<CChildFrame*> children = Children();
    for (CChildFrame* child : children) {
        // Stations of the same file name tell their folders apart.
        const bool shared =
            std::count_if(children.begin(), children.end(),
                          [child](CChildFrame* c) { return c->Title() == child->Title(); }) > 1;
        QString suffix;
        if (shared && !child->Doc().PathName().empty()) {
            const fs::path folder = child->Doc().PathName().parent_path().filename();
            suffix = QStringLiteral(" — ") + QString::fromStdString(PathToUtf8(folder));
        }
        child->ShowState(suffix);
    }
    UpdateTitle();
}

CChildFrame* CMainFrame::ActiveChild() const {
    return qobject_cast<CChildFrame*>(area_->activeSubWindow());
}

std::vector<CChildFrame*> CMainFrame::Children() const {
    std::vector<CChildFrame*> out;
    for (QMdiSubWindow* w : area_->subWindowList()) {
        if (auto* c = qobject_cast<CChildFrame*>(w)) out.push_back(c);
    }
    return out;
}

CChildFrame* CMainFrame::AddChild(std::unique_ptr<CVelkorDoc> doc, const QString& title) {
    auto* child = new CChildFrame(std::move(doc), title);
    area_->addSubWindow(child);
    child->View().SetShellState(app_.Shell());
    child->View().SetCommandSink([this](int id) { Execute(id); });
    child->View().SetAfterRelease([this] { UpdateCommandStates(); });
    child->View().SetStatusSink([this](const std::string& text) {
        statusBar()->showMessage(QString::fromStdString(text), 10000);
    });
    child->SetSavedAsListener([this](const QString& file) { app_.AddRecentFile(file); });
    child->showMaximized();
    area_->setActiveSubWindow(child);
    UpdateTitle();
    UpdateCommandStates();
    return child;
}

void CMainFrame::UpdateTitle() {
    CChildFrame* child = ActiveChild();
    setWindowTitle(child ? child->windowTitle() + QStringLiteral(" - Velkor")
                         : QStringLiteral("Velkor"));
}

bool CMainFrame::QueryCommand(int id, CommandState& state) {
    CChildFrame* child = ActiveChild();
    ShellState& shell = app_.Shell();
    const DrawingContext& drawing = app_.Drawing();
    if (id >= cmd::kFirstDevice && id <= cmd::kLastDevice) {
        state.checked = shell.currentCode == id - cmd::kFirstDevice;
        return true;
    }
    if (TableOfCommand(id) || CodeTableOfCommand(id)) return true;
    switch (id) {
        case cmd::kStatusBar:
            state.checked = statusBar()->isVisible();
            return true;
        case cmd::kGrid:
            state.checked = drawing.gridOn;
            return true;
        case cmd::kMove:
            state.checked = shell.moveMode;
            return true;
        case cmd::kSelectMode:
            state.checked = shell.currentCode == -1;
            return true;
        case cmd::kSettings:
        case cmd::kVersion:
        case cmd::kNameFont:
        case cmd::kNotAdded:
        case cmd::kSiemensLogicTable:
        case cmd::kSiemensVirtualTable:
        case cmd::kHaldeVirtualTable:
        case cmd::kAtsGeneration:
        case cmd::kAtsTextToBinary:
        case cmd::kMainTrackToBinary:
        case cmd::kZedevEzura:
        case cmd::kCiZcWorkbook:
            // Without an active station these do nothing (or say they failed).
            (void)child;
            return true;
        default:
            return false;
    }
}

void CMainFrame::ExecuteCommand(int id) {
    CChildFrame* child = ActiveChild();
    ShellState& shell = app_.Shell();
    DrawingContext& drawing = app_.Drawing();
    if (id >= cmd::kFirstDevice && id <= cmd::kLastDevice) {
        shell.currentCode = id - cmd::kFirstDevice;
        return;
    }
    if (const auto table = TableOfCommand(id)) {
        if (child) OpenTableDialog(*child, *table);
        return;
    }
    if (const auto code = CodeTableOfCommand(id)) {
        if (child) {
            TableDialog::ForCodeTable(child->Doc(), *code, this)->exec();
            UpdateCommandStates();
        }
        return;
    }
    switch (id) {
        case cmd::kStatusBar:
            statusBar()->setVisible(!statusBar()->isVisible());
            break;
        case cmd::kGrid:
            drawing.gridOn = !drawing.gridOn;
            if (child) child->View().Refresh();
            break;
        case cmd::kMove:
            shell.moveMode = !shell.moveMode;
            break;
        case cmd::kSelectMode:
            shell.currentCode = -1;
            break;
        case cmd::kSettings:
            if (child) OpenGlobalSettings(*child);
            break;
        case cmd::kVersion:
            if (child) OpenVersionDialog(*child);
            break;
        case cmd::kNameFont:
            if (child) ChooseNameFont(*child);
            break;
        case cmd::kNotAdded:
            if (child) child->Doc().UI().Info("本功能未添加！");
            break;
        case cmd::kSiemensLogicTable:
            if (child) GenerateSiemensLogicTable(child->Doc());
            break;
        case cmd::kSiemensVirtualTable:
            if (child) GenerateSiemensVirtualLogicTable(child->Doc());
            break;
        case cmd::kHaldeVirtualTable:
            if (child) GenerateHaldeVirtualLogicTable(child->Doc());
            break;
        case cmd::kAtsGeneration:
            RunAtsGenerationCommand(child ? &child->Doc() : nullptr, app_.UI());
            break;
        case cmd::kAtsTextToBinary:
            RunAtsTextToBinaryCommand(child ? &child->Doc() : nullptr, app_.UI());
            break;
        case cmd::kMainTrackToBinary:
            RunMainTrackCommand(child ? &child->Doc() : nullptr, app_.UI());
            break;
        case cmd::kZedevEzura:
            if (child) WriteZedevEzuraFiles(child->Doc());
            break;
        case cmd::kCiZcWorkbook: {
            Interaction& ui = app_.UI();
            GenerateCiZcWorkbook(child ? &child->Doc() : nullptr, ui,
                                 [&ui](const char* prompt) -> std::optional<fs::path> {
                                     ui.Info(prompt);
                                     const auto file = ui.ChooseOpenFile(
                                         "打开Excel文件",
                                         "Excel文件 (*.xls *.xlsx);;All Files (*)");
                                     if (!file) return std::nullopt;
                                     return PathFromUtf8(*file);
                                 });
            break;
        }
        default:
            break;
    }
}

void CMainFrame::OpenGlobalSettings(CChildFrame& child) {
    const GlobalSettings current = GlobalSettings::From(child.Doc(), app_.Drawing().values);
    std::optional<GlobalSettings> chosen;
    if (settingsEditor_) {
        chosen = settingsEditor_(current);
    } else {
        GlobalSettingsDialog dialog(current, this);
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.Values();
    }
    if (!chosen) return;
    const Size canvas = ApplyGlobalSettings(*chosen, child.Doc(), app_.Drawing().values);
    child.View().SetCanvasSize(canvas);
    child.View().Refresh();
}

void CMainFrame::OpenTableDialog(CChildFrame& child, int table) {
    TableDialog dialog(child.Doc(), table, this);
    dialog.exec();
    UpdateCommandStates();
}

void CMainFrame::ChooseNameFont(CChildFrame& child) {
    std::optional<std::pair<std::u16string, int32_t>> chosen;
    if (fontChooser_) {
        chosen = fontChooser_();
    } else {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, QApplication::font(), this);
        if (ok) chosen = {{font.family().toStdU16String(), QFontInfo(font).pixelSize()}};
    }
    if (!chosen) return;
    ApplyNameFont(child.Doc(), chosen->first, -chosen->second);
    child.View().Refresh();
}

void CMainFrame::OpenVersionDialog(CChildFrame& child) {
    VersionDialog dialog(child.Doc().version, this);
    if (dialog.exec() != QDialog::Accepted) return;
    DocumentEdit edit(child.Doc(), "版本号", DocumentEdit::Scope::TablesAndSettings);
    child.Doc().version = dialog.Version();
    edit.Commit();
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    // Every station with unsaved changes is asked about before the program ends.
    for (CChildFrame* child : Children()) {
        if (!child->ConfirmClose()) {
            e->ignore();
            return;
        }
    }
    for (CChildFrame* child : Children()) {
        child->setAttribute(Qt::WA_DeleteOnClose);
        child->hide();
        area_->removeSubWindow(child);
        delete child;
    }
    idle_.stop();
    e->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* e) {
    for (const QUrl& url : e->mimeData()->urls()) {
        if (url.isLocalFile()) app_.OpenDocument(url.toLocalFile());
    }
}

}  // namespace velkor::gui
