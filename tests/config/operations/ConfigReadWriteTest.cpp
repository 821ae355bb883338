// Reading the whole configuration into the window and writing the factory configuration, against the
// simulated instrument.
#include <gtest/gtest.h>

#include <cstdlib>

#include "base/TextFormat.h"
#include "config/files/ConfigFile.h"
#include "config/instrument/ParameterWrites.h"
#include "config/operations/ConfigReadWrite.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

class ConfigTransfer : public ::testing::Test {
protected:
    // The backups before a factory write go to the test's own data folder.
    void SetUp() override { ::setenv("XDG_DATA_HOME", data.path().c_str(), 1); }

    std::vector<std::filesystem::path> backups() const { return test::filesIn(data.path() / "k54" / "backups"); }

    test::ScratchDir data{"k54-data-"};
    test::SimRig rig;
    HeadlessForm& form = rig.form();
};

TEST_F(ConfigTransfer, DecodesEveryKindOfRegisterIntoItsRowAndControl) {
    ASSERT_TRUE(rig.connect(
        {{0, 0x0016}, {2, -1}, {15, 1}, {27, 16}, {28, 16}, {23, 1234}, {6, -1}, {7, -500}, {31, 1}, {32, 0x1170}}));
    EXPECT_EQ(form.itemIndex("Mod_B"), 22);
    EXPECT_EQ(form.text("rLn_E"), "-0.01");
    EXPECT_EQ(form.text("Ndt_B"), "1");
    EXPECT_EQ(form.text("La__B"), "16");
    EXPECT_EQ(form.text("Ld__B"), "16");
    EXPECT_EQ(rig.state().row(row::Psw).value, 1234);
    EXPECT_EQ(form.text("Psw_E"), "0000");  // the password is stored, never shown
    EXPECT_EQ(rig.state().row(row::Dpl).value, -500);
    EXPECT_EQ(form.text("Dpl_E"), "-50.0");
    EXPECT_EQ(rig.state().row(row::Us1).value, 70000);
    EXPECT_EQ(form.text("Us1_E"), "7000.0");
}

TEST_F(ConfigTransfer, AValueWithoutItemLeavesItsListUnselectedAndTheReadGoesOn) {
    ASSERT_TRUE(rig.connect({{3, 5}, {4, 2}}));
    EXPECT_EQ(form.itemIndex("Brn_B"), -1);
    EXPECT_EQ(form.text("Ufp_B"), "2");
}

TEST_F(ConfigTransfer, TheInstrumentsAddressReachesTheAddressFieldButNotTheLinkSpeed) {
    ASSERT_TRUE(rig.connect({{22, 6}}));
    EXPECT_EQ(form.text("Spd_B"), "115200");  // the instrument's own speed setting
    EXPECT_EQ(rig.state().speedIndex, 3);     // while the link keeps its speed
    EXPECT_EQ(form.text("Adr_E"), "1");
    EXPECT_EQ(rig.state().slaveAddress, 1);
}

TEST_F(ConfigTransfer, AFailedReadChangesNoRowAndNoControl) {
    ASSERT_TRUE(rig.connect());
    const auto rowsBefore = rig.state().params;
    const std::string dphBefore = form.text("Dph_E");
    rig.sim.control("set 9 1234");
    rig.sim.control("fault exception=4");
    EXPECT_FALSE(readConfiguration(rig.session()));
    EXPECT_EQ(form.logLines().back(), "Ошибка чтения конфигурации");
    for (int i = 0; i < kParamCount; ++i) EXPECT_EQ(rig.state().row(i).value, rowsBefore.at(i).value) << i;
    EXPECT_EQ(form.text("Dph_E"), dphBefore);
}

TEST_F(ConfigTransfer, NoToTheFactoryQuestionSendsNothing) {
    ASSERT_TRUE(rig.connect());
    const std::size_t from = rig.sim.traceLines().size();
    const std::size_t log = form.logLines().size();
    form.answerNextQuestion(false);
    form.click("Source");
    ASSERT_EQ(form.boxes().size(), 1u);
    EXPECT_EQ(form.boxes()[0].text, "Запись заводской кофигурации");
    EXPECT_EQ(form.boxes()[0].caption, "Подтвердите");
    EXPECT_TRUE(rig.requestsFrom(from).empty());
    EXPECT_EQ(form.logLines().size(), log);
}

