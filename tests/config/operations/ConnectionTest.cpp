// Connecting to the instrument: the port list, the firmware check, the two looks of the window, and
// disconnecting; against the simulated instrument on a virtual port.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "config/operations/Connection.h"
#include "config/operations/PortHolderText.h"
#include "serial/K54com.h"
#include "serial/PlatformSerial.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

using std::chrono::steady_clock;

bool looksConnected(HeadlessForm& form) {
    return form.text("ConnectCom") == "Отключить" && form.isDown("ConnectCom") && form.isVisible("Config") &&
           form.isVisible("TitulControl") && form.isVisible("MeasureL") && !form.isEnabled("Adr_E") &&
           !form.isEnabled("Spd_B") && !form.isEnabled("Com_B");
}

bool looksDisconnected(HeadlessForm& form) {
    return form.text("ConnectCom") == "Подключить" && !form.isDown("ConnectCom") && !form.isVisible("Config") &&
           !form.isVisible("TitulControl") && !form.isVisible("MeasureL") && form.isEnabled("Adr_E") &&
           form.isEnabled("Spd_B") && form.isEnabled("Com_B");
}

class Connection : public ::testing::Test {
protected:
    test::SimRig rig;
    HeadlessForm& form = rig.form();
};

TEST_F(Connection, ThePortListNamesTheVirtualPortWithItsDevice) {
    const int items = form.itemCount("Com_B");
    int found = -1;
    for (int i = 0; i < items; ++i)
        if (form.itemText("Com_B", i) == "COM4") found = i;
    ASSERT_GE(found, 0);
    EXPECT_NE(form.itemHint("Com_B", found).find(rig.sim.linkPath().string()), std::string::npos);
    EXPECT_EQ(form.itemIndex("Com_B") == found, false) << "port 1 is chosen at start, not port 4";
}

// A port whose link comes or goes after the window opened shows up, or is gone, when the operator
// next opens the list; the port chosen stays chosen while it is there.
TEST(PortListRefresh, OpeningTheListMakesItAnewKeepingTheChoice) {
    test::ScratchDir portsDir("k54-ports");
    test::HeadlessRig rig(portsDir.path());
    HeadlessForm& form = rig.form();
    auto items = [&form] {
        std::vector<std::string> texts;
        for (int i = 0; i < form.itemCount("Com_B"); ++i) texts.push_back(form.itemText("Com_B", i));
        return texts;
    };
    auto has = [&items](const std::string& port) { return std::ranges::count(items(), port) == 1; };
    const auto link = [&portsDir](const char* name) {
        std::filesystem::create_symlink("/dev/null", portsDir.path() / name);
    };

    link("com207");
    EXPECT_FALSE(has("COM207"));  // made at creation only ...
    form.operatorOpensList("Com_B");
    ASSERT_TRUE(has("COM207"));  // ... and anew when the operator opens it
    const auto at = [&items](const std::string& port) {
        const auto texts = items();
        return static_cast<int>(std::ranges::find(texts, port) - texts.begin());
    };
    form.operatorChooses("Com_B", at("COM207"));
    EXPECT_EQ(rig.state.portNumber, 207);

    link("com203");
    form.operatorOpensList("Com_B");
    EXPECT_TRUE(has("COM203"));
    EXPECT_EQ(form.text("Com_B"), "COM207");

    std::filesystem::remove(portsDir.path() / "com207");
    form.operatorOpensList("Com_B");
    EXPECT_FALSE(has("COM207"));
    EXPECT_EQ(form.itemIndex("Com_B"), -1);
}

TEST_F(Connection, ThePortListStaysAsItIsWhileConnected) {
    ASSERT_TRUE(rig.connect());
    std::filesystem::create_symlink("/dev/null", rig.sim.portsDir() / "com209");
    form.operatorOpensList("Com_B");
    for (int i = 0; i < form.itemCount("Com_B"); ++i) EXPECT_NE(form.itemText("Com_B", i), "COM209");
    EXPECT_EQ(form.text("Com_B"), "COM4");
}

