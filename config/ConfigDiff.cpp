#include "config/ConfigDiff.h"

#include "config/ParamKeys.h"

namespace k54 {

int32_t valueInImage(const RegisterImage& image, int rowIndex) {
    const ParamRow& row = kParamTemplate.at(static_cast<std::size_t>(rowIndex));
    return row.wide ? decodeWide(image.at(row.reg), image.at(row.reg + 1u)) : decodeNarrow(image.at(row.reg));
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