TEST_F(ConfigTransfer, TheFactoryWriteNeedsBothLinkFlags) {
    for (const uint8_t flags : {kLinkConnected, kLinkConfigurable, uint8_t{0}}) {
        rig.state().linkFlags = flags;
        form.answerNextQuestion(true);
        const std::string panel = form.panelText(3);
        form.click("Source");
        EXPECT_EQ(form.logLines().back(), "Прибор не подключен");
        EXPECT_EQ(form.panelText(3), panel);  // the log only
    }
    EXPECT_TRUE(rig.requestsFrom(0).empty());
}

TEST_F(ConfigTransfer, TheFactoryWriteBacksUpThenSendsAllRowsInRegisterOrderAndReadsThemBack) {
    ASSERT_TRUE(rig.connect({{0, 13}, {7, 3000}, {9, 18000}, {21, 1}, {23, 4321}, {27, 1}, {32, 5000}, {36, 15000}}));
    ASSERT_EQ(form.itemIndex("Mod_B"), 13);
    const RegisterImage before = withoutPassword(registerImage(rig.state().params, false));
    const std::size_t from = rig.sim.traceLines().size();
    form.answerNextQuestion(true);
    form.click("Source");

    const auto requests = rig.requestsFrom(from);
    ASSERT_EQ(requests.size(), 34u);  // the backup's two reads, 31 writes and the read back
    EXPECT_EQ(requests[0].substr(0, 17), "01 03 00 00 00 27");
    EXPECT_EQ(requests[1].substr(0, 17), "01 03 00 29 00 02");
    int nextRegister = 0;
    for (int i = 0; i < kParamCount; ++i) {
        const ParamRow& row = rig.state().row(i);
        const std::string header =
            row.wide ? formatText("01 10 00 %02X 00 02 04", nextRegister) : formatText("01 06 00 %02X", nextRegister);
        const std::string& request = requests.at(static_cast<std::size_t>(i) + 2);
        EXPECT_EQ(request.rfind(header, 0), 0u) << request;
        nextRegister += row.wide ? 2 : 1;
    }
    EXPECT_EQ(requests.back().substr(0, 17), "01 03 00 00 00 27");
    EXPECT_EQ(form.progress("Bar_S"), 100);
    const auto& log = form.logLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "Запись конфигурации в прибор!!!"), log.end());
    EXPECT_EQ(log.back(), "Запись завершена!");
    // The window shows what the instrument now holds: the factory configuration.
    EXPECT_EQ(form.itemIndex("Mod_B"), 22);
    EXPECT_EQ(form.text("Dph_E"), "320.0");
    EXPECT_EQ(form.text("Us1_E"), "64.0");
    for (int i = 0; i < kParamCount; ++i)
        EXPECT_EQ(rig.state().row(i).value, rig.state().row(i).factoryValue) << rig.state().row(i).controlName;
    // The backup holds the configuration from before, without the password; the log says where.
    ASSERT_EQ(backups().size(), 1u);
    const LoadedConfiguration backup = loadConfigurationFile(backups()[0]);
    ASSERT_TRUE(backup.configuration);
    EXPECT_EQ(backup.configuration->registers, before);
    EXPECT_NE(std::find(log.begin(), log.end(), "Резервная копия: " + backups()[0].string()), log.end());
}

TEST_F(ConfigTransfer, RefusedFactoryWritesAreReportedAndTheWriteGoesOn) {
    ASSERT_TRUE(rig.connect());
    rig.sim.control("fault exception=4");
    const std::size_t from = rig.sim.traceLines().size();
    EXPECT_FALSE(writeFactoryConfiguration(rig.session()).allWritten());
    EXPECT_EQ(rig.requestsFrom(from).size(), 31u);  // every row tried
    EXPECT_EQ(form.progress("Bar_S"), 100);
    EXPECT_EQ(form.logLines().back(), "Ошибка записи конфигурации");
}

