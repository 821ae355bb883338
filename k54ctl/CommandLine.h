#pragma once
// k54ctl's command line (CLI11): the commands, their options and help, and the run of the one asked for.
#include <string>
#include <vector>

#include "k54ctl/Console.h"

namespace k54::ctl {

// Parses the arguments (without the program's name) and runs the command; the exit status.
int runK54ctl(const std::vector<std::string>& args, Console& console);

}  // namespace k54::ctl
