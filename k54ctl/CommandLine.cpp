#include "k54ctl/CommandLine.h"

#include <CLI/CLI.hpp>

#include "k54/Version.h"
#include "k54ctl/Commands.h"
#include "k54ctl/Ending.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ReachedInstrument.h"
#include "k54ctl/ScanPlan.h"
#include "serial/K54com.h"

namespace k54::ctl {
namespace {

const std::vector<uint32_t> kSpeeds(kBaudRates.begin(), kBaudRates.end());

constexpr const char* kDescription =
    "k54ctl: the КЭР-5400-02(03) from the command line. Finds instruments on a serial line, reads, saves,\n"
    "restores and compares their configuration, changes parameters by the configurator's rules and\n"
    "watches the measured value. Output goes to standard output, diagnostics to standard error.";

constexpr const char* kFooter =
    "Each command has its own --help. The instrument's factory setting is address 1 at 19200 baud, 8E1.\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  the instrument or the line failed: no answer, a refusal, old firmware, the port busy or missing\n"
    "  2  a usage error, or a file that cannot be read, is refused or cannot be written (nothing is sent)\n"
    "  diff: 0 the same, 1 they differ, 2 trouble, as diff(1)\n"
    "\n"
    "Examples:\n"
    "  k54ctl scan --port COM33                  find the instruments on the line\n"
    "  k54ctl read --port COM33 --address 17 --baud 9600\n"
    "  k54ctl save --port COM33 plant-7.json     then: k54ctl load --port COM33 plant-7.json\n"
    "  k54ctl set --port COM33 US_1=850 GS_1=2   setpoint 1 and its hysteresis\n"
    "  k54ctl watch --port COM33 --count 10 --csv values.csv";

constexpr const char* kShortFooter =
    "Exit status: 0 done; 1 the instrument or the line failed; 2 a usage or file error (nothing sent).";

// The port, on every command that uses the line.
void addPortOptions(CLI::App& command, LineOptions& line) {
    command.add_option("--port", line.port, "the serial port, COM1 ... COM255 (k54ctl ports lists them)")
        ->type_name("COMn");
    command.add_option("--device", line.device, "the serial device by its path, instead of --port")->type_name("PATH");
    command.add_option("--ports-dir", line.portsDir, "the folder of virtual port links comN")->type_name("DIR");
    command.add_option("--traffic-log", line.trafficLog, "append every request and reply to FILE")->type_name("FILE");
}

// The instrument's address and speed and the reply's time limit, on every command that talks to one.
void addInstrumentOptions(CLI::App& command, LineOptions& line) {
    addPortOptions(command, line);
    command.add_option("--baud", line.baud, "the instrument's speed")
        ->check(CLI::IsMember(kSpeeds))
        ->type_name("BAUD")
        ->capture_default_str();
    command.add_option("--address", line.address, "the instrument's address, 1 ... 254")
        ->check(CLI::Range(1, 254))
        ->type_name("A")
        ->capture_default_str();
    command
        .add_option("--timeout-ms", line.timeoutMs,
                    "a reply's time limit besides its length on the line (default 5000 + 100 a byte)")
        ->check(CLI::Range(1, 600000))
        ->type_name("MS");
}

struct Choices {
    LineOptions line;
    ScanOptions scan;
    bool json = false;
    std::string file;
    LoadOptions load;
    std::vector<std::string> assignments;
    FactoryOptions factory;
    PasswordOptions password;
    WatchOptions watch;
};

class Program {
public:
    Program() : app_(kDescription, "k54ctl") {
        app_.set_version_flag("--version", std::string("k54ctl ") + kProgramVersion);
        app_.footer(kFooter);
        app_.require_subcommand(1);
        app_.get_formatter()->column_width(34);
        addCommands();
    }

