#pragma once

// mBus: the Modbus RTU master. It builds each request in the caller's tx buffer, drops stale input,
// sends the request through cPort and reads the reply into rx, asking the line only for the bytes the
// reply still needs (an exception reply ends at its fifth byte). Every operation returns 0 for the
// expected normal reply, the exception code of an exception reply from the addressed slave, and
// kNoReply for anything else (no reply, bad CRC, a cut or overlong reply, a stranger's address,
// another function code, a wrong echo) and for arguments it cannot send (nothing is sent then).
// lastExchange() tells which it was.

#include "modbus/ExchangeObserver.h"
#include "modbus/ExchangeReport.h"
#include "serial/K54com.h"

#include <cstdint>
#include <span>

namespace k54 {

class mBus {
public:
    explicit mBus(cPort& port);

    // Function 3: `count` registers from `start`; register k of the reply is replyRegister(rx, k).
    // Needs tx of 8 bytes, rx of kReceiveBufferSize bytes, 1 <= count and 2 x count + 5 <= kReceiveBufferSize.
    uint8_t readRegisters(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t start, uint16_t count);
    // Function 6: one register; the reply must echo register and value.
    uint8_t writeRegister(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t reg, int16_t value);
    // Function 16: `quantity` goes into the header, the values (1..123) follow it; the reply must echo
    // start and quantity. Needs tx of 9 + 2 x values bytes.
    uint8_t writeRegisters(std::span<uint8_t> tx, std::span<uint8_t> rx, uint8_t slave, uint16_t start,
                           uint16_t quantity, std::span<const int16_t> values);

    // What the last operation came to, in detail (its result() is what the operation returned).
    const ExchangeReport& lastExchange() const { return last_; }
    // Shows every exchange from now on to `observer` (nullptr: to nobody); it must stay alive until
    // it is replaced.
    void setObserver(ExchangeObserver* observer) { observer_ = observer; }

private:
    // Drops stale input, sends the request, reads its reply into rx and judges it.
    uint8_t exchange(std::span<const uint8_t> request, std::span<uint8_t> rx, std::size_t normalReply);
    // Arguments that cannot be sent: nothing is sent, rx is left alone.
    uint8_t refuse();
    uint8_t finish(std::span<const uint8_t> echo, std::span<const uint8_t> reply, const ExchangeReport& report);

    cPort& port_;
    ExchangeReport last_;
    ExchangeObserver* observer_ = nullptr;
};

// The 16-bit register k of a read reply (bytes 3 + 2k high, 4 + 2k low); 0 when it lies outside rx.
uint16_t replyRegister(std::span<const uint8_t> rx, int k);

}  // namespace k54
