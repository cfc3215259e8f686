// The program: the command line decides between its tasks and the normal run.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"

namespace vantro::app {

// The process's arguments after its own path, from GetCommandLineW.
[[nodiscard]] std::vector<cli::Argument> process_arguments();

// Everything wWinMain does; returns the exit code (0, 1 or 2).
[[nodiscard]] int run_program();

}  // namespace vantro::app
