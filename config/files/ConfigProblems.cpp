#include "config/files/ConfigProblems.h"

namespace k54 {
namespace {

std::string place(const ConfigProblem& p) {
    if (p.line) return "line " + std::to_string(*p.line) + ", column " + std::to_string(p.column.value_or(0));
    return p.key.empty() ? std::string("the file") : p.key;
}

std::string reason(const ConfigProblem& p) {
    switch (p.kind) {
        case ProblemKind::CannotRead:
            return "cannot be read: " + p.detail;
        case ProblemKind::NotJson:
            return "not JSON: " + p.detail;
        case ProblemKind::NotAnObject:
            return "must be a JSON object";
        case ProblemKind::UnknownFormat:
            return "unknown format " + p.found + ", expected \"k54-configuration\"";
        case ProblemKind::UnknownVersion:
            return "unknown version " + p.found + ", expected 1";
        case ProblemKind::WrongModel:
            return "the file is for another instrument: " + p.found;
        case ProblemKind::UnknownKey:
            return "unknown key";
        case ProblemKind::PasswordNotSaved:
            return "the service password is never saved or restored";
        case ProblemKind::DuplicateKey:
            return "appears more than once";
        case ProblemKind::MissingKey:
            return "missing";
        case ProblemKind::NotANumber:
            return p.found + " is not a number";
        case ProblemKind::TooManyDecimals:
            return p.found + " has more than " + std::to_string(p.decimals) + " decimal" + (p.decimals == 1 ? "" : "s");
        case ProblemKind::TooLarge:
            return p.found + " is too large for the instrument";
        case ProblemKind::NoSuchItem:
            return "the list has no item " + p.found;
        case ProblemKind::OutOfLimits:
            return p.found + " is outside " + p.low + " ... " + p.high;
        case ProblemKind::InconsistentRange:
            return p.found + " is not below " + p.other + " " + p.otherValue;
        case ProblemKind::BadRegisterImage:
            return "must be 39 whole numbers 0 ... 65535";
    }
    return {};
}

}  // namespace

ConfigProblem makeProblem(ProblemKind kind, std::string key, std::string found) {
    ConfigProblem p;
    p.kind = kind;
    p.key = std::move(key);
    p.found = std::move(found);
    return p;
}

std::string describeProblem(const ConfigProblem& problem) {
    return place(problem) + ": " + reason(problem);
}

std::string describeNotice(const ConfigNotice& notice) {
    if (notice.kind == NoticeKind::ImageDisagrees)
        return notice.key + ": the register image holds " + notice.found + ", the parameter " + notice.value +
               "; the parameter holds";
    return notice.key + ": the text \"" + notice.found + "\" is not that of the number's item \"" + notice.value +
           "\"; the number holds";
}

}  // namespace k54
