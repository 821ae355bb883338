// The randomized operator on the real window Tk54 against k54sim, with and without a window manager
// that activates the window again after each message box (the offscreen platform has none).
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/model/ModelRun.h"
#include "tests/model/QtOperator.h"

namespace k54::model {
namespace {

constexpr Budget kSuiteBudget{50, 25, 5402};

TEST(OperatorModel, QtWindowWithWindowManager) {
    const RunReport report =
        runModel({"Qt window, window manager", makeQtOperator, true, false}, budgetFromEnvironment(kSuiteBudget));
    EXPECT_EQ(report.violations, 0);
}

TEST(OperatorModel, QtWindowWithoutWindowManager) {
    const RunReport report =
        runModel({"Qt window, no window manager", makeQtOperator, false, false}, budgetFromEnvironment(kSuiteBudget));
    EXPECT_EQ(report.violations, 0);
}

}  // namespace
}  // namespace k54::model

namespace {

// The offscreen platform warns of every window feature it lacks; those lines would bury the report.
void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    qt_message_output(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietOffscreenWarnings);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
