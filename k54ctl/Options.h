#pragma once
// What the command line asks for, as the commands take it.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k54::ctl {

// The line and the instrument on it, common to every command that talks to one.
struct LineOptions {
    std::string port;      // --port: "COM4" or "4"
    std::string device;    // --device: a serial device's path
    std::string portsDir;  // --ports-dir: the virtual ports folder (empty: the usual one)
    uint32_t baud = 19200;
    int address = 1;
    std::optional<int> timeoutMs;  // --timeout-ms: how long a reply may take, beside its own length
    std::string trafficLog;        // --traffic-log (or K54_TRAFFIC_LOG): every exchange to this file
};

struct ScanOptions {
    std::string addresses = "1-247";  // --address A-B
    std::vector<uint32_t> speeds;     // --baud: empty for all, in the scan's order
    int answerMs = 50;
    bool first = false;
};

struct LoadOptions {
    std::string file;
    bool dryRun = false;
    bool withAddress = false;
    bool asIs = false;      // values that break a relation the window keeps are written as they are
    std::string backupDir;  // empty: the user's data folder
};

struct FactoryOptions {
    bool yes = false;
    std::string backupDir;
};

struct PasswordOptions {
    std::string password;
    bool reset = false;
};

struct WatchOptions {
    int intervalMs = 500;  // the window's poll
    std::string csvFile;
    std::optional<int> count;
};

}  // namespace k54::ctl
