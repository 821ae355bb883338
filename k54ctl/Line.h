#pragma once
// The serial line a command works on: the port or device the options name, its channel and Modbus
// master (made once for the run), and the traffic log when one is asked for.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <variant>

#include "k54ctl/Options.h"
#include "modbus/K54mdb.h"
#include "modbus/TrafficLog.h"
#include "serial/K54com.h"

namespace k54::ctl {

struct PortChoice {
    uint8_t number = 1;            // the port number the channel opens (any, for a device named by path)
    std::filesystem::path device;  // a device named by its path (--device), else empty
    std::string name;              // "COM4", or the device's path
};

// The port the options name: --port or --device; without either, the one port there is. The text of a
// usage error when they name none (both given, a malformed name, no port or several to choose from).
std::variant<PortChoice, std::string> choosePort(const LineOptions& options);

// The platform's serial back end on the options' virtual ports folder.
std::unique_ptr<SerialBackend> platformBackend(const LineOptions& options);

class Line {
public:
    Line(const LineOptions& options, PortChoice choice);

    // Logs every exchange to the file from now on; false when the file cannot be opened for appending.
    bool logTrafficTo(const std::filesystem::path& file);
    // Whether a line of the traffic log could not be written.
    bool trafficLogFailed() const { return log_ && log_->writeFailed(); }

    // Opens the port at the speed (closing it first when open), under the command's read limits;
    // false when it cannot (port().openFailure() tells why).
    bool open(uint32_t baud);
    uint32_t baud() const { return baud_; }

    cPort& port() { return port_; }
    mBus& bus() { return bus_; }
    const PortChoice& choice() const { return choice_; }
    // "COM4 (/run/user/1000/k54/ports/com4 -> /dev/pts/3)", or the device's path.
    std::string description() const;

private:
    const LineOptions& options_;
    PortChoice choice_;
    cPort port_;
    mBus bus_;
    std::unique_ptr<TrafficLog> log_;
    uint32_t baud_ = 0;
};

}  // namespace k54::ctl
