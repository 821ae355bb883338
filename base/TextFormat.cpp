#include "base/TextFormat.h"

#include <cstdarg>
#include <cstdio>

namespace k54 {

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list sizing;
    va_copy(sizing, args);
    const int length = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(args);
    return text;
}

std::string padLeft(const std::string& text, std::size_t width) {
    std::size_t characters = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) ++characters;  // count UTF-8 lead bytes
    return characters >= width ? text : std::string(width - characters, ' ') + text;
}

}  // namespace k54
