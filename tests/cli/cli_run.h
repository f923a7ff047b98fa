#pragma once

#include <string>
#include <vector>

namespace quillery::test {

// What one in-process run of quillery-cli gave.
struct CliResult {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs RunCli on `args` (without the program name) with string streams for
// stdout and stderr; `errIsTerminal` stands in for the terminal check.
CliResult RunCliInProcess(const std::vector<std::string>& args, bool errIsTerminal = false);

} // namespace quillery::test
