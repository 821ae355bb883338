#include "config/files/ConfigDiff.h"

#include "config/files/ParamKeys.h"

namespace k54 {

int32_t valueInImage(const RegisterImage& image, int rowIndex) {
    return valueInImage(image, kParamTemplate.at(static_cast<std::size_t>(rowIndex)));
}

void putInImage(RegisterImage& image, int rowIndex, int32_t value) {
    putInImage(image, kParamTemplate.at(static_cast<std::size_t>(rowIndex)), value);
}

std::vector<Difference> differences(const RegisterImage& from, const RegisterImage& to, bool withLink) {
    std::vector<Difference> found;
    for (int r = 0; r < kParamCount; ++r) {
        if (isPasswordRow(r) || (isLinkRow(r) && !withLink)) continue;
        const int32_t a = valueInImage(from, r), b = valueInImage(to, r);
        if (a != b) found.push_back({r, a, b});
    }
    return found;
}

}  // namespace k54
