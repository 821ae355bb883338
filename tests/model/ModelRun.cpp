#include "tests/model/ModelRun.h"

#include <rapidcheck.h>
#include <rapidcheck/state.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

#include "tests/model/OperatorRig.h"

namespace k54::model {
namespace {

template <class T>
T fromEnvironment(const char* name, T fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<T>(std::strtoull(text, nullptr, 10)) : fallback;
}

}  // namespace

Budget budgetFromEnvironment(Budget defaults) {
    return {fromEnvironment("K54_MODEL_SEQUENCES", defaults.sequences), fromEnvironment("K54_MODEL_SIZE", defaults.maxSize),
            fromEnvironment("K54_MODEL_SEED", defaults.seed), fromEnvironment("K54_MODEL_ACTIONS", defaults.actions)};
}

RunReport runModel(const Variant& variant, const Budget& budget) {
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
            [&variant, &stats] {
                const char separator = variant.bothSeparators ? *rc::gen::element('.', ',') : '.';
                const Model initial(variant.reactivatesAfterBox, separator);
                OperatorRig rig(variant.makeWindow, variant.reactivatesAfterBox, separator, stats);
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
