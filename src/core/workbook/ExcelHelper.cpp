#include "workbook/ExcelHelper.h"

#include <algorithm>
#include <cmath>

#include "common/Text.h"

namespace velkor {

uint16_t CellLeadingNumber(std::u16string_view text) {
    uint32_t v = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') break;
        v = (v * 10 + static_cast<uint32_t>(c - u'0')) % 65536;
    }
    return static_cast<uint16_t>(v);
}

bool ExcelHelper::OpenWorkbook(const fs::path& path) {
    if (book_ && !path_.empty() && path_ == path) return true;
    CloseWorkbook();
    std::string refused;
    const auto bytes = ReadAtMost(*files_, path, kLargestWorkbookFile, refused);
    if (!bytes) {
        status_ = refused.empty() ? Status::IoError("cannot read " + PathToUtf8(path))
                                  : Status::Unsupported(refused);
        return false;
    }
    auto book = ReadWorkbook(*bytes, &status_);
    if (!book) return false;
    book_ = std::move(*book);
    path_ = path;
    current_ = 0;
    return true;
}

void ExcelHelper::NewWorkbook() {
    CloseWorkbook();
    book_ = Workbook{};
    for (const char16_t* name : {u"Sheet1", u"Sheet2", u"Sheet3"}) {
        WorkbookSheet s;
        s.name = name;
        book_->sheets.push_back(std::move(s));
    }
    current_ = 0;
}

void ExcelHelper::NewWorkbook(std::u16string_view onlySheet) {
    CloseWorkbook();
    book_ = Workbook{};
    WorkbookSheet s;
    s.name = std::u16string(onlySheet);
    book_->sheets.push_back(std::move(s));
    current_ = 0;
}

void ExcelHelper::AddSheet(std::u16string_view name) {
    if (!book_) NewWorkbook();
    WorkbookSheet s;
    s.name = std::u16string(name);
    book_->sheets.insert(book_->sheets.begin(), std::move(s));
    current_ = 0;
}

bool ExcelHelper::SelectSheet(size_t index) {
    if (!book_ || index == 0 || index > book_->sheets.size()) return false;
    current_ = index - 1;
    return true;
}

bool ExcelHelper::SelectSheet(std::u16string_view name) {
    if (!book_) return false;
    for (size_t i = 0; i < book_->sheets.size(); ++i) {
        if (book_->sheets[i].name == name) {
            current_ = i;
            return true;
        }
    }
    return false;
}

std::u16string ExcelHelper::CurrentSheetName() const {
    return book_ && current_ < book_->sheets.size() ? book_->sheets[current_].name
                                                    : std::u16string();
}

WorkbookSheet* ExcelHelper::Current() {
    return book_ && current_ < book_->sheets.size() ? &book_->sheets[current_] : nullptr;
}

void ExcelHelper::SetCell(uint32_t row, uint32_t column, std::u16string_view text) {
    WorkbookSheet* s = Current();
    if (!s || row == 0 || column == 0) return;
    // A cell that is there keeps its format; only its value changes.
    WorkbookCell& c = s->cells[{row, column}];
    c.kind = WorkbookCell::Kind::Text;
    c.text = std::u16string(text);
}

void ExcelHelper::ReserveCells(size_t more) {
    if (WorkbookSheet* s = Current()) s->cells.reserve(s->cells.size() + more);
}

std::u16string ExcelHelper::GetCell(uint32_t row, uint32_t column) const {
    if (!book_ || current_ >= book_->sheets.size()) return {};
    const WorkbookCell* cell = book_->sheets[current_].cells.Find({row, column});
    return cell ? CellText(*cell) : std::u16string();
}

bool ExcelHelper::SaveAs(const fs::path& path) {
    if (!book_) return false;
    // A legacy workbook holds 65,536 rows of 256 columns; a cell beyond them
    // (from an .xlsx read earlier) would be lost, so nothing is written.
    for (const WorkbookSheet& s : book_->sheets) {
        if (!s.cells.empty() && (s.cells.rbegin()->first.first > 65536 ||
                                 std::any_of(s.cells.begin(), s.cells.end(),
                                             [](const auto& c) { return c.first.second > 256; }))) {
            status_ = Status::Unsupported("工作表“" + ToUtf8(s.name) +
                                          "”超出 .xls 工作簿的 65536 行、256 列");
            return false;
        }
    }
    if (!files_->WriteAtomic(path, WriteXls(*book_))) {
        status_ = Status::IoError("cannot write " + PathToUtf8(path));
        return false;
    }
    path_ = path;
    return true;
}

void ExcelHelper::CloseWorkbook() {
    book_.reset();
    path_.clear();
    current_ = 0;
}

void ExcelHelper::SetColumnWidth(uint32_t column, double characters) {
    if (WorkbookSheet* s = Current(); s && column > 0) {
        s->columns[column].width = static_cast<uint16_t>(std::clamp(characters, 0.0, 255.0) * 256);
    }
}

void ExcelHelper::SetRowHeight(uint32_t row, double points) {
    if (WorkbookSheet* s = Current(); s && row > 0) {
        WorkbookRow& r = s->rows[row];
        r.height = static_cast<uint16_t>(std::clamp(points, 0.0, 409.0) * 20);
        r.options |= 0x0140;  // a height of its own
    }
}

void ExcelHelper::SetBoldVCentered(uint32_t row, uint32_t first, uint32_t last) {
    WorkbookSheet* s = Current();
    if (!s) return;
    for (uint32_t c = first; c <= last; ++c) {
        WorkbookCell& cell = s->cells[{row, c}];
        cell.bold = true;
        cell.vcenter = true;
    }
}

void ExcelHelper::SetBlock(uint32_t row, uint32_t column,
                           const std::vector<std::vector<std::u16string>>& cells) {
    size_t count = 0;
    for (const auto& r : cells) count += r.size();
    ReserveCells(count);
    for (size_t r = 0; r < cells.size(); ++r) {
        for (size_t c = 0; c < cells[r].size(); ++c) {
            SetCell(row + static_cast<uint32_t>(r), column + static_cast<uint32_t>(c), cells[r][c]);
        }
    }
}

}  // namespace velkor
