#pragma once

// cPort: the one serial channel to the instrument (8E1 at one of seven speeds, RTS follows
// transmission, the back end's read time limits, CRC-checked replies) over a platform back end.

#include "serial/LineEcho.h"
#include "serial/ReadTimeouts.h"
#include "serial/Reception.h"
#include "serial/SerialBackend.h"
#include "serial/StatusSink.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace k54 {

inline constexpr std::array<uint32_t, 7> kBaudRates{2400, 4800, 9600, 19200, 38400, 57600, 115200};
inline constexpr int32_t kReceiveBufferSize = 512;

class cPort {
public:
    explicit cPort(std::unique_ptr<SerialBackend> backend);

    // setup; on failure a beep and "Ошибка инициализации Com<port>" to the sink, false;
    // on success input then output purged, DTR dropped, RTS set, true.
    bool open(uint8_t port, uint8_t speedIndex, StatusSink& sink);
    // Opens the device at the speed kBaudRates[speedIndex]; a speed index outside 0..6 gives false.
    // A device still held from an earlier open is released first.
    bool setup(uint8_t port, uint8_t speedIndex);
    // Bytes written; 0 at once when no port is open. The bytes written are the request whose reply
    // receiveReply reads next.
    int32_t transmit(std::span<const uint8_t> bytes);
    // Zeroes the first kReceiveBufferSize bytes of the buffer, reads up to count bytes into it and
    // returns how many came when their last two bytes hold the CRC of the others (low byte first),
    // else 0. A buffer shorter than kReceiveBufferSize is left untouched and gives 0; so does a count
    // outside 1..kReceiveBufferSize (buffer zeroed) and a call with no port open.
    int32_t receive(int32_t count, std::span<uint8_t> buffer);
    // Reads the reply to the request last transmitted, asking the line only for the bytes that the
    // reply's shape says it still needs (at most longestReply, itself at most kReceiveBufferSize), so
    // that a reply ends as soon as it is whole; the total limit is the one for longestReply bytes. An
    // echo of the request in front of the reply is skipped (see LineEcho). Zeroes the first
    // kReceiveBufferSize bytes of the buffer and puts the reply at its front. A buffer shorter than
    // kReceiveBufferSize, or no port open, gives an empty reception at once.
    Reception receiveReply(std::span<uint8_t> buffer, std::size_t longestReply, const ReplyShape& reply);
    // Drops stale input before a request.
    void discardInput();
    // Told while the channel waits for a reply, at least every kWaitSlice (FrameReader.h); none by
    // default, when a wait blocks for its whole time. Once the hook has answered false the channel has
    // stopped: the wait ends at once, and nothing more is sent or waited for until a port is opened again
    // (the program is closing, or the operator cancelled the work).
    void setWaitHook(WaitHook hook);
    bool stopped() const { return stopped_; }
    // Drops DTR and closes; harmless when not open.
    void close();
    bool isOpen() const;

    // The read time limits, also while open (from the next read on).
    void setReadTimeouts(const ReadTimeouts& timeouts);
    ReadTimeouts readTimeouts() const;
    // Whether the line has shown since the port was opened that it echoes every request.
    bool lineEchoes() const { return echo_.learnt(); }

    std::vector<std::string> deviceNames() const;
    std::string describe(uint8_t port) const;
    // Why the last open failed, as far as the back end tells.
    OpenFailure openFailure() const;

    // CRC-16/MODBUS: init 0xFFFF, reflected poly 0xA001, no final xor; no bytes give 0xFFFF.
    static uint16_t crc16(std::span<const uint8_t> bytes);
    // "Com9" for 1..9, "\\.\Com10" (the device-namespace form) for 10 and above.
    static std::string deviceName(uint8_t port);

private:
    std::unique_ptr<SerialBackend> backend_;
    std::vector<uint8_t> lastRequest_;
    LineEcho echo_;
    WaitHook waitHook_;
    bool stopped_ = false;
};

}  // namespace k54
