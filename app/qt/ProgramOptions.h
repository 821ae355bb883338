#pragma once
// The few options of the window program k54 itself: --help and --version print on the terminal and end
// the program before any window or display is needed; whatever the toolkit does not take is refused.
#include <optional>

namespace k54 {

inline constexpr int kExitBadArguments = 2;

// Answers --help or --version (on Windows in the console the program was started from); the exit status
// when the program ends here, nothing when the window is to open.
std::optional<int> answerInformationOptions(int argc, char** argv);

// After the toolkit has taken its own options out of the arguments: an exit status, with a line on
// standard error, when any argument is left; nothing when none is.
std::optional<int> refuseLeftoverArguments(int argc, char** argv);

}  // namespace k54
