// Saving and loading configuration files through the headless window, against simulated instruments:
// what the operator is asked and told, what goes on the wire, what lands on disk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/WindowLayout.h"
#include "base/TextFormat.h"
#include "config/files/ConfigDiff.h"
#include "config/files/ConfigFile.h"
#include "config/files/ParamKeys.h"
#include "config/operations/ConfigReadWrite.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

using Box = HeadlessForm::Box;
using BoxKind = HeadlessForm::BoxKind;

// Instrument A's configuration: a thermocouple with its own display range, setpoints and relays.
const test::Registers kFirstConfiguration{{0, 11},    {3, 0},  {5, 1},  {8, 0},     {9, 12000}, {14, 1},    {15, 4},
                                          {23, 1234}, {27, 8}, {29, 1}, {32, 8500}, {34, 20},   {36, 10500}};

class ConfigFilesWindow : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_DATA_HOME", data.path().c_str(), 1); }

    std::vector<std::filesystem::path> backups() const { return test::filesIn(data.path() / "k54" / "backups"); }

    // The instrument's registers 0 - 38 as the window's rows last took them.
    RegisterImage shownImage() { return registerImage(rig.state().params, false); }

    void save() {
        form.answerNextFileDialog(file.string());
        form.click("Cfg_Save");
    }
    void load(bool confirm = true) {
        form.answerNextFileDialog(file.string());
        form.answerNextQuestion(confirm);
        form.click("Cfg_Load");
    }
    std::string fileText() const {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    test::ScratchDir data{"k54-data-"};
    test::SimRig rig;
    HeadlessForm& form = rig.form();
    std::filesystem::path file = data.path() / "site.json";
};

TEST_F(ConfigFilesWindow, SavingAsksForAFileAndWritesWhatTheInstrumentHolds) {
    ASSERT_TRUE(rig.connect(kFirstConfiguration));
    const RegisterImage held = shownImage();
    const std::size_t mark = rig.sim.traceLines().size();
    save();
    ASSERT_FALSE(form.boxes().empty());
    const Box& dialog = form.boxes().back();
    EXPECT_EQ(dialog.kind, BoxKind::SaveFile);
    EXPECT_EQ(dialog.caption, "Сохранить конфигурацию прибора");
    EXPECT_EQ(dialog.text, "2009-11-18_08-05-29_address-1.json");
    EXPECT_EQ(form.logLines().back(), "Конфигурация сохранена: " + file.string());
    const auto requests = rig.requestsFrom(mark);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, 17), "01 03 00 00 00 27");
    EXPECT_EQ(requests[1].substr(0, 17), "01 03 00 29 00 02");

    const LoadedConfiguration saved = loadConfigurationFile(file);
    ASSERT_TRUE(saved.configuration);
    EXPECT_EQ(saved.configuration->registers, withoutPassword(held));
    EXPECT_EQ(saved.configuration->firmware, "1.90.0013");
    EXPECT_EQ(fileText().find("1234"), std::string::npos);  // not the password

    // Cancelling the dialog sends and writes nothing.
    const std::size_t log = form.logLines().size();
    const std::size_t again = rig.sim.traceLines().size();
    form.click("Cfg_Save");
    EXPECT_TRUE(rig.requestsFrom(again).empty());
    EXPECT_EQ(form.logLines().size(), log);
}

TEST_F(ConfigFilesWindow, SavingAConfigurationThatLoadingWouldRefuseSaysSo) {
    // A fixed current of 30.00 mA, beyond what any instrument takes (set up by other means).
    ASSERT_TRUE(rig.connect({{19, 3000}}));
    save();
    const auto& log = form.logLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.end()[-2], "Конфигурация сохранена: " + file.string());
    EXPECT_EQ(log.back(), "Файл не пройдет проверку при загрузке: Icod: 30.00 вне пределов 0.00 … 20.00");
}

