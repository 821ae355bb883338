#pragma once
// printf-style texts of any length: the result is sized by the formatting itself.
#include <string>

namespace k54 {

// MinGW's C++ runtime formats as the GNU C library does (long double included); its "printf" archetype
// would check the formats against Microsoft's instead.
#if defined(__MINGW32__)
#define K54_PRINTF_ARCHETYPE gnu_printf
#else
#define K54_PRINTF_ARCHETYPE printf
#endif

std::string formatText(const char* format, ...) __attribute__((format(K54_PRINTF_ARCHETYPE, 1, 2)));

// Pads text on the left with blanks to width characters (UTF-8 aware), as printf's "%Ns" would in a
// single-byte code page.
std::string padLeft(const std::string& text, std::size_t width);

}  // namespace k54
