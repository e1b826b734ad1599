#include "view/CChildView.h"

#include "dialogs/PropertyDialog.h"

#include <QCursor>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <functional>

#include "QtPainter.h"
#include "common/Bmp.h"
#include "common/Files.h"
#include "devices/DrawingValues.h"
#include "devices/RailSwitch.h"
#include "devices/TrackGeometry.h"
#include "dialogs/Dialogs.h"
#include "document/Arrange.h"
#include "document/StationPainting.h"
#include "iotables/CheckExports.h"
#include "shell/CommandTable.h"

namespace velkor::gui {

CChildView::CChildView(CVelkorDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent),
      doc_(doc),
      placer_(std::make_unique<NewGraphicHandler>(*this)),
      extender_(std::make_unique<ExtendHandler>(*this)),
      selector_(std::make_unique<MutiSelectHandler>(*this)) {
    handlers_ = {placer_.get(), extender_.get(), selector_.get()};
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::CrossCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::NoFrame);
    // One display is the scroll range; the global settings may widen it.
    SetCanvasSize({doc.displayWidth, doc.displayHeight});
    // Undo, redo and rolled-back edits replace objects this view may point at.
    doc_.SetObjectsReplacedListener([this] { ForgetObjects(); });
}

CChildView::~CChildView() { doc_.SetObjectsReplacedListener(nullptr); }

void CChildView::SetCanvasSize(Size size) {
    canvas_ = size;
    UpdateScrollBars();
    Refresh();
}

void CChildView::Refresh() {
    // Objects may have moved beyond the range: it follows them.
    UpdateScrollBars();
    viewport()->update();
}

Size CChildView::ContentSize() const {
    Size s = canvas_;
    for (const auto& obj : doc_.Objects()) {
        const Rect r = obj->GetCanvasRect();
        s.cx = std::max(s.cx, r.right + 20);
        s.cy = std::max(s.cy, r.bottom + 20);
    }
    return s;
}

void CChildView::UpdateScrollBars() {
    const QSize vp = viewport()->size();
    const Size content = ContentSize();
    const auto scaled = [this](int32_t v) { return static_cast<int>(std::ceil(v * zoom_)); };
    horizontalScrollBar()->setRange(0, std::max(0, scaled(content.cx) - vp.width()));
    verticalScrollBar()->setRange(0, std::max(0, scaled(content.cy) - vp.height()));
    horizontalScrollBar()->setPageStep(vp.width());
    verticalScrollBar()->setPageStep(vp.height());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void CChildView::SetZoom(double zoom, QPoint about) {
    zoom = std::clamp(zoom, 0.1, 8.0);
    if (zoom == zoom_) return;
    const double cx = (about.x() + horizontalScrollBar()->value()) / zoom_;
    const double cy = (about.y() + verticalScrollBar()->value()) / zoom_;
    zoom_ = zoom;
    UpdateScrollBars();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(cx * zoom_ - about.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(cy * zoom_ - about.y())));
    if (statusSink_) statusSink_("缩放 " + std::to_string(std::lround(zoom_ * 100)) + "%");
    viewport()->update();
}

void CChildView::ZoomBy(double factor) {
    // About the pointer when it is over the drawing, else about the middle.
    QPoint about = viewport()->mapFromGlobal(QCursor::pos());
    if (!viewport()->rect().contains(about)) about = viewport()->rect().center();
    SetZoom(zoom_ * factor, about);
}

void CChildView::FitToWindow() {
    // The same bounds a picture of the whole station covers.
    Rect bounds = StationBounds(doc_);
    bounds = bounds.Inflate(20);
    const QSize vp = viewport()->size();
    const double zoom = std::min(vp.width() / std::max(1.0, double(bounds.Width())),
                                 vp.height() / std::max(1.0, double(bounds.Height())));
    zoom_ = std::clamp(zoom, 0.1, 8.0);
    UpdateScrollBars();
    horizontalScrollBar()->setValue(
        static_cast<int>(std::lround(std::max(0, bounds.left) * zoom_)));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(std::max(0, bounds.top) * zoom_)));
    if (statusSink_) statusSink_("缩放 " + std::to_string(std::lround(zoom_ * 100)) + "%");
    viewport()->update();
}

void CChildView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollBars();
}

void CChildView::scrollContentsBy(int, int) { viewport()->update(); }

