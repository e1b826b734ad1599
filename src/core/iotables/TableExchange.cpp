#include "iotables/TableExchange.h"

#include <algorithm>

#include "common/Text.h"
#include "iotables/TableEditing.h"
#include "workbook/ExcelHelper.h"

namespace velkor {

namespace {

// Collects what the grid tells the user, to report it with the sheet cell.
class Collecting : public SilentInteraction {
public:
    void Warning(const std::string& text) override { last = text; }
    std::string last;
};

std::string Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return std::string(s);
}

// Comma- or tab-separated text with quoted fields ("" for a quote).
TextTable ParseDelimited(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::string_view firstLine = text.substr(0, text.find('\n'));
    const char sep = firstLine.find('\t') != std::string_view::npos &&
                             firstLine.find(',') == std::string_view::npos
                         ? '\t'
                         : ',';
    TextTable out;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == sep) {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            if (!field.empty() && field.back() == '\r') field.pop_back();
            row.push_back(std::move(field));
            field.clear();
            out.push_back(std::move(row));
            row.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty() || !row.empty()) {
        row.push_back(std::move(field));
        out.push_back(std::move(row));
    }
    return out;
}

bool IsEmptyRow(const std::vector<std::string>& row) {
    return std::all_of(row.begin(), row.end(), [](const std::string& s) { return s.empty(); });
}

}  // namespace

TextTable GridTexts(const TableGrid& grid) {
    TextTable out;
    std::vector<std::string> header;
    for (const GridColumn& c : grid.Desc().columns) header.emplace_back(c.header);
    out.push_back(std::move(header));
    for (size_t r = 0; r < grid.Rows(); ++r) {
        std::vector<std::string> row;
        for (size_t c = 0; c < grid.Columns(); ++c) row.push_back(grid.Cell(r, c));
        out.push_back(std::move(row));
    }
    return out;
}

Status WriteTableWorkbook(const TextTable& table, std::u16string_view sheet, const fs::path& file,
                          FileStore& files) {
    ExcelHelper x(files);
    x.NewWorkbook(sheet);
    for (size_t r = 0; r < table.size(); ++r) {
        for (size_t c = 0; c < table[r].size(); ++c) {
            if (table[r][c].empty()) continue;
            x.SetCell(static_cast<uint32_t>(r + 1), static_cast<uint32_t>(c + 1),
                      FromUtf8(table[r][c]));
        }
    }
    for (size_t c = 0; !table.empty() && c < table[0].size(); ++c)
        x.SetColumnWidth(static_cast<uint32_t>(c + 1), 12);
    if (!x.SaveAs(file)) return x.LastStatus();
    return {};
}

Status ReadTextTable(const fs::path& file, FileStore& files, TextTable& out) {
    out.clear();
    std::string ext = PathToUtf8(file.extension());
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".csv" || ext == ".tsv" || ext == ".txt") {
        std::string refused;
        const auto bytes = ReadAtMost(files, file, kLargestWorkbookFile, refused);
        if (!bytes) {
            return refused.empty() ? Status::IoError("cannot read " + PathToUtf8(file))
                                   : Status::Unsupported(refused);
        }
        out = ParseDelimited(
            std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    } else {
        ExcelHelper x(files);
        if (!x.OpenWorkbook(file)) return x.LastStatus();
        const Workbook* book = x.Book();
        if (!book || book->sheets.empty()) return Status::Damaged("工作簿中没有工作表");
        x.SelectSheet(1);
        uint32_t rows = 0, columns = 0;
        for (const auto& [at, cell] : book->sheets[0].cells) {
            rows = std::max(rows, at.first);
            columns = std::max(columns, at.second);
        }
        for (uint32_t r = 1; r <= rows; ++r) {
            std::vector<std::string> row;
            for (uint32_t c = 1; c <= columns; ++c) row.push_back(ToUtf8(x.GetCell(r, c)));
            out.push_back(std::move(row));
        }
    }
    while (!out.empty() && IsEmptyRow(out.back())) out.pop_back();
    return {};
}

Status TakeTextTable(const TextTable& table, TableGrid& grid) {
    const GridDesc& desc = grid.Desc();
    const std::vector<std::string> header = table.empty() ? std::vector<std::string>{} : table[0];
    for (size_t c = 0; c < desc.columns.size(); ++c) {
        const std::string found = c < header.size() ? Trimmed(header[c]) : std::string();
        if (found != desc.columns[c].header) {
            return Status::Damaged("表头与“" + std::string(desc.title) + "”的列不符：第 " +
                                   std::to_string(c + 1) + " 列应为“" + desc.columns[c].header +
                                   "”，而不是“" + found + "”");
        }
    }
    Collecting ui;
    const size_t rows = table.size() - 1;
    grid.DropRowsFrom(rows);
    for (size_t r = 0; r < rows; ++r) {
        const std::vector<std::string>& cells = table[r + 1];
        const auto text = [&cells](size_t c) {
            return c < cells.size() ? Trimmed(cells[c]) : std::string();
        };
        if (r >= grid.Rows()) {
            // A new row takes its name (and a signal its type) at once, as
            // the dialogs for new switches and signals give them.
            TableGrid::NewRow input{FromUtf8(text(0)), 0xFFFF};
            if (desc.table == kSignalTable)
                input.signalType = SignalTypeFromName(FromUtf8(text(6)));
            grid.Append(input);
        }
        for (size_t c = 0; c < desc.columns.size(); ++c) {
            const std::string value = text(c);
            if (value.empty() || value == grid.Cell(r, c)) continue;
            if (!grid.Edit(r, c, value, ui)) {
                return Status::Damaged("第 " + std::to_string(r + 2) + " 行第 " +
                                       std::to_string(c + 1) + " 列（" + desc.columns[c].header +
                                       "）：" + ui.last);
            }
        }
    }
    return {};
}

}  // namespace velkor