// A factory-fresh instrument whose range mode the operator changed: the window recomputes the setpoints
// without sending them, so the instrument keeps US_2 = 256.0 beyond the scaled range 0.0 ... 100.0.
// Its backup and its saved file still load back into it, once the operator confirms the named breach.
TEST_F(ConfigFilesWindow, WhatAnInstrumentHeldLoadsBackIntoItOnceTheBrokenRelationIsConfirmed) {
    ASSERT_TRUE(rig.connect());
    form.operatorChooses("Rng_B", 2);
    ASSERT_EQ(valueInImage(shownImage(), row::Us2), 800);  // shown, not sent
    ASSERT_TRUE(readConfiguration(rig.session()));
    const RegisterImage held = shownImage();  // what the instrument holds
    ASSERT_EQ(valueInImage(held, row::Us2), 2560);
    ASSERT_EQ(valueInImage(held, row::Rng), 2);
    save();
    EXPECT_EQ(form.logLines().back(), "Конфигурация сохранена: " + file.string());  // nothing it would refuse

    form.answerNextQuestion(true);
    form.click("Source");
    ASSERT_EQ(backups().size(), 1u);
    ASSERT_NE(valueInImage(shownImage(), row::Rng), 2);
    const std::string breach =
        "Файл конфигурации: US_2: 256.0 вне пределов 64.1 … 100.0 (соотношение, которое соблюдает окно)";
    const std::string question =
        "Значения в файле нарушают соотношения параметров, которые соблюдает окно (US_2). "
        "Прибор может хранить такую конфигурацию. Записать эти значения как есть?";

    // No to the breach: nothing is sent.
    file = backups()[0];
    std::size_t mark = rig.sim.traceLines().size();
    std::size_t log = form.logLines().size();
    form.clearBoxes();
    load(false);
    ASSERT_EQ(form.boxes().size(), 2u);
    EXPECT_EQ(form.boxes()[1].text, question);
    EXPECT_EQ(rig.rig.logFrom(log),
              (std::vector<std::string>{breach, "Файл не принят, в прибор ничего не записано: " + file.string()}));
    EXPECT_TRUE(rig.requestsFrom(mark).empty());

    // Yes to it: the backup undoes the factory write, breach and all.
    log = form.logLines().size();
    form.clearBoxes();
    form.answerNextQuestion(true);
    load();
    ASSERT_EQ(form.boxes().size(), 3u);
    EXPECT_EQ(form.boxes()[1].text, question);
    EXPECT_EQ(rig.rig.logFrom(log).front(), breach);
    EXPECT_EQ(form.logLines().back(), "Запись завершена!");
    EXPECT_EQ(withoutPassword(shownImage()), withoutPassword(held));

    // The file saved before, unchanged, matches what the instrument now holds.
    file = data.path() / "site.json";
    form.answerNextQuestion(true);
    load();
    EXPECT_EQ(form.logLines().back(), "Конфигурация прибора совпадает с файлом: " + file.string());
}

