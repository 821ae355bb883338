#pragma once
// The key codes the window's handlers tell apart.

namespace k54 {

inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;

}  // namespace k54
