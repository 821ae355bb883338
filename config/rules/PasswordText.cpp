#include "config/rules/PasswordText.h"

namespace k54 {

std::optional<uint16_t> passwordFromText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > 4) return std::nullopt;
    uint16_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = static_cast<uint16_t>(number * 10 + (c - '0'));
    }
    return number;
}

}  // namespace k54