    int run(const std::vector<std::string>& args, Console& console) {
        if (const auto problem = commandProblem(args)) return complain(console, kExitUsage, *problem);
        std::vector<const char*> argv{"k54ctl"};
        for (const std::string& arg : args) argv.push_back(arg.c_str());
        try {
            app_.parse(static_cast<int>(argv.size()), argv.data());
        } catch (const CLI::ParseError& error) {
            if (error.get_exit_code() == 0) return app_.exit(error, console.out, console.err);  // --help, --version
            return complain(console, kExitUsage, parseErrorText(error));
        }
        return endStatus(dispatch(console), console);
    }

private:
    std::string commandNames() {
        std::string names;
        for (const CLI::App* sub : app_.get_subcommands(std::function<bool(CLI::App*)>{}))
            names += (names.empty() ? "" : ", ") + sub->get_name();
        return names;
    }

    // The command comes first; without one, or with one this program does not have, CLI11 would only say
    // that a subcommand is required.
    std::optional<std::string> commandProblem(const std::vector<std::string>& args) {
        if (args.empty()) return "no command given; the commands are: " + commandNames();
        const std::string& first = args.front();
        if (first == "--help" || first == "-h" || first == "--version") return std::nullopt;
        if (first.starts_with('-'))
            return "the command comes first, before '" + first + "'; the commands are: " + commandNames();
        const auto subs = app_.get_subcommands([&first](CLI::App* sub) { return sub->get_name() == first; });
        if (subs.empty()) return "unknown command '" + first + "'; the commands are: " + commandNames();
        return std::nullopt;
    }

    // CLI11's message, with the command it concerns and where its options are told.
    std::string parseErrorText(const CLI::ParseError& error) const {
        const auto parsed = app_.get_subcommands();
        const std::string command = parsed.empty() ? "" : parsed.front()->get_name();
        const std::string help = command.empty() ? "k54ctl --help" : "k54ctl " + command + " --help";
        return (command.empty() ? "" : command + ": ") + error.what() + " (" + help + " lists the options)";
    }

    CLI::App* command(const char* name, const char* description) {
        CLI::App* sub = app_.add_subcommand(name, description);
        sub->footer(kShortFooter);
        return sub;
    }