Point CChildView::ToCanvas(QPoint c) const {
    return {static_cast<int32_t>(std::floor((c.x() + horizontalScrollBar()->value()) / zoom_)),
            static_cast<int32_t>(std::floor((c.y() + verticalScrollBar()->value()) / zoom_))};
}

QPoint CChildView::ToClient(Point p) const {
    return {static_cast<int>(std::lround(p.x * zoom_)) - horizontalScrollBar()->value(),
            static_cast<int>(std::lround(p.y * zoom_)) - verticalScrollBar()->value()};
}

void CChildView::paintEvent(QPaintEvent* e) {
    QPainter qp(viewport());
    QtPainter painter(qp);
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.SetCanvasOffset(offset);
    painter.SetScale(zoom_);
    const QRect exposed = e->rect().translated(offset);
    const Rect area{static_cast<int32_t>(std::floor(exposed.left() / zoom_)),
                    static_cast<int32_t>(std::floor(exposed.top() / zoom_)),
                    static_cast<int32_t>(std::ceil((exposed.right() + 1) / zoom_)) + 1,
                    static_cast<int32_t>(std::ceil((exposed.bottom() + 1) / zoom_)) + 1};
    // Only the exposed part of the canvas is painted: no bitmap of the whole
    // canvas is kept, so a view costs little memory however large the station.
    PaintBackground(painter, doc_, doc_.Drawing().gridOn, doc_.Drawing().values.gridSpacing, &area);
    PaintObjects(painter, doc_, &area);
    if (CADGraphic* placing = placer_->Placing()) PaintObjectTree(painter, *placing, &area);
    if (checkView_) PaintCheckMarks(painter, CheckMarks(doc_));
    if (selector_->BandShown()) {
        qp.resetTransform();
        const Rect b = selector_->Band();
        QPen pen(Qt::white);
        pen.setStyle(Qt::DotLine);
        qp.setPen(pen);
        qp.setBrush(Qt::NoBrush);
        const QPoint tl = ToClient(b.TopLeft());
        const QPoint br = ToClient({b.right, b.bottom});
        qp.drawRect(QRect(tl, QSize(std::max(1, br.x() - tl.x()), std::max(1, br.y() - tl.y()))));
    }
}

Point CChildView::SnapRelease(Point p) const {
    if (doc_.Drawing().gridOn) return SnapToGrid(p, doc_.Drawing().values.gridSpacing);
    if (endHit_) return snap_;
    const Point s = active_ ? active_->reference : Point{0, 0};
    if (std::abs(p.y - s.y) <= 10) {
        p.y = s.y;
    } else if (std::abs(p.x - s.x) <= 10) {
        p.x = s.x;
    }
    return p;
}

void CChildView::HoverTest(Point p) {
    endHit_ = false;
    CADGraphic* hitObject = nullptr;
    for (const auto& obj : doc_.Objects()) {
        if (obj->HitEndPoint(p, snap_)) {
            endHit_ = true;
            hitObject = obj.get();
            break;
        }
    }
    // Marks change only where the pointer finds or leaves an end point.
    // A repaint only: hovering changes no object's place.
    if (hitObject != lastHit_ || endHit_) viewport()->update();
    lastHit_ = hitObject;
}

CADGraphic* CChildView::ObjectAt(Point p) const {
    // Later windows lie on top, and an object's parts on top of it. The
    // parts list is reused: this runs on every mouse move over every object.
    std::vector<CADGraphic*>& parts = partsScratch_;
    for (auto it = doc_.Objects().rbegin(); it != doc_.Objects().rend(); ++it) {
        parts.clear();
        (*it)->CollectParts(parts);
        for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
            if ((*part)->HitTest(p)) return *part;
        }
        if ((*it)->HitTest(p)) return it->get();
    }
    return nullptr;
}

int CChildView::ChooseFromMenu(Menu menu, Point at) {
    std::vector<int> ids;
    switch (menu) {
        case Menu::Connection:
            for (int id = cmd::kConnectionFirst; id <= cmd::kConnectionLast; ++id)
                ids.push_back(id);
            break;
        case Menu::ThreeWayConnection:
            for (int id = cmd::kThreeWayFirst; id <= cmd::kThreeWayLast; ++id) ids.push_back(id);
            break;
        case Menu::SignalAngle:
            for (int id = cmd::kAngleFirst; id <= cmd::kAngleLast; ++id) ids.push_back(id);
            break;
        case Menu::Edit:
            break;
    }
    if (chooser_) return chooser_(menu, ids, at);
    QMenu popup(this);
    for (int id : ids) popup.addAction(QString::fromUtf8(FindCommand(id)->text))->setData(id);
    QAction* chosen = popup.exec(viewport()->mapToGlobal(ToClient(at)));
    return chosen ? chosen->data().toInt() : 0;
}

