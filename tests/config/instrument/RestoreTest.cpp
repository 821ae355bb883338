// Restoring a configuration to the simulated instrument, and the backups taken before anything is
// overwritten: what goes on the wire, where it stops, what is read back and what is on disk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include "base/TextFormat.h"
#include "config/instrument/Backup.h"
#include "config/instrument/FactoryWrite.h"
#include "config/instrument/Restore.h"
#include "serial/PlatformSerial.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ShortReadTimeouts.h"
#include "tests/support/SimInstrument.h"

namespace k54 {
namespace {

constexpr int kPort = 4;
const std::string kReadConfiguration = "01 03 00 00 00 27";
const std::string kReadFirmware = "01 03 00 29 00 02";

class Restore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port.setup(kPort, 3)); }

    // Registers 0 - 38 of the instrument set to the image (before the next request it serves).
    void holdInInstrument(const RegisterImage& image) {
        for (int k = 0; k < kConfigRegisterCount; ++k)
            sim.control("set " + std::to_string(k) + " " + std::to_string(image.at(static_cast<std::size_t>(k))));
    }

    RestoreReport restore(const RegisterImage& target, bool withLink = false, Progress progress = {}) {
        RestoreOptions options;
        options.withLink = withLink;
        options.backupFolder = backups;
        options.now = test::fixedClock();
        options.progress = std::move(progress);
        return restoreConfiguration(link, target, options);
    }

    std::vector<std::filesystem::path> backupFiles() const { return test::filesIn(backups); }

    static RegisterImage factoryWith(std::initializer_list<std::pair<int, int32_t>> changes) {
        ParamTable rows = kParamTemplate;
        for (ParamRow& row : rows) row.value = row.factoryValue;
        for (const auto& [r, value] : changes) rows.at(static_cast<std::size_t>(r)).value = value;
        return registerImage(rows, false);
    }

    test::SimInstrument sim{{"--no-pacing"}, kPort};
    cPort port{makePlatformSerialBackend(sim.portsDir(), test::kShortReadTimeouts)};
    mBus bus{port};
    InstrumentLink link{bus, 1};
    test::ScratchDir data{"k54-data-"};
    std::filesystem::path backups = data.path() / "backups";
};

TEST_F(Restore, OnlyTheDifferingParametersGoOnTheWireInRegisterOrderAndTheReadBackConfirmsThem) {
    const RegisterImage before = factoryWith({{row::Psw, 4321}});
    holdInInstrument(before);
    const RegisterImage target = factoryWith({{row::Mod, 11},
                                              {row::Brn, 0},
                                              {row::Dph, 12000},
                                              {row::La, 8},
                                              {row::Us2, 10500},
                                              {row::Adr, 7},
                                              {row::Spd, 5},
                                              {row::Psw, 1234}});
    std::vector<std::pair<int, int>> progress;
    const std::size_t mark = sim.traceLines().size();
    const RestoreReport report =
        restore(target, false, [&](int done, int total) { progress.emplace_back(done, total); });

    EXPECT_EQ(report.outcome, RestoreOutcome::Restored);
    EXPECT_EQ(sim.requestsFrom(mark), (std::vector<std::string>{
                                          kReadConfiguration, kReadFirmware,
                                          "01 06 00 00 00 0B",  // the input type, then read again
                                          kReadConfiguration, "01 06 00 03 00 00", "01 10 00 08 00 02 04 00 00 2E E0",
                                          "01 06 00 1B 00 08", "01 10 00 23 00 02 04 00 00 29 04",
                                          kReadConfiguration,  // the read-back
                                      }));
    EXPECT_EQ(report.written, (std::vector<int>{row::Mod, row::Brn, row::Dph, row::La, row::Us2}));
    EXPECT_EQ(report.planned, report.written);
    EXPECT_TRUE(report.unwritten.empty());
    EXPECT_TRUE(report.readBackDifferences.empty());
    ASSERT_TRUE(report.readBack);
    // The password, address and speed stay the instrument's own.
    EXPECT_EQ(valueInImage(*report.readBack, row::Psw), 4321);
    EXPECT_EQ(valueInImage(*report.readBack, row::Adr), 1);
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));

    // The backup holds what the instrument held before, without its password.
    ASSERT_TRUE(report.backup.written());
    EXPECT_EQ(report.backup.path, backups / "2009-11-18_08-05-29_address-1.json");
    const LoadedConfiguration backup = loadConfigurationFile(report.backup.path);
    ASSERT_TRUE(backup.configuration);
    EXPECT_EQ(backup.configuration->registers, withoutPassword(before));
    EXPECT_EQ(backup.configuration->firmware, "1.90.0013");
    EXPECT_EQ(backup.configuration->savedAt, "2009-11-18T08:05:29");
}