// Save from one instrument, load into a second one configured differently: the second ends with the
// first's configuration but for its own password, address and speed; only the differing registers
// go on the wire; the second's old configuration is backed up.
TEST_F(ConfigFilesWindow, AConfigurationSavedFromOneInstrumentIsClonedIntoAnother) {
    ASSERT_TRUE(rig.connect(kFirstConfiguration));
    const RegisterImage first = shownImage();
    save();
    ASSERT_TRUE(std::filesystem::exists(file));

    // The second instrument, at address 2 and 9600 baud, on COM5 beside the first.
    test::SimInstrument second({"--no-pacing", "--address", "2", "--baud", "9600"}, 5);
    for (const auto& [reg, value] : test::Registers{{21, 2}, {22, 2}, {23, 4321}, {30, 2}, {2, 150}, {19, 500}})
        second.control("set " + std::to_string(reg) + " " + std::to_string(value));
    std::filesystem::create_symlink(second.devicePath(), rig.sim.portsDir() / "com5");
    form.click("ConnectCom");  // off the first
    form.operatorTypes("Adr_E", "2");
    form.operatorChooses("Spd_B", 2);
    form.operatorOpensList("Com_B");
    for (int i = 0; i < form.itemCount("Com_B"); ++i)
        if (form.itemText("Com_B", i) == "COM5") form.operatorChooses("Com_B", i);
    form.click("ConnectCom");
    ASSERT_TRUE(form.isVisible("Config"));
    ASSERT_EQ(form.text("Adr_E"), "2");
    const RegisterImage secondBefore = shownImage();

    const std::size_t log = form.logLines().size();
    form.clearBoxes();
    load();

    // Asked once, after the file dialog, with the number of parameters that change.
    const std::vector<Difference> changes = differences(secondBefore, first, false);
    ASSERT_EQ(form.boxes().size(), 2u);
    EXPECT_EQ(form.boxes()[0].kind, BoxKind::OpenFile);
    EXPECT_EQ(form.boxes()[1].text, "Будет изменено параметров: " + std::to_string(changes.size()) +
                                        ". Записать конфигурацию из файла в прибор?");

    // Only the differing parameters were written, in register order; the input type is followed by a read.
    std::vector<std::string> writes;
    for (const std::string& line : second.traceLines())
        if (line.rfind("req 02 06", 0) == 0 || line.rfind("req 02 10", 0) == 0) writes.push_back(line.substr(4, 11));
    std::vector<std::string> expected;
    for (const Difference& d : changes) {
        const ParamRow& row = kParamTemplate.at(static_cast<std::size_t>(d.row));
        expected.push_back(formatText(row.wide ? "02 10 00 %02X" : "02 06 00 %02X", row.reg));
    }
    EXPECT_EQ(writes, expected);

    // The second now holds the first's configuration, but for its password, address and speed.
    const RegisterImage secondAfter = shownImage();
    for (int r = 0; r < kParamCount; ++r) {
        const bool own = r == row::Psw || r == row::Adr || r == row::Spd;
        EXPECT_EQ(valueInImage(secondAfter, r), valueInImage(own ? secondBefore : first, r)) << keyOfRow(r);
    }
    EXPECT_EQ(valueInImage(secondAfter, row::Psw), 4321);
    EXPECT_EQ(form.itemIndex("Mod_B"), 11);  // the pages show the read-back
    EXPECT_EQ(form.text("Dph_E"), "1200.0");
    EXPECT_EQ(form.text("Adr_E"), "2");

    // The second's old configuration is on disk.
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_EQ(backups()[0].filename(), "2009-11-18_08-05-29_address-2.json");
    EXPECT_EQ(loadConfigurationFile(backups()[0]).configuration->registers, withoutPassword(secondBefore));

    std::vector<std::string> writtenKeys;
    for (const Difference& d : changes) writtenKeys.emplace_back(keyOfRow(d.row));
    std::string keys;
    for (const std::string& k : writtenKeys) keys += (keys.empty() ? "" : ", ") + k;
    EXPECT_EQ(rig.rig.logFrom(log), (std::vector<std::string>{
                                        "Адрес, скорость и протокол прибора остаются прежними",
                                        "Запись конфигурации в прибор!!!",
                                        "Резервная копия: " + backups()[0].string(),
                                        "Записано параметров: " + std::to_string(changes.size()) + " (" + keys + ")",
                                        "Конфигурация загружена: " + file.string(),
                                        "Запись завершена!",
                                    }));
    EXPECT_EQ(form.progress("Bar_S"), 100);
}

