#pragma once
// How a run of k54ctl ends for the shell or script that started it.
#include "k54ctl/Console.h"

namespace k54::ctl {

// The command's status, unless what it produced could not be written to standard output (2: a full
// disk, a closed pipe) or a signal asked it to end (128 + the signal's number, as a shell reports a
// program a signal ended: 130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP); each said on standard error.
int endStatus(int status, Console& console);

}  // namespace k54::ctl
