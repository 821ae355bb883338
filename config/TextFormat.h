#pragma once
// printf-style texts of any length: the result is sized by the formatting itself.
#include <string>

namespace k54 {

std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Pads text on the left with blanks to width characters (UTF-8 aware), as printf's "%Ns" would in a
// single-byte code page.
std::string padLeft(const std::string& text, std::size_t width);

}  // namespace k54
