#pragma once
// Pseudo-terminal pairs: the line to the configurator and the line to libmodbus each run over one.
#include <string>

#include "serial/posix/UniqueFd.h"

namespace k54::sim {

struct PtyPair {
    UniqueFd master;        // non-blocking, the simulated instrument's side
    std::string slavePath;  // the pts device the other side opens
};

// A new pair with its slave unlocked; throws std::runtime_error when the system refuses.
PtyPair openPtyPair();

// Opens the pair's slave side in raw mode (no echo, no line editing, no signals, no hang-up on close),
// so that the master stays usable while nobody else has the slave open.
UniqueFd openRawSlave(const std::string& slavePath);

}  // namespace k54::sim
