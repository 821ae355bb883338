// Configuration files without an instrument: the keys, values read exactly, the round trip over
// generated configurations, every problem a file can have with its message, and the documented example.
#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "config/files/ConfigChecks.h"
#include "config/files/ConfigFile.h"
#include "config/files/NewFile.h"
#include "config/files/ParamKeys.h"
#include "config/files/ParamValueText.h"
#include "config/files/StrictJson.h"
#include "config/instrument/Restore.h"
#include "config/params/ListItems.h"
#include "config/rules/EntryRules.h"
#include "config/rules/RangeRules.h"
#include "tests/support/ScratchDir.h"

namespace k54 {
namespace {

// A configuration that value entry could have made: every list on an item, every number within the
// limits value entry applies, each range's ends in order, the setpoints within the range they refer to.
ParamTable generatedValidRows() {
    ParamTable rows = kParamTemplate;
    const auto set = [&rows](int r, int32_t low, int32_t high) {  // inclusive
        rows.at(static_cast<std::size_t>(r)).value = *rc::gen::inRange(low, high + 1);
    };
    for (int r = 0; r < kParamCount; ++r) {
        const ParamRow& row = kParamTemplate.at(static_cast<std::size_t>(r));
        if (row.kind != ParamKind::Combo) continue;
        const int items = static_cast<int>(listItems(r).size());
        rows.at(static_cast<std::size_t>(r)).value = valueForListIndex(row, *rc::gen::inRange(0, items));
    }
    const auto type = *inputRangeTenths(rows.at(row::Mod).value);
    set(row::Dpl, static_cast<int32_t>(type.low), static_cast<int32_t>(type.high) - 1);
    set(row::Dph, rows.at(row::Dpl).value + 1, static_cast<int32_t>(type.high));
    set(row::Iol, -9999, 99998);
    set(row::Ioh, rows.at(row::Iol).value + 1, 99999);
    const bool scaled = refersToScaledRange(rows.at(row::Rng).value);
    const int32_t low = rows.at(scaled ? row::Iol : row::Dpl).value, high = rows.at(scaled ? row::Ioh : row::Dph).value;
    set(row::Us1, low, high - 1);
    set(row::Us2, rows.at(row::Us1).value + 1, high);
    set(row::Gs1, 0, high - low);
    set(row::Gs2, 0, high - low);
    set(row::rLn, 0, 10000);
    set(row::Icd, 0, 2000);
    set(row::Adr, kLowestAddress, kHighestAddress);
    set(row::Psw, -32768, 32767);
    return rows;
}

RC_GTEST_PROP(ConfigFileProperty, SavingThenLoadingGivesTheSameRegistersButThePassword, ()) {
    const ParamTable rows = generatedValidRows();
    RC_ASSERT(checkParameterValues(rows).empty());
    const SavedConfiguration saved{"1.90.0013", "2009-11-18T08:05:29", registerImage(rows, false)};
    const std::string text = configurationFileText(saved);
    const LoadedConfiguration loaded = readConfigurationText(text);
    RC_ASSERT(loaded.problems.empty());
    RC_ASSERT(loaded.notices.empty());
    RC_ASSERT(loaded.configuration.has_value());
    RC_ASSERT(loaded.configuration->registers == withoutPassword(saved.registers));
    RC_ASSERT(loaded.configuration->firmware == saved.firmware);
    RC_ASSERT(loaded.configuration->savedAt == saved.savedAt);
    // The password is not in the file in any form.
    RC_ASSERT(text.find("password") == std::string::npos);
}

TEST(ParamKeys, EveryRowHasOneKeyAndEachKeyFindsItsRow) {
    for (int r = 0; r < kParamCount; ++r) {
        EXPECT_EQ(rowForKey(keyOfRow(r)), r) << keyOfRow(r);
        EXPECT_FALSE(kParamKeys.at(static_cast<std::size_t>(r)).label.empty());
    }
    for (const char* mnemonic :
         {"dAt",  "UF",   "C_HS", "DpLo", "DpHi", "IoLo", "IoHi", "Ind", "ndt",  "IOdP", "Sqrt", "I_En",
          "Icod", "CutE", "Lt",   "LP",   "LA",   "Ld",   "rL1",  "rL2", "US_1", "GS_1", "US_2", "GS_2"}) {
        const auto r = rowForKey(mnemonic);
        ASSERT_TRUE(r) << mnemonic;
        // The window's label shows the mnemonic.
        EXPECT_NE(kParamKeys.at(static_cast<std::size_t>(*r)).label.find(std::string("(") + mnemonic + ")"),
                  std::string_view::npos);
    }
    EXPECT_EQ(rowForKey("dat"), std::nullopt);  // keys are exact
    EXPECT_EQ(rowForKey(""), std::nullopt);
}

TEST(ParamKeys, TheUnitFollowsTheInputTypeAndTheRangeTheSetpointsReferTo) {
    ParamTable rows = kParamTemplate;
    rows.at(row::Mod).value = 11;  // a thermocouple
    rows.at(row::Rng).value = kInputSet;
    EXPECT_EQ(parameterUnit(rows, row::Dph), "°C");
    EXPECT_EQ(parameterUnit(rows, row::Us1), "°C");
    EXPECT_EQ(parameterUnit(rows, row::Ioh), "");
    EXPECT_EQ(parameterUnit(rows, row::Icd), "мА");
    EXPECT_EQ(parameterUnit(rows, row::rLn), "Ом");
    rows.at(row::Rng).value = kScaledFull;
    EXPECT_EQ(parameterUnit(rows, row::Us1), "");
    EXPECT_EQ(parameterUnit(rows, row::Dph), "°C");
    rows.at(row::Mod).value = 40;  // outside the table
    EXPECT_EQ(parameterUnit(rows, row::Dph), "");
}

TEST(ParamValueText, ANumberIsReadExactlyOrRefusedWithItsReason) {
    struct Case {
        int row;
        const char* text;
        std::optional<int32_t> raw;
        std::optional<ValueError> error;
    };
    const Case cases[] = {
        {row::Us1, "12.3", 123, {}},
        {row::Us1, "12.30", 123, {}},  // a trailing zero is no decimal
        {row::Us1, "1.23e1", 123, {}},
        {row::Us1, "-50", -500, {}},
        {row::Us1, "0.0", 0, {}},
        {row::Us1, "214748364.7", 2147483647, {}},
        {row::Us1, "12.35", {}, ValueError::TooManyDecimals},  // refused, not cut to 12.3
        {row::Us1, "1e-1000", {}, ValueError::TooManyDecimals},
        {row::Us1, "214748364.8", {}, ValueError::TooLarge},
        {row::Us1, "1e1000000000", {}, ValueError::TooLarge},
        {row::rLn, "0.05", 5, {}},
        {row::rLn, "0.005", {}, ValueError::TooManyDecimals},
        {row::Adr, "40000", {}, ValueError::TooLarge},  // one 16-bit register
        {row::Adr, "1.5", {}, ValueError::TooManyDecimals},
        {row::Us1, "abc", {}, ValueError::NotANumber},
        {row::Us1, "", {}, ValueError::NotANumber},
        {row::Us1, "1.2.3", {}, ValueError::NotANumber},
        {row::Us1, "1e", {}, ValueError::NotANumber},
        {row::Ndt, "30", 30, {}},  // counts from 1
        {row::Ndt, "0", {}, ValueError::NoSuchItem},
        {row::Spd, "3", 3, {}},
        {row::Spd, "19200", {}, ValueError::NoSuchItem},  // a number is the item's number
        {row::Mod, "22.0", 22, {}},
    };
    for (const Case& c : cases) {
        const ValueReading reading = readValueText(c.row, c.text);
        EXPECT_EQ(reading.error, c.error) << keyOfRow(c.row) << " " << c.text;
        if (c.raw) {
            EXPECT_EQ(reading.raw, *c.raw) << keyOfRow(c.row) << " " << c.text;
        }
    }
}

TEST(ParamValueText, AListAlsoTakesAnItemsTextAndWholeNumbersAreScaled) {
    EXPECT_EQ(readValueOrItemText(row::Spd, "19200").raw, 3);
    EXPECT_EQ(readValueOrItemText(row::Rl1, "Прямая").raw, 1);
    EXPECT_EQ(readValueOrItemText(row::La, "16").raw, 16);
    EXPECT_EQ(readValueOrItemText(row::Rl1, "прямая").error, ValueError::NotANumber);
    EXPECT_EQ(readWholeValue(row::Dph, 320).raw, 3200);
    EXPECT_EQ(readWholeValue(row::rLn, -3).raw, -300);
    EXPECT_EQ(readWholeValue(row::Dph, INT64_MIN).error, ValueError::TooLarge);
    EXPECT_EQ(engineeringText(row::rLn, 5), "0.05");
    EXPECT_EQ(engineeringText(row::Dpl, -500), "-50.0");
    EXPECT_EQ(engineeringText(row::Spd, 3), "3");
}

// The factory configuration's file, as the writer makes it.
std::string factoryFileText() {
    return configurationFileText({"1.90.0013", "2009-11-18T08:05:29", registerImage(kParamTemplate, true)});
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at == std::string::npos) throw std::logic_error("the file has no " + from);
    return text.replace(at, from.size(), to);
}

// The file with one change made to its document.
std::string edited(const std::function<void(Json&)>& change) {
    Json document = Json::parse(factoryFileText());
    change(document);
    return document.dump(2);
}

std::string withEntry(const std::string& key, const std::string& entry) {
    const std::string text = factoryFileText();
    const auto start = text.find("\"" + key + "\": ");
    const auto end = text.find('}', start);
    return text.substr(0, start) + "\"" + key + "\": " + entry + text.substr(end + 1);
}

TEST(ConfigFile, TheFactoryFileLoadsAsItIs) {
    const LoadedConfiguration loaded = readConfigurationText(factoryFileText());
    EXPECT_TRUE(loaded.problems.empty());
    ASSERT_TRUE(loaded.configuration);
    EXPECT_EQ(loaded.configuration->registers, registerImage(kParamTemplate, true));
}

TEST(ConfigFile, EveryProblemIsFoundWithItsKeyAndItsMessage) {
    struct Case {
        std::string file;
        ProblemKind kind;
        std::string message;
    };
    const Case cases[] = {
        {replaced(factoryFileText(), "\"version\": 1,", "\"version\": 1"), ProblemKind::NotJson,
         "line 4, column 9: not JSON: syntax error while parsing object - unexpected string literal; expected '}'"},
        {"", ProblemKind::NotJson,
         "line 1, column 1: not JSON: syntax error while parsing value - unexpected end of input; expected '[', "
         "'{', or a literal"},
        // The parser shows what it read last; a byte that is not UTF-8 is shown by its value.
        {"{\"model\": 8\xD0}", ProblemKind::NotJson,
         "line 1, column 12: not JSON: syntax error while parsing object - invalid literal; last read: '8<0xD0>'; "
         "expected '}'"},
        {"[1, 2]", ProblemKind::NotAnObject, "the file: must be a JSON object"},
        {edited([](Json& d) { d["format"] = "other"; }), ProblemKind::UnknownFormat,
         "format: unknown format other, expected \"k54-configuration\""},
        {edited([](Json& d) { d.erase("format"); }), ProblemKind::MissingKey, "format: missing"},
        {edited([](Json& d) { d["version"] = 2; }), ProblemKind::UnknownVersion,
         "version: unknown version 2, expected 1"},
        {edited([](Json& d) { d["version"] = "1"; }), ProblemKind::UnknownVersion,
         "version: unknown version 1, expected 1"},
        {edited([](Json& d) { d["model"] = "КЭР-5400-01"; }), ProblemKind::WrongModel,
         "model: the file is for another instrument: КЭР-5400-01"},
        {edited([](Json& d) { d["comment"] = "site 4"; }), ProblemKind::UnknownKey, "comment: unknown key"},
        {edited([](Json& d) {
             d["parameters"]["DpMid"] = {{"value", 1}};
         }),
         ProblemKind::UnknownKey, "DpMid: unknown key"},
        {edited([](Json& d) { d["parameters"]["DpHi"]["limit"] = 1; }), ProblemKind::UnknownKey,
         "DpHi.limit: unknown key"},
        // An empty key is named as written, so that the message still says where.
        {edited([](Json& d) {
             d["parameters"][""] = {{"value", 1}};
         }),
         ProblemKind::UnknownKey, "\"\": unknown key"},
        {edited([](Json& d) { d["parameters"]["DpHi"][""] = 1; }), ProblemKind::UnknownKey, "DpHi.\"\": unknown key"},
        {edited([](Json& d) {
             d["parameters"]["password"] = {{"value", 1234}};
         }),
         ProblemKind::PasswordNotSaved, "password: the service password is never saved or restored"},
        {replaced(factoryFileText(), "\"CutE\":", "\"CutE\": {\"value\": 0},\n    \"CutE\":"),
         ProblemKind::DuplicateKey, "CutE: appears more than once"},
        {edited([](Json& d) { d["parameters"].erase("Ind"); }), ProblemKind::MissingKey, "Ind: missing"},
        {edited([](Json& d) { d.erase("parameters"); }), ProblemKind::MissingKey, "parameters: missing"},
        {edited([](Json& d) { d["parameters"] = Json::array(); }), ProblemKind::NotAnObject,
         "parameters: must be a JSON object"},
        {withEntry("Ind", "0"), ProblemKind::NotAnObject, "Ind: must be a JSON object"},
        {withEntry("Ind", "{\"text\": \"Измерение\"}"), ProblemKind::MissingKey, "Ind.value: missing"},
        {withEntry("DpHi", "{\"value\": \"320\"}"), ProblemKind::NotANumber, "DpHi: \"320\" is not a number"},
        {withEntry("DpHi", "{\"value\": null}"), ProblemKind::NotANumber, "DpHi: null is not a number"},
        {withEntry("DpHi", "{\"value\": 320.05}"), ProblemKind::TooManyDecimals,
         "DpHi: 320.05 has more than 1 decimal"},
        {withEntry("DpHi", "{\"value\": 1e12}"), ProblemKind::TooLarge, "DpHi: 1e12 is too large for the instrument"},
        {withEntry("DpHi", "{\"value\": 18446744073709551616}"), ProblemKind::TooLarge,
         "DpHi: 18446744073709551616 is too large for the instrument"},
        {withEntry("speed", "{\"value\": 19200}"), ProblemKind::NoSuchItem, "speed: the list has no item 19200"},
        // Beyond a parameter's own limits, which no input type or range mode widens: no instrument holds it.
        {withEntry("DpHi", "{\"value\": 2500.1}"), ProblemKind::OutOfLimits,
         "DpHi: 2500.1 is outside -50.0 ... 2500.0"},
        {withEntry("DpLo", "{\"value\": -50.1}"), ProblemKind::OutOfLimits, "DpLo: -50.1 is outside -50.0 ... 2500.0"},
        {withEntry("IoLo", "{\"value\": -1000}"), ProblemKind::OutOfLimits,
         "IoLo: -1000.0 is outside -999.9 ... 9999.9"},
        {withEntry("US_2", "{\"value\": 10000}"), ProblemKind::OutOfLimits,
         "US_2: 10000.0 is outside -999.9 ... 9999.9"},
        {withEntry("GS_1", "{\"value\": 11000}"), ProblemKind::OutOfLimits, "GS_1: 11000.0 is outside 0.0 ... 10999.8"},
        {withEntry("GS_2", "{\"value\": -0.1}"), ProblemKind::OutOfLimits, "GS_2: -0.1 is outside 0.0 ... 10999.8"},
        {withEntry("Icod", "{\"value\": 25}"), ProblemKind::OutOfLimits, "Icod: 25.00 is outside 0.00 ... 20.00"},
        {withEntry("line_resistance", "{\"value\": -0.01}"), ProblemKind::OutOfLimits,
         "line_resistance: -0.01 is outside 0.00 ... 100.00"},
        {withEntry("address", "{\"value\": 0}"), ProblemKind::OutOfLimits, "address: 0 is outside 1 ... 254"},
        {edited([](Json& d) { d["registers"].erase(0); }), ProblemKind::BadRegisterImage,
         "registers: must be 39 whole numbers 0 ... 65535"},
        {edited([](Json& d) { d["registers"][3] = 65536; }), ProblemKind::BadRegisterImage,
         "registers: must be 39 whole numbers 0 ... 65535"},
    };
    for (const Case& c : cases) {
        const LoadedConfiguration loaded = readConfigurationText(c.file);
        ASSERT_EQ(loaded.problems.size(), 1u) << c.message << "\n" << c.file;
        EXPECT_EQ(loaded.problems[0].kind, c.kind) << c.message;
        EXPECT_EQ(describeProblem(loaded.problems[0]), c.message);
        EXPECT_FALSE(loaded.configuration) << c.message;  // one bad entry: nothing to write
        // Values that read but lie outside their own limits are still what the file holds, for a comparison.
        const bool valuesRead = c.kind == ProblemKind::OutOfLimits;
        EXPECT_EQ(loaded.entries.has_value(), valuesRead) << c.message;
    }
}

TEST(ConfigFile, EveryIndependentProblemIsReportedAtOnce) {
    const LoadedConfiguration loaded = readConfigurationText(edited([](Json& d) {
        d["parameters"]["DpMid"] = 1;
        d["parameters"]["speed"]["value"] = 9;
        d["parameters"].erase("Ld");
    }));
    std::vector<std::string> messages;
    for (const ConfigProblem& p : loaded.problems) messages.push_back(describeProblem(p));
    EXPECT_EQ(messages,
              (std::vector<std::string>{"speed: the list has no item 9", "DpMid: unknown key", "Ld: missing"}));
    EXPECT_FALSE(loaded.configuration);

    const LoadedConfiguration emptyKeys =
        readConfigurationText(replaced(factoryFileText(), "{", "{\"\": 1, \"\": 2, "));
    messages.clear();
    for (const ConfigProblem& p : emptyKeys.problems) messages.push_back(describeProblem(p));
    EXPECT_EQ(messages, (std::vector<std::string>{"\"\": appears more than once", "\"\": unknown key"}));

    // The limits are judged once every value reads, whatever else is wrong.
    const LoadedConfiguration limits = readConfigurationText(edited([](Json& d) {
        d["comment"] = 1;
        d["parameters"]["DpHi"]["value"] = 5000;
        d["parameters"]["Icod"]["value"] = 30;
    }));
    ASSERT_EQ(limits.problems.size(), 3u);
    EXPECT_EQ(limits.problems[1].key, "DpHi");
    EXPECT_EQ(limits.problems[2].key, "Icod");
}

// Value entry holds a number to its limits before it drops the decimal of a large value, so a setpoint or
// range end entered just beyond its partner can end equal to it. The window makes such configurations:
// their files load as they are, without a confirmation; an equal pair that value entry cannot make is a
// broken range, which loading names for the user to confirm.
TEST(ConfigFile, PairsThatValueEntryMakesEqualBreakNoRelation) {
    struct Case {
        const char* what;
        int32_t mode;
        std::vector<std::pair<int, int32_t>> held;
        int entered;
        double typed;
        int32_t meets;  // the partner's value, which the entered one ends equal to
    };
    const std::vector<Case> cases{
        {"setpoint 2 at setpoint 1",
         kInputSet,
         {{row::Mod, 14}, {row::Dph, 20000}, {row::Us1, 10000}, {row::Us2, 15000}},
         row::Us2,
         1000.5,
         10000},
        {"a negative setpoint 1 at setpoint 2",
         kScaledSet,
         {{row::Iol, -5000}, {row::Us1, -3000}, {row::Us2, -1000}},
         row::Us1,
         -100.05,
         -1000},
    };
    for (const Case& c : cases) {
        ParamTable rows = kParamTemplate;
        for (ParamRow& r : rows) r.value = r.factoryValue;
        rows.at(row::Rng).value = c.mode;
        for (const auto& [r, value] : c.held) rows.at(static_cast<std::size_t>(r)).value = value;
        const LimitedEntry entry = limitEntry(rows, c.entered, nudgedEntry(c.typed));
        ASSERT_EQ(entry.raw, c.meets) << c.what;
        rows.at(static_cast<std::size_t>(c.entered)).value = entry.raw;
        const SavedConfiguration saved{"1.90.0013", "2026-03-14T09:30:00", registerImage(rows, false)};
        const LoadedConfiguration loaded = readConfigurationText(configurationFileText(saved));
        EXPECT_TRUE(loaded.problems.empty()) << c.what;
        EXPECT_TRUE(loaded.relationBreaches.empty()) << c.what;
    }
    ParamTable rows = kParamTemplate;
    for (ParamRow& r : rows) r.value = r.factoryValue;
    rows.at(row::Us1).value = rows.at(row::Us2).value;  // 256.0: value entry keeps its decimal, so never equal
    const LoadedConfiguration loaded =
        readConfigurationText(configurationFileText({"1.90.0013", "2026-03-14T09:30:00", registerImage(rows, false)}));
    EXPECT_TRUE(loaded.problems.empty());
    ASSERT_EQ(loaded.relationBreaches.size(), 1u);
    EXPECT_EQ(describeProblem(loaded.relationBreaches.front()), "US_1: 256.0 is not below US_2 256.0");
}

// A value that only breaks a relation the window keeps is one an instrument may hold (the window
// itself leaves one there: a new range mode recomputes the setpoints without sending them). The file
// is taken and the breach named, so that the caller asks before writing it.
TEST(ConfigFile, ABrokenRelationIsTakenAndNamedNotRefused) {
    struct Case {
        std::string file;
        std::vector<std::string> breaches;
    };
    const Case cases[] = {
        // A factory-fresh instrument after «Диапазон преобразования» became the scaled range: the
        // setpoints stay where the input range put them.
        {edited([](Json& d) { d["parameters"]["C_HS"]["value"] = 2; }), {"US_2: 256.0 is outside 64.1 ... 100.0"}},
        {withEntry("DpHi", "{\"value\": 500.0}"), {"DpHi: 500.0 is outside 0.1 ... 320.0"}},
        {withEntry("US_2", "{\"value\": 400}"), {"US_2: 400.0 is outside 64.1 ... 320.0"}},
        {withEntry("GS_1", "{\"value\": 320.1}"), {"GS_1: 320.1 is outside 0.0 ... 320.0"}},
        {withEntry("DpLo", "{\"value\": 320.0}"), {"DpLo: 320.0 is not below DpHi 320.0"}},
        {withEntry("US_1", "{\"value\": 300.0}"), {"US_1: 300.0 is not below US_2 256.0"}},
    };
    for (const Case& c : cases) {
        const LoadedConfiguration loaded = readConfigurationText(c.file);
        EXPECT_TRUE(loaded.problems.empty()) << c.file;
        EXPECT_TRUE(loaded.configuration) << c.file;
        std::vector<std::string> breaches;
        for (const ConfigProblem& b : loaded.relationBreaches) breaches.push_back(describeProblem(b));
        EXPECT_EQ(breaches, c.breaches);
    }
    EXPECT_TRUE(readConfigurationText(factoryFileText()).relationBreaches.empty());
}

TEST(ConfigFile, WhereTheImageOrATextSaysOtherwiseTheParametersHoldAndTheUserIsTold) {
    const LoadedConfiguration loaded = readConfigurationText(edited([](Json& d) {
        d["registers"][9] = 3000;                   // DpHi's low word: 300.0
        d["registers"][23] = 1234;                  // the password's register: never read
        d["parameters"]["rL1"]["text"] = "Прямая";  // the number 0 is "Выключено"
    }));
    ASSERT_TRUE(loaded.problems.empty());
    ASSERT_TRUE(loaded.configuration);
    EXPECT_EQ(loaded.configuration->registers, registerImage(kParamTemplate, true));
    std::vector<std::string> notices;
    for (const ConfigNotice& n : loaded.notices) notices.push_back(describeNotice(n));
    EXPECT_EQ(notices, (std::vector<std::string>{
                           "rL1: the text \"Прямая\" is not that of the number's item \"Выключено\"; the number holds",
                           "DpHi: the register image holds 300.0, the parameter 320.0; the parameter holds"}));
}

TEST(ConfigFile, AFileWithoutTheImageOrTheInformationFieldsLoads) {
    const LoadedConfiguration loaded = readConfigurationText(edited([](Json& d) {
        d.erase("registers");
        d.erase("firmware");
        d.erase("saved");
    }));
    EXPECT_TRUE(loaded.problems.empty());
    ASSERT_TRUE(loaded.configuration);
    EXPECT_EQ(loaded.configuration->firmware, "");
}

TEST(ConfigFile, FilesAreWrittenAndReadOrTheReasonIsGiven) {
    test::ScratchDir dir("k54-config-file-");
    const SavedConfiguration saved{"1.90.0013", "2009-11-18T08:05:29", registerImage(kParamTemplate, true)};
    EXPECT_EQ(saveConfigurationFile(dir.path() / "site.json", saved), std::nullopt);
    const LoadedConfiguration loaded = loadConfigurationFile(dir.path() / "site.json");
    ASSERT_TRUE(loaded.configuration);
    EXPECT_EQ(loaded.configuration->registers, saved.registers);

    const LoadedConfiguration missing = loadConfigurationFile(dir.path() / "none.json");
    ASSERT_EQ(missing.problems.size(), 1u);
    EXPECT_EQ(describeProblem(missing.problems[0]), "the file: cannot be read: No such file or directory");
    EXPECT_EQ(missing.problems[0].kind, ProblemKind::CannotRead);

    std::filesystem::resize_file(dir.path() / "site.json", kLargestFile + 1);
    EXPECT_EQ(loadConfigurationFile(dir.path() / "site.json").problems.at(0).detail, "larger than 1048576 bytes");
    EXPECT_NE(saveConfigurationFile(dir.path() / "no-such-folder" / "site.json", saved), std::nullopt);
}

TEST(NewFile, IsWrittenOnlyUnderAFreeNameOrTheReasonIsGiven) {
    test::ScratchDir dir("k54-new-file-");
    const auto textOf = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(writeNewFile(dir.path() / "a.json", "first").outcome, NewFile::Outcome::written);
    EXPECT_EQ(textOf(dir.path() / "a.json"), "first");

    EXPECT_EQ(writeNewFile(dir.path() / "a.json", "second").outcome, NewFile::Outcome::nameTaken);
    EXPECT_EQ(textOf(dir.path() / "a.json"), "first");
    std::filesystem::create_symlink(dir.path() / "nowhere", dir.path() / "dangling.json");
    EXPECT_EQ(writeNewFile(dir.path() / "dangling.json", "x").outcome, NewFile::Outcome::nameTaken);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "nowhere"));

    const NewFile refused = writeNewFile(dir.path() / "no-such-folder" / "a.json", "x");
    EXPECT_EQ(refused.outcome, NewFile::Outcome::failed);
    EXPECT_EQ(refused.error, "No such file or directory");
}

