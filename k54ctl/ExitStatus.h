#pragma once
// How k54ctl ends: what a script that runs it can tell from its exit status.

namespace k54::ctl {

inline constexpr int kExitOk = 0;           // done
inline constexpr int kExitLineFailure = 1;  // the instrument or the line failed (no answer, refused, port busy, ...)
inline constexpr int kExitUsage = 2;        // a usage error, or a file that cannot be read or written
inline constexpr int kExitSignalBase = 128;  // + the signal that asked it to end (what was in progress ended first)

}  // namespace k54::ctl
