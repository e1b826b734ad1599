#pragma once
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>
#include <functional>
#include <optional>

#include "document/Settings.h"

#include "shell/CChildFrame.h"
#include "shell/CommandRouter.h"
#include "shell/Ribbon.h"

namespace velkor::gui {

class CVelkorApp;

// The main window: ribbon, quick-access bar, tabbed child windows and the
// status bar. It routes every command view -> document -> child frame ->
// main frame -> application, and handles the shell's own commands.
class CMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(CVelkorApp& app);

    // Runs a command; false when nobody handles it.
    bool Execute(int id);
    CommandState State(int id) const { return router_.State(id); }
    // Brings every ribbon element up to date with the command states.
    void UpdateCommandStates();
    // The tabs and the title show each station's name and unsaved state.
    void ShowDocumentStates();

    CChildFrame* ActiveChild() const;
    std::vector<CChildFrame*> Children() const;
    CChildFrame* AddChild(std::unique_ptr<CVelkorDoc> doc, const QString& title);
    Ribbon& RibbonBar() { return *ribbon_; }
    QMdiArea& Area() { return *area_; }
    void RebuildRecentMenu(const QStringList& files);
    // Shows the global settings dialog; returns the confirmed values. Tests
    // replace it.
    using SettingsEditor = std::function<std::optional<GlobalSettings>(const GlobalSettings&)>;
    void SetSettingsEditor(SettingsEditor editor) { settingsEditor_ = std::move(editor); }
    // Replaces the font chooser of the name-font command (tests script it):
    // the chosen face and pixel height, or nothing when cancelled.
    using FontChooser = std::function<std::optional<std::pair<std::u16string, int32_t>>()>;
    void SetFontChooser(FontChooser chooser) { fontChooser_ = std::move(chooser); }

    bool QueryCommand(int id, CommandState& state) override;
    void ExecuteCommand(int id) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void BuildFileMenu();
    void BuildQuickAccess();
    void BuildShortcuts();
    void UpdateTitle();
    void OpenGlobalSettings(CChildFrame& child);
    void OpenVersionDialog(CChildFrame& child);
    // The table dialog of an input table, or of the section combinations (-1).
    void OpenTableDialog(CChildFrame& child, int table);
    void ChooseNameFont(CChildFrame& child);

    CVelkorApp& app_;
    Ribbon* ribbon_;
    QMdiArea* area_;
    QMenu* recentMenu_ = nullptr;
    QLabel* panes_[2];
    CommandRouter router_;
    QTimer idle_;
    SettingsEditor settingsEditor_;
    FontChooser fontChooser_;
};

}  // namespace velkor::gui
