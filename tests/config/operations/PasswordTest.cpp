// The service password: typing, confirming, writing and resetting, against the simulated instrument.
#include <gtest/gtest.h>

#include "config/operations/ConfigReadWrite.h"
#include "config/operations/Password.h"
#include "tests/support/HeadlessRig.h"

namespace k54 {
namespace {

class Password : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.connect());
        traceMark = rig.sim.traceLines().size();
    }

    // Selects the field's text and types over it, as the operator does.
    void typeIntoField(const std::string& typed) {
        form.focus("Psw_E");
        form.operatorTypes("Psw_E", "");
        for (const char c : typed) form.operatorTypesChar("Psw_E", c);
    }
    std::vector<std::string> newRequests() {
        auto requests = rig.requestsFrom(traceMark);
        traceMark = rig.sim.traceLines().size();
        return requests;
    }

    test::SimRig rig;
    HeadlessForm& form = rig.form();
    std::size_t traceMark = 0;
};

TEST_F(Password, EnterAfterDigitsAsksWritesLogsAndClearsTheField) {
    typeIntoField("42");
    form.answerNextQuestion(true);
    EXPECT_FALSE(form.operatorTypesChar("Psw_E", kKeyEnter));
    ASSERT_EQ(form.boxes().size(), 1u);
    EXPECT_EQ(form.boxes()[0].text, "Записать пароль?");
    EXPECT_EQ(form.boxes()[0].caption, "Подтверждение");
    const auto requests = newRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].substr(0, 17), "01 06 00 17 00 2A");
    EXPECT_EQ(form.logLines().back(), "Установлен сервисный пароль0042");
    EXPECT_EQ(form.text("Psw_E"), "0000");
    // The instrument holds it.
    ASSERT_TRUE(readConfiguration(rig.session()));
    EXPECT_EQ(rig.state().row(row::Psw).value, 42);
    // Leaving the field afterwards takes its cleared text.
    form.leaveFocus();
    EXPECT_EQ(rig.state().password, 0);
}

TEST_F(Password, WriteButtonAfterLeavingTheFieldAsksWithTheNumberShown) {
    typeIntoField("1234");
    form.focus("Psw_Write");  // the click takes the focus first
    EXPECT_EQ(rig.state().password, 1234);
    EXPECT_EQ(form.text("Psw_E"), "0000");
    form.answerNextQuestion(true);
    form.click("Psw_Write");
    EXPECT_EQ(newRequests().at(0).substr(0, 17), "01 06 00 17 04 D2");
    EXPECT_EQ(form.logLines().back(), "Установлен сервисный пароль1234");
    EXPECT_EQ(form.text("Psw_E"), "0000");
}

TEST_F(Password, NoToTheWriteSendsNothingLogsAndClears) {
    typeIntoField("77");
    form.answerNextQuestion(false);
    form.operatorTypesChar("Psw_E", kKeyEnter);
    EXPECT_TRUE(newRequests().empty());
    EXPECT_EQ(form.logLines().back(), "Пароль не изменен!");
    EXPECT_EQ(form.text("Psw_E"), "0000");
    EXPECT_EQ(rig.state().password, 77);  // kept for the next write
}

TEST_F(Password, NoToTheResetSendsAndLogsNothing) {
    typeIntoField("12");
    rig.state().password = 12;
    const std::size_t log = form.logLines().size();
    form.answerNextQuestion(false);
    form.click("Psw_Reset");
    ASSERT_EQ(form.boxes().size(), 1u);
    EXPECT_EQ(form.boxes()[0].text, "Сбросить пароль?");
    EXPECT_TRUE(newRequests().empty());
    EXPECT_EQ(form.logLines().size(), log);
    EXPECT_EQ(form.text("Psw_E"), "12");
    EXPECT_EQ(rig.state().password, 12);
}

TEST_F(Password, TheResetWritesZero) {
    rig.sim.control("set 23 9999");
    rig.state().password = 5;
    form.answerNextQuestion(true);
    form.click("Psw_Reset");
    EXPECT_EQ(newRequests().at(0).substr(0, 17), "01 06 00 17 00 00");
    EXPECT_EQ(form.logLines().back(), "Пароль обнулен");
    EXPECT_EQ(rig.state().password, 0);
    ASSERT_TRUE(readConfiguration(rig.session()));
    EXPECT_EQ(rig.state().row(row::Psw).value, 0);
}

TEST_F(Password, OnlyDigitsAndBackspaceReachTheField) {
    form.focus("Psw_E");
    form.operatorTypes("Psw_E", "");
    const int beeps = form.beeps();
    for (const int refused : {int{'a'}, int{'-'}, int{'+'}, int{' '}, int{'.'}, 0x0431 /* Cyrillic б */})
        EXPECT_FALSE(form.operatorTypesChar("Psw_E", refused));
    EXPECT_EQ(form.beeps(), beeps + 6);
    EXPECT_TRUE(form.operatorTypesChar("Psw_E", '5'));
    EXPECT_TRUE(form.operatorTypesChar("Psw_E", '6'));
    EXPECT_TRUE(form.operatorTypesChar("Psw_E", kKeyBackspace));
    EXPECT_EQ(form.text("Psw_E"), "5");
    EXPECT_EQ(form.beeps(), beeps + 6);
}

TEST_F(Password, AFieldWithoutDigitsIsRefusedAndNothingIsSent) {
    form.focus("Psw_E");
    form.operatorTypes("Psw_E", "    ");
    EXPECT_FALSE(form.operatorTypesChar("Psw_E", kKeyEnter));
    EXPECT_TRUE(newRequests().empty());
    EXPECT_TRUE(form.boxes().empty());
    EXPECT_EQ(form.logLines().back(), "Неверный формат числа");
    EXPECT_EQ(form.text("Psw_E"), "0000");
}

TEST_F(Password, WriteWithNothingTypedSinceStartWritesZero) {
    form.answerNextQuestion(true);
    form.click("Psw_Write");
    EXPECT_EQ(newRequests().at(0).substr(0, 17), "01 06 00 17 00 00");
    EXPECT_EQ(form.logLines().back(), "Установлен сервисный пароль0000");
}

TEST_F(Password, AWriteThatGetsNoAnswerIsLoggedAsAnError) {
    rig.sim.control("fault silent");
    form.answerNextQuestion(true);
    form.click("Psw_Write");
    EXPECT_EQ(form.logLines().back(), "Ошибка записи пароля");
    EXPECT_EQ(form.text("Psw_E"), "0000");
    EXPECT_EQ(rig.sim.traceLines().back(), "rep none (silent)");
    rig.sim.control("clear");
    rig.sim.control("fault exception=3");
    form.answerNextQuestion(true);
    form.click("Psw_Reset");
    EXPECT_EQ(form.logLines().back(), "Ошибка записи пароля");
    EXPECT_EQ(rig.sim.traceLines().back().substr(0, 12), "rep 01 86 03") << "the reset met the exception";
}

}  // namespace
}  // namespace k54
