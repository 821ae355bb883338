#pragma once
// How k54ctl ends: what a script that runs it can tell from its exit status.

namespace k54::ctl {

inline constexpr int kExitOk = 0;           // done
inline constexpr int kExitLineFailure = 1;  // the instrument or the line failed (no answer, refused, port busy, ...)
inline constexpr int kExitUsage = 2;        // a usage error, or a file that cannot be read or written
// diff, as diff(1): 0 the same, 1 they differ, 2 trouble (a file that is no configuration file, the line
// or the instrument failed), so that a script can tell a difference from a failure.
inline constexpr int kExitDiffers = 1;
inline constexpr int kExitTrouble = 2;
inline constexpr int kExitSignalBase = 128;  // + the signal that asked it to end (what was in progress ended first)

}  // namespace k54::ctl
