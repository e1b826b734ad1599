#pragma once
#include <QMdiSubWindow>
#include <functional>
#include <memory>

#include "document/CVelkorDoc.h"
#include "shell/CommandRouter.h"
#include "view/CChildView.h"

namespace velkor::gui {

// The document as a command target: saving, closing and the edit menu's
// commands on the context object.
class DocumentTarget : public CommandTarget {
public:
    DocumentTarget(class CChildFrame& frame) : frame_(frame) {}
    bool QueryCommand(int id, CommandState& state) override;
    void ExecuteCommand(int id) override;

private:
    class CChildFrame& frame_;
};

// The tabbed child window of one open station: it owns the document and
// holds its view.
class CChildFrame : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    CChildFrame(std::unique_ptr<CVelkorDoc> doc, QString title, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CVelkorDoc& Doc() { return *doc_; }
    CChildView& View() { return *view_; }
    DocumentTarget& DocTarget() { return docTarget_; }
    // The name shown on the tab: the file name, or "VelkorN" for a new station.
    QString Title() const { return title_; }
    void SetTitle(QString title);
    // The tab text: the title with a distinguishing suffix where two
    // stations share a file name, and "*" while there are unsaved changes;
    // the tooltip names the file.
    void ShowState(const QString& suffix);
    // Called after a successful Save As with the new file.
    void SetSavedAsListener(std::function<void(const QString&)> f) { savedAs_ = std::move(f); }

    // Save to the current file, asking for one when there is none.
    bool Save();
    bool SaveAs();
    // Asks whether to save unsaved changes; false when the user cancels.
    bool ConfirmClose();

    bool QueryCommand(int, CommandState&) override { return false; }
    void ExecuteCommand(int) override {}

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    std::unique_ptr<CVelkorDoc> doc_;
    CChildView* view_;
    DocumentTarget docTarget_;
    QString title_;
    bool closeConfirmed_ = false;
    std::function<void(const QString&)> savedAs_;
};

}  // namespace velkor::gui
