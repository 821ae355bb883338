#pragma once
// The commands of k54ctl, each as the command line asks for it; each gives back the exit status.
#include <string>
#include <vector>

#include "k54ctl/Console.h"
#include "k54ctl/Options.h"

namespace k54::ctl {

// ports: the serial ports the window would list, with the device behind each.
int listPorts(const LineOptions& line, Console& console);
// scan: every address at every speed (or those asked for); each instrument found, as it is found.
int scanLine(const LineOptions& line, const ScanOptions& scan, Console& console);
// info: the model and firmware check, the firmware version.
int showInfo(const LineOptions& line, Console& console);
// read: the whole configuration as a table (key, label, value, unit), or as a configuration file's JSON.
int readConfiguration(const LineOptions& line, bool json, Console& console);
// save FILE: the configuration to a configuration file.
int saveConfiguration(const LineOptions& line, const std::string& file, Console& console);
// load FILE: a configuration file into the instrument (backup, writes, read-back); --dry-run: what would change.
int loadConfiguration(const LineOptions& line, const LoadOptions& load, Console& console);
// diff FILE: what differs between the file and the instrument.
int diffConfiguration(const LineOptions& line, const std::string& file, Console& console);
// set KEY=VALUE...: parameters changed by the window's rules of value entry and list changes.
int setParameters(const LineOptions& line, const std::vector<std::string>& assignments, Console& console);
// factory: the factory configuration written, after a backup and a confirmation.
int writeFactory(const LineOptions& line, const FactoryOptions& factory, Console& console);
// password NNNN | --reset: the service password.
int setPassword(const LineOptions& line, const PasswordOptions& password, Console& console);
// watch: the live measured value, one line per poll, and a CSV recording.
int watchMeasurement(const LineOptions& line, const WatchOptions& watch, Console& console);

}  // namespace k54::ctl
