// Numbers typed into the parameter fields and the address field: parsed, limited, stored, sent and
// shown; against the simulated instrument.
#include <gtest/gtest.h>

#include "base/TextFormat.h"
#include "config/operations/ValueEntry.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

// Instrument registers are set before connecting; the factory configuration otherwise: type 22,
// mode 0, display range 0.0 ... 320.0, scaled range 0.0 ... 100.0, setpoints 64.0 and 256.0.
using test::Registers;

// A wide value as its two registers.
Registers wide(int reg, int32_t value) {
    const auto words = encodeWide(value);
    return {{reg, static_cast<int16_t>(words[0])}, {reg + 1, static_cast<int16_t>(words[1])}};
}

Registers operator+(Registers a, const Registers& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct EntryCase {
    std::string name;
    Registers registers;
    std::string field;
    std::string typed;
    char separator;
    int32_t stored;
    std::string shown;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.name;
}

class ValueEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ValueEntry, StoresSendsAndShowsTheLimitedValue) {
    const EntryCase& c = GetParam();
    test::SimRig rig({"--no-pacing"}, 4, c.separator);
    rig.setRegisters(c.registers);
    ASSERT_TRUE(rig.connect());
    HeadlessForm& form = rig.form();
    const int rowIndex = findRowByControl(rig.state(), c.field).value();

    form.focus(c.field);
    form.operatorTypes(c.field, c.typed);
    const std::size_t from = rig.sim.traceLines().size();
    form.leaveFocus();

    EXPECT_EQ(rig.state().row(rowIndex).value, c.stored);
    EXPECT_EQ(form.text(c.field), c.shown);
    EXPECT_TRUE(form.boxes().empty());
    const auto requests = rig.requestsFrom(from);
    ASSERT_FALSE(requests.empty());
    const ParamRow& row = rig.state().row(rowIndex);
    const std::string expected =
        row.wide ? formatText("01 10 00 %02X 00 02 04", row.reg) : formatText("01 06 00 %02X", row.reg);
    EXPECT_EQ(requests.back().rfind(expected, 0), 0u) << requests.back();
}

const Registers kInputSetMode{{5, 1}};
const Registers kScaledSetMode{{5, 3}};

INSTANTIATE_TEST_SUITE_P(
    Entries, ValueEntry,
    ::testing::Values(
        EntryCase{"CommaBecomesThePoint", {}, "Us1_E", "12,3", '.', 123, "12.3"},
        EntryCase{"PointBecomesTheComma", {}, "Us1_E", "12.3", ',', 123, "12,3"},
        EntryCase{"ExtraDigitsAreCut", {}, "Us1_E", "12.35", '.', 123, "12.3"},
        EntryCase{"NegativeDigitsAreCutTowardZero", kInputSetMode + wide(6, -500), "Us1_E", "-12.35", '.', -123,
                  "-12.3"},
        EntryCase{"CurrentValueLimitedTo20mA", {}, "Icd_E", "25", '.', 2000, "20.00"},
        EntryCase{"LineResistanceLimitedTo100Ohm", {}, "rLn_E", "150", '.', 10000, "100.00"},
        EntryCase{"WideValueAbove1000KeepsNoDecimal", kInputSetMode + Registers{{0, 14}}, "Dph_E", "1234.5", '.', 12340,
                  "1234"},
        EntryCase{"WideValueBelowMinus100KeepsNoDecimal", kScaledSetMode, "Iol_E", "-150.5", '.', -1500, "-150"},
        EntryCase{"SetpointAboveTheOtherIsClampedBelowIt", {}, "Us1_E", "300", '.', 2559, "255.9"},
        EntryCase{"CoarseningAfterTheClampMayMeetTheOtherSetpoint",
                  kInputSetMode + Registers{{0, 14}} + wide(8, 20000) + wide(31, 10000), "Us2_E", "1000.5", '.', 10000,
                  "1000"},
        EntryCase{"LoneSeparatorIsZeroThenLimited", kInputSetMode + wide(6, 100), "Us1_E", ".", '.', 100, "10.0"},
        EntryCase{"HugeNumberIsLimitedToTheNearerBound", {}, "Us1_E", "1e99", '.', 2559, "255.9"},
        EntryCase{"HugeNegativeNumberIsLimitedToTheNearerBound", {}, "Gs1_E", "-1e99", '.', 0, "0.0"},
        EntryCase{"HysteresisUpToTheReferenceWidth", {}, "Gs2_E", "999", '.', 3200, "320.0"},
        EntryCase{"AnExponentBeyondEveryIntegerIsHeldToTheLimit", {}, "Us1_E", "1e30", '.', 2559, "255.9"},
        EntryCase{"ScaledRangeInScaledModes", kScaledSetMode, "Ioh_E", "200000", '.', 99990, "9999"},
        EntryCase{"DisplayRangeLowInModeZeroSnapsBack", {}, "Dpl_E", "50", '.', 0, "0.0"},
        EntryCase{"ScaledRangeInModeOneIsIgnored", kInputSetMode + wide(10, 25), "Iol_E", "50", '.', 25, "2.5"}),
    [](const ::testing::TestParamInfo<EntryCase>& info) { return info.param.name; });