TEST_F(ConfigTransfer, WithoutABackupTheFactoryWriteSendsNothing) {
    ASSERT_TRUE(rig.connect());
    rig.sim.control("fault exception=4");
    form.answerNextQuestion(true);
    const std::size_t from = rig.sim.traceLines().size();
    const std::size_t log = form.logLines().size();
    form.click("Source");
    EXPECT_EQ(rig.requestsFrom(from).size(), 1u);  // the backup's read, refused
    EXPECT_EQ(rig.rig.logFrom(log),
              (std::vector<std::string>{"Ошибка чтения конфигурации", "Запись не выполнена: нет резервной копии"}));
    EXPECT_TRUE(backups().empty());
}

TEST_F(ConfigTransfer, TheFactoryWriteStopsAtTheFirstUnansweredRequest) {
    ASSERT_TRUE(rig.connect());
    rig.sim.control("fault drop-every=4");
    form.answerNextQuestion(true);
    const std::size_t from = rig.sim.traceLines().size();
    form.click("Source");
    const auto requests = rig.requestsFrom(from);
    // The backup's two reads, the first write answered, the second unanswered: the write stops there,
    // and no read-back waits out another time-out on the silent line.
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[2].substr(0, 11), "01 06 00 00");
    EXPECT_EQ(requests[3].substr(0, 11), "01 06 00 01");
    EXPECT_LT(form.progress("Bar_S"), 100);
    const auto& log = form.logLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "Записано параметров: 1 (dAt)"), log.end());
    ASSERT_GE(log.size(), 2u);
    EXPECT_TRUE(log.end()[-2].starts_with("Не записаны: scheme, line_resistance, CutE,")) << log.end()[-2];
    EXPECT_NE(std::find(log.begin(), log.end(), "Ошибка записи конфигурации"), log.end());
    EXPECT_EQ(std::find(log.begin(), log.end(), "Запись завершена!"), log.end());
}

TEST_F(ConfigTransfer, WritingParametersSendsAWideRowAsTwoRegistersHighWordFirst) {
    ASSERT_TRUE(rig.connect());
    rig.state().row(row::Dph).value = 70000;
    rig.state().row(row::Adr).value = 40000;
    const std::size_t from = rig.sim.traceLines().size();
    InstrumentLink link = instrumentLink(rig.session());
    const ParameterWrites writes = writeParameters(link, rig.state().params, {row::Dph, row::Adr});
    EXPECT_FALSE(writes.failed());
    EXPECT_EQ(writes.results, (std::vector<std::pair<int, uint8_t>>{{row::Dph, 0}, {row::Adr, 0}}));
    const auto requests = rig.requestsFrom(from);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, 32), "01 10 00 08 00 02 04 00 01 11 70");
    EXPECT_EQ(requests[1].substr(0, 17), "01 06 00 15 9C 40");
}

TEST_F(ConfigTransfer, WritingParametersGoesOnAfterAnExceptionButNotAfterSilence) {
    ASSERT_TRUE(rig.connect());
    InstrumentLink link = instrumentLink(rig.session());
    rig.sim.control("fault exception=3");
    const ParameterWrites refused = writeParameters(link, rig.state().params, {row::Dph, row::Adr});
    EXPECT_EQ(refused.results, (std::vector<std::pair<int, uint8_t>>{{row::Dph, 3}, {row::Adr, 3}}));
    EXPECT_TRUE(refused.failed());
    EXPECT_FALSE(refused.lineSilent());
    rig.sim.control("fault silent");
    const ParameterWrites unanswered = writeParameters(link, rig.state().params, {row::Dph, row::Adr, row::Us1});
    EXPECT_EQ(unanswered.results, (std::vector<std::pair<int, uint8_t>>{{row::Dph, kNoReply}}));
    EXPECT_EQ(unanswered.skipped, (std::vector<int>{row::Adr, row::Us1}));
    EXPECT_TRUE(unanswered.lineSilent());
}

}  // namespace
}  // namespace k54
