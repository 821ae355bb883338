#pragma once
// The factory configuration written to an instrument: every row's factory value in register order,
// the address, speed and password included. An exception reply is noted and the write goes on; a
// request that gets no reply stops it, since every further one would only wait out its time-out. A stop
// asked for ends it before the next request. (Take the backup first: takeBackup in Backup.h.)
#include <optional>
#include <vector>

#include "config/instrument/InstrumentLink.h"

namespace k54 {

struct FactoryWriteReport {
    std::vector<int> refused;       // rows the instrument answered with an exception
    std::optional<int> unanswered;  // the row whose write got no reply; the rows after it were not sent
    std::optional<int> stoppedAt;   // the first row not sent because a stop was asked for
    bool allWritten() const { return refused.empty() && !unanswered && !stoppedAt; }
};

FactoryWriteReport writeFactoryValues(InstrumentLink& link, const Progress& progress,
                                      const StopRequest& stopRequested = {});

}  // namespace k54
