#include "dialogs/TableDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Text.h"
#include "document/CVelkorDoc.h"
#include "iotables/TableEditing.h"
#include "iotables/TableExchange.h"
#include "siemens/CodeBuilds.h"
#include "siemens/ElementTable.h"
#include "tables/CodeTables.h"

namespace velkor::gui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// The in-place editor: a line edit over the cell, all of its text selected,
// in which the space bar does nothing.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // What the space bar puts in place of the editor's text, if anything.
    std::function<std::optional<QString>(const QString&)> spaceLookUp;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("cellEditor"));
        edit->installEventFilter(const_cast<CellDelegate*>(this));
        return edit;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        edit->setText(index.data(Qt::EditRole).toString());
        edit->selectAll();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
            auto* edit = qobject_cast<QLineEdit*>(watched);
            if (edit && spaceLookUp) {
                if (const auto found = spaceLookUp(edit->text())) edit->setText(*found);
            }
            return true;
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }
};

}  // namespace

void TableModel::SetGrid(TableGrid* grid) {
    beginResetModel();
    grid_ = grid;
    endResetModel();
}

void TableModel::Reload() {
    beginResetModel();
    endResetModel();
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !grid_ ? 0 : static_cast<int>(grid_->Rows());
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !grid_ ? 0 : static_cast<int>(grid_->Columns());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!grid_ || !index.isValid()) return {};
    const auto row = static_cast<size_t>(index.row());
    const auto column = static_cast<size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return Q(grid_->Cell(row, column));
        case Qt::TextAlignmentRole:
            return Qt::AlignCenter;
        case Qt::BackgroundRole:
            switch (grid_->CellColour(row, column)) {
                case TableGrid::Colour::Green:
                    return QColor(0, 255, 0);
                case TableGrid::Colour::Black:
                    return QColor(0, 0, 0);
                case TableGrid::Colour::White:
                    return QColor(255, 255, 255);
            }
            return {};
        case Qt::ForegroundRole:
            return QColor(0, 0, 0);
        default:
            return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!grid_ || role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromUtf8(grid_->Desc().columns[static_cast<size_t>(section)].header);
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!grid_ || role != Qt::EditRole || !index.isValid()) return false;
    const bool taken =
        grid_->Edit(static_cast<size_t>(index.row()), static_cast<size_t>(index.column()),
                    value.toString().toStdString());
    // A new 类型 recolours the row's relay cells.
    if (taken)
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return taken;
}