class ValueEntryConnected : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.connect()); }
    std::vector<std::string> commit(const char* field, const char* typed) {
        form.focus(field);
        form.operatorTypes(field, typed);
        const std::size_t from = rig.sim.traceLines().size();
        form.leaveFocus();
        return rig.requestsFrom(from);
    }
    test::SimRig rig;
    HeadlessForm& form = rig.form();
};

TEST_F(ValueEntryConnected, TextThatIsNotANumberGivesOneBoxAndChangesNothing) {
    for (const char* typed : {"abc", "", "--1", "1.2.3", "1,2,3"}) {
        form.clearBoxes();
        const auto requests = commit("Us1_E", typed);
        ASSERT_EQ(form.boxes().size(), 1u) << typed;
        EXPECT_EQ(form.boxes()[0].kind, HeadlessForm::BoxKind::Information);
        EXPECT_EQ(form.boxes()[0].text, "Неверный формат числа");
        EXPECT_TRUE(requests.empty()) << typed;
        EXPECT_EQ(rig.state().row(row::Us1).value, 640);
    }
    EXPECT_EQ(form.text("Us1_E"), "1.2.3");  // the commas became points; the text stays
}

// The box of a refused entry takes the window's activation while the focus moves on (Tab). With a
// window manager the next field is entered once the window is active again; without one its focus-in
// never comes. Either way the number committed there goes to that field's own register.
class ValueEntryAfterABox : public ::testing::TestWithParam<bool> {};

TEST_P(ValueEntryAfterABox, TheNextFieldsNumberGoesToItsOwnRegister) {
    const bool windowManager = GetParam();
    test::SimRig rig({"--no-pacing"}, 4, '.', windowManager);
    ASSERT_TRUE(rig.connect());
    HeadlessForm& form = rig.form();
    form.focus("Us2_E");
    form.operatorTypes("Us2_E", "abc");
    form.focus("Gs2_E");
    ASSERT_EQ(form.boxes().size(), 1u);
    EXPECT_EQ(form.active(), windowManager);
    EXPECT_EQ(rig.state().editRow, windowManager ? row::Gs2 : row::Us2);  // was Gs2_E entered?

    form.operatorTypes("Gs2_E", "5");
    const std::size_t from = rig.sim.traceLines().size();
    form.pressKey("Gs2_E", kKeyEnter);
    const auto requests = rig.requestsFrom(from);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].substr(0, 11), "01 10 00 25");  // registers 37-38, the second hysteresis
    EXPECT_EQ(rig.state().row(row::Gs2).value, 50);
    EXPECT_EQ(rig.state().row(row::Us2).value, 2560);
    EXPECT_EQ(form.text("Gs2_E"), "5.0");
}

INSTANTIATE_TEST_SUITE_P(WindowManager, ValueEntryAfterABox, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "With" : "Without"; });

TEST_F(ValueEntryConnected, ACommitForAFieldThatIsNoNumericParameterDoesNothing) {
    const std::size_t from = rig.sim.traceLines().size();
    for (const char* field : {"Adr_E", "Psw_E", "Com_B", "NoSuchControl"}) commitValueEntry(rig.session(), field);
    EXPECT_TRUE(rig.requestsFrom(from).empty());
    EXPECT_TRUE(form.boxes().empty());
}

