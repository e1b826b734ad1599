#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace velkor::cli {

// Runs velkor-cli with its arguments (without the program name). Results go
// to `out`, messages to `err`; returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velkor::cli
