// Reading a configuration file: every problem with its key, before anything may reach an instrument.
#include <algorithm>
#include <limits>
#include <set>
#include <span>

#include "config/files/ConfigChecks.h"
#include "config/files/ConfigFile.h"
#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"
#include "config/files/StrictJson.h"
#include "config/params/ListItems.h"

namespace k54 {
namespace {

constexpr std::string_view kHeaderFields[] = {"format", "version",    "model",    "firmware",
                                              "saved",  "parameters", "registers"};
constexpr std::string_view kEntryFields[] = {"value", "text", "unit"};

bool isOneOf(std::string_view name, std::span<const std::string_view> names) {
    for (const std::string_view n : names)
        if (n == name) return true;
    return false;
}

ProblemKind problemOf(ValueError error) {
    switch (error) {
        case ValueError::NotANumber:
            return ProblemKind::NotANumber;
        case ValueError::TooManyDecimals:
            return ProblemKind::TooManyDecimals;
        case ValueError::TooLarge:
            return ProblemKind::TooLarge;
        case ValueError::NoSuchItem:
            break;
    }
    return ProblemKind::NoSuchItem;
}

bool isText(const Json& value, std::string_view text) {
    return value.is_string() && value.get<std::string>() == text;
}

// A key from the file as a problem names it: an empty one as "", so that the message still says where.
std::string keyName(const std::string& key) {
    return key.empty() ? "\"\"" : key;
}

// A string as written, or the JSON text of any other value.
std::string asWritten(const Json& value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
}

// A problem of a value that reads (one outside its own limits): the file still says what it holds.
bool isAboutTheValues(const ConfigProblem& problem) {
    return problem.kind == ProblemKind::OutOfLimits;
}

class FileReader {
public:
    explicit FileReader(StrictJson parsed) : parsed_(std::move(parsed)) {}

    LoadedConfiguration read() {
        if (parsed_.syntaxError) {
            ConfigProblem p = makeProblem(ProblemKind::NotJson, "");
            p.line = parsed_.syntaxError->line;
            p.column = parsed_.syntaxError->column;
            p.detail = parsed_.syntaxError->reason;
            return {std::nullopt, {p}, {}, std::nullopt, {}};
        }
        for (const std::string& pointer : parsed_.duplicateKeys)
            add(makeProblem(ProblemKind::DuplicateKey, keyName(Json::json_pointer(pointer).back())));
        const Json& document = parsed_.document;
        if (!document.is_object()) {
            add(makeProblem(ProblemKind::NotAnObject, ""));
            return result();
        }
        if (!readHeader(document)) return result();
        for (const auto& [name, value] : document.items())
            if (!isOneOf(name, kHeaderFields)) add(makeProblem(ProblemKind::UnknownKey, keyName(name)));
        readParameters(document);
        if (document.contains("registers")) readImage(document.at("registers"));
        if (std::ranges::all_of(out_.problems, isAboutTheValues)) out_.entries = registerImage(rows_, false);
        if (!out_.problems.empty()) return result();

        out_.configuration = SavedConfiguration{asWritten(document.value("firmware", Json(""))),
                                                asWritten(document.value("saved", Json(""))), *out_.entries};
        out_.relationBreaches = checkParameterRelations(rows_);
        compareImage();
        return result();
    }

private:
    void add(ConfigProblem p) { out_.problems.push_back(std::move(p)); }
    LoadedConfiguration result() { return std::move(out_); }

    // Format, version and model; false when the rest of the file cannot be read as this format.
    bool readHeader(const Json& document) {
        const std::size_t before = out_.problems.size();
        const auto check = [&](const char* field, ProblemKind kind, auto&& isRight) {
            if (!document.contains(field))
                add(makeProblem(ProblemKind::MissingKey, field));
            else if (!isRight(document.at(field)))
                add(makeProblem(kind, field, asWritten(document.at(field))));
        };
        check("format", ProblemKind::UnknownFormat, [](const Json& v) { return isText(v, kFileFormat); });
        check("version", ProblemKind::UnknownVersion,
              [](const Json& v) { return v.is_number_integer() && v.get<int64_t>() == kFileVersion; });
        check("model", ProblemKind::WrongModel, [](const Json& v) { return isText(v, kInstrumentModel); });
        return out_.problems.size() == before;
    }

