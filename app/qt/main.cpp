// The configurator k54: the three long-lived objects first, then the one window. The program ends when
// the window is closed or a stop signal arrives; either way main returns and everything is destroyed.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/qt/ProgramOptions.h"
#include "app/qt/StopSignals.h"
#include "app/qt/Tk54.h"
#include "base/LocalTime.h"
#include "config/operations/K54cfg.h"
#include "modbus/K54mdb.h"
#include "modbus/TrafficLog.h"
#include "serial/K54com.h"
#include "serial/PlatformSerial.h"

namespace {

bool hasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

char systemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const auto answered = k54::answerInformationOptions(argc, argv)) return *answered;
#ifdef __linux__
    if (!hasDisplay()) {
        // A wrong argument is a usage error, display or not.
        if (const auto refused = k54::refuseLeftoverArguments(argc, argv)) return *refused;
        std::fputs(
            "k54: no display found (DISPLAY is not set); run it under a desktop, or headless with "
            "`xvfb-run -a k54`\n",
            stderr);
        return 1;
    }
#endif
    // K54_TRAFFIC_LOG=<file>: every request and reply on the line is appended to the file.
    std::optional<k54::TrafficLog> trafficLog;
    if (const char* file = std::getenv("K54_TRAFFIC_LOG"); file && *file) {
        trafficLog.emplace(file);
        if (!trafficLog->isOpen()) {
            std::fprintf(stderr, "k54: cannot write the traffic log %s\n", file);
            trafficLog.reset();
        }
    }
    k54::cPort port(k54::makePlatformSerialBackend());
    k54::mBus bus(port);
    if (trafficLog) bus.setObserver(&*trafficLog);
    k54::k54L state;
    QApplication app(argc, argv);
    if (const auto refused = k54::refuseLeftoverArguments(argc, argv)) return *refused;
    // The toolkit's own texts (Yes and No of the question boxes) in the operator's language.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);
    const k54::SystemSettings system{systemDecimalSeparator(), k54::localCalendarTimeNow};
    k54::Tk54 window(port, bus, state, system);
    window.show();
    const k54::StopSignals stopSignals([&window](int exitStatus) { window.endProgram(exitStatus); });
    return QApplication::exec();
}