TEST_F(Restore, WhenNothingDiffersNothingIsWrittenAndNoBackupTaken) {
    const std::size_t mark = sim.traceLines().size();
    const RestoreReport report = restore(factoryWith({{row::Psw, 99}}), true);
    EXPECT_EQ(report.outcome, RestoreOutcome::Restored);
    EXPECT_EQ(sim.requestsFrom(mark), (std::vector<std::string>{kReadConfiguration, kReadFirmware}));
    EXPECT_FALSE(report.backup.written());
    EXPECT_TRUE(backupFiles().empty());
    EXPECT_TRUE(report.readBack);
}

TEST_F(Restore, TheBackupIsOnDiskBeforeTheFirstWriteAndAnUnansweredWriteStopsEverything) {
    sim.control("fault drop-every=3");  // the two reads are answered, the first write is not
    const std::size_t mark = sim.traceLines().size();
    const RestoreReport report = restore(factoryWith({{row::Brn, 0}, {row::Dph, 12000}}));
    EXPECT_EQ(report.outcome, RestoreOutcome::WriteFailed);
    EXPECT_EQ(report.modbusResult, kNoReply);
    EXPECT_EQ(sim.requestsFrom(mark).size(), 3u);
    EXPECT_TRUE(report.written.empty());
    EXPECT_EQ(report.unwritten, (std::vector<int>{row::Brn, row::Dph}));
    ASSERT_EQ(backupFiles().size(), 1u);
    EXPECT_EQ(loadConfigurationFile(backupFiles()[0]).configuration->registers, factoryWith({}));
}

TEST_F(Restore, ARefusedWriteStopsTheRestoreWithWhatWasWrittenAndWhatNot) {
    const RegisterImage target = factoryWith({{row::Brn, 0}, {row::Dph, 12000}, {row::Us2, 10500}});
    const std::size_t mark = sim.traceLines().size();
    // After the first write the instrument refuses every request (exception 4).
    const RestoreReport report = restore(target, false, [this](int done, int) {
        if (done == 1) sim.control("fault exception=4");
    });
    EXPECT_EQ(report.outcome, RestoreOutcome::WriteFailed);
    EXPECT_EQ(report.modbusResult, 4);
    EXPECT_EQ(report.written, std::vector<int>{row::Brn});
    EXPECT_EQ(report.unwritten, (std::vector<int>{row::Dph, row::Us2}));
    EXPECT_EQ(sim.requestsFrom(mark).size(), 4u);  // two reads, the write, the refused write; nothing after it
    EXPECT_FALSE(report.readBack);
}

TEST_F(Restore, TheReadBackMustEqualTheConfiguration) {
    const RegisterImage target = factoryWith({{row::Brn, 0}, {row::Rl2, 1}});
    // Once the last write is done the instrument holds another value for rL2.
    const RestoreReport report = restore(target, true, [this](int done, int total) {
        if (done == total) sim.control("set 30 2");
    });
    EXPECT_EQ(report.outcome, RestoreOutcome::ReadBackDiffers);
    ASSERT_EQ(report.readBackDifferences.size(), 1u);
    EXPECT_EQ(report.readBackDifferences[0].row, row::Rl2);
    EXPECT_EQ(report.readBackDifferences[0].from, 1);
    EXPECT_EQ(report.readBackDifferences[0].to, 2);
    EXPECT_EQ(report.written, (std::vector<int>{row::Brn, row::Rl2}));
}

TEST_F(Restore, AnInstrumentThatRefusesTheReadGetsNothingWrittenAndNoBackup) {
    sim.control("fault exception=4");
    const std::size_t mark = sim.traceLines().size();
    const RestoreReport report = restore(factoryWith({{row::Brn, 0}}));
    EXPECT_EQ(report.outcome, RestoreOutcome::ReadFailed);
    EXPECT_EQ(report.modbusResult, 4);
    EXPECT_EQ(sim.requestsFrom(mark), std::vector<std::string>{kReadConfiguration});
    EXPECT_TRUE(backupFiles().empty());
}

TEST_F(Restore, WithoutABackupNothingIsWritten) {
    std::ofstream(data.path() / "backups") << "a file where the folder should be";
    const std::size_t mark = sim.traceLines().size();
    const RestoreReport report = restore(factoryWith({{row::Brn, 0}}));
    EXPECT_EQ(report.outcome, RestoreOutcome::BackupFailed);
    EXPECT_FALSE(report.backup.error.empty());
    EXPECT_EQ(report.unwritten, std::vector<int>{row::Brn});
    EXPECT_EQ(sim.requestsFrom(mark), (std::vector<std::string>{kReadConfiguration, kReadFirmware}));
}

