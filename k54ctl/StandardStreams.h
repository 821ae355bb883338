#pragma once
// "-" for a file: the configuration read from standard input or written to standard output, so that
// k54ctl fits a pipe (ssh host k54ctl save - > plant.json; k54ctl load - < plant.json).
#include <string>

#include "config/files/ConfigFile.h"
#include "k54ctl/Console.h"

namespace k54::ctl {

bool isStandardStream(const std::string& file);

// The file as messages name it: "standard input" for "-".
std::string inputName(const std::string& file);

// The configuration file, or standard input for "-" (refused beyond kLargestFile, as a file is).
LoadedConfiguration readConfigurationFrom(const std::string& file, Console& console);

}  // namespace k54::ctl
