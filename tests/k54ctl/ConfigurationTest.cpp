// info, read, save, diff and load against the simulated instrument: what is printed, what is on the wire,
// what is on disk, and that a file's problem or --dry-run writes nothing.
#include <fstream>
#include <sstream>

#include "config/files/ConfigFile.h"
#include "tests/k54ctl/CtlRig.h"
#include "tests/support/ScratchDir.h"

namespace k54::ctl::test {
namespace {

const std::string kReadVersion = "11 03 00 29 00 02";
const std::string kReadConfiguration = "11 03 00 00 00 27";

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The factory configuration with some rows changed, as registers 0 - 38.
RegisterImage factoryWith(std::initializer_list<std::pair<int, int32_t>> changes) {
    ParamTable rows = kParamTemplate;
    for (ParamRow& row : rows) row.value = row.factoryValue;
    for (const auto& [r, value] : changes) rows.at(static_cast<std::size_t>(r)).value = value;
    return registerImage(rows, false);
}

class Configuration : public CtlTest {
protected:
    // Registers 0 - 38 of the instrument set to the image (before the next request it serves).
    void holdInInstrument(const RegisterImage& image) {
        for (int k = 0; k < kConfigRegisterCount; ++k)
            sim.control("set " + std::to_string(k) + " " + std::to_string(image.at(static_cast<std::size_t>(k))));
    }

    std::filesystem::path writeFile(const std::string& name, const RegisterImage& image) {
        const auto path = file(name);
        EXPECT_FALSE(saveConfigurationFile(path, {"1.90.0013", "2026-03-14T09:30:00", image}).has_value());
        return path;
    }

