#include "serial/DosDeviceList.h"

#include <algorithm>

namespace k54 {

std::vector<std::string> splitDosDeviceList(std::span<const char> list) {
    std::vector<std::string> names;
    auto rest = list.begin();
    while (rest != list.end()) {
        const auto end = std::find(rest, list.end(), '\0');
        if (end == list.end() || end == rest) {
            break;
        }
        names.emplace_back(rest, end);
        rest = std::next(end);
    }
    return names;
}

}  // namespace k54
