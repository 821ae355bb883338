#include "app/qt/ProgramOptions.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "k54/Version.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace k54 {

namespace {

constexpr std::string_view kHelp =
    "Usage: k54 [--help | --version] [Qt option]...\n"
    "The configurator of the КЭР-5400-02(03), a single-channel process-measuring instrument that is a\n"
    "Modbus RTU slave on a serial line: connect to it, read its configuration into six pages, write every\n"
    "change at once, write the factory configuration, set or reset its service password and watch the live\n"
    "measured value.\n"
    "\n"
    "  --help      show this text and exit\n"
    "  --version   show the program's version and exit\n"
    "\n"
    "The Qt toolkit's own options (such as -platform NAME) are taken too.\n"
#ifndef _WIN32
    "\n"
    "Ports: COM1-COM32 are /dev/ttyS0-31, COM33-COM64 /dev/ttyUSB0-31, COM65-COM96 /dev/ttyACM0-31 and\n"
    "COM97-COM128 /dev/ttyAMA0-31; a symbolic link comN in $XDG_RUNTIME_DIR/k54/ports (or\n"
    "/tmp/k54-<uid>/ports where XDG_RUNTIME_DIR is unset) names any serial device as COMN. Opening a\n"
    "serial device usually needs membership of the group dialout.\n"
    "SIGTERM, SIGINT and SIGHUP close the port and end the program as «Выход» does.\n"
#endif
    "\n"
    "Exit status: 0 when the window was closed, 1 when there is no display, 2 for an unknown argument,\n"
    "128+N when signal N ended it.\n";

bool isArgument(const char* given, std::string_view name) {
    return given != nullptr && std::string_view(given) == name;
}

// A window program on Windows starts without a console: it writes into the one of the command prompt it
// was started from, unless its output already goes somewhere (a file, a pipe).
void useParentConsole() {
#ifdef _WIN32
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    FILE* reopened = nullptr;
    static_cast<void>(freopen_s(&reopened, "CONOUT$", "w", stdout));
    static_cast<void>(freopen_s(&reopened, "CONOUT$", "w", stderr));
    SetConsoleOutputCP(CP_UTF8);
#endif
}

int print(std::string_view text) {
    useParentConsole();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

std::optional<int> answerInformationOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (isArgument(argv[i], "--help")) return print(kHelp);
        if (isArgument(argv[i], "--version")) return print(std::string("k54 ") + kProgramVersion + "\n");
    }
    return std::nullopt;
}

std::optional<int> refuseLeftoverArguments(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    useParentConsole();
    std::fprintf(stderr, "k54: unknown argument %s (k54 --help lists the options)\n", argv[1]);
    return kExitBadArguments;
}

}  // namespace k54