TEST_F(ValueEntryConnected, ModeZeroSendsTheResetDisplayRangeAndTheCommittedRow) {
    const auto requests = commit("Dpl_E", "50");
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].substr(0, 32), "01 10 00 08 00 02 04 00 00 0C 80");  // 320.0
    EXPECT_EQ(requests[1].substr(0, 32), "01 10 00 06 00 02 04 00 00 00 00");
    EXPECT_EQ(requests[2].substr(0, 32), "01 10 00 06 00 02 04 00 00 00 00");
    EXPECT_EQ(form.text("Us1_E"), "64.0");  // setpoints recomputed from the display range
}

TEST_F(ValueEntryConnected, EnterCommitsAndLeavingAfterwardsCommitsTheSameTextAgain) {
    form.focus("Gs1_E");
    form.operatorTypes("Gs1_E", "2.5");
    const std::size_t from = rig.sim.traceLines().size();
    form.pressKey("Gs1_E", kKeyEnter);
    EXPECT_EQ(rig.state().row(row::Gs1).value, 25);
    form.leaveFocus();
    const auto requests = rig.requestsFrom(from);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], requests[1]);
}

TEST_F(ValueEntryConnected, FocusShowsTheValueWithTheRowsTemplate) {
    // Entering the fields directly: moving the focus between them would commit each in turn.
    const auto enter = [this](const char* field) {
        Event e{field, ControlKind::Edit};
        rig.rig.window.events.Us1_EEnter(e);
        return form.text(field);
    };
    rig.state().row(row::Gs1).value = 5;
    EXPECT_EQ(enter("Gs1_E"), "0.5");
    rig.state().row(row::Dph).value = 12340;
    EXPECT_EQ(enter("Dph_E"), "1234.0");
    rig.state().row(row::Dpl).value = -3;
    EXPECT_EQ(enter("Dpl_E"), "-0.3");
    EXPECT_EQ(rig.state().editRow, row::Dpl);
}

TEST_F(ValueEntryConnected, AnUnansweredWriteIsReportedAndTheValueStaysStored) {
    rig.sim.control("fault exception=4");
    commit("Icd_E", "5");
    EXPECT_EQ(rig.state().row(row::Icd).value, 500);
    EXPECT_EQ(form.logLines().back(), "Ошибка записи параметра Icod: прибор отказал, код 4");
}

TEST_F(ValueEntryConnected, ScaledRangeEntryRecomputesTheSetpointsFromIt) {
    form.operatorChooses("Rng_B", 3);
    commit("Ioh_E", "50");
    EXPECT_EQ(rig.state().row(row::Ioh).value, 500);
    EXPECT_EQ(form.text("Us1_E"), "10.0");
    EXPECT_EQ(form.text("Us2_E"), "40.0");
}

struct AddressCase {
    const char* typed;
    int address;
    const char* shown;
};

TEST(AddressEntry, TheAddressFieldSetsTheSlaveAddressWithinItsRange) {
    test::ScratchDir portsDir("k54-ports");
    test::HeadlessRig rig(portsDir.path());
    const AddressCase cases[] = {{"12", 12, "12"}, {"255", 12, "12"}, {"254", 254, "254"}, {"1.9", 1, "1"},
                                 {"-5", 1, "1"},   {"254.5", 1, "1"}, {"0", 0, "0"},       {"7e1", 70, "70"}};
    for (const AddressCase& c : cases) {
        rig.form().operatorTypes("Adr_E", c.typed);
        EXPECT_EQ(rig.state.slaveAddress, c.address) << c.typed;
        EXPECT_EQ(rig.form().text("Adr_E"), c.shown) << c.typed;
    }
    EXPECT_TRUE(rig.form().boxes().empty());
    rig.form().operatorTypes("Adr_E", "1,5");  // the other separator is not a number here
    ASSERT_EQ(rig.form().boxes().size(), 1u);
    EXPECT_EQ(rig.form().boxes()[0].kind, HeadlessForm::BoxKind::Message);
    EXPECT_EQ(rig.form().boxes()[0].text, "Неверный формат числа");
    EXPECT_EQ(rig.state.slaveAddress, 70);
    EXPECT_EQ(rig.state.row(row::Adr).value, 0) << "the instrument's address row is not touched";
}

}  // namespace
}  // namespace k54
