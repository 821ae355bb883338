#include "config/operations/K54cfg.h"

namespace k54 {

std::optional<int> findRowByControl(const k54L& k, std::string_view controlName) {
    return findRow(k.params, controlName);
}

}  // namespace k54
