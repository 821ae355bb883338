#pragma once
// The configuration file (docs/configuration-file.md): JSON, UTF-8, a header that names the format,
// the instrument and when and from which firmware it was saved, one entry per parameter under its key
// in engineering units, and the raw register image for the record. The service password is never in it.
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/files/ConfigProblems.h"
#include "config/params/ParamTable.h"

namespace k54 {

inline constexpr std::string_view kFileFormat = "k54-configuration";
inline constexpr int kFileVersion = 1;
inline constexpr std::string_view kInstrumentModel = "КЭР-5400-02(03)";
inline constexpr std::uintmax_t kLargestFile = 1024 * 1024;  // a configuration file is a few kilobytes

// A configuration as a file holds it.
struct SavedConfiguration {
    std::string firmware;  // the instrument's firmware version, "1.90.0013"
    std::string savedAt;   // the computer's local date and time, "2009-11-18T08:05:29"
    RegisterImage
        registers{};  // registers 0 - 38; a file never holds register 23 (the password): written and read as 0
};

// The image with the password's register cleared, as a file holds it.
RegisterImage withoutPassword(RegisterImage image);

// A local date and time as the file gives it: "2009-11-18T08:05:29".
std::string savedAtText(const std::tm& time);

// The file's text: one line per parameter, in register order.
std::string configurationFileText(const SavedConfiguration& configuration);

struct LoadedConfiguration {
    std::optional<SavedConfiguration> configuration;  // only when there is no problem at all
    std::vector<ConfigProblem> problems;              // every one found
    std::vector<ConfigNotice> notices;
    // Every parameter's value as the file gives it, also where a value lies outside its own limits (what a
    // comparison with an instrument needs); nothing where an entry, a key or the format is wrong.
    std::optional<RegisterImage> entries;
    // With a configuration: the relations the window keeps that its values break (a setpoint outside
    // the display range, ...). An instrument may hold such a configuration; it is written as it is
    // only once the user has confirmed these.
    std::vector<ConfigProblem> relationBreaches;
};

// Reads and checks a file's text. The checks run as far as they can: a value is judged against the
// limits only once every parameter has a value that reads.
LoadedConfiguration readConfigurationText(std::string_view text);

// The problems the configuration's file would have when loaded: values outside their parameters' own
// limits, which an instrument should never hold (relations broken are no problem: see relationBreaches).
std::vector<ConfigProblem> problemsOnLoading(const SavedConfiguration& configuration);

// The same for a file (a file above kLargestFile is refused unread).
LoadedConfiguration loadConfigurationFile(const std::filesystem::path& path);

// Writes the file, replacing one that is there; the system's reason when it could not.
std::optional<std::string> saveConfigurationFile(const std::filesystem::path& path,
                                                 const SavedConfiguration& configuration);

}  // namespace k54