    std::filesystem::path backups() const { return file("backups"); }
};

TEST_F(Configuration, InfoChecksTheFirmwareAsTheWindowDoes) {
    const Result accepted = onLine({"info"});
    EXPECT_EQ(accepted.status, 0);
    EXPECT_TRUE(
        holds(accepted.out, "model     КЭР-5400-02(03)\nfirmware  1.90.0013\naddress   17\nspeed     9600 baud\n"));
    EXPECT_TRUE(holds(accepted.out, "port      COM4 (" + sim.linkPath().string() + " -> "));
    EXPECT_EQ(sim.requestsFrom(), std::vector<std::string>{kReadVersion});

    sim.control("firmware 1.90.0012");
    const Result old = onLine({"info"});
    EXPECT_EQ(old.status, 1);
    EXPECT_EQ(old.out, "");
    EXPECT_TRUE(holds(old.err, "has firmware 1.90.0012, older than 1.90.0013"));

    sim.control("firmware 0.90.0013");
    const Result none = onLine({"read"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(holds(none.err, "reports no firmware version (V1 = 0): it is no КЭР-5400-02(03)"));
    EXPECT_EQ(sim.requestsFrom().back(), kReadVersion);  // nothing read after a refused version
}

TEST_F(Configuration, ReadShowsEveryParameterButThePasswordWithItsUnitOrItem) {
    holdInInstrument(factoryWith({{row::Us1, 850}, {row::Psw, 1234}}));
    const std::size_t mark = traceMark();
    const Result result = onLine({"read"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(sim.requestsFrom(mark), (std::vector<std::string>{kReadVersion, kReadConfiguration}));
    EXPECT_TRUE(holds(result.out, "US_1             Уставка 1 (US_1)                        85.0   Ом\n"));
    EXPECT_TRUE(
        holds(result.out,
              "dAt              Тип датчика (dAt)                       22     «Сопротивление 0...320 Ом (R)»\n"));
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), kParamCount - 1);
    EXPECT_EQ(result.out.find("password"), std::string::npos);
}

TEST_F(Configuration, ReadAsJsonIsTheConfigurationFileAndSaveWritesIt) {
    const RegisterImage held = factoryWith({{row::Mod, 11}, {row::Dph, 12000}, {row::Us2, 10500}, {row::Psw, 77}});
    holdInInstrument(held);
    const Result json = onLine({"read", "--json"});
    EXPECT_EQ(json.status, 0);
    const LoadedConfiguration fromJson = readConfigurationText(json.out);
    ASSERT_TRUE(fromJson.configuration.has_value());
    EXPECT_EQ(fromJson.configuration->registers, withoutPassword(held));
    EXPECT_EQ(fromJson.configuration->firmware, "1.90.0013");

    const Result saved = onLine({"save", file("plant.json").string()});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out,
              "saved the configuration of address 17 (firmware 1.90.0013) to " + file("plant.json").string() + "\n");
    const LoadedConfiguration fromFile = loadConfigurationFile(file("plant.json"));
    ASSERT_TRUE(fromFile.configuration.has_value());
    EXPECT_EQ(fromFile.configuration->registers, withoutPassword(held));
}

TEST_F(Configuration, ASaveThatCannotBeWrittenIsAFileErrorAndLeavesNoFile) {
    const auto path = file("missing-folder") / "plant.json";
    const Result result = onLine({"save", path.string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(holds(result.err, "cannot write " + path.string()));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(Configuration, DiffListsWhatDiffersWithTheUnitsOfEachSide) {
    const auto path =
        writeFile("plant.json", factoryWith({{row::Rng, 2}, {row::Us1, 500}, {row::Us2, 900}, {row::Adr, 12}}));
    holdInInstrument(factoryWith({}));
    const Result result = onLine({"diff", path.string()});
    EXPECT_EQ(result.status, 1) << result.err;  // as diff(1): 1 for a difference
    EXPECT_EQ(result.out,
              "C_HS     Диапазон преобразования (C_HS)  file 2 «Условный полный»  instrument 0 «Входной полный»\n"
              "address  Адрес                           file 12                   instrument 1\n"
              "US_1     Уставка 1 (US_1)                file 50.0                 instrument 64.0 Ом\n"
              "US_2     Уставка 2 (US_2)                file 90.0                 instrument 256.0 Ом\n");
    holdInInstrument(factoryWith({{row::Rng, 2}, {row::Us1, 500}, {row::Us2, 900}, {row::Adr, 12}, {row::Psw, 99}}));
    const Result same = onLine({"diff", path.string()});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "no differences: the instrument holds the configuration of " + path.string() + "\n");
}

// A file that would not load still says what it holds, and is compared entry by entry; a file that is
// no configuration file, or an instrument that does not answer, is trouble (2), not a difference.
TEST_F(Configuration, DiffComparesAFileThatWouldNotLoadAndTellsTroubleFromADifference) {
    std::string text = fileText(writeFile("good.json", factoryWith({})));
    const std::string dpHi = "\"DpHi\": {\"value\": 320.0";
    text.replace(text.find(dpHi), dpHi.size(), "\"DpHi\": {\"value\": 5000.0");
    std::ofstream(file("bad.json")) << text;
    holdInInstrument(factoryWith({}));
    const Result outside = onLine({"diff", file("bad.json").string()});
    EXPECT_EQ(outside.status, 1) << outside.err;
    EXPECT_EQ(outside.out, "DpHi  Максимум диапазона (DpHi)  file 5000.0 Ом  instrument 320.0 Ом\n");
    EXPECT_EQ(outside.err, "k54ctl: " + file("bad.json").string() +
                               ": DpHi: 5000.0 is outside -50.0 ... 2500.0 (the file would not load)\n");
    holdInInstrument(factoryWith({{row::Dph, 50000}}));
    EXPECT_EQ(onLine({"diff", file("bad.json").string()}).status, 0);

    std::ofstream(file("notes.txt")) << "plant 7: DpHi 320\n";
    std::ofstream(file("other.json")) << "{\"format\": \"something else\", \"version\": 1}\n";
    const std::size_t mark = traceMark();
    for (const std::string name : {"notes.txt", "other.json", "absent.json"}) {
        const Result trouble = onLine({"diff", file(name).string()});
        EXPECT_EQ(trouble.status, 2) << name;
        EXPECT_EQ(trouble.out, "") << name;
        EXPECT_TRUE(holds(trouble.err, "k54ctl: " + file(name).string() + ": ")) << name;
    }
    EXPECT_TRUE(sim.requestsFrom(mark).empty());

    sim.control("fault silent");
    const Result silent = onLine({"diff", file("good.json").string()});
    EXPECT_EQ(silent.status, 2);
    EXPECT_TRUE(holds(silent.err, "no reply (time-out)"));
}

// As the window leaves it: setpoint 2 entered as 1000.5 just above setpoint 1 of 1000.0 ends equal to it.
TEST_F(Configuration, AFileJustSavedFromTheInstrumentIsTheSame) {
    holdInInstrument(
        factoryWith({{row::Mod, 14}, {row::Rng, 1}, {row::Dph, 20000}, {row::Us1, 10000}, {row::Us2, 15000}}));
    ASSERT_EQ(onLine({"set", "US_2=1000.5"}).out, "US_2 = 1000.0 °C (from 1000 on in whole units)\n");
    for (const std::string name : {"factory.json", "plant.json"}) {
        if (name == "factory.json") holdInInstrument(factoryWith({}));
        const auto path = file(name);
        const Result saved = onLine({"save", path.string()});
        ASSERT_EQ(saved.status, 0) << saved.err;
        EXPECT_EQ(saved.err, "");  // no note that it would not load
        const Result result = onLine({"diff", path.string()});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "no differences: the instrument holds the configuration of " + path.string() + "\n");
        EXPECT_EQ(result.err, "");
    }
}

// "-": the file on standard output alone (the rest on standard error), or from standard input.
TEST_F(Configuration, AFileThroughStandardOutputAndInput) {
    const RegisterImage held = factoryWith({{row::Us1, 500}, {row::Psw, 77}});
    holdInInstrument(held);
    const Result saved = onLine({"save", "-"});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.err, "saved the configuration of address 17 (firmware 1.90.0013) to standard output\n");
    const LoadedConfiguration fromOutput = readConfigurationText(saved.out);
    ASSERT_TRUE(fromOutput.configuration) << saved.out;
    EXPECT_EQ(fromOutput.configuration->registers, withoutPassword(held));
    EXPECT_TRUE(saved.out.starts_with("{\n") && saved.out.ends_with("}\n")) << saved.out;
    EXPECT_FALSE(std::filesystem::exists(file("-")));

    const auto asInput = [&] {
        answers.clear();
        std::istringstream lines(saved.out);
        for (std::string line; std::getline(lines, line);) answers.push_back(line);
    };
    holdInInstrument(factoryWith({}));
    asInput();
    const Result differs = onLine({"diff", "-"});
    EXPECT_EQ(differs.status, 1);
    EXPECT_TRUE(holds(differs.out, "US_1  Уставка 1 (US_1)  file 50.0 Ом  instrument 64.0 Ом\n"));
    asInput();
    const Result loaded = onLine({"load", "-", "--backup-dir", backups().string()});
    EXPECT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_TRUE(holds(loaded.out, "written and read back: US_1\n"));
    asInput();
    EXPECT_EQ(onLine({"diff", "-"}).out, "no differences: the instrument holds the configuration of standard input\n");

    answers = {"{\"format\": \"k54-configuration\","};
    const std::size_t mark = traceMark();
    const Result cut = onLine({"load", "-", "--backup-dir", backups().string()});
    EXPECT_EQ(cut.status, 2);
    EXPECT_TRUE(holds(cut.err, "k54ctl: standard input: line 2, column 1: not JSON: "));
    EXPECT_TRUE(holds(cut.err, "k54ctl: standard input is refused: nothing written\n"));
    EXPECT_TRUE(sim.requestsFrom(mark).empty());
}

TEST_F(Configuration, ADryRunShowsTheChangesAndWritesNothingAnywhere) {
    const auto path = writeFile("plant.json", factoryWith({{row::Us1, 500}, {row::Adr, 12}}));
    holdInInstrument(factoryWith({}));
    const std::size_t mark = traceMark();
    const Result result = onLine({"load", path.string(), "--dry-run", "--backup-dir", backups().string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "US_1  Уставка 1 (US_1)  64.0 Ом  ->  50.0 Ом\n"
              "address  Адрес  1  ->  12  (kept: only with --with-address)\n"
              "1 parameter would be written; nothing written (--dry-run)\n");
    EXPECT_TRUE(writesFrom(mark).empty());
    EXPECT_FALSE(std::filesystem::exists(backups()));
}

TEST_F(Configuration, LoadBacksUpWritesOnlyWhatDiffersAndReadsItBack) {
    const auto path = writeFile("plant.json", factoryWith({{row::Brn, 0}, {row::Us1, 500}, {row::Adr, 12}}));
    holdInInstrument(factoryWith({}));
    const std::size_t mark = traceMark();
    const Result result = onLine({"load", path.string(), "--backup-dir", backups().string()});
    EXPECT_EQ(result.status, 0) << result.err;
    const auto backupFiles = k54::test::filesIn(backups());
    ASSERT_EQ(backupFiles.size(), 1u);
    EXPECT_EQ(result.out, "backup: " + backupFiles.front().string() + "\nwritten and read back: CutE, US_1\n");
    EXPECT_EQ(writesFrom(mark), (std::vector<std::string>{"11 06 00 03 00 00", "11 10 00 1F 00 02 04 00 00 01 F4"}));
    EXPECT_EQ(sim.requestsFrom(mark).back(), kReadConfiguration);
    EXPECT_EQ(loadConfigurationFile(backupFiles.front()).configuration->registers, factoryWith({}));
    EXPECT_EQ(onLine({"load", path.string(), "--backup-dir", backups().string()}).out,
              "the instrument already holds this configuration: nothing written\n");
}

TEST_F(Configuration, LoadWithTheAddressWritesAddressAndSpeedLastInOneRequest) {
    const auto path = writeFile("plant.json", factoryWith({{row::Us1, 500}, {row::Adr, 12}, {row::Spd, 2}}));
    holdInInstrument(factoryWith({}));
    const std::size_t mark = traceMark();
    const Result result = onLine({"load", path.string(), "--with-address", "--backup-dir", backups().string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(writesFrom(mark).back(), "11 10 00 15 00 02 04 00 0C 00 02");
    EXPECT_TRUE(holds(result.out, "written and read back: US_1\nwritten last, not read back: address, speed\n"));
    EXPECT_TRUE(holds(result.out, "the instrument answers at address 12, 9600 baud once it takes the new settings\n"));
}

TEST_F(Configuration, AFileWithAProblemIsRefusedBeforeTheLineIsTouched) {
    std::string text = fileText(writeFile("good.json", factoryWith({})));
    const std::string dpHi = "\"DpHi\": {\"value\": 320.0";
    text.replace(text.find(dpHi), dpHi.size(), "\"DpHi\": {\"value\": 5000.0");
    std::ofstream(file("bad.json")) << text;
    const Result result = onLine({"load", file("bad.json").string(), "--backup-dir", backups().string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(holds(result.err, "bad.json: DpHi: 5000.0 is outside -50.0 ... 2500.0\n"));
    EXPECT_TRUE(holds(result.err, "is refused: nothing written"));
    const Result missing = onLine({"load", file("absent.json").string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(holds(missing.err, "absent.json: cannot be read: "));
    EXPECT_TRUE(sim.requestsFrom().empty());
    EXPECT_FALSE(std::filesystem::exists(backups()));
}

// What a factory-fresh instrument holds after a new range mode (the setpoints recomputed in the window
// but not sent): US_2 = 256.0 beyond the scaled range. An instrument holds it, so it loads back, but
// only when asked for with --as-is; diff only notes it.
TEST_F(Configuration, ValuesThatBreakARelationTheWindowKeepsLoadOnlyAsIs) {
    const auto path = writeFile("plant.json", factoryWith({{row::Rng, 2}}));
    holdInInstrument(factoryWith({}));
    const std::string breach = "plant.json: US_2: 256.0 is outside 64.1 ... 100.0 (a relation the window keeps";
    const Result refused = onLine({"load", path.string(), "--backup-dir", backups().string()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(holds(refused.err, breach)) << refused.err;
    EXPECT_TRUE(holds(refused.err, "is refused: nothing written. To write these values as they are, give --as-is."));
    EXPECT_TRUE(sim.requestsFrom().empty());

    // A breach alone is no trouble: the file is compared as any other, its breach a note.
    const Result diff = onLine({"diff", path.string()});
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_EQ(diff.out,
              "C_HS  Диапазон преобразования (C_HS)  file 2 «Условный полный»  instrument 0 «Входной полный»\n");
    EXPECT_TRUE(holds(diff.err, "k54ctl: note: " + path.string() + ": US_2: 256.0 is outside")) << diff.err;
    EXPECT_FALSE(holds(diff.err, "would not load").operator bool()) << diff.err;

    const std::size_t mark = traceMark();
    const Result taken = onLine({"load", path.string(), "--as-is", "--backup-dir", backups().string()});
    EXPECT_EQ(taken.status, 0) << taken.err;
    EXPECT_EQ(writesFrom(mark), (std::vector<std::string>{"11 06 00 05 00 02"}));
    const Result same = onLine({"diff", path.string()});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_TRUE(holds(same.err, "k54ctl: note: " + path.string() + ": US_2: 256.0 is outside")) << same.err;
}

TEST_F(Configuration, ALoadThatTheInstrumentRefusesSaysWhatWasAndWasNotWritten) {
    const auto path = writeFile("plant.json", factoryWith({{row::Brn, 0}, {row::Us1, 500}}));
    holdInInstrument(factoryWith({}));
    sim.control("fault drop-every=4");  // version, configuration, firmware (backup), then the first write
    const Result result = onLine({"load", path.string(), "--backup-dir", backups().string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(holds(result.out, "backup: "));
    EXPECT_TRUE(holds(result.err, "writing CutE: no reply (time-out) from address 17 at 9600 baud on COM4"));
    EXPECT_TRUE(
        holds(result.err, "written: none; sent, no reply: CutE (may or may not be applied); not written: US_1"));
}

}  // namespace
}  // namespace k54::ctl::test
