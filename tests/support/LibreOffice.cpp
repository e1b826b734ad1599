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

}  // namespace velkor::testing
