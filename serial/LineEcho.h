#pragma once

// Some RS-485 adapters hand every request back to the sender before the reply. Such a line is
// recognised without a setting: a received prefix that is exactly the request just sent is its echo.
//
// For a write of one register (function 6) the echo is byte for byte the normal reply, so an echo can
// only be told from a reply where the two differ. The line is therefore learnt from an exchange whose
// request cannot be a reply (every connection begins with a read); until then a prefix that counts as
// a whole reply by itself is the reply, and from then on every reply is expected behind an echo.

#include "serial/Reception.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace k54 {

class LineEcho {
public:
    // Forgets what was learnt: a new connection may run over another adapter.
    void reset() { echoes_ = false; }
    // Whether the line has shown that it echoes.
    bool learnt() const { return echoes_; }

    // How many bytes the reply needs in all, an echo in front of it included, judged from what has
    // come. Never more than every reading still open needs, so that no byte past the frame is taken.
    std::size_t needed(std::span<const uint8_t> arrived, std::span<const uint8_t> request,
                       const ReplyShape& reply) const;
    // How many leading bytes of a finished read are the request's echo (0 or the request's length);
    // an echo that could not have been a reply teaches that the line echoes.
    std::size_t takeEcho(std::span<const uint8_t> arrived, std::span<const uint8_t> request, const ReplyShape& reply);

private:
    bool echoes_ = false;
};

}  // namespace k54
