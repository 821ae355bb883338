#pragma once
// What can be wrong with a configuration file or a set of parameter values, each problem with the
// key it concerns and the details a message needs, so that every program words it in its own
// language. A notice is no problem: the file is taken, and the user is told.
#include <optional>
#include <string>
#include <vector>

namespace k54 {

enum class ProblemKind {
    CannotRead,         // the file cannot be read (detail: the system's reason)
    NotJson,            // not JSON text (line, column; detail: the parser's reason)
    NotAnObject,        // the document, "parameters" or an entry is not a JSON object
    UnknownFormat,      // "format" is not this program's format (found: as written)
    UnknownVersion,     // "version" is not a version this program reads (found)
    WrongModel,         // the file is for another instrument (found)
    UnknownKey,         // a key this format does not have
    PasswordNotSaved,   // the service password in a file: never saved, never restored
    DuplicateKey,       // the same key twice in one object
    MissingKey,         // a key the format requires is not there
    NotANumber,         // a value that is not a number (found), or not an item of the list
    TooManyDecimals,    // a number with more decimals than the parameter has (found; decimals)
    TooLarge,           // a number beyond the instrument's registers (found)
    NoSuchItem,         // a list value that picks no item (found)
    OutOfLimits,        // a value outside the limits value entry applies (found; low, high)
    InconsistentRange,  // a range's low end not below its high end (found; other, otherValue)
    BadRegisterImage,   // "registers" is not 39 whole numbers 0 - 65535
};

struct ConfigProblem {
    ProblemKind kind = ProblemKind::NotJson;
    std::string key;  // the parameter key or the file's field ("format", "parameters", ...); may be empty
    std::optional<int> line, column;  // where the parser gives them
    std::string found;                // the value as written
    std::string low, high;            // OutOfLimits: the limits, as engineering numbers
    std::string other, otherValue;    // InconsistentRange: the range's other end
    int decimals = 0;                 // TooManyDecimals: the decimals the parameter has
    std::string detail;               // CannotRead, NotJson: the reason given
};

ConfigProblem makeProblem(ProblemKind kind, std::string key, std::string found = {});

enum class NoticeKind {
    ImageDisagrees,  // the raw register image says otherwise (found: the image's value); the parameter holds
    TextDisagrees,   // a list entry's text is not its item's text (found: the text); the number holds
};

struct ConfigNotice {
    NoticeKind kind;
    std::string key;
    std::string found;  // what the image or the text says
    std::string value;  // the parameter's value (engineering number), or the text of its number's item
};

// The problem in English, starting with its key (or its place): "DpHi: 500.0 is outside 0.1 ... 320.0".
std::string describeProblem(const ConfigProblem& problem);
// The notice in English.
std::string describeNotice(const ConfigNotice& notice);

}  // namespace k54