    void addCommands() {
        LineOptions& line = c_.line;
        CLI::App* ports = command("ports", "the serial ports there are, with the device behind each");
        ports->add_option("--ports-dir", line.portsDir, "the folder of virtual port links comN")->type_name("DIR");

        CLI::App* scan = command("scan", "find the instruments on the line: their addresses, speeds, firmware");
        scan->description(
            "Finds the instruments on the line: tries every address at every speed, reading the firmware version.\n"
            "First the factory setting (address 1 at 19200 baud), then address 1 at every other speed, then every\n"
            "address at 19200, 9600, 115200, 38400, 57600, 4800 and 2400 baud, in this order.");
        addPortOptions(*scan, line);
        scan->add_option("--address", c_.scan.addresses, "the addresses to try")
            ->type_name("A-B")
            ->capture_default_str();
        scan->add_option("--baud", c_.scan.speeds, "the speeds to try, in this order (default: all)")
            ->delimiter(',')
            ->check(CLI::IsMember(kSpeeds))
            ->type_name("BAUD,...");
        scan->add_option("--answer-ms", c_.scan.answerMs, "how long an answer may take to begin")
            ->check(CLI::Range(1, 5000))
            ->type_name("MS")
            ->capture_default_str();
        scan->add_flag("--first", c_.scan.first, "stop at the first instrument found");

        addInstrumentOptions(*command("info", "the model check and firmware version (1.90.0013 or later)"), line);

        CLI::App* read = command("read", "the configuration: key, label, value, unit");
        addInstrumentOptions(*read, line);
        read->add_flag("--json", c_.json, "as a configuration file's JSON instead");

        CLI::App* save = command("save", "the configuration into a configuration file");
        addInstrumentOptions(*save, line);
        save->add_option("file", c_.file, "the file to write (replaced when it is there); - for standard output")
            ->type_name("FILE")
            ->required();

        CLI::App* load = command("load", "a configuration file into the instrument, after a backup");
        load->description(
            "Writes a configuration file into the instrument: the file is checked whole (any problem and nothing\n"
            "is sent), the instrument's configuration is backed up, the parameters that differ are written and\n"
            "read back. The password is never written; the address, speed and protocol only when asked.");
        addInstrumentOptions(*load, line);
        load->add_option("file", c_.load.file, "the configuration file; - for standard input")
            ->type_name("FILE")
            ->required();
        load->add_flag("--dry-run", c_.load.dryRun, "show what would be written, write nothing");
        load->add_flag("--with-address", c_.load.withAddress, "also the address, speed and protocol, last");
        load->add_flag(
            "--as-is", c_.load.asIs,
            "write values that break a relation the window keeps (a setpoint outside the range) as they are");
        load->add_option("--backup-dir", c_.load.backupDir, "the backups' folder (default ~/.local/share/k54/backups)")
            ->type_name("DIR");

        CLI::App* diff = command("diff", "what differs between a configuration file and the instrument");
        addInstrumentOptions(*diff, line);
        diff->add_option("file", c_.file, "the configuration file; - for standard input")
            ->type_name("FILE")
            ->required();
        diff->footer(
            "Exit status, as diff(1): 0 the same; 1 they differ; 2 trouble (the file, the line or the instrument).");

        CLI::App* set = command("set", "change parameters by the configurator's rules");
        set->description(
            "Changes parameters in the order given, by the configurator's rules: a number is cut to the\n"
            "parameter's decimals and held to its limits, a range mode resets what it resets, a new input type\n"
            "reads the configuration back. A list takes its item's number or the item's text. The address and\n"
            "speed go last. Says what was stored, and why where it differs from what was asked.");
        addInstrumentOptions(*set, line);
        set->add_option("assignments", c_.assignments, "e.g. US_1=850 C_HS=1 (k54ctl read lists the keys)")
            ->type_name("KEY=VALUE")
            ->required();

        CLI::App* factory = command("factory", "write the factory configuration, after a backup");
        addInstrumentOptions(*factory, line);
        factory->add_flag("--yes", c_.factory.yes, "do not ask");
        factory
            ->add_option("--backup-dir", c_.factory.backupDir,
                         "the backups' folder (default ~/.local/share/k54/backups)")
            ->type_name("DIR");

        CLI::App* password = command("password", "set the four-digit service password, or reset it");
        addInstrumentOptions(*password, line);
        CLI::Option* digits =
            password
                ->add_option("password", c_.password.password,
                             "one to four digits (without it: asked for, or read from standard input)")
                ->type_name("NNNN");
        password->add_flag("--reset", c_.password.reset, "reset it to 0000")->excludes(digits);

        CLI::App* watch = command("watch", "the live measured value with its unit, one line per poll");
        addInstrumentOptions(*watch, line);
        watch->add_option("--interval", c_.watch.intervalMs, "time between polls")
            ->check(CLI::Range(10, 3600000))
            ->type_name("MS")
            ->capture_default_str();
        watch->add_option("--csv", c_.watch.csvFile, "also record every poll: time, value, unit")->type_name("FILE");
        watch->add_option("--count", c_.watch.count, "stop after N polls (default: at Ctrl-C)")
            ->check(CLI::Range(1, 100000000))
            ->type_name("N");
    }

    int dispatch(Console& console) {
        const std::string name = app_.get_subcommands().front()->get_name();
        const LineOptions& line = c_.line;
        if (name == "ports") return listPorts(line, console);
        if (name == "scan") return scanLine(line, c_.scan, console);
        if (name == "info") return showInfo(line, console);
        if (name == "read") return readConfiguration(line, c_.json, console);
        if (name == "save") return saveConfiguration(line, c_.file, console);
        if (name == "load") return loadConfiguration(line, c_.load, console);
        if (name == "diff") return diffConfiguration(line, c_.file, console);
        if (name == "set") return setParameters(line, c_.assignments, console);
        if (name == "factory") return writeFactory(line, c_.factory, console);
        if (name == "password") return setPassword(line, c_.password, console);
        return watchMeasurement(line, c_.watch, console);
    }

    CLI::App app_;
    Choices c_;
};

}  // namespace

int runK54ctl(const std::vector<std::string>& args, Console& console) {
    Program program;
    return program.run(args, console);
}

}  // namespace k54::ctl