TEST_F(Connection, ConnectsReadsTheConfigurationDisconnectsAndConnectsAgain) {
    const std::size_t log = form.logLines().size();
    ASSERT_TRUE(rig.connect());
    EXPECT_TRUE(looksConnected(form));
    EXPECT_EQ(rig.state().openPort, 4);
    EXPECT_EQ(form.panelText(0), "v.1.90.0013");
    EXPECT_EQ(rig.rig.logFrom(log), (std::vector<std::string>{"Поиск на Com4. Ждите!", "Прибор подключен Com4."}));
    // The factory configuration the instrument holds is in every page.
    EXPECT_EQ(form.text("Mod_B"), "Сопротивление 0...320 Ом (R)");
    EXPECT_EQ(form.text("Dph_E"), "320.0");
    EXPECT_EQ(form.text("Us2_E"), "256.0");
    EXPECT_EQ(form.text("Ndt_B"), "8");
    EXPECT_EQ(form.text("Out_B"), "4 .. 20 мА");
    EXPECT_EQ(form.text("Ld__B"), "16");
    EXPECT_EQ(form.text("Spd_B"), "19200");
    EXPECT_TRUE(form.isVisible("Panel_Tsp"));

    form.click("ConnectCom");
    EXPECT_TRUE(looksDisconnected(form));
    EXPECT_EQ(form.logLines().back(), "Прибор отключен Com4 свободен.");
    EXPECT_EQ(rig.state().openPort, 0);
    EXPECT_EQ(rig.state().linkFlags, 0);
    EXPECT_EQ(form.panelText(0), "v.1.90.0013") << "disconnecting does not restore panel 0";

    form.click("ConnectCom");
    EXPECT_TRUE(looksConnected(form));
    EXPECT_EQ(form.logLines().back(), "Прибор подключен Com4.");
}

TEST_F(Connection, TheVersionRequestIsOneReadOfRegisters41And42) {
    const std::size_t from = rig.sim.traceLines().size();
    ASSERT_TRUE(rig.connect());
    const auto requests = rig.requestsFrom(from);
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, 17), "01 03 00 29 00 02");
    EXPECT_EQ(requests[1].substr(0, 17), "01 03 00 00 00 27");
}

TEST_F(Connection, AnInstrumentThatVanishedStillDisconnectsAndAnotherConnects) {
    ASSERT_TRUE(rig.connect());
    rig.sim.stop();
    form.click("ConnectCom");
    EXPECT_TRUE(looksDisconnected(form));
    EXPECT_EQ(form.logLines().back(), "Прибор отключен Com4 свободен.");

    test::SimInstrument again({"--no-pacing", "--ports-dir", rig.sim.portsDir().string()}, 4);
    form.click("ConnectCom");
    EXPECT_TRUE(looksConnected(form));
    EXPECT_EQ(form.logLines().back(), "Прибор подключен Com4.");
}

TEST_F(Connection, APortThatCannotBeOpenedBeepsAndStaysDisconnected) {
    rig.choosePort();
    rig.sim.stop();  // the virtual port's link is gone
    const int beeps = form.beeps();
    form.click("ConnectCom");
    EXPECT_TRUE(looksDisconnected(form));
    EXPECT_EQ(form.beeps(), beeps + 1);
    EXPECT_EQ(form.logLines().back(), "Ошибка инициализации Com4");
    EXPECT_EQ(rig.state().openPort, 0);
}

TEST_F(Connection, APortAnotherProgramHoldsSaysWhoHoldsIt) {
    rig.choosePort();
    cPort other(makePlatformSerialBackend(rig.sim.portsDir()));
    ASSERT_TRUE(other.setup(4, 3));
    form.click("ConnectCom");
    EXPECT_TRUE(looksDisconnected(form));
    const auto lines = form.logLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Ошибка инициализации Com4");
    EXPECT_EQ(lines.back().rfind("Порт занят", 0), 0u) << lines.back();
}

struct RefusalCase {
    std::string name;
    std::vector<std::string> simArgs;
    std::vector<std::string> lines;  // after the search line
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedInstrument : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedInstrument, LeavesTheWindowDisconnectedWithThePortClosed) {
    std::vector<std::string> args{"--no-pacing"};
    args.insert(args.end(), GetParam().simArgs.begin(), GetParam().simArgs.end());
    test::SimRig rig(args);
    const std::size_t log = rig.form().logLines().size();
    EXPECT_FALSE(rig.connect());
    EXPECT_TRUE(looksDisconnected(rig.form()));
    std::vector<std::string> expected{"Поиск на Com4. Ждите!"};
    expected.insert(expected.end(), GetParam().lines.begin(), GetParam().lines.end());
    EXPECT_EQ(rig.rig.logFrom(log), expected);
    EXPECT_EQ(rig.state().openPort, 0);
    EXPECT_FALSE(rig.rig.port.isOpen());
    EXPECT_EQ(rig.form().panelText(0), "v.1.00.0001");
    // Nothing but the version was asked: no configuration read follows a refusal.
    EXPECT_EQ(rig.requestsFrom(0).size(), 1u);
}

