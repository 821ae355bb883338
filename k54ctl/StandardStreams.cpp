#include "k54ctl/StandardStreams.h"

#include "base/PathText.h"

namespace k54::ctl {
namespace {

LoadedConfiguration cannotRead(std::string reason) {
    ConfigProblem problem = makeProblem(ProblemKind::CannotRead, "");
    problem.detail = std::move(reason);
    return {std::nullopt, {std::move(problem)}, {}, std::nullopt, {}};
}

}  // namespace

bool isStandardStream(const std::string& file) {
    return file == "-";
}

std::string inputName(const std::string& file) {
    return isStandardStream(file) ? "standard input" : file;
}

LoadedConfiguration readConfigurationFrom(const std::string& file, Console& console) {
    if (!isStandardStream(file)) return loadConfigurationFile(pathFromUtf8(file));
    std::string text;
    while (const auto line = console.readLine ? console.readLine() : std::nullopt) {
        text += *line + '\n';
        if (text.size() > kLargestFile) return cannotRead("larger than " + std::to_string(kLargestFile) + " bytes");
    }
    if (console.wasInterrupted()) return cannotRead("interrupted before its end");
    return readConfigurationText(text);
}

}  // namespace k54::ctl