RelayDialog::RelayDialog(const QString& title, uint16_t board, uint16_t position, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    board_ = new QSpinBox;
    // A relay address holds the board in its high byte.
    board_->setRange(0, 255);
    board_->setValue(board);
    board_->setObjectName(QStringLiteral("板号"));
    position_ = new QSpinBox;
    position_->setRange(0, 15);
    position_->setValue(position);
    position_->setObjectName(QStringLiteral("位置"));
    form->addRow(QStringLiteral("板号"), board_);
    form->addRow(QStringLiteral("位置"), position_);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

uint16_t RelayDialog::Board() const { return static_cast<uint16_t>(board_->value()); }
uint16_t RelayDialog::Position() const { return static_cast<uint16_t>(position_->value()); }

SwitchNameDialog::SwitchNameDialog(Interaction& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle(QStringLiteral("道岔名称"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    first_ = new QLineEdit;
    first_->setObjectName(QStringLiteral("道岔名称"));
    double_ = new QCheckBox(QStringLiteral("双动道岔"));
    double_->setObjectName(QStringLiteral("双动道岔"));
    second_ = new QLineEdit;
    second_->setObjectName(QStringLiteral("双动名称"));
    form->addRow(QStringLiteral("道岔名称"), first_);
    form->addRow(double_);
    form->addRow(QStringLiteral("双动名称"), second_);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
    // The second name is asked only for a double-acting switch.
    form->setRowVisible(second_, false);
    connect(double_, &QCheckBox::toggled, this,
            [form, this](bool on) { form->setRowVisible(second_, on); });
}

void SwitchNameDialog::accept() {
    const auto name = NewSwitchName(first_->text().toStdU16String(), double_->isChecked(),
                                    second_->text().toStdU16String(), ui_);
    if (!name) return;
    name_ = *name;
    QDialog::accept();
}

NewSignalDialog::NewSignalDialog(Interaction& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle(QStringLiteral("新建信号机"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    name_ = new QLineEdit;
    name_->setObjectName(QStringLiteral("名称"));
    form->addRow(QStringLiteral("名称"), name_);
    layout->addLayout(form);
    auto* grid = new QGridLayout;
    const auto& kinds = NewSignalKinds();
    for (size_t i = 0; i < kinds.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(kinds[i].name));
        radio->setObjectName(QString::fromUtf8(kinds[i].name));
        grid->addWidget(radio, static_cast<int>(i / 3), static_cast<int>(i % 3));
        kinds_.push_back(radio);
        connect(radio, &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            subKinds_->clear();
            for (const char* sub : NewSignalKinds()[i].subKinds)
                subKinds_->addItem(QString::fromUtf8(sub));
            subKinds_->setCurrentIndex(-1);
            subKinds_->setEnabled(subKinds_->count() > 0);
        });
    }
    layout->addLayout(grid);
    subKinds_ = new QComboBox;
    subKinds_->setObjectName(QStringLiteral("子类型"));
    subKinds_->setEnabled(false);
    layout->addWidget(subKinds_);
    layout->addWidget(OkCancel(this));
}

int NewSignalDialog::Kind() const {
    for (size_t i = 0; i < kinds_.size(); ++i) {
        if (kinds_[i]->isChecked()) return static_cast<int>(i);
    }
    return -1;
}

void NewSignalDialog::accept() {
    const std::u16string name = name_->text().toStdU16String();
    const auto type = NewSignalType(name, Kind(), subKinds_->currentIndex(), ui_);
    if (!type) return;
    row_ = {name, *type};
    QDialog::accept();
}

TableDialog::TableDialog(CVelkorDoc& doc, int table, QWidget* parent)
    : QDialog(parent), doc_(doc), table_(table) {
    Build(table >= 0 ? InputGridDesc(table) : CombinationGridDesc());
    grid_->Load(table >= 0 ? doc.io.Table(table) : doc.io.combinations);
    model_.SetGrid(grid_.get());
}

TableDialog::TableDialog(CVelkorDoc& doc, const GridDesc& desc, QWidget* parent)
    : QDialog(parent), doc_(doc), table_(-2) {
    Build(desc);
    const int code = desc.codeTable;
    grid_->Load(code < 0 ? doc.codes.physical : doc.codes.Table(code));
    model_.SetGrid(grid_.get());
    AddCodeMenu();
}

std::unique_ptr<TableDialog> TableDialog::ForCodeTable(CVelkorDoc& doc, int codeTable,
                                                       QWidget* parent) {
    return std::unique_ptr<TableDialog>(new TableDialog(doc, CodeGridDesc(codeTable), parent));
}

void TableDialog::Build(const GridDesc& desc) {
    setWindowTitle(QString::fromUtf8(desc.title));
    grid_ = std::make_unique<TableGrid>(desc, doc_.UI());
    auto* layout = new QVBoxLayout(this);
    view_ = new QTableView;
    view_->setObjectName(QStringLiteral("grid"));
    view_->setModel(&model_);
    auto* delegate = new CellDelegate(view_);
    if (desc.IsCodeTable()) {
        // In a code table the space bar turns an element's name into its
        // IxL地址号.
        delegate->spaceLookUp = [this](const QString& text) -> std::optional<QString> {
            for (const Row& e : doc_.codes.Table(kElementCode)) {
                if (QString::fromStdU16String(e.Text(2, 64)) == text)
                    return QString::number(e.U16(96));
            }
            return std::nullopt;
        };
    }
    view_->setItemDelegate(delegate);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setShowGrid(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setStyleSheet(QStringLiteral("QTableView { background-color: rgb(200, 200, 200); }"));
    view_->verticalHeader()->setDefaultSectionSize(22);
    int width = 40;
    for (size_t c = 0; c < desc.columns.size(); ++c) {
        view_->setColumnWidth(static_cast<int>(c), desc.columns[c].width);
        width += desc.columns[c].width;
    }
    if (!desc.IsCodeTable()) {
        view_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view_, &QWidget::customContextMenuRequested, this, &TableDialog::ShowMenu);
    }
    connect(view_, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { grid_->current = index.row(); });
    connect(view_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { EditCell(index.row(), index.column()); });
    layout->addWidget(view_);
    if (table_ == -1) layout->addWidget(OkCancel(this));
    resize(std::max(width + 40, desc.windowWidth), 680);
}

void TableDialog::AddCodeMenu() {
    const int code = grid_->Desc().codeTable;
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menu"));
    layout()->setMenuBar(bar);
    // The items each table keeps; ElementCode's 添加 appends an empty row and
    // PhysicalSectionCode's 导出Excel exports, as their sisters do.
    const bool build = code != kSwitSectCode;
    const bool add = code == kSwitSectCode || code == kElementCode;
    const bool insert = add;
    const bool remove = code == kSwitSectCode || code == kElementCode || code == kSwitchCode;
    if (build) bar->addAction(QStringLiteral("创建码位表"), this, &TableDialog::BuildCodeTable);
    if (add) bar->addAction(QStringLiteral("添加(&A)"), this, &TableDialog::AppendRow);
    if (insert) bar->addAction(QStringLiteral("插入(&I)"), this, &TableDialog::InsertRow);
    if (remove) bar->addAction(QStringLiteral("删除(&D)"), this, &TableDialog::DeleteRow);
    bar->addAction(QStringLiteral("导出Excel"), this, &TableDialog::ExportWorkbook);
}

void TableDialog::BuildCodeTable() {
    const int code = grid_->Desc().codeTable;
    if (code < 0) {
        // Only the grid changes; closing the dialog stores it.
        if (!doc_.UI().AskYesNo("是否确定创建码位表？")) return;
        auto rows = BuildPhysicalSectionCode(doc_);
        if (!rows) return;  // refused, with the reason told; the grid stays
        grid_->Load(*rows);
        model_.Reload();
        return;
    }
    if (code == kElementCode) {
        const bool append = doc_.UI().AskYesNo(kMsgAppendSiemensMisc);
        const auto file =
            doc_.UI().ChooseOpenFile("打开Excel文件", "Excel文件 (*.xls *.xlsx);;All Files (*)");
        if (file) {
            std::vector<Row> rows;
            const Status read = ReadElementWorkbook(PathFromUtf8(*file), doc_.Files(), rows);
            if (!read) doc_.UI().Warning(read.Message());
            if (read || !rows.empty()) ImportElements(doc_, rows, append);
        }
        grid_->Load(doc_.codes.Table(kElementCode));
        model_.Reload();
        return;
    }
    DocumentEdit edit(doc_, "创建码位表", DocumentEdit::Scope::InputTables);
    if (code == kTrackSectionCode) BuildTrackSectionCode(doc_);
    if (code == kCrossCode) BuildCrossCode(doc_);
    if (code == kSwitchCode && !BuildSwitchCode(doc_)) return;  // refused, told, unchanged
    edit.Commit();
    grid_->Load(doc_.codes.Table(code));
    model_.Reload();
}

std::optional<NewGridRow> TableDialog::AskNewRow() {
    if (!grid_->NewRowNeedsDialog()) return NewGridRow{};
    if (table_ == kSwitchTable) {
        SwitchNameDialog dialog(doc_.UI(), this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return NewGridRow{dialog.Name(), 0xFFFF};
    }
    NewSignalDialog dialog(doc_.UI(), this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Row();
}

void TableDialog::AppendRow() {
    const auto input = AskNewRow();
    if (!input) return;
    grid_->Append(*input);
    model_.Reload();
    const int row = static_cast<int>(grid_->Rows()) - 1;
    // A table row without a name dialog is named in place.
    if (table_ != -1 && !grid_->NewRowNeedsDialog()) view_->edit(model_.index(row, 0));
}

void TableDialog::InsertRow() {
    if (grid_->current < 0) return;
    const int at = grid_->current;
    const auto input = AskNewRow();
    if (!input) return;
    grid_->Insert(*input);
    model_.Reload();
    if (!grid_->NewRowNeedsDialog()) view_->edit(model_.index(at, 0));
}

void TableDialog::DeleteRow() {
    if (grid_->Delete()) model_.Reload();
}

void TableDialog::ExportWorkbook() {
    if (IsCode()) {
        const auto file = doc_.UI().ChooseSaveFile("保存Excel文件", "Excel文件 (*.xls)");
        if (!file) return;
        const Status s = WriteCodeTableWorkbook(grid_->Records(), grid_->Desc().codeTable,
                                                PathFromUtf8(*file), doc_.Files());
        if (!s) doc_.UI().Warning(s.Message());
        return;
    }
    const auto file = doc_.UI().ChooseSaveFile("导出Excel", "Excel 工作簿 (*.xls)");
    if (!file) return;
    const Status s = WriteTableWorkbook(GridTexts(*grid_), FromUtf8(grid_->Desc().title),
                                        PathFromUtf8(*file), doc_.Files());
    if (!s) doc_.UI().Warning(s.Message());
}

void TableDialog::ImportWorkbook() {
    const auto file = doc_.UI().ChooseOpenFile(
        "从Excel导入", "表格 (*.xls *.xlsx *.csv);;Excel 工作簿 (*.xls *.xlsx);;CSV (*.csv)");
    if (!file) return;
    TextTable texts;
    Status s = ReadTextTable(PathFromUtf8(*file), doc_.Files(), texts);
    // The rows are taken into a copy: a refused cell leaves the grid as it is.
    auto imported = std::make_unique<TableGrid>(*grid_);
    if (s) s = TakeTextTable(texts, *imported);
    if (!s) {
        doc_.UI().Warning(s.Message());
        return;
    }
    grid_ = std::move(imported);
    model_.SetGrid(grid_.get());
}

void TableDialog::EditCell(int row, int column) {
    if (row < 0 || column < 0) return;
    const auto r = static_cast<size_t>(row);
    const auto c = static_cast<size_t>(column);
    if (!grid_->OpensRelayDialog(r, c)) {
        view_->edit(model_.index(row, column));
        return;
    }
    const auto [board, position] = grid_->Relay(r, c);
    RelayDialog dialog(Q(grid_->RelayTitle(r, c)), board, position, this);
    if (dialog.exec() != QDialog::Accepted) return;
    grid_->SetRelay(r, c, dialog.Board(), dialog.Position());
    model_.Reload();
}

void TableDialog::ShowMenu(const QPoint& at) {
    // The row under the pointer is the one the user sees selected: it is the
    // current row for 插入 and 删除.
    if (const QModelIndex index = view_->indexAt(at); index.isValid()) {
        grid_->current = index.row();
        view_->selectRow(index.row());
    }
    QMenu menu(QStringLiteral("IO设置"), this);
    menu.setObjectName(QStringLiteral("IO设置"));
    menu.addAction(QStringLiteral("添加(&A)"), this, &TableDialog::AppendRow);
    if (table_ >= 0) menu.addAction(QStringLiteral("插入(&I)"), this, &TableDialog::InsertRow);
    menu.addAction(QStringLiteral("删除(&D)"), this, &TableDialog::DeleteRow);
    if (table_ >= 0) {
        menu.addSeparator();
        menu.addAction(QStringLiteral("导出Excel..."), this, &TableDialog::ExportWorkbook);
        menu.addAction(QStringLiteral("从Excel导入..."), this, &TableDialog::ImportWorkbook);
    }
    menu.exec(view_->viewport()->mapToGlobal(at));
}

void TableDialog::StoreTable() {
    if (IsCode()) {
        StoreCodeTable(doc_, grid_->Desc().codeTable, grid_->Records());
        return;
    }
    StoreInputTable(doc_, table_, grid_->Records());
}

void TableDialog::accept() {
    if (table_ >= 0 || IsCode()) {
        StoreTable();
        QDialog::accept();
        return;
    }
    // "确定" of "区段组合": every row must resolve; a failing row is selected
    // and the dialog stays open with the combinations as they were.
    DocumentEdit edit(doc_, "区段组合", DocumentEdit::Scope::InputTables);
    size_t failed = 0;
    if (!ConfirmSectionCombinations(doc_.io, grid_->CombinationNames(), doc_.UI(), &failed)) {
        view_->selectRow(static_cast<int>(failed));
        grid_->current = static_cast<int>(failed);
        return;
    }
    edit.Commit();
    QDialog::accept();
}

void TableDialog::closeEvent(QCloseEvent* event) {
    // The close box stores an input table's grid; for the combinations it
    // is "取消".
    if ((table_ >= 0 || IsCode()) && result() != QDialog::Accepted && isVisible()) {
        StoreTable();
        setResult(QDialog::Accepted);
    }
    QDialog::closeEvent(event);
}

void TableDialog::keyPressEvent(QKeyEvent* event) {
    // Enter does not end a table dialog: it would drop the edits.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace velkor::gui
