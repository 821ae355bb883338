// Input types, range modes and list changes: panels, captions, the range and setpoint resets and what
// goes to the instrument, against the simulated instrument.
#include <gtest/gtest.h>

#include <chrono>

#include "base/TextFormat.h"
#include "config/operations/InputTypeView.h"
#include "config/params/InputTypes.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

class InputView : public ::testing::Test {
protected:
    test::SimRig rig;
    HeadlessForm& form = rig.form();

    // The requests an operator's choice sent.
    std::vector<std::string> choose(const char* list, int item) {
        const std::size_t from = rig.sim.traceLines().size();
        form.operatorChooses(list, item);
        return rig.requestsFrom(from);
    }
};

// The first bytes of a write: function 6 to a register, or function 16 of two registers.
std::string narrowWrite(int reg, int value) {
    return formatText("01 06 00 %02X %02X %02X", reg, (value >> 8) & 0xFF, value & 0xFF);
}
std::string wideWrite(int reg, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return formatText("01 10 00 %02X 00 02 04 %02X %02X %02X %02X", reg, v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF,
                      v & 0xFF);
}

void expectStartsWith(const std::vector<std::string>& requests, const std::vector<std::string>& prefixes) {
    ASSERT_EQ(requests.size(), prefixes.size());
    for (std::size_t i = 0; i < prefixes.size(); ++i) EXPECT_EQ(requests[i].rfind(prefixes[i], 0), 0u) << requests[i];
}

TEST_F(InputView, ScaledSetToInputFullResetsTheDisplayRangeOfAType13Input) {
    ASSERT_TRUE(rig.connect({{0, 13}, {5, 3}, {9, 5000}}));
    expectStartsWith(choose("Rng_B", 0), {narrowWrite(5, 0), wideWrite(8, 18000), wideWrite(6, 3000)});
    EXPECT_EQ(form.text("Dph_E"), "1800.0");
    EXPECT_EQ(form.text("Dpl_E"), "300.0");
    EXPECT_EQ(form.text("Us1_E"), "600.0");
    EXPECT_EQ(form.text("Us2_E"), "1500.0");
    EXPECT_EQ(form.text("Gs1_E"), "0.1");
    EXPECT_EQ(form.text("NameModeAll"), " 300  1800 °C");
}

TEST_F(InputView, ToScaledSetSendsOnlyTheScaledRangeAndCaptionsItWithoutUnit) {
    ASSERT_TRUE(rig.connect({}));
    expectStartsWith(choose("Rng_B", 3), {narrowWrite(5, 3), wideWrite(12, 1000), wideWrite(10, 0)});
    EXPECT_EQ(form.text("Dph_E"), "320.0");
    EXPECT_EQ(form.text("NameModeLim"), "   0   100");
    EXPECT_EQ(form.text("NameModeAll"), "   0   320 Ом");
    EXPECT_EQ(form.text("Us1_E"), "20.0");
    EXPECT_EQ(form.text("Us2_E"), "80.0");
}

TEST_F(InputView, ToInputSetAndScaledFullResetAsTheirModesAsk) {
    ASSERT_TRUE(rig.connect({{9, 1000}}));
    expectStartsWith(choose("Rng_B", 1), {narrowWrite(5, 1), wideWrite(8, 3200), wideWrite(6, 0)});
    EXPECT_EQ(form.text("Us1_E"), "64.0");
    EXPECT_EQ(form.text("NameModeLim"), "   0   320 Ом");
    expectStartsWith(choose("Rng_B", 2),
                     {narrowWrite(5, 2), wideWrite(8, 3200), wideWrite(6, 0), wideWrite(12, 1000), wideWrite(10, 0)});
    EXPECT_EQ(form.text("Us1_E"), "20.0");
    EXPECT_EQ(form.text("Us2_E"), "80.0");
    EXPECT_EQ(rig.state().row(row::Rng).value, 2);
}

TEST_F(InputView, OneBasedListsSendTheirItemsNumber) {
    ASSERT_TRUE(rig.connect({}));
    expectStartsWith(choose("Ndt_B", 0), {narrowWrite(15, 1)});
    expectStartsWith(choose("La__B", 15), {narrowWrite(27, 16)});
    expectStartsWith(choose("Lt__B", 8), {narrowWrite(25, 8)});
    EXPECT_EQ(rig.state().row(row::Ndt).value, 1);
    EXPECT_EQ(rig.state().row(row::La).value, 16);
}

TEST_F(InputView, TheInputPanelsFollowTypeAndScheme) {
    ASSERT_TRUE(rig.connect({{1, 2}}));
    EXPECT_TRUE(form.isVisible("Panel_Tsp"));
    EXPECT_FALSE(form.isVisible("Panel_Rlin"));  // 3-wire: no compensating resistance
    choose("Sch_B", 1);
    EXPECT_TRUE(form.isVisible("Panel_Rlin"));
    choose("Sch_B", 2);
    EXPECT_FALSE(form.isVisible("Panel_Rlin"));

    const std::size_t from = rig.sim.traceLines().size();
    form.operatorChooses("Mod_B", 11);  // a thermocouple: the configuration is read back
    expectStartsWith(rig.requestsFrom(from), {narrowWrite(0, 11), "01 03 00 00 00 27"});
    EXPECT_TRUE(form.isVisible("Panel_Tmp"));
    EXPECT_FALSE(form.isVisible("Panel_Tsp"));
    EXPECT_EQ(form.text("NameModeAll").substr(form.text("NameModeAll").size() - 3), "°C");

    choose("Mod_B", 15);  // voltage: neither panel
    EXPECT_FALSE(form.isVisible("Panel_Tmp"));
    EXPECT_FALSE(form.isVisible("Panel_Tsp"));
    EXPECT_EQ(rig.state().activeInputType, 15);
}