void CChildView::PostRelease(Point p) {
    // As the release the menu posts: handled once the press has returned.
    QMetaObject::invokeMethod(
        this, [this, p] { LeftUp(p); }, Qt::QueuedConnection);
}

void CChildView::ForgetObjects() {
    // A move in progress keeps what was done so far.
    if (dragEdit_) {
        DocumentEdit finished = std::move(*dragEdit_);
        dragEdit_.reset();
        finished.Commit();
    }
    selector_->ClearSelection();
    editMenu_.Forget();
    hovered_ = nullptr;
    lastHit_ = nullptr;
    dragged_ = nullptr;
    active_ = nullptr;
    Refresh();
}

CADGraphic* CChildView::OwnerOf(CADGraphic* window) const {
    std::function<bool(CADGraphic&)> holds = [&](CADGraphic& g) {
        if (&g == window) return true;
        std::vector<CADGraphic*> parts;
        g.CollectParts(parts);
        for (CADGraphic* p : parts) {
            if (holds(*p)) return true;
        }
        return false;
    };
    for (const auto& obj : doc_.Objects()) {
        if (holds(*obj)) return obj.get();
    }
    return nullptr;
}

void CChildView::SetHover(CADDevice* device) {
    if (device == hovered_) return;
    if (hovered_ && doc_.Contains(hovered_)) hovered_->hover = 0;
    hovered_ = device;
    if (hovered_) hovered_->hover = 1;
    viewport()->update();
}

void CChildView::LeftDown(Point p) {
    CADGraphic* obj = ObjectAt(p);
    // A press inside a selection drags it, on one of its objects too.
    const bool onSelection =
        !selector_->Selection().empty() && selector_->Band().Contains(p) && !Shell().moveMode;
    if (obj && !onSelection) {
        // A press on an object's window does not reach the view; in move
        // mode it drags that window.
        if (Shell().moveMode) {
            dragged_ = obj;
            dragFrom_ = p;
            if (CADGraphic* owner = OwnerOf(obj))
                dragEdit_.emplace(doc_, "移动", std::vector{owner});
        }
        return;
    }
    for (MouseHandler* h : handlers_) {
        if (h->ButtonDown(p)) {
            // The placing handler makes itself active (or not, when its menu
            // was dismissed); the others become active here.
            if (h != placer_.get()) active_ = h;
            return;
        }
    }
}

void CChildView::Move(Point p, bool leftHeld) {
    pointer_ = p;
    if (dragged_) {
        if (leftHeld) {
            dragged_->OffsetWindow(p.x - dragFrom_.x, p.y - dragFrom_.y);
            dragFrom_ = p;
            viewport()->update();  // the range follows on release
        }
        return;
    }
    CADGraphic* obj = ObjectAt(p);
    SetHover(obj && doc_.Contains(obj) ? AsDevice(obj) : nullptr);
    if (leftHeld && active_) active_->MouseMove(p);
    HoverTest(p);
}

void CChildView::LeftUp(Point p) {
    if (dragged_) {
        dragged_->AfterMove();
        dragged_ = nullptr;
        if (dragEdit_) dragEdit_->Commit();
        dragEdit_.reset();
        Refresh();
    } else if (active_) {
        MouseHandler* h = active_;
        h->ButtonUp(SnapRelease(p));
        active_ = nullptr;
    }
    Shell().currentCode = -1;
    if (afterRelease_) afterRelease_();
}

void CChildView::RightUp(Point p) {
    // The menu acts on the object under the pointer, or on nothing.
    CADGraphic* obj = ObjectAt(p);
    editMenu_.SetObject(obj ? OwnerOf(obj) : nullptr);
    ShowEditMenu(p);
    editMenu_.SetObject(nullptr);
}

