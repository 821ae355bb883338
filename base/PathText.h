#pragma once
// File paths as UTF-8 text, the way the window and the messages carry them, on every platform.
#include <filesystem>
#include <string>
#include <string_view>

namespace k54 {

std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8Text(const std::filesystem::path& path);

}  // namespace k54
