#pragma once

// The check of a reply against the request it answers.

#include "modbus/ExchangeReport.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace k54 {

// What the reply (an echo of the request already skipped) means for the request, whose normal reply
// is `normalReply` bytes long. In this order: nothing came; fewer bytes than foretold; CRC; the
// slave's address; an exception reply to the request's function (code 0 is malformed); another
// function code; then the byte count of a read (2 x count) or the echo of a write's register and
// value, or start and quantity. Fills outcome, exceptionCode, received and expected.
ExchangeReport checkReply(std::span<const uint8_t> reply, std::span<const uint8_t> request, std::size_t normalReply);

}  // namespace k54