const std::string kNotConnected = "Прибор не подключен";

INSTANTIATE_TEST_SUITE_P(
    Connection, RefusedInstrument,
    ::testing::Values(RefusalCase{"Version1_90_0012",
                                  {"--firmware", "1.90.0012"},
                                  {"Версия прибора 1.90.0012 устарела", kNotConnected}},
                      RefusalCase{"FirstByte128",
                                  {"--firmware", "128.00.0000"},
                                  {"Версия прибора 128.00.0000 устарела", kNotConnected}},
                      RefusalCase{"FirstByteZero", {"--firmware", "0.90.0013"}, {"Прибор на Com4 не обнаружен"}},
                      RefusalCase{"BadCrc", {"--fault", "badcrc"}, {kNotConnected}},
                      RefusalCase{"Exception", {"--fault", "exception=2"}, {kNotConnected}},
                      RefusalCase{"CutReply", {"--fault", "truncate"}, {kNotConnected}},
                      RefusalCase{"StrangersAddress", {"--fault", "stranger=7"}, {kNotConnected}},
                      RefusalCase{"WrongFunction", {"--fault", "wrongfc"}, {kNotConnected}},
                      RefusalCase{"GapInsideReply", {"--fault", "gap=150"}, {kNotConnected}}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST(ConnectionTimeout, ASilentInstrumentIsNotConnectedAfterTheReadTimeOut) {
    test::SimRig rig({"--no-pacing", "--fault", "silent"});
    rig.rig.port.setReadTimeouts(ReadTimeouts{});  // the described ones, as the program uses
    const auto start = steady_clock::now();
    EXPECT_FALSE(rig.connect());
    const auto waited = steady_clock::now() - start;
    EXPECT_EQ(rig.form().logLines().back(), "Прибор не подключен");
    EXPECT_GE(waited, std::chrono::milliseconds(5850));  // 9 bytes x 100 ms + 5000 ms
    EXPECT_LT(waited, std::chrono::milliseconds(7500));
    EXPECT_FALSE(rig.rig.port.isOpen());
}

TEST(ConnectionSettings, ThePortChosenStaysChosenAcrossActivationsAndTheAddressIsUsed) {
    test::SimRig rig({"--no-pacing", "--address", "12"});
    rig.choosePort();
    rig.form().activate();
    EXPECT_EQ(rig.form().text("Com_B"), "COM4");
    rig.form().operatorTypes("Adr_E", "12");
    rig.form().click("ConnectCom");
    EXPECT_EQ(rig.form().logLines().back(), "Прибор подключен Com4.");
    EXPECT_EQ(rig.requestsFrom(0).at(0).substr(0, 5), "0C 03");
}

TEST(ConnectionSettings, TheLinkOpensAtTheChosenSpeed) {
    test::SimRig rig({"--no-pacing", "--baud", "115200"});
    rig.form().operatorChooses("Spd_B", 6);
    EXPECT_EQ(rig.state().speedIndex, 6);
    EXPECT_TRUE(rig.connect());
}

TEST(PortHolderLine, NamesTheHolderWhereTheSystemTellsIt) {
    const struct {
        OpenFailure failure;
        std::optional<std::string> line;
    } cases[] = {
        {{OpenFailureReason::heldByProcess, "/dev/ttyUSB0", 4711, "minicom", 0}, "Порт занят: процесс 4711 (minicom)"},
        {{OpenFailureReason::heldByProcess, "/dev/ttyUSB0", 4711, "", 0}, "Порт занят: процесс 4711"},
        {{OpenFailureReason::heldByProcess, "/dev/ttyUSB0", std::nullopt, "", 0}, "Порт занят другой программой"},
        {{OpenFailureReason::busy, "/dev/ttyUSB0", std::nullopt, "", 16}, "Порт занят другой программой"},
        {{OpenFailureReason::noSuchDevice, "/dev/ttyUSB0", std::nullopt, "", 2}, std::nullopt},
        {{OpenFailureReason::noPermission, "/dev/ttyUSB0", std::nullopt, "", 13}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(portHolderLine(c.failure), c.line);
}

}  // namespace
}  // namespace k54