TEST(StrictJson, NumbersKeepTheirTextAndRepeatedKeysAreNamedWhereverTheyAre) {
    const StrictJson parsed = parseStrictJson(R"({"a": [1, {"b": 2.50, "b": 3}], "c": {"d": -0.1e1}})");
    ASSERT_FALSE(parsed.syntaxError);
    EXPECT_EQ(parsed.duplicateKeys, std::vector<std::string>{"/a/1/b"});
    EXPECT_EQ(parsed.numberTexts, (std::map<std::string, std::string>{{"/a/1/b", "2.50"}, {"/c/d", "-0.1e1"}}));
    EXPECT_EQ(parsed.document["a"][1]["b"], 3);  // the last one given
    const StrictJson broken = parseStrictJson("{\n  \"a\": 1,\n  \"b\": tru\n}");
    ASSERT_TRUE(broken.syntaxError);
    EXPECT_EQ(broken.syntaxError->line, 3);
}

// The documented example is the writer's own output, so that the two cannot drift apart.
// K54_UPDATE_DOCS=1 writes the writer's output into the document instead.
TEST(ConfigFile, TheDocumentedExampleIsWhatTheWriterWritesAndItLoads) {
    const std::filesystem::path docPath = std::filesystem::path(K54_DOCS_DIR) / "configuration-file.md";
    std::ifstream in(docPath);
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string doc = buffer.str();
    const std::string open = "```json\n", close = "```\n";
    const auto start = doc.find(open);
    ASSERT_NE(start, std::string::npos) << docPath;
    auto end = doc.find(close, start + open.size());
    ASSERT_NE(end, std::string::npos);

    ParamTable rows = kParamTemplate;
    for (ParamRow& row : rows) row.value = row.factoryValue;
    rows.at(row::Mod).value = 11;  // thermocouple K, 0 ... 1300 °C
    rows.at(row::Mcj).value = 1;
    rows.at(row::Rng).value = kInputSet;
    rows.at(row::Dpl).value = 0;
    rows.at(row::Dph).value = 12000;
    rows.at(row::Us1).value = 8500;
    rows.at(row::Us2).value = 10500;
    rows.at(row::Gs1).value = 20;
    rows.at(row::Gs2).value = 20;
    rows.at(row::Ufp).value = 1;
    rows.at(row::Rl1).value = 1;
    rows.at(row::Rl2).value = 2;
    rows.at(row::Adr).value = 12;
    const std::string written = configurationFileText({"1.90.0013", "2026-03-14T09:30:00", registerImage(rows, false)});
    if (std::getenv("K54_UPDATE_DOCS")) {
        doc.replace(start + open.size(), end - start - open.size(), written);
        std::ofstream(docPath) << doc;
        end = start + open.size() + written.size();
    }
    EXPECT_EQ(doc.substr(start + open.size(), end - start - open.size()), written)
        << "run with K54_UPDATE_DOCS=1 to write the example anew";
    const LoadedConfiguration loaded = readConfigurationText(written);
    EXPECT_TRUE(loaded.problems.empty());
    EXPECT_TRUE(loaded.notices.empty());
    for (const ParamKey& key : kParamKeys)  // and the document lists every key
        EXPECT_NE(doc.find("`" + std::string(key.key) + "`"), std::string::npos) << key.key;
}

TEST(RestorePlan, TheOtherRowsInRegisterOrderThenProtocolAddressAndSpeedNeverThePassword) {
    const RegisterImage current = registerImage(kParamTemplate, true);
    ParamTable rows = kParamTemplate;
    for (ParamRow& row : rows) row.value = row.factoryValue;
    for (const int r : {row::Us2, row::Mod, row::Psw, row::Spd, row::Adr, row::Ptr, row::Dph}) rows.at(r).value += 1;
    const RegisterImage target = registerImage(rows, false);
    EXPECT_EQ(restorePlan(current, target, false), (std::vector<int>{row::Mod, row::Dph, row::Us2}));
    EXPECT_EQ(restorePlan(current, target, true),
              (std::vector<int>{row::Mod, row::Dph, row::Us2, row::Ptr, row::Adr, row::Spd}));
    EXPECT_TRUE(restorePlan(current, current, true).empty());
}

}  // namespace
}  // namespace k54
