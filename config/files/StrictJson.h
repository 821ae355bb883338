#pragma once
// JSON text read strictly, for files that people edit by hand: a syntax error with its line and
// column, every key given twice in one object (a plain parse would keep the last one silently), and
// each number with a fraction or an exponent kept as the text it was written with, so that what the
// writer meant is judged exactly and not through a double.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace k54 {

using Json = nlohmann::ordered_json;  // objects keep the order they were written in

struct JsonSyntaxError {
    int line = 1, column = 1;
    std::string reason;
};

struct StrictJson {
    Json document;                                   // as far as it was read
    std::optional<JsonSyntaxError> syntaxError;      // the first one; the document is then incomplete
    std::vector<std::string> duplicateKeys;          // JSON pointers of keys given twice ("/parameters/DpLo")
    std::map<std::string, std::string> numberTexts;  // JSON pointer -> text, of numbers that are not integers
};

StrictJson parseStrictJson(std::string_view text);

}  // namespace k54