    void readParameters(const Json& document) {
        if (!document.contains("parameters")) {
            add(makeProblem(ProblemKind::MissingKey, "parameters"));
            return;
        }
        const Json& parameters = document.at("parameters");
        if (!parameters.is_object()) {
            add(makeProblem(ProblemKind::NotAnObject, "parameters"));
            return;
        }
        std::set<int> present, read;
        for (const auto& [key, entry] : parameters.items()) {
            const auto rowIndex = rowForKey(key);
            if (!rowIndex) {
                add(makeProblem(ProblemKind::UnknownKey, keyName(key)));
            } else if (isPasswordRow(*rowIndex)) {
                add(makeProblem(ProblemKind::PasswordNotSaved, key));
            } else {
                present.insert(*rowIndex);
                if (readEntry(*rowIndex, key, entry)) read.insert(*rowIndex);
            }
        }
        for (int r = 0; r < kParamCount; ++r)
            if (!isPasswordRow(r) && !present.count(r))
                add(makeProblem(ProblemKind::MissingKey, std::string(keyOfRow(r))));
        // The limits depend on other parameters: judged only when every value is known.
        if (static_cast<int>(read.size()) == kParamCount - 1)
            for (ConfigProblem& p : checkParameterValues(rows_)) add(std::move(p));
    }

    // One parameter's entry; true when its value was read into its row.
    bool readEntry(int rowIndex, const std::string& key, const Json& entry) {
        if (!entry.is_object()) {
            add(makeProblem(ProblemKind::NotAnObject, key));
            return false;
        }
        for (const auto& [field, ignored] : entry.items())
            if (!isOneOf(field, kEntryFields)) add(makeProblem(ProblemKind::UnknownKey, key + "." + keyName(field)));
        if (!entry.contains("value")) {
            add(makeProblem(ProblemKind::MissingKey, key + ".value"));
            return false;
        }
        const Json& value = entry.at("value");
        const std::string pointer = (Json::json_pointer("/parameters") / key / "value").to_string();
        const auto [reading, written] = readNumber(rowIndex, value, pointer);
        if (reading.error) {
            ConfigProblem p = makeProblem(problemOf(*reading.error), key, written);
            p.decimals = rowDecimals(rowIndex);
            add(std::move(p));
            return false;
        }
        rows_.at(static_cast<std::size_t>(rowIndex)).value = reading.raw;
        if (entry.contains("text")) compareItemText(rowIndex, key, entry.at("text"));
        return true;
    }

    // The value's reading and the value as written.
    std::pair<ValueReading, std::string> readNumber(int rowIndex, const Json& value, const std::string& pointer) {
        if (value.is_number_unsigned()) {
            const bool huge = value.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
            return {huge ? ValueReading{0, ValueError::TooLarge} : readWholeValue(rowIndex, value.get<int64_t>()),
                    value.dump()};
        }
        if (value.is_number_integer()) return {readWholeValue(rowIndex, value.get<int64_t>()), value.dump()};
        const auto text = parsed_.numberTexts.find(pointer);
        if (value.is_number_float() && text != parsed_.numberTexts.end())
            return {readValueText(rowIndex, text->second), text->second};
        return {ValueReading{0, ValueError::NotANumber}, value.dump()};
    }

    void compareItemText(int rowIndex, const std::string& key, const Json& text) {
        const auto item = listItemText(rowIndex, rows_.at(static_cast<std::size_t>(rowIndex)).value);
        if (!item || (text.is_string() && text.get<std::string>() == *item)) return;
        out_.notices.push_back({NoticeKind::TextDisagrees, key, asWritten(text), std::string(*item)});
    }

    void readImage(const Json& registers) {
        const bool valid = registers.is_array() && registers.size() == image_.size() &&
                           std::all_of(registers.begin(), registers.end(), [](const Json& r) {
                               return r.is_number_unsigned() && r.get<uint64_t>() <= 0xFFFF;
                           });
        if (!valid) {
            add(makeProblem(ProblemKind::BadRegisterImage, "registers"));
            return;
        }
        for (std::size_t k = 0; k < image_.size(); ++k) image_.at(k) = registers.at(k).get<uint16_t>();
        hasImage_ = true;
    }

    // Where the raw image says otherwise, the parameters hold; the user is told which.
    void compareImage() {
        if (!hasImage_) return;
        const ParamTable imageRows = rowsOf(image_);
        for (int r = 0; r < kParamCount; ++r) {
            const int32_t fromImage = imageRows.at(static_cast<std::size_t>(r)).value;
            const int32_t fromParameters = rows_.at(static_cast<std::size_t>(r)).value;
            if (isPasswordRow(r) || fromImage == fromParameters) continue;
            out_.notices.push_back({NoticeKind::ImageDisagrees, std::string(keyOfRow(r)), engineeringText(r, fromImage),
                                    engineeringText(r, fromParameters)});
        }
    }

    StrictJson parsed_;
    LoadedConfiguration out_;
    ParamTable rows_ = kParamTemplate;  // the password row keeps 0: it is never in a file
    RegisterImage image_{};
    bool hasImage_ = false;
};

}  // namespace

LoadedConfiguration readConfigurationText(std::string_view text) {
    return FileReader(parseStrictJson(text)).read();
}

std::vector<ConfigProblem> problemsOnLoading(const SavedConfiguration& configuration) {
    return readConfigurationText(configurationFileText(configuration)).problems;
}

}  // namespace k54
