#include "config/instrument/Backup.h"

#include <cstdlib>

#include "base/PathText.h"
#include "base/TextFormat.h"
#include "config/files/NewFile.h"

namespace k54 {
namespace {

// An absolute folder named by an environment variable.
#ifdef _WIN32
std::optional<std::filesystem::path> environmentPath(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
#else
std::optional<std::filesystem::path> environmentPath(const char* name) {
    const char* value = std::getenv(name);
#endif
    if (!value || !*value) return std::nullopt;
    std::filesystem::path path(value);
    return path.is_absolute() ? std::optional(path) : std::nullopt;
}

// The name with a number before its extension: "...address-1-2.json".
std::filesystem::path numbered(const std::filesystem::path& folder, const std::string& name, int number) {
    if (number == 1) return folder / name;
    const auto dot = name.rfind('.');
    return folder / (name.substr(0, dot) + "-" + std::to_string(number) + name.substr(dot));
}

}  // namespace

std::optional<std::filesystem::path> defaultBackupFolder() {
#ifdef _WIN32
    if (const auto appData = environmentPath(L"APPDATA")) return *appData / "k54" / "backups";
#else
    if (const auto dataHome = environmentPath("XDG_DATA_HOME")) return *dataHome / "k54" / "backups";
    if (const auto home = environmentPath("HOME")) return *home / ".local" / "share" / "k54" / "backups";
#endif
    return std::nullopt;
}

std::string configurationFileName(const std::tm& time, int address) {
    return formatText("%04d-%02d-%02d_%02d-%02d-%02d_address-%d.json", time.tm_year + 1900, time.tm_mon + 1,
                      time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, address);
}

BackupOutcome writeBackup(const std::optional<std::filesystem::path>& folder, const SavedConfiguration& configuration,
                          const std::tm& time, int address) {
    if (!folder) return {{}, "the user's data folder is not known"};
    std::error_code error;
    std::filesystem::create_directories(*folder, error);
    if (error) return {{}, utf8Text(*folder) + ": " + error.message()};
    const std::string name = configurationFileName(time, address);
    const std::string text = configurationFileText(configuration);
    for (int number = 1;; ++number) {
        const std::filesystem::path path = numbered(*folder, name, number);
        const NewFile file = writeNewFile(path, text);
        if (file.outcome == NewFile::Outcome::written) return {path, {}};
        if (file.outcome == NewFile::Outcome::failed) return {{}, utf8Text(path) + ": " + file.error};
    }
}

TakenBackup takeBackup(InstrumentLink& link, const std::optional<std::filesystem::path>& folder, const std::tm& time) {
    TakenBackup taken;
    taken.modbusResult = readSavedConfiguration(link, time, taken.current);
    if (taken.modbusResult == 0) taken.backup = writeBackup(folder, taken.current, time, link.address());
    return taken;
}

}  // namespace k54