void CChildView::ShowEditMenu(Point at) {
    CADGraphic* obj = editMenu_.Object();
    const bool isSwitch = dynamic_cast<RailSwitch*>(obj) != nullptr;
    // Only the items that apply to the object: 删除 for any, 名字对齐 for
    // devices, rotation and stretching for switches. On the background the
    // device items show disabled.
    struct Item {
        int id;
        bool shown;
        bool enabled;
    };
    std::vector<Item> items = {{cmd::kDelete, true, obj != nullptr},
                               {cmd::kAlignName, !obj || AsDevice(obj), AsDevice(obj) != nullptr}};
    for (int id = cmd::kRotateFirst; id <= cmd::kRotateLast; ++id)
        items.push_back({id, isSwitch, true});
    for (int id : {cmd::kMovePoint1, cmd::kStretch, cmd::kNoStretch})
        items.push_back({id, isSwitch, true});
    int chosen = 0;
    if (chooser_) {
        std::vector<int> ids;
        for (const Item& i : items) {
            if (i.shown && i.enabled) ids.push_back(i.id);
        }
        chosen = chooser_(Menu::Edit, ids, at);
    } else {
        QMenu menu(QStringLiteral("编辑"), this);
        QMenu* rotate = nullptr;
        for (const Item& i : items) {
            if (!i.shown) continue;
            QMenu* target = &menu;
            if (i.id >= cmd::kRotateFirst && i.id <= cmd::kRotateLast) {
                if (!rotate) rotate = menu.addMenu(QStringLiteral("旋转"));
                target = rotate;
            }
            QString text = QString::fromUtf8(FindCommand(i.id)->text);
            text.replace('\t', "    ");
            QAction* a = target->addAction(text);
            a->setData(i.id);
            a->setEnabled(i.enabled);
        }
        QAction* a = menu.exec(viewport()->mapToGlobal(ToClient(at)));
        chosen = a ? a->data().toInt() : 0;
    }
    if (chosen != 0 && sink_) sink_(chosen);
}

void CChildView::DeleteContextOrSelection() {
    std::vector<CADGraphic*> doomed;
    if (CADGraphic* obj = editMenu_.Object()) {
        doomed = {obj};
    } else if (!selector_->Selection().empty()) {
        doomed = selector_->Selection();
    } else if (CADGraphic* under = ObjectAt(pointer_)) {
        if (CADGraphic* owner = OwnerOf(under)) doomed = {owner};
    }
    if (doomed.empty()) return;
    for (CADGraphic* g : doomed) selector_->Forget(g);
    editMenu_.Forget();
    if (hovered_ && std::find(doomed.begin(), doomed.end(), hovered_) != doomed.end())
        hovered_ = nullptr;
    lastHit_ = nullptr;
    doc_.DeleteObjects(doomed);
    Refresh();
}

void CChildView::CancelPlacing() {
    placer_->Cancel();
    active_ = nullptr;
    Shell().currentCode = -1;
    if (afterRelease_) afterRelease_();
    Refresh();
}

void CChildView::wheelEvent(QWheelEvent* e) {
    // Ctrl and the wheel zoom about the pointer; the wheel alone scrolls.
    if (e->modifiers() & Qt::ControlModifier) {
        const int steps = e->angleDelta().y() / 120;
        if (steps != 0) SetZoom(zoom_ * std::pow(1.25, steps), e->position().toPoint());
        e->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

void CChildView::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        CancelPlacing();
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}

void CChildView::ArrangeSelection(const char* name, const std::function<void()>& arrange) {
    DocumentEdit edit(doc_, name, selector_->Selection());
    arrange();
    edit.Commit();
}

void CChildView::DoubleClick(Point p) {
    if (CADGraphic* obj = ObjectAt(p)) {
        CADGraphic* owner = OwnerOf(obj);
        DocumentEdit edit(doc_, "属性", {owner ? owner : obj});
        // A lookup changes the device even when the dialog is cancelled:
        // the edit is kept either way.
        EditObjectProperties(*obj, doc_, this, [this] { Refresh(); });
        edit.Commit();
        Refresh();
        return;
    }
    OpenExtendDialog();
}

void CChildView::OpenExtendDialog() {
    CADDevice* device = FirstMarkedDevice(doc_);
    if (!device) return;
    const char* why = nullptr;
    CanExtendOblique(*device, &why);
    ExtendDeviceDialog dialog(this, why);
    if (dialog.exec() != QDialog::Accepted) return;
    DocumentEdit edit(doc_, "延伸", {device});
    if (dialog.StraightChosen()) {
        ExtendStraight(*device, dialog.Length());
    } else {
        ExtendOblique(*device, dialog.Angle(), dialog.ObliqueLength());
    }
    edit.Commit();
    Refresh();
}

void CChildView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) LeftDown(ToCanvas(e->position().toPoint()));
}

