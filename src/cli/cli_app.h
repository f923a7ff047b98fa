#pragma once

#include <iosfwd>

namespace quillery {

struct DeviceSearchPlaces;

// Exit codes of quillery-cli.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

// Where a command-line run writes: the created folder (or the help and
// version texts) on `out`; progress, failures and usage errors on `err`.
// Progress is drawn only when `errIsTerminal` says `err` is a terminal.
struct CliStreams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

// Parses the arguments of quillery-cli (argv[0] is the program name),
// performs the extraction they ask for and returns the exit code.
// Without FILE it reads the clippings file of the one e-reader that
// FindDeviceClippings finds in the session's places, or in `places`.
int RunCli(int argc, const char* const* argv, const CliStreams& streams);
int RunCli(int argc, const char* const* argv, const CliStreams& streams, const DeviceSearchPlaces& places);

} // namespace quillery
