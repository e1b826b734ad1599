#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/TestFiles.h"

namespace velkor::testing {

// Runs a shell command with its output going into a file of the test's
// folder; returns the exit code and the output.
std::pair<int, std::string> RunCommand(const TempDir& dir, const std::string& command);

// LibreOffice (headless) converts the files into the folder, as `to` (an
// extension or a filter). It runs with a profile of its own in the test's
// folder, so that tests running side by side do not share one.
void Convert(const TempDir& dir, const std::string& to,
             const std::vector<std::filesystem::path>& files, const std::string& inFilter = {});

// LibreOffice's filter that writes every sheet into NAME-SHEET.csv, UTF-8,
// values unformatted.
inline constexpr const char* kCsvAllSheets =
    "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1";

// The rows of a CSV text (quoted fields, "" for a quote), and one cell of
// them by row and column from 1 ("" outside).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text);
std::string CsvCell(const std::vector<std::vector<std::string>>& rows, uint32_t row, uint32_t col);

}  // namespace velkor::testing