TEST_F(ConfigFilesWindow, AFileWithOneBadEntryIsRefusedAndNothingReachesTheWire) {
    ASSERT_TRUE(rig.connect(kFirstConfiguration));
    save();
    std::string text = fileText();
    const std::string entry = "\"DpHi\": {\"value\": 1200.0";
    ASSERT_NE(text.find(entry), std::string::npos);
    text.replace(text.find(entry), entry.size(), "\"DpHi\": {\"value\": 5000.0");
    std::ofstream(file) << text;

    const std::size_t mark = rig.sim.traceLines().size();
    std::size_t log = form.logLines().size();
    form.clearBoxes();
    load();
    EXPECT_EQ(rig.rig.logFrom(log),
              (std::vector<std::string>{"Ошибка в файле конфигурации: DpHi: 5000.0 вне пределов -50.0 … 2500.0",
                                        "Файл не принят, в прибор ничего не записано: " + file.string()}));
    EXPECT_TRUE(rig.requestsFrom(mark).empty());
    ASSERT_EQ(form.boxes().size(), 1u);  // the file dialog, no question
    EXPECT_TRUE(backups().empty());
    // The status line no longer tells of the last load that went well.
    EXPECT_EQ(form.panelText(3), "Файл не принят, в прибор ничего не записано: " + file.string());

    // A file that is not JSON, with a byte that is no UTF-8 where the parser stops: the place in
    // Russian, no parser's English, no broken byte.
    std::ofstream(file, std::ios::trunc) << "{\n  \"format\": \xff\n}";
    log = form.logLines().size();
    load();
    EXPECT_EQ(rig.rig.logFrom(log).front(),
              "Ошибка в файле конфигурации: строка 2, позиция 13: текст не в формате JSON");
}

TEST_F(ConfigFilesWindow, NoToTheQuestionOrNothingToChangeWritesNothing) {
    ASSERT_TRUE(rig.connect(kFirstConfiguration));
    save();
    rig.sim.control("set 29 2");
    std::size_t mark = rig.sim.traceLines().size();
    load(false);
    EXPECT_EQ(form.boxes().back().text, "Будет изменено параметров: 1. Записать конфигурацию из файла в прибор?");
    EXPECT_EQ(rig.requestsFrom(mark).size(), 1u);  // the read that counted the changes
    EXPECT_TRUE(backups().empty());

    rig.sim.control("set 29 1");
    mark = rig.sim.traceLines().size();
    const std::size_t boxes = form.boxes().size();
    load();
    EXPECT_EQ(form.logLines().back(), "Конфигурация прибора совпадает с файлом: " + file.string());
    EXPECT_EQ(rig.requestsFrom(mark).size(), 1u);
    EXPECT_EQ(form.boxes().size(), boxes + 1);  // the file dialog only
    EXPECT_TRUE(backups().empty());
}

TEST_F(ConfigFilesWindow, AFailedWriteIsReportedWithWhatWasWrittenAndWhatNot) {
    ASSERT_TRUE(rig.connect(kFirstConfiguration));
    save();
    rig.setRegisters({{3, 1}, {5, 0}, {9, 3200}});  // CutE, C_HS and DpHi as the factory has them
    // The read that counts the changes, the restore's two reads and its first write are answered;
    // the second write is not.
    rig.sim.control("fault drop-every=5");
    const std::size_t log = form.logLines().size();
    load();
    EXPECT_EQ(rig.rig.logFrom(log), (std::vector<std::string>{
                                        "Запись конфигурации в прибор!!!",
                                        "Резервная копия: " + backups().at(0).string(),
                                        "Записано параметров: 1 (CutE)",
                                        "Ошибка записи параметра C_HS",
                                        "Не записаны: C_HS, DpHi",
                                        "Ошибка записи конфигурации",
                                    }));
}

TEST(ParamKeysOnTheWindow, EachKeysLabelIsTheWindowsLabel) {
    for (int r = 0; r < kParamCount; ++r) {
        const std::string control(kParamTemplate.at(static_cast<std::size_t>(r)).controlName);
        std::string labelName = "Lbl_" + control;
        if (r == row::Adr) labelName = "StaticText1";
        if (r == row::Spd) labelName = "Spd_T";
        if (r == row::Ptr) labelName = "Ptr_T";
        const ControlSpec* label = findControlSpec(labelName);
        ASSERT_NE(label, nullptr) << labelName;
        std::string text = label->text;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        EXPECT_EQ(kParamKeys.at(static_cast<std::size_t>(r)).label, text) << keyOfRow(r);
    }
}

}  // namespace
}  // namespace k54
