#pragma once
// Writing a configuration (from a file) to an instrument: its current configuration is read and backed
// up first, then only the parameters that differ are written, in register order, the first failure
// stops, and the instrument is read back and compared. The service password is never written. The
// address, speed and protocol are written only when asked, after everything else has been read back
// and found right: protocol, then address and speed together in one request. The link is not followed
// to them: the instrument answers at its new address and speed once it applies them, and the caller
// reaches it anew.
#include <filesystem>
#include <optional>
#include <vector>

#include "config/files/ConfigDiff.h"
#include "config/instrument/Backup.h"
#include "config/instrument/InstrumentLink.h"

namespace k54 {

struct RestoreOptions {
    bool withLink = false;                               // also the address, speed and protocol
    std::optional<std::filesystem::path> backupFolder;   // usually defaultBackupFolder()
    std::tm now{};                                       // the backup's date and time
    Progress progress;                                   // after each write
    std::function<void(const BackupOutcome&)> backedUp;  // once the backup is written, before any write
    StopRequest stopRequested;                           // asked before each write and read after the backup
};

enum class RestoreOutcome {
    Restored,         // the instrument holds the configuration (also when nothing differed)
    ReadFailed,       // its current configuration could not be read: nothing written
    BackupFailed,     // the backup could not be written: nothing written
    WriteFailed,      // a write failed: the rest were not sent
    ReadBackFailed,   // a read after writing got no valid reply
    ReadBackDiffers,  // the instrument holds other values than were written
    Stopped,          // a stop was asked for: the rest were not sent
};

struct RestoreReport {
    RestoreOutcome outcome = RestoreOutcome::ReadFailed;
    uint8_t modbusResult = 0;    // of the request that failed
    BackupOutcome backup;        // none when the read failed or nothing differed
    std::vector<int> planned;    // the rows that differed at the start, in the order they are written
    std::vector<int> written;    // the rows written, in order
    std::vector<int> unwritten;  // the rows left unwritten when the restore stopped, the failed one first
    std::vector<Difference> readBackDifferences;  // from: the configuration, to: what the instrument holds
    std::optional<RegisterImage> readBack;        // the instrument's configuration as last read (before the link rows)
    bool linkChanged = false;                     // the address or speed was written: reach the instrument anew
};

// The rows a restore writes to turn `current` into `target`, in the order it writes them.
std::vector<int> restorePlan(const RegisterImage& current, const RegisterImage& target, bool withLink);

RestoreReport restoreConfiguration(InstrumentLink& link, const RegisterImage& target, const RestoreOptions& options);

}  // namespace k54
