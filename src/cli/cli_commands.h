// The commands of velacli on the core: one board session (a serial port or the built-in
// simulated board), the data files, and the exit status of the contract.
#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

namespace vela::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int RunCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace vela::cli
