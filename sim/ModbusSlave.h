#pragma once
// libmodbus as the instrument's protocol engine: an RTU slave on its own pseudo-terminal pair.
// The line emulator hands it one request at a time and collects the reply it sends.
#include <modbus.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "sim/Pty.h"
#include "sim/RegisterBank.h"

namespace k54::sim {

// A request libmodbus accepted (good CRC, this slave's address), as it received it.
struct AcceptedRequest {
    std::vector<uint8_t> bytes;
};

// Why libmodbus sends no reply.
struct NoReply {
    std::string reason;
};

class ModbusSlave {
public:
    // Throws std::runtime_error when libmodbus cannot take its end of the pair.
    ModbusSlave(int baud, int address);

    // Lets libmodbus receive the request; a request for another address, shorter than an address, a
    // function code and a CRC, or whose CRC does not hold over the whole frame is refused.
    std::variant<AcceptedRequest, NoReply> receive(std::span<const uint8_t> request);

    // Lets libmodbus execute an accepted request on the registers and returns the reply it sent.
    std::variant<std::vector<uint8_t>, NoReply> reply(const AcceptedRequest& request, RegisterBank& registers);

private:
    struct ContextDeleter {
        void operator()(modbus_t* context) const;
    };

    void discardStaleBytes();
    bool writeRequest(std::span<const uint8_t> request);
    std::vector<uint8_t> readReply(std::size_t count);

    int address_;
    PtyPair pty_;
    std::unique_ptr<modbus_t, ContextDeleter> context_;
};

}  // namespace k54::sim
