#include "config/K54cfg.h"

namespace k54 {

std::optional<int> findRowByControl(const k54L& k, std::string_view controlName) {
    for (int i = 0; i < kParamCount; ++i)
        if (k.row(i).controlName == controlName) return i;
    return std::nullopt;
}

}  // namespace k54
