// The traffic log against the simulated instrument: each exchange as the instrument's own trace shows
// it, with a timestamp and the outcome. The same source runs on Linux and, through Wine, on Windows.

#include "modbus/TrafficLog.h"
#include "tests/instrument/InstrumentSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace {

namespace fs = std::filesystem;
using k54::test::InstrumentSession;
using k54::test::TraceLines;

// A log file of the test's own in the system's temporary folder, removed afterwards.
class LogFile {
public:
    LogFile()
        : path_(fs::temp_directory_path() /
                ("k54-traffic-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                 ".log")) {}
    ~LogFile() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    const fs::path& path() const { return path_; }

    TraceLines lines() const {
        TraceLines lines;
        std::ifstream in(path_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    fs::path path_;
};

// "2025-03-14 10:32:05.123 +0300 rx 01 03 ... -- answered" as {"rx 01 03 ...", "answered"}.
const std::regex kLogLine(R"((\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [+-]\d{4}) ((tx|rx)( [0-9A-F]{2})*)( -- (.+))?)");

TEST(InstrumentTrafficLog, ShowsEveryRequestAndReplyAsTheInstrumentsTraceDoesWithTheOutcome) {
    LogFile file;
    InstrumentSession s;
    ASSERT_TRUE(s.opened) << s.openFailure();
    k54::TrafficLog log(file.path());
    ASSERT_TRUE(log.isOpen());
    s.bus.setObserver(&log);
    ASSERT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 41, 2), 0);
    s.link->control("fault stranger=7");
    ASSERT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 41, 2), k54::kNoReply);
    s.link->control("clear");
    s.link->control("fault exception=2");
    ASSERT_EQ(s.bus.writeRegister(s.tx, s.rx, 1, 5, 7), 2);
    s.bus.setObserver(nullptr);

    TraceLines traffic;
    std::vector<std::string> outcomes;
    for (const std::string& line : file.lines()) {
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(line, parts, kLogLine)) << line;
        const std::string hex = parts[2].str();
        traffic.push_back((hex.starts_with("tx") ? "req" : "rep") + hex.substr(2));
        if (parts[6].matched) outcomes.push_back(parts[6].str());
    }
    ASSERT_EQ(traffic.size(), 6U);
    for (const std::string& line : traffic) EXPECT_TRUE(s.link->traced(line)) << line;
    EXPECT_EQ(outcomes, (std::vector<std::string>{"answered", "reply from another address",
                                                  "exception 2 (illegal data address)"}));
}

}  // namespace
