#include "tests/model/ModelRun.h"

#include <rapidcheck.h>
#include <rapidcheck/state.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "tests/model/OperatorRig.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SimInstrument.h"

namespace k54::model {
namespace {

template <class T>
T fromEnvironment(const char* name, T fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<T>(std::strtoull(text, nullptr, 10)) : fallback;
}

// The user's data folder for the run: the backups the window writes before each factory write go to a
// scratch folder, not into the data folder of whoever runs the tests, and are gone after the run.
class ScratchDataFolder {
public:
    ScratchDataFolder() : dir_("k54-model-data-") {
        if (const char* previous = std::getenv(kVariable)) previous_ = previous;
        ::setenv(kVariable, dir_.path().c_str(), 1);
    }
    ~ScratchDataFolder() {
        if (previous_)
            ::setenv(kVariable, previous_->c_str(), 1);
        else
            ::unsetenv(kVariable);
    }
    ScratchDataFolder(const ScratchDataFolder&) = delete;
    ScratchDataFolder& operator=(const ScratchDataFolder&) = delete;

private:
    static constexpr const char* kVariable = "XDG_DATA_HOME";
    test::ScratchDir dir_;
    std::optional<std::string> previous_;
};

}  // namespace

Budget budgetFromEnvironment(Budget defaults) {
    return {fromEnvironment("K54_MODEL_SEQUENCES", defaults.sequences),
            fromEnvironment("K54_MODEL_SIZE", defaults.maxSize), fromEnvironment("K54_MODEL_SEED", defaults.seed),
            fromEnvironment("K54_MODEL_ACTIONS", defaults.actions)};
}

RunReport runModel(const Variant& variant, const Budget& budget) {
    const ScratchDataFolder dataFolder;
    test::SimInstrument sim({"--no-pacing"}, kInstrumentPort);
    RunStats stats;
    RunReport report;
    const auto start = std::chrono::steady_clock::now();
    uint64_t round = 0;
    do {
        rc::detail::TestParams params;
        params.seed = budget.seed + round++;
        params.maxSuccess = budget.sequences;
        params.maxSize = budget.maxSize;
        rc::detail::TestMetadata metadata;
        metadata.id = variant.name;
        metadata.description = variant.name;
        const auto result = rc::detail::checkTestable(
            [&variant, &sim, &stats] {
                const char separator = variant.bothSeparators ? *rc::gen::element('.', ',') : '.';
                const Model initial(variant.reactivatesAfterBox, separator);
                OperatorRig rig(sim, variant.makeWindow, variant.reactivatesAfterBox, separator, stats);
                rc::state::check(initial, rig, &nextCommand);
            },
            metadata, params);
        if (!result.template is<rc::detail::SuccessResult>()) {
            ++report.violations;
            std::cout << variant.name << ": VIOLATION with seed " << params.seed << " (" << budget.sequences
                      << " sequences, size " << budget.maxSize << ")\n";
            rc::detail::printResultMessage(result, std::cout);
            std::cout << std::endl;
        }
    } while (stats.actions < budget.actions);
    report.actions = stats.actions;
    report.sequences = stats.sequences;
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << variant.name << ": " << report.actions << " actions run in " << report.sequences << " sequences ("
              << round << " rounds from seed " << budget.seed << ", " << seconds << " s), " << report.violations
              << " violations" << std::endl;
    return report;
}

}  // namespace k54::model
