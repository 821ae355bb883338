#pragma once
// How k54ctl ends: what a script that runs it can tell from its exit status.

namespace k54::ctl {

inline constexpr int kExitOk = 0;           // done
inline constexpr int kExitLineFailure = 1;  // the instrument or the line failed (no answer, refused, port busy, ...)
inline constexpr int kExitUsage = 2;        // a usage error, or a file that cannot be read or written

}  // namespace k54::ctl
