#include "config/operations/PortHolderText.h"

namespace k54 {

std::optional<std::string> portHolderLine(const OpenFailure& failure) {
    switch (failure.reason) {
        case OpenFailureReason::heldByProcess: {
            if (!failure.holder) return "Порт занят другой программой";
            std::string line = "Порт занят: процесс " + std::to_string(*failure.holder);
            if (!failure.holderName.empty()) line += " (" + failure.holderName + ")";
            return line;
        }
        case OpenFailureReason::busy:
            return "Порт занят другой программой";
        default:
            return std::nullopt;
    }
}

}  // namespace k54
