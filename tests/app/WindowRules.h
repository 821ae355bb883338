#pragma once
// The window's rules that hold for every window the logic drives: its look at start, its timers, the
// rows bound to their controls, reports in the status line and the log, what a change made from code
// raises, and how a row's value shows in its control. One suite, run on the in-memory window
// (tests/app/headless) and on the Qt window (tests/app/qt), each rule on a fresh window.
#include <functional>
#include <string>
#include <vector>

#include "config/operations/WindowSession.h"

namespace k54::test {

using Problems = std::vector<std::string>;

struct WindowRule {
    const char* name;
    // Checks the rule on a window just started, with its session and state; each breach one line.
    std::function<void(WindowSession& session, Problems& problems)> check;
};

const std::vector<WindowRule>& windowRules();

}  // namespace k54::test
