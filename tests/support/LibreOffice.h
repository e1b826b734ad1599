#pragma once
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

}  // namespace velkor::testing
