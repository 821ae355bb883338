#pragma once
// k54ctl run in process against a simulated instrument of its own (unpaced, on virtual port COM4), with
// its standard output and error caught, the wire trace at hand and a scratch folder for files.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "k54ctl/CommandLine.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SimInstrument.h"

namespace k54::ctl::test {

inline constexpr int kPort = 4;

struct Result {
    int status = -1;
    std::string out, err;
};

// The simulated instruments as the test asks for them (default: one at address 17, 9600 baud).
class CtlTest : public ::testing::Test {
protected:
    explicit CtlTest(std::vector<std::string> simArgs = {"--address", "17@9600"})
        : sim(withNoPacing(std::move(simArgs)), kPort) {}

    // k54ctl with exactly these arguments.
    Result run(const std::vector<std::string>& args, bool outIsTerminal = false) {
        std::ostringstream out, err;
        Console console(out, err);
        console.outIsTerminal = outIsTerminal;
        console.readLine = [this]() -> std::optional<std::string> {
            if (answers.empty()) return std::nullopt;
            std::string answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
        console.inIsTerminal = inIsTerminal;
        const int status = runK54ctl(args, console);
        return {status, out.str(), err.str()};
    }

    // The port's options: the simulated instrument's port.
    std::vector<std::string> portOptions() const {
        return {"--ports-dir", sim.portsDir().string(), "--port", "COM" + std::to_string(kPort)};
    }

    // A command for the instrument at 17, 9600 baud (a short reply limit, so that silence costs little).
    Result onLine(std::vector<std::string> args, bool outIsTerminal = false) {
        for (const std::string& option : portOptions()) args.push_back(option);
        for (const char* option : {"--address", "17", "--baud", "9600", "--timeout-ms", "200"})
            args.emplace_back(option);
        return run(args, outIsTerminal);
    }

    // The writes (functions 6 and 16) among them.
    std::vector<std::string> writesFrom(std::size_t mark = 0) const {
        std::vector<std::string> writes;
        for (const std::string& request : sim.requestsFrom(mark))
            if (request.substr(3, 2) == "06" || request.substr(3, 2) == "10") writes.push_back(request);
        return writes;
    }

    std::size_t traceMark() const { return sim.traceLines().size(); }

    std::filesystem::path file(const std::string& name) const { return files.path() / name; }

    k54::test::SimInstrument sim;
    k54::test::ScratchDir files{"k54ctl-test-"};
    std::vector<std::string> answers;  // to a question, in order
    bool inIsTerminal = false;

private:
    static std::vector<std::string> withNoPacing(std::vector<std::string> args) {
        args.insert(args.begin(), "--no-pacing");
        return args;
    }
};

// The text holds the part.
inline ::testing::AssertionResult holds(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "'" << part << "' is not in:\n" << text;
}

}  // namespace k54::ctl::test
