#pragma once
// Automatic backups: before anything overwrites an instrument's configuration, its current one is
// saved as a configuration file in the user's data folder, named by date, time and address.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "config/files/ConfigFile.h"
#include "config/instrument/InstrumentLink.h"

namespace k54 {

// $XDG_DATA_HOME/k54/backups (when XDG_DATA_HOME is an absolute path), else ~/.local/share/k54/backups;
// on Windows %APPDATA%\k54\backups (the roaming application-data folder). Nothing when neither is known.
std::optional<std::filesystem::path> defaultBackupFolder();

// "2009-11-18_08-05-29_address-1.json"
std::string configurationFileName(const std::tm& time, int address);

struct BackupOutcome {
    std::filesystem::path path;  // the file written; empty when none was
    std::string error;           // why none was, when one was due
    bool written() const { return !path.empty(); }
};

// Writes the configuration as a new file in the folder, made when missing. An existing file is never
// replaced, not even by a program choosing a name there at the same moment: a second backup within the
// same second gets "-2" (and so on) before ".json".
BackupOutcome writeBackup(const std::optional<std::filesystem::path>& folder, const SavedConfiguration& configuration,
                          const std::tm& time, int address);

struct TakenBackup {
    uint8_t modbusResult = 0;  // of the reads; no file when not 0
    SavedConfiguration current;
    BackupOutcome backup;
};

// Reads the instrument's configuration and firmware and writes them as a backup.
TakenBackup takeBackup(InstrumentLink& link, const std::optional<std::filesystem::path>& folder, const std::tm& time);

}  // namespace k54