void CChildView::mouseMoveEvent(QMouseEvent* e) {
    Move(ToCanvas(e->position().toPoint()), (e->buttons() & Qt::LeftButton) != 0);
}

void CChildView::mouseReleaseEvent(QMouseEvent* e) {
    const Point p = ToCanvas(e->position().toPoint());
    if (e->button() == Qt::LeftButton) LeftUp(p);
    if (e->button() == Qt::RightButton) RightUp(p);
}

void CChildView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) DoubleClick(ToCanvas(e->position().toPoint()));
}

bool CChildView::QueryCommand(int id, CommandState& state) {
    switch (id) {
        case cmd::kFilePrint:
        case cmd::kFilePrintDirect:
        case cmd::kFilePrintPreview:
        case cmd::kMoveLeft:
        case cmd::kMoveRight:
        case cmd::kMoveUp:
        case cmd::kMoveDown:
        case cmd::kZoomIn:
        case cmd::kZoomOut:
        case cmd::kZoomFit:
            return true;
        case cmd::kZoom100:
            state.checked = zoom_ == 1.0;
            return true;
        case cmd::kCheckView:
            state.checked = checkView_;
            return true;
        case cmd::kAlignLeft:
        case cmd::kAlignTop:
        case cmd::kSameSpacing:
            state.enabled = !selector_->Selection().empty();
            state.why = "没有选中的设备";
            return true;
        default:
            break;
    }
    if (id >= cmd::kConnectionFirst && id <= cmd::kConnectionLast) return true;
    if (id >= cmd::kThreeWayFirst && id <= cmd::kThreeWayLast) return true;
    if (id >= cmd::kAngleFirst && id <= cmd::kAngleLast) return true;
    return false;
}

void CChildView::ExecuteCommand(int id) {
    const int32_t g = doc_.Drawing().values.gridSpacing;
    switch (id) {
        case cmd::kFilePrint:
        case cmd::kFilePrintDirect:
        case cmd::kFilePrintPreview: {
            const std::string file = SaveScreenshot();
            if (statusSink_) statusSink_(file.empty() ? "截图保存失败" : "截图已保存：" + file);
            return;
        }
        case cmd::kZoomIn:
            ZoomBy(1.25);
            return;
        case cmd::kZoomOut:
            ZoomBy(0.8);
            return;
        case cmd::kZoomFit:
            FitToWindow();
            return;
        case cmd::kCheckView:
            checkView_ = !checkView_;
            break;
        case cmd::kZoom100:
            SetZoom(1.0, viewport()->rect().center());
            return;
        case cmd::kAlignLeft:
            ArrangeSelection("对齐", [this] { AlignLeft(selector_->Selection()); });
            break;
        case cmd::kAlignTop:
            ArrangeSelection("对齐", [this] { AlignTop(selector_->Selection()); });
            break;
        case cmd::kSameSpacing:
            ArrangeSelection("同样间距", [this] { SpaceEvenly(selector_->Selection()); });
            break;
        case cmd::kMoveLeft:
            MoveAll(doc_, -g, 0);
            break;
        case cmd::kMoveRight:
            MoveAll(doc_, g, 0);
            break;
        case cmd::kMoveUp:
            MoveAll(doc_, 0, -g);
            break;
        case cmd::kMoveDown:
            MoveAll(doc_, 0, g);
            break;
        default:
            placer_->ApplyMenuCommand(id);
            break;
    }
    Refresh();
}

std::string CChildView::SaveScreenshot() {
    const QImage image = viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto bmp = EncodeBmp24(image.width(), image.height(), [&](int32_t x, int32_t y) {
        return static_cast<uint32_t>(image.pixel(x, y) & 0xFFFFFF);
    });
    // Beside the station when it has a folder, else in the home folder.
    fs::path dir = doc_.PathName().empty() ? PathFromUtf8(QDir::homePath().toStdString())
                                           : doc_.Directory().root;
    const fs::path file = dir / "Screenshot.bmp";
    if (!WriteFileAtomic(file, bmp)) return {};
    return PathToUtf8(file);
}

}  // namespace velkor::gui
