#pragma once
#include <QObject>
#include <QStringList>
#include <memory>

#include "common/Interaction.h"
#include "devices/DrawingValues.h"
#include "shell/CommandRouter.h"
#include "shell/ShellState.h"

namespace velkor::gui {

class CMainFrame;

inline constexpr const char* kSettingsOrganisation = "Kelvaro";
inline constexpr int kRecentFileCount = 4;

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

private:
    std::unique_ptr<Interaction> ownUi_;
    Interaction* ui_;
    ShellState shell_;
    DrawingContext drawing_;
    std::unique_ptr<CMainFrame> frame_;
    int newCount_ = 0;
};

}  // namespace velkor::gui
