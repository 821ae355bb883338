// The randomized operator on the headless window against k54sim, with and without a window manager
// that activates the window again after each message box.
#include <gtest/gtest.h>

#include "tests/model/HeadlessOperator.h"
#include "tests/model/ModelRun.h"

namespace k54::model {
namespace {

constexpr Budget kSuiteBudget{100, 25, 5401};

TEST(OperatorModelWithWindowManager, HeadlessWindow) {
    const RunReport report = runModel({"headless window, window manager", makeHeadlessOperator, true, true},
                                      budgetFromEnvironment(kSuiteBudget));
    EXPECT_EQ(report.violations, 0);
}

TEST(OperatorModelWithoutWindowManager, HeadlessWindow) {
    const RunReport report = runModel({"headless window, no window manager", makeHeadlessOperator, false, true},
                                      budgetFromEnvironment(kSuiteBudget));
    EXPECT_EQ(report.violations, 0);
}

}  // namespace
}  // namespace k54::model
