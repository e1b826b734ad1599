#pragma once
#include <QAbstractTableModel>
#include <QDialog>
#include <memory>
#include <optional>

#include "iotables/TableGrid.h"

class QTableView;
class QLineEdit;
class QCheckBox;
class QComboBox;
class QSpinBox;
class QRadioButton;

namespace velkor {
class CVelkorDoc;
}

namespace velkor::gui {

// One table model for every grid: the cells, colours and checks of a
// TableGrid, whose description gives the columns.
class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void SetGrid(TableGrid* grid);
    TableGrid* Grid() const { return grid_; }
    // The grid's rows changed as a whole.
    void Reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The in-place editor's text, checked as the grid checks it; a refused
    // text leaves the cell as it was.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    TableGrid* grid_ = nullptr;
};

// "%s : %s": a relay address as board (板号) and position (位置).
class RelayDialog : public QDialog {
    Q_OBJECT
public:
    RelayDialog(const QString& title, uint16_t board, uint16_t position, QWidget* parent);
    uint16_t Board() const;
    uint16_t Position() const;

private:
    QSpinBox* board_;
    QSpinBox* position_;
};

// "道岔名称": the name of a new switch row, two names for a double-acting one.
class SwitchNameDialog : public QDialog {
    Q_OBJECT
public:
    SwitchNameDialog(Interaction& ui, QWidget* parent);
    void accept() override;
    const std::u16string& Name() const { return name_; }

private:
    Interaction& ui_;
    QLineEdit* first_;
    QCheckBox* double_;
    QLineEdit* second_;
    std::u16string name_;
};

// "新建信号机": the name and type of a new signal row.
class NewSignalDialog : public QDialog {
    Q_OBJECT
public:
    NewSignalDialog(Interaction& ui, QWidget* parent);
    void accept() override;
    const NewGridRow& Row() const { return row_; }

private:
    int Kind() const;
    Interaction& ui_;
    QLineEdit* name_;
    std::vector<QRadioButton*> kinds_;
    QComboBox* subKinds_;
    NewGridRow row_;
};

// A table dialog: the grid of one input table (closing it with the close
// box stores the rows, Esc leaves the table as it was) or of the section
// combinations ("确定" rebuilds them, "取消" leaves them). Right click opens
// "IO设置" (添加, 插入, 删除, and the workbook exchange of the input tables).
class TableDialog : public QDialog {
    Q_OBJECT
public:
    // `table`: an input-table index, or -1 for "区段组合".
    TableDialog(CVelkorDoc& doc, int table, QWidget* parent = nullptr);
    // The dialog of a code table (-1 for PhysicalSectionCode), with its menu
    // bar: 创建码位表, 添加, 插入, 删除, 导出Excel as the table keeps them.
    static std::unique_ptr<TableDialog> ForCodeTable(CVelkorDoc& doc, int codeTable,
                                                     QWidget* parent = nullptr);
    // "创建码位表" of a code table.
    void BuildCodeTable();

    TableGrid& Grid() { return *grid_; }
    QTableView* View() const { return view_; }
    // The context menu's commands, also for tests.
    void AppendRow();
    void InsertRow();
    void DeleteRow();
    void ExportWorkbook();
    void ImportWorkbook();
    // A double click on a cell: the relay dialog or the in-place editor.
    void EditCell(int row, int column);

    void accept() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A new row's name (and type) from its dialog; nothing when cancelled.
    std::optional<NewGridRow> AskNewRow();
    void ShowMenu(const QPoint& at);
    void StoreTable();

    TableDialog(CVelkorDoc& doc, const GridDesc& desc, QWidget* parent);
    void Build(const GridDesc& desc);
    void AddCodeMenu();
    bool IsCode() const { return grid_->Desc().IsCodeTable(); }

    CVelkorDoc& doc_;
    int table_;
    std::unique_ptr<TableGrid> grid_;
    TableModel model_;
    QTableView* view_;
};

}  // namespace velkor::gui
