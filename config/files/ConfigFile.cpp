#include "config/files/ConfigFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/TextFormat.h"
#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"
#include "config/files/StrictJson.h"
#include "config/params/ListItems.h"

namespace k54 {
namespace {

// A JSON string, escaped by the JSON library.
std::string jsonString(std::string_view text) {
    return Json(std::string(text)).dump();
}

// One parameter's entry on one line: its value as the engineering number with the parameter's own
// decimals (exact, as the window shows it), a list's item text and the unit, where there are ones.
std::string entryText(const ParamTable& rows, int rowIndex) {
    const int32_t value = rows.at(static_cast<std::size_t>(rowIndex)).value;
    std::string entry = "{\"value\": " + engineeringText(rowIndex, value);
    if (const auto item = listItemText(rowIndex, value)) entry += ", \"text\": " + jsonString(*item);
    if (const std::string_view unit = parameterUnit(rows, rowIndex); !unit.empty())
        entry += ", \"unit\": " + jsonString(unit);
    return entry + "}";
}

std::string registersText(const RegisterImage& image) {
    std::string text = "[";
    for (std::size_t k = 0; k < image.size(); ++k) text += (k == 0 ? "" : ", ") + std::to_string(image.at(k));
    return text + "]";
}

}  // namespace

RegisterImage withoutPassword(RegisterImage image) {
    image.at(kParamTemplate.at(row::Psw).reg) = 0;
    return image;
}

std::string savedAtText(const std::tm& time) {
    return formatText("%04d-%02d-%02dT%02d:%02d:%02d", time.tm_year + 1900, time.tm_mon + 1, time.tm_mday, time.tm_hour,
                      time.tm_min, time.tm_sec);
}

std::string configurationFileText(const SavedConfiguration& configuration) {
    const RegisterImage image = withoutPassword(configuration.registers);
    const ParamTable rows = rowsOf(image);

    std::string text = "{\n";
    text += "  \"format\": " + jsonString(kFileFormat) + ",\n";
    text += "  \"version\": " + std::to_string(kFileVersion) + ",\n";
    text += "  \"model\": " + jsonString(kInstrumentModel) + ",\n";
    text += "  \"firmware\": " + jsonString(configuration.firmware) + ",\n";
    text += "  \"saved\": " + jsonString(configuration.savedAt) + ",\n";
    text += "  \"parameters\": {\n";
    bool first = true;
    for (int r = 0; r < kParamCount; ++r) {
        if (isPasswordRow(r)) continue;
        text += (first ? "" : ",\n") + std::string("    ") + jsonString(keyOfRow(r)) + ": " + entryText(rows, r);
        first = false;
    }
    text += "\n  },\n";
    text += "  \"registers\": " + registersText(image) + "\n";
    return text + "}\n";
}

LoadedConfiguration loadConfigurationFile(const std::filesystem::path& path) {
    const auto cannotRead = [](std::string reason) {
        ConfigProblem problem = makeProblem(ProblemKind::CannotRead, "");
        problem.detail = std::move(reason);
        return LoadedConfiguration{std::nullopt, {std::move(problem)}, {}, std::nullopt, {}};
    };
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return cannotRead(error.message());
    if (size > kLargestFile) return cannotRead("larger than " + std::to_string(kLargestFile) + " bytes");
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file) return cannotRead(std::strerror(errno));
    return readConfigurationText(text.str());
}

std::optional<std::string> saveConfigurationFile(const std::filesystem::path& path,
                                                 const SavedConfiguration& configuration) {
    const std::string text = configurationFileText(configuration);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) return std::string(std::strerror(errno));
    return std::nullopt;
}

}  // namespace k54
