#pragma once
#include <QAbstractScrollArea>
#include <functional>
#include <memory>
#include <vector>

#include "document/CVelkorDoc.h"
#include "document/EditMenu.h"
#include "shell/CommandRouter.h"
#include "shell/ShellState.h"
#include "view/MouseHandlers.h"

namespace velkor::gui {

// The drawing view of one station: a scrolling canvas on which the station
// objects live. It paints the background of the exposed area only (frames
// and grid), then the objects, and turns the mouse into placing, extending
// and selecting through its three handlers.
class CChildView : public QAbstractScrollArea, public CommandTarget {
    Q_OBJECT
public:
    enum class Menu { Connection, ThreeWayConnection, SignalAngle, Edit };
    // Shows a pop-up menu of commands at a canvas point; returns the chosen
    // command or 0. Tests replace it.
    using MenuChooser = std::function<int(Menu, const std::vector<int>& commands, Point at)>;
    // Runs a command through the program's command routing.
    using CommandSink = std::function<void(int id)>;

    CChildView(CVelkorDoc& doc, QWidget* parent = nullptr);
    ~CChildView() override;

    CVelkorDoc& Doc() const { return doc_; }
    // The palette state this view follows; a view has its own until the
    // main window gives it the program's.
    ShellState& Shell() const { return *shell_; }
    // The edit menu and the object it was last opened on.
    EditMenu& ObjectMenu() { return editMenu_; }
    void SetShellState(ShellState& shell) { shell_ = &shell; }
    void SetMenuChooser(MenuChooser chooser) { chooser_ = std::move(chooser); }
    void SetCommandSink(CommandSink sink) { sink_ = std::move(sink); }
    // Shows a line in the status bar.
    void SetStatusSink(std::function<void(const std::string&)> f) { statusSink_ = std::move(f); }
    // Called after every release: the palette returns to select mode.
    void SetAfterRelease(std::function<void()> f) { afterRelease_ = std::move(f); }

    // The scrollable canvas size.
    void SetCanvasSize(Size size);
    Size CanvasSize() const { return canvas_; }

    // The zoom: how large a canvas pixel is shown. Stored coordinates never
    // depend on it. Zooming keeps the canvas point at `about` (viewport
    // coordinates) where it is.
    double Zoom() const { return zoom_; }
    void SetZoom(double zoom, QPoint about);
    void ZoomBy(double factor);
    // "适合窗口": the whole station in the window.
    void FitToWindow();
    // The canvas the scroll range covers: the display frames and every object.
    Size ContentSize() const;

    // Canvas coordinates of a point of the viewport and back.
    Point ToCanvas(QPoint client) const;
    QPoint ToClient(Point canvas) const;

    // View state the handlers use.
    Point SnapPoint() const { return snap_; }
    bool EndPointHit() const { return endHit_; }
    Point SnapRelease(Point p) const;
    void SetActive(MouseHandler* handler) { active_ = handler; }
    MouseHandler* Active() const { return active_; }
    int ChooseFromMenu(Menu menu, Point at);
    // Completes a placement whose menu choice was made, as a release would.
    void PostRelease(Point p);
    void Refresh();
    NewGraphicHandler& Placer() { return *placer_; }
    MutiSelectHandler& Selector() { return *selector_; }

    // Drops every pointer to objects before undo or redo replaces them.
    void ForgetObjects();
    // The object of the document's list that a window belongs to: itself,
    // or the owner of a part.
    CADGraphic* OwnerOf(CADGraphic* window) const;

    // The hover test of every mouse move.
    void HoverTest(Point p);
    // The topmost object window under a canvas point: parts before their owner.
    CADGraphic* ObjectAt(Point p) const;

    // Mouse input in canvas coordinates, as the Qt events deliver it.
    void LeftDown(Point p);
    void Move(Point p, bool leftHeld);
    void LeftUp(Point p);
    void RightUp(Point p);
    void DoubleClick(Point p);

    // CommandTarget
    bool QueryCommand(int id, CommandState& state) override;
    void ExecuteCommand(int id) override;

    // "删除" and its keys: the object the edit menu is open on, else the
    // selection, else the object under the pointer; one undoable step.
    void DeleteContextOrSelection();
    // Esc: the palette's device and a placement in progress are dropped.
    void CancelPlacing();

    // Writes what the view shows as a BMP picture; returns the file.
    std::string SaveScreenshot();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();
    void SetHover(CADDevice* device);
    void ShowEditMenu(Point at);
    void OpenExtendDialog();

    CVelkorDoc& doc_;
    ShellState ownShell_;
    EditMenu editMenu_{doc_};
    ShellState* shell_ = &ownShell_;
    Size canvas_;
    double zoom_ = 1.0;
    bool checkView_ = false;
    std::unique_ptr<NewGraphicHandler> placer_;
    std::unique_ptr<ExtendHandler> extender_;
    std::unique_ptr<MutiSelectHandler> selector_;
    std::vector<MouseHandler*> handlers_;
    MouseHandler* active_ = nullptr;
    Point snap_;
    Point pointer_;  // the last pointer position, canvas
    bool endHit_ = false;
    CADDevice* hovered_ = nullptr;
    CADGraphic* lastHit_ = nullptr;
    mutable std::vector<CADGraphic*> partsScratch_;
    // A window being dragged in move mode.
    // Runs an arrangement of the selection as one undoable edit.
    void ArrangeSelection(const char* name, const std::function<void()>& arrange);

    CADGraphic* dragged_ = nullptr;
    // The move of the dragged window, from press to release.
    std::optional<DocumentEdit> dragEdit_;
    Point dragFrom_;
    MenuChooser chooser_;
    CommandSink sink_;
    std::function<void()> afterRelease_;
    std::function<void(const std::string&)> statusSink_;
};

}  // namespace velkor::gui
