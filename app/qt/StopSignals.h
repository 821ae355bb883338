#pragma once
// SIGTERM, SIGINT and SIGHUP (kill, Ctrl-C in a terminal, logout) end the program through its event loop,
// as «Выход» does: exec() returns, and the window and the three objects are destroyed in order, so the
// port is closed and its exclusive flag and line settings restored. Without this the signal's default
// action would end the process at once and leave the port taken. The event loop also runs while the
// window waits on the line, so a signal then gives up the wait (the window's endProgram).
#include <functional>
#include <memory>

class QSocketNotifier;

namespace k54 {

class StopSignals {
public:
    // Installs the handlers; needs the application object. A signal the program was started with
    // ignored (nohup, a background job of a script) stays ignored. A second signal of the same kind,
    // should the program not get back to its event loop, ends it at once. At most one instance at a time.
    // `stop` is told the exit status; by default the event loop is left with it at once.
    explicit StopSignals(std::function<void(int exitStatus)> stop = {});
    // Puts the earlier handlers back.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The exit status exec() returns when a signal ended the loop: 128 + the signal's number, as a
    // shell reports a program ended by that signal.
    static int exitStatusFor(int signalNumber);

private:
    struct Handlers;
    std::unique_ptr<Handlers> handlers_;
};

}  // namespace k54