TEST_F(Restore, TheLinkRowsOnlyOnRequestLastAfterTheReadBackAddressAndSpeedInOneRequest) {
    holdInInstrument(factoryWith({{row::Ptr, 1}}));
    const RegisterImage target = factoryWith({{row::Brn, 0}, {row::Adr, 7}, {row::Spd, 5}});
    const std::size_t mark = sim.traceLines().size();
    const RestoreReport report = restore(target, true);
    EXPECT_EQ(report.outcome, RestoreOutcome::Restored);
    EXPECT_EQ(sim.requestsFrom(mark),
              (std::vector<std::string>{kReadConfiguration, kReadFirmware, "01 06 00 03 00 00", kReadConfiguration,
                                        "01 06 00 18 00 00", "01 10 00 15 00 02 04 00 07 00 05"}));
    EXPECT_EQ(report.written, (std::vector<int>{row::Brn, row::Ptr, row::Adr, row::Spd}));
    EXPECT_TRUE(report.linkChanged);
}

TEST_F(Restore, AnAddressAloneGoesInAWriteOfItsOwn) {
    const std::size_t mark = sim.traceLines().size();
    const RestoreReport report = restore(factoryWith({{row::Adr, 9}}), true);
    EXPECT_EQ(sim.requestsFrom(mark).back(), "01 06 00 15 00 09");
    EXPECT_EQ(report.written, std::vector<int>{row::Adr});
    EXPECT_TRUE(report.linkChanged);
}

TEST_F(Restore, TheFactoryWriteAfterItsBackup) {
    holdInInstrument(factoryWith({{row::La, 4}, {row::Psw, 77}}));
    const TakenBackup taken = takeBackup(link, backups, test::fixedClock());
    ASSERT_EQ(taken.modbusResult, 0);
    ASSERT_TRUE(taken.backup.written());
    EXPECT_EQ(loadConfigurationFile(taken.backup.path).configuration->registers, factoryWith({{row::La, 4}}));

    int steps = 0;
    const FactoryWriteReport report = writeFactoryValues(link, [&steps](int done, int total) {
        EXPECT_EQ(total, kParamCount);
        steps = done;
    });
    EXPECT_TRUE(report.allWritten());
    EXPECT_EQ(steps, kParamCount);
    RegisterImage now{};
    ASSERT_EQ(link.readConfiguration(now), 0);
    EXPECT_EQ(now, registerImage(kParamTemplate, true));

    // A second backup in the same second keeps the first.
    const TakenBackup again = takeBackup(link, backups, test::fixedClock());
    EXPECT_EQ(again.backup.path.filename(), "2009-11-18_08-05-29_address-1-2.json");
    EXPECT_EQ(backupFiles().size(), 2u);
}

// Two programs backing up instruments of one address on two lines in the same second: each backup is a
// file of its own, none written over another.
TEST(Backups, WrittenAtOnceTheyNeverReplaceOneAnother) {
    const test::ScratchDir data{"k54-data-"};
    constexpr int kPerProgram = 50;
    const auto program = [&data](int number) {
        for (int i = 0; i < kPerProgram; ++i) {
            SavedConfiguration configuration;
            configuration.firmware = std::to_string(number) + "." + std::to_string(i);
            EXPECT_TRUE(writeBackup(data.path(), configuration, test::fixedClock(), 1).written());
        }
    };
    std::thread first(program, 1);
    std::thread second(program, 2);
    first.join();
    second.join();

    std::set<std::string> texts;
    for (const auto& file : test::filesIn(data.path())) {
        std::ifstream in(file, std::ios::binary);
        texts.insert(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    EXPECT_EQ(texts.size(), 2u * kPerProgram);
}

TEST(BackupFolder, TheUsersDataFolderFromTheEnvironment) {
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("XDG_DATA_HOME", "/data/of/user", 1);
    EXPECT_EQ(defaultBackupFolder(), std::filesystem::path("/data/of/user/k54/backups"));
    ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    ::setenv("HOME", "/home/user", 1);
    EXPECT_EQ(defaultBackupFolder(), std::filesystem::path("/home/user/.local/share/k54/backups"));
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
    EXPECT_EQ(defaultBackupFolder(), std::nullopt);
    EXPECT_EQ(writeBackup(std::nullopt, {}, test::fixedClock(), 1).error, "the user's data folder is not known");
    if (home) ::setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace k54
