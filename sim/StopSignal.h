#pragma once
// SIGINT and SIGTERM ask the simulated instrument to stop; everything that waits checks the request.

namespace k54::sim {

// Installs the handlers (without SA_RESTART, so that a waiting call returns at once) and ignores SIGPIPE.
void installStopHandlers();

bool stopRequested();

}  // namespace k54::sim
