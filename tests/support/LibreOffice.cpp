#include "support/LibreOffice.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/Files.h"

namespace velkor::testing {

std::pair<int, std::string> RunCommand(const TempDir& dir, const std::string& command) {
    const std::string log = PathToUtf8(dir / "command.log");
    const int rc = std::system((command + " > '" + log + "' 2>&1").c_str());
    const auto out = ReadBytes(dir / "command.log");
    return {rc, std::string(out.begin(), out.end())};
}

void Convert(const TempDir& dir, const std::string& to,
             const std::vector<std::filesystem::path>& files, const std::string& inFilter) {
    std::string cmd = "soffice -env:UserInstallation=file://" + PathToUtf8(dir / "profile") +
                      " --headless --norestore";
    if (!inFilter.empty()) cmd += " '--infilter=" + inFilter + "'";
    cmd += " --convert-to '" + to + "' --outdir '" + PathToUtf8(dir.Path()) + "'";
    for (const auto& f : files) cmd += " '" + PathToUtf8(f) + "'";
    const auto [rc, out] = RunCommand(dir, cmd);
    ASSERT_EQ(rc, 0) << out;
}

std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (ch == '"') {
                quoted = false;
            } else {
                field += ch;
            }
        } else if (ch == '"') {
            quoted = true;
            any = true;
        } else if (ch == ',') {
            row.push_back(field);
            field.clear();
        } else if (ch == '\n' || ch == '\r') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            any = false;
        } else {
            field += ch;
            any = true;
        }
    }
    if (any || !field.empty() || !row.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

std::string CsvCell(const std::vector<std::vector<std::string>>& rows, uint32_t row, uint32_t col) {
    if (row == 0 || row > rows.size() || col == 0 || col > rows[row - 1].size()) return {};
    return rows[row - 1][col - 1];
}

}  // namespace velkor::testing
