#include "config/instrument/FactoryWrite.h"

namespace k54 {

FactoryWriteReport writeFactoryValues(InstrumentLink& link, const Progress& progress,
                                      const StopRequest& stopRequested) {
    FactoryWriteReport report;
    for (int r = 0; r < kParamCount; ++r) {
        if (stopRequested && stopRequested()) {
            report.stoppedAt = r;
            break;
        }
        const uint8_t result = link.writeParameter(r, kParamTemplate.at(static_cast<std::size_t>(r)).factoryValue);
        if (result == kNoReply) {
            report.unanswered = r;
            break;
        }
        if (result != 0) report.refused.push_back(r);
        if (progress) progress(r + 1, kParamCount);
    }
    return report;
}

}  // namespace k54
