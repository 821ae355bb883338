// factory, password and watch against the simulated instrument: confirmation, backup, the wire, the
// output and the CSV recording, and a line that drops a poll.
#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

#include "config/files/ConfigFile.h"
#include "tests/k54ctl/CtlRig.h"

namespace k54::ctl::test {
namespace {

std::vector<std::string> fileLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

using InstrumentCommands = CtlTest;

TEST_F(InstrumentCommands, FactoryWithoutYesOffATerminalIsRefusedBeforeTheLineIsTouched) {
    const Result result = onLine({"factory", "--backup-dir", file("backups").string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(holds(result.err, "give --yes"));
    EXPECT_TRUE(sim.requestsFrom().empty());
}

TEST_F(InstrumentCommands, FactoryAsksOnATerminalAndANoWritesNothing) {
    inIsTerminal = true;
    answers = {"n"};
    const Result result = onLine({"factory", "--backup-dir", file("backups").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(holds(result.err, "Write the factory configuration to the instrument at address 17?"));
    EXPECT_TRUE(holds(result.err, "nothing written"));
    EXPECT_TRUE(writesFrom().empty());
    EXPECT_FALSE(std::filesystem::exists(file("backups")));
}

TEST_F(InstrumentCommands, FactoryBacksUpWritesEveryRowInRegisterOrderAndReadsBack) {
    sim.control("set 31 0");
    sim.control("set 32 850");
    const std::size_t mark = traceMark();
    const Result result = onLine({"factory", "--yes", "--backup-dir", file("backups").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    const auto backups = k54::test::filesIn(file("backups"));
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(loadConfigurationFile(backups.front()).configuration->registers.at(32), 850);
    EXPECT_EQ(result.out, "backup: " + backups.front().string() +
                              "\nthe factory configuration is written\nthe instrument answers at address 1, 19200 baud "
                              "(its factory setting) once it takes it\nread back: the instrument holds the factory "
                              "configuration\n");
    const auto writes = writesFrom(mark);
    ASSERT_EQ(writes.size(), static_cast<std::size_t>(kParamCount));
    EXPECT_EQ(writes.front(), "11 06 00 00 00 16");
    EXPECT_EQ(writes.back(), "11 10 00 25 00 02 04 00 00 00 01");
    EXPECT_EQ(sim.requestsFrom(mark).back(), "11 03 00 00 00 27");
}

TEST_F(InstrumentCommands, FactoryOnASilentLineStopsAtTheFirstUnansweredWrite) {
    sim.control("fault drop-every=5");  // version, the backup's two reads, the first write, then silence
    const Result result = onLine({"factory", "--yes", "--backup-dir", file("backups").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(holds(result.err, "writing scheme: no reply (time-out)"));
    EXPECT_TRUE(holds(result.err, "written: dAt; sent, no reply: scheme (may or may not be applied); not written: "));
    EXPECT_TRUE(holds(result.err, "the configuration before the factory write is in " + file("backups").string()));
    EXPECT_EQ(writesFrom().size(), 2u);
}

TEST_F(InstrumentCommands, PasswordIsWrittenAsTheWindowWritesItOrReset) {
    const Result set = onLine({"password", "0042"});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.out, "the service password is set\n");  // never shown
    const Result reset = onLine({"password", "--reset"});
    EXPECT_EQ(reset.out, "the service password is reset (0000)\n");
    answers = {"17"};  // from standard input, kept off the command line
    EXPECT_EQ(onLine({"password"}).status, 0);
    EXPECT_EQ(writesFrom(), (std::vector<std::string>{"11 06 00 17 00 2A", "11 06 00 17 00 00", "11 06 00 17 00 11"}));
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"password", "12345"}, {"password", "12a"}, {"password"}, {"password", "1234", "--reset"}}) {
        EXPECT_EQ(onLine(args).status, 2) << args.back();
    }
    EXPECT_EQ(writesFrom().size(), 3u);
}

TEST_F(InstrumentCommands, TheTrafficLogNeverHoldsThePassword) {
    sim.control("set 23 1234");  // 04 D2
    const auto log = file("traffic.log");
    ASSERT_EQ(onLine({"read", "--traffic-log", log.string()}).status, 0);
    ASSERT_EQ(onLine({"password", "4321", "--traffic-log", log.string()}).status, 0);  // 10 E1
    const auto lines = fileLines(log);
    ASSERT_EQ(lines.size(), 8u);  // each command: the version read, then its own request
    EXPECT_TRUE(holds(lines.at(3), " ** ** ")) << lines.at(3);
    EXPECT_TRUE(lines.at(3).ends_with(" ** ** -- answered")) << lines.at(3);
    EXPECT_TRUE(lines.at(6).ends_with(" tx 11 06 00 17 ** ** ** **")) << lines.at(6);
    EXPECT_TRUE(lines.at(7).ends_with(" rx 11 06 00 17 ** ** ** ** -- answered")) << lines.at(7);
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.find("04 D2") != std::string::npos) << line;
        EXPECT_FALSE(line.find("10 E1") != std::string::npos) << line;
    }
}

TEST_F(InstrumentCommands, WatchPrintsAndRecordsEachPollConvertedAsTheWindowShowsIt) {
    sim.control("set 60 2");
    sim.control("set 61 28928");  // 160.000 Ohm
    const Result result = onLine({"watch", "--count", "3", "--interval", "20", "--csv", file("values.csv").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::regex line(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d  160\.000 Ом)");
    std::istringstream out(result.out);
    int lines = 0;
    for (std::string text; std::getline(out, text); ++lines) EXPECT_TRUE(std::regex_match(text, line)) << text;
    EXPECT_EQ(lines, 3);
    const auto csv = fileLines(file("values.csv"));
    ASSERT_EQ(csv.size(), 4u);
    EXPECT_EQ(csv.front(), "Время,Значение,Единица");
    EXPECT_TRUE(csv.back().ends_with(",160.000,Ом"));
    EXPECT_EQ(std::ranges::count(sim.requestsFrom(), std::string("11 03 00 3C 00 02")), 3);
}

TEST_F(InstrumentCommands, WatchConvertsIntoTheScaledRangeWithItsPrecision) {
    sim.control("set 5 2");  // the scaled range 0.0 ... 100.0 over 0 ... 320 Ohm
    sim.control("set 4 1");  // one decimal
    sim.control("set 60 2");
    sim.control("set 61 28928");  // 160 Ohm: the middle
    const Result result = onLine({"watch", "--count", "1"});
    EXPECT_TRUE(holds(result.out, "  50.0 Ом\n"));
}

TEST_F(InstrumentCommands, WatchStopsAtAPollWithoutAnswerAsTheWindowsPollingDoes) {
    sim.control("fault drop-every=4");  // version, configuration, a poll, then a dropped poll
    const Result result = onLine({"watch", "--interval", "20", "--csv", file("values.csv").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(holds(result.out, "  no answer\n"));
    EXPECT_TRUE(holds(result.err, "reading the measured value: no reply (time-out)"));
    const auto csv = fileLines(file("values.csv"));
    ASSERT_EQ(csv.size(), 3u);
    EXPECT_TRUE(csv.back().ends_with(",Прибор не отвечает,"));
}

TEST_F(InstrumentCommands, ACsvFileThatCannotBeMadeIsAFileErrorBeforeTheLineIsTouched) {
    const Result result = onLine({"watch", "--count", "1", "--csv", (file("no-folder") / "v.csv").string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(sim.requestsFrom().empty());
}

}  // namespace
}  // namespace k54::ctl::test
