#pragma once
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "common/Interaction.h"
#include "devices/DrawingValues.h"
#include "document/Recovery.h"
#include "shell/CommandRouter.h"
#include "shell/ShellState.h"

namespace velkor::gui {

class CMainFrame;
class CChildFrame;

inline constexpr const char* kSettingsOrganisation = "Kelvaro";
inline constexpr int kRecentFileCount = 4;
inline constexpr double kDefaultAutosaveMinutes = 5;

// The application: new, open, the recent files, the about box and exit. It
// creates the main window and owns the way the program talks to the user.
class CVelkorApp : public QObject, public CommandTarget {
    Q_OBJECT
public:
    // `ui` replaces the message boxes and file dialogs (tests script it).
    explicit CVelkorApp(Interaction* ui = nullptr);
    ~CVelkorApp() override;

    CMainFrame& MainFrame() { return *frame_; }
    Interaction& UI() { return *ui_; }
    // The palette state and the drawing values shared by every open station.
    ShellState& Shell() { return shell_; }
    DrawingContext& Drawing() { return drawing_; }

    // A new empty station in its own tab.
    void NewDocument();
    // Opens a station file, or shows the tab that already holds it.
    bool OpenDocument(const QString& path);
    // The command line: a station file given there is opened; otherwise a
    // new empty station is created.
    void ProcessCommandLine(const QStringList& args);

    QStringList RecentFiles() const;
    // Puts a file at the head of the recent list (opened or saved as).
    void AddRecentFile(const QString& path);

    bool QueryCommand(int id, CommandState& state) override;
    void ExecuteCommand(int id) override;

    // Autosave: every few minutes (the setting "AutosaveMinutes", 5 unless
    // set) a copy of each changed station goes to the recovery folder in the
    // user's data folder, never over the station's own files. Closing a
    // station or the program normally removes its copy.
    double AutosaveMinutes() const;
    void SetAutosaveMinutes(double minutes);
    // The timer's work: saves the copies of the changed stations now.
    void AutosaveNow();
    // At start: offers each station that a program which did not end
    // normally left a copy of.
    void OfferRecoveries();
    // The person's answer for one copy: 1 restore it, 0 discard it, -1
    // decide later. A message box unless replaced (tests).
    std::function<int(const RecoveryCopy&)> askRecovery;
    RecoveryStore& Recovery() { return recovery_; }
    // Keeps the recovery copies in another folder (tests).
    void UseRecoveryFolder(const fs::path& root) { recovery_ = RecoveryStore(root); }

private:
    // Gives a new station its recovery slot; the slot's copy goes when the
    // station's window does.
    CChildFrame* Track(CChildFrame* child);
    int AskRecovery(const RecoveryCopy& copy);

    std::unique_ptr<Interaction> ownUi_;
    Interaction* ui_;
    ShellState shell_;
    DrawingContext drawing_;
    std::unique_ptr<CMainFrame> frame_;
    int newCount_ = 0;
    RecoveryStore recovery_;
    QTimer autosave_;
    std::map<CChildFrame*, int> slots_;
    int nextSlot_ = 0;
};

}  // namespace velkor::gui