TEST_F(InputView, AnUnansweredListWriteIsReportedAndTheRowKeepsTheChoice) {
    ASSERT_TRUE(rig.connect({}));
    rig.sim.control("fault exception=4");
    choose("Brn_B", 0);
    EXPECT_EQ(form.logLines().back(), "Ошибка записи параметра CutE: прибор отказал, код 4");
    EXPECT_EQ(rig.state().row(3).value, 0);
}

TEST_F(InputView, ASilentInstrumentCostsOneTimeOutPerChangeNotOnePerWrite) {
    ASSERT_TRUE(rig.connect({}));
    rig.sim.control("fault silent");
    const auto start = std::chrono::steady_clock::now();
    const auto requests = choose("Rng_B", 2);  // would send the mode and four range values
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(8000));
    expectStartsWith(requests, {narrowWrite(5, 2)});
    EXPECT_EQ(form.logLines().back(), "Ошибка записи параметра C_HS: прибор не ответил");
    // The window still shows the mode's ranges and setpoints, as the instrument will once it hears them.
    EXPECT_EQ(rig.state().row(row::Rng).value, 2);
    EXPECT_EQ(form.text("Ioh_E"), "100.0");
    EXPECT_EQ(form.text("Us1_E"), "20.0");
}

TEST_F(InputView, AFailedReadAfterATypeChangeKeepsTheOtherRows) {
    ASSERT_TRUE(rig.connect({}));
    rig.sim.control("fault exception=4");
    choose("Mod_B", 13);
    EXPECT_EQ(rig.state().row(row::Mod).value, 13);
    EXPECT_EQ(rig.state().row(row::Dph).value, 3200);
    EXPECT_EQ(form.logLines().back(), "Ошибка чтения конфигурации");
}

// Every type outside the table is alike, also one whose low byte names a type of the table (278 is
// 0x116: its low byte is 22, the resistance input).
class ATypeOutsideTheTable : public InputView, public ::testing::WithParamInterface<int> {};

TEST_P(ATypeOutsideTheTable, ShowsNoPanelNoUnitAndKeepsTheDisplayRange) {
    ASSERT_TRUE(rig.connect({{0, GetParam()}}));
    EXPECT_FALSE(form.isVisible("Panel_Tsp"));
    EXPECT_FALSE(form.isVisible("Panel_Tmp"));
    EXPECT_EQ(form.text("NameModeAll"), "   0   320   ");
    EXPECT_EQ(form.itemIndex("Mod_B"), -1);
    expectStartsWith(choose("Rng_B", 1), {narrowWrite(5, 1)});  // no full range to reset to
    EXPECT_EQ(rig.state().row(row::Dph).value, 3200);
    form.click("Mgr_En");
    ASSERT_TRUE(form.fireTimer("Timer_ReadMg"));
    EXPECT_NE(form.text("sMgr"), " ");
    EXPECT_EQ(form.text("sUnt"), "");
}

INSTANTIATE_TEST_SUITE_P(Types, ATypeOutsideTheTable, ::testing::Values(30, 278, -1));

class RangeHeadless : public ::testing::Test {
protected:
    test::ScratchDir portsDir{"k54-ports"};
    test::HeadlessRig rig{portsDir.path()};
    k54L& k = rig.state;
};

TEST_F(RangeHeadless, CaptionsDropTheTenths) {
    k.row(row::Mod).value = 22;
    k.row(row::Dpl).value = 129;
    k.row(row::Dph).value = 1999;
    k.row(row::Rng).value = 1;
    refreshInputView(rig.session());
    EXPECT_EQ(rig.form().text("NameModeAll"), "  12   199 Ом");
    EXPECT_EQ(rig.form().text("NameModeLim"), "  12   199 Ом");
    EXPECT_EQ(rig.form().text("Units"), "Уставки в единицах");
    k.row(row::Dpl).value = -59;
    k.row(row::Iol).value = -9999;
    k.row(row::Ioh).value = 99999;
    k.row(row::Rng).value = 2;
    refreshInputView(rig.session());
    EXPECT_EQ(rig.form().text("NameModeAll"), "  -5   199 Ом");
    EXPECT_EQ(rig.form().text("NameModeLim"), "-999  9999");
}

TEST_F(RangeHeadless, TheInputTypeListHoldsTheTypesTextsExactly) {
    ASSERT_EQ(rig.form().itemCount("Mod_B"), kInputTypeCount);
    EXPECT_EQ(rig.form().itemText("Mod_B", 0), "Термосопротивление 50M  R100/R0=1.4260 (Cu65)");
    EXPECT_EQ(rig.form().itemText("Mod_B", 8), "Термосопротивление Pt100  R100/R0=1.3850  (Ptb1)");
    EXPECT_EQ(rig.form().itemText("Mod_B", 13), "Термопара ТПР (B) (Pr)");
    // The M after 50, 53 and 100 is Latin; the П after 50 and 100 Cyrillic.
    for (int type = 0; type <= 5; ++type)
        EXPECT_NE(rig.form().itemText("Mod_B", type).find("M  R100"), std::string::npos);
    EXPECT_NE(rig.form().itemText("Mod_B", 6).find("50\xD0\x9F  R100"), std::string::npos);
    EXPECT_NE(rig.form().itemText("Mod_B", 11).find("\xD0\xA5\xD0\x90 (K)"), std::string::npos);  // Cyrillic ХА
}

}  // namespace
}  // namespace k54
