// k54sim: the simulated instrument. Reads its options, then serves until SIGINT or SIGTERM.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "k54/Version.h"
#include "sim/SimOptions.h"
#include "sim/SimServer.h"
#include "sim/StopSignal.h"

namespace {

constexpr int kExitStopped = 0;
constexpr int kExitCannotStart = 1;
constexpr int kExitBadOptions = 2;

int serve(const k54::sim::SimOptions& options) {
    k54::sim::installStopHandlers();
    try {
        k54::sim::SimServer server(options);
        std::cout << server.readyLine() << std::endl;
        server.run();
        return kExitStopped;
    } catch (const std::exception& error) {
        std::cerr << "k54sim: " << error.what() << std::endl;
        return kExitCannotStart;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args =
        argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
    const auto outcome = k54::sim::parseSimOptions(args);
    switch (outcome.action) {
        case k54::sim::OptionsOutcome::Action::ShowHelp:
            std::cout << k54::sim::helpText();
            return kExitStopped;
        case k54::sim::OptionsOutcome::Action::ShowVersion:
            std::cout << "k54sim " << k54::kProgramVersion << std::endl;
            return kExitStopped;
        case k54::sim::OptionsOutcome::Action::Refuse:
            std::cerr << "k54sim: " << outcome.error << "\n(k54sim --help lists the options)" << std::endl;
            return kExitBadOptions;
        case k54::sim::OptionsOutcome::Action::Run:
            break;
    }
    return serve(outcome.options);
}
