// The trend of the live value on its own: the bounded buffer, spans and statistics, the points drawn,
// the time stamps and the CSV recording.
#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/IsoTime.h"
#include "tests/support/ScratchDir.h"
#include "trend/CsvRecorder.h"
#include "trend/Trend.h"
#include "trend/TrendSpan.h"

namespace k54 {
namespace {

using namespace std::chrono_literals;
using Time = std::chrono::system_clock::time_point;

// 2026-12-10 14:29:25.512 UTC
const Time kStart = Time{std::chrono::seconds{1796912965}} + 512ms;

std::vector<std::string> linesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

MeasurementPoll shown(Time time, const char* text, double value, const char* unit = "Ом") {
    MeasurementPoll poll;
    poll.time = time;
    poll.answered = true;
    poll.text = text;
    poll.value = value;
    poll.decimals = 3;
    poll.unit = unit;
    return poll;
}

MeasurementPoll unanswered(Time time) {
    MeasurementPoll poll;
    poll.time = time;
    return poll;
}

TEST(TrendBuffer, HoldsTheLastDayOfPollsAndNoMore) {
    EXPECT_EQ(kTrendCapacity, 172800u);  // 24 h at 2 polls a second
    TrendBuffer buffer;
    const std::size_t extra = 1000;
    for (std::size_t i = 0; i < kTrendCapacity + extra; ++i) buffer.add(kStart + i * 500ms, static_cast<double>(i));
    EXPECT_EQ(buffer.size(), kTrendCapacity);
    EXPECT_EQ(buffer[0].value, static_cast<double>(extra));  // the oldest went first
    EXPECT_EQ(buffer.back().value, static_cast<double>(kTrendCapacity + extra - 1));
    EXPECT_EQ(buffer.back().time - buffer[0].time, 24h - 500ms);
}

RC_GTEST_PROP(TrendBuffer, KeepsTheNewestValuesInOrderUpToItsBound, ()) {
    const auto capacity = *rc::gen::inRange<std::size_t>(1, 50);
    const auto values = *rc::gen::container<std::vector<int>>(rc::gen::inRange(-1000, 1000));
    TrendBuffer buffer(capacity);
    for (std::size_t i = 0; i < values.size(); ++i) buffer.add(kStart + i * 1s, values[i]);
    const std::size_t kept = std::min(values.size(), capacity);
    RC_ASSERT(buffer.size() == kept);
    for (std::size_t i = 0; i < kept; ++i)
        RC_ASSERT(buffer[i].value == static_cast<double>(values[values.size() - kept + i]));
}

TEST(TrendBuffer, AValueAfterPollingStoppedFollowsAGap) {
    TrendBuffer buffer;
    buffer.markGap();  // nothing before it: no gap to show
    buffer.add(kStart, 1);
    buffer.add(kStart + 1s, 2);
    buffer.markGap();
    buffer.markGap();
    buffer.add(kStart + 9s, 3);
    buffer.add(kStart + 10s, 4);
    EXPECT_FALSE(buffer[0].afterGap);
    EXPECT_FALSE(buffer[1].afterGap);
    EXPECT_TRUE(buffer[2].afterGap);
    EXPECT_FALSE(buffer[3].afterGap);
}

// A new input type, range mode or factory write changes the unit or the scale between two polls: the
// values before are not comparable with those after, and no span, statistic or line takes in both.
TEST(Trend, AChangeOfUnitOrScaleStartsANewSeries) {
    Trend trend;
    const auto poll = [](Time time, double value, const char* unit, double bandHigh) {
        MeasurementPoll p = shown(time, "", value, unit);
        p.band = MeasurementBand{0.0, bandHigh};
        return p;
    };
    trend.measurementSwitched(true);
    trend.measurementPolled(poll(kStart, 239.339, "Ом", 320.0));
    trend.measurementPolled(poll(kStart + 500ms, 239.5, "Ом", 320.0));
    trend.measurementPolled(unanswered(kStart + 1s));  // a gap is no new scale
    trend.measurementPolled(poll(kStart + 1500ms, 240.0, "Ом", 320.0));
    EXPECT_EQ(trend.buffer().seriesStart(), 0u);

    trend.measurementPolled(poll(kStart + 2s, 35.5, "°C", 600.0));  // another input type
    trend.measurementPolled(poll(kStart + 2500ms, 36.5, "°C", 600.0));
    ASSERT_EQ(trend.buffer().seriesStart(), 3u);
    EXPECT_TRUE(trend.buffer()[3].afterGap);  // the line breaks there
    for (const TrendSpan span : {TrendSpan::OneMinute, TrendSpan::All}) {
        const auto statistics = statisticsOf(trend.buffer(), trend.interval(span));
        ASSERT_TRUE(statistics);
        EXPECT_EQ(statistics->count, 2u);
        EXPECT_EQ(statistics->minimum, 35.5);
        EXPECT_EQ(statistics->maximum, 36.5);
        EXPECT_EQ(pointsToDraw(trend.buffer(), trend.interval(span), 100).size(), 2u);
    }
    EXPECT_EQ(trend.interval(TrendSpan::All).from, kStart + 2s);

    // The same unit on another scale (a scaled range of another width) is another series too.
    trend.measurementPolled(poll(kStart + 3s, 50.0, "°C", 100.0));
    EXPECT_EQ(trend.buffer().seriesStart(), 5u);
    EXPECT_EQ(statisticsOf(trend.buffer(), trend.interval(TrendSpan::All))->count, 1u);
}

TEST(TrendBuffer, TheNewestSeriesStartsWhereItDidWhileTheOldestValuesGo) {
    TrendBuffer buffer(4);
    buffer.add(kStart, 1);
    buffer.add(kStart + 1s, 2);
    buffer.startSeries();
    buffer.add(kStart + 2s, 3);
    EXPECT_EQ(buffer.seriesStart(), 2u);
    buffer.add(kStart + 3s, 4);
    buffer.add(kStart + 4s, 5);  // the oldest goes
    EXPECT_EQ(buffer.seriesStart(), 1u);
    EXPECT_EQ(buffer[buffer.seriesStart()].value, 3);
    buffer.add(kStart + 5s, 6);
    buffer.add(kStart + 6s, 7);  // the series fills the buffer, then loses its own oldest
    EXPECT_EQ(buffer.seriesStart(), 0u);
    EXPECT_EQ(buffer[0].value, 4);
}

TEST(TrendSpan, StatisticsCoverTheChosenSpanBackFromTheNewestPoll) {
    // Seconds from kStart and values; the newest poll is at 130 s.
    const std::vector<std::pair<int, double>> series{{-4000, 100}, {-1200, -50}, {0, 5},   {30, -2},
                                                     {50, 9},      {70, 7},      {100, 3}, {130, 6}};
    TrendBuffer buffer;
    for (const auto& [second, value] : series) buffer.add(kStart + std::chrono::seconds{second}, value);
    const Time end = kStart + 130s;
    struct Case {
        TrendSpan span;
        std::size_t count;
        double minimum, maximum, mean;
    };
    const Case cases[] = {
        {TrendSpan::OneMinute, 3, 3, 7, 16.0 / 3},  // from 70 s: the point exactly at the start counts
        {TrendSpan::TenMinutes, 6, -2, 9, 28.0 / 6},
        {TrendSpan::OneHour, 7, -50, 9, -22.0 / 7},
        {TrendSpan::All, 8, -50, 100, 78.0 / 8},
    };
    for (const Case& c : cases) {
        const auto statistics = statisticsOf(buffer, spanInterval(buffer, c.span, end));
        ASSERT_TRUE(statistics);
        EXPECT_EQ(statistics->count, c.count) << static_cast<int>(c.span);
        EXPECT_EQ(statistics->current, 6);
        EXPECT_EQ(statistics->minimum, c.minimum);
        EXPECT_EQ(statistics->maximum, c.maximum);
        EXPECT_DOUBLE_EQ(statistics->mean, c.mean);
    }
    EXPECT_FALSE(statisticsOf(TrendBuffer{}, spanInterval(TrendBuffer{}, TrendSpan::All, end)));
    // A clock set back while polling: the span ends at the jump instead of taking in older points.
    buffer.add(kStart - 5000s, 42);
    const auto afterJump = statisticsOf(buffer, spanInterval(buffer, TrendSpan::OneMinute, kStart - 5000s));
    ASSERT_TRUE(afterJump);
    EXPECT_EQ(afterJump->count, 1u);
    EXPECT_EQ(afterJump->current, 42);
}

RC_GTEST_PROP(TrendSpan, PointsDrawnAreFewEnoughInOrderAndKeepEveryPeak, ()) {
    const auto values = *rc::gen::nonEmpty(rc::gen::container<std::vector<int>>(rc::gen::inRange(-500, 500)));
    const auto maxPoints = *rc::gen::inRange<std::size_t>(2, 40);
    TrendBuffer buffer;
    for (std::size_t i = 0; i < values.size(); ++i) buffer.add(kStart + i * 500ms, values[i]);
    const TrendInterval all = spanInterval(buffer, TrendSpan::All, buffer.back().time);
    const auto drawn = pointsToDraw(buffer, all, maxPoints);

    RC_ASSERT(drawn.size() <= maxPoints);
    RC_ASSERT(std::is_sorted(drawn.begin(), drawn.end(), [](const auto& a, const auto& b) { return a.time < b.time; }));
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const auto value = [](const TrendPoint& p) { return p.value; };
    std::vector<double> drawnValues(drawn.size());
    std::transform(drawn.begin(), drawn.end(), drawnValues.begin(), value);
    RC_ASSERT(*std::min_element(drawnValues.begin(), drawnValues.end()) == *low);
    RC_ASSERT(*std::max_element(drawnValues.begin(), drawnValues.end()) == *high);
    if (values.size() <= maxPoints) RC_ASSERT(drawn.size() == values.size());
}

TEST(IsoTime, WritesLocalTimeWithItsOffset) {
    struct Case {
        Time time;
        std::chrono::seconds offset;
        const char* text;
    };
    const Case cases[] = {
        {kStart, 3h, "2026-12-10T17:29:25.512+03:00"},
        {kStart, -(5h + 30min), "2026-12-10T08:59:25.512-05:30"},
        {kStart, 0s, "2026-12-10T14:29:25.512+00:00"},
        {kStart + 9h + 30min, 1h, "2026-12-11T00:59:25.512+01:00"},  // past midnight where it is shown
        {Time{std::chrono::seconds{1798761600}} - 1ms, 0s, "2026-12-31T23:59:59.999+00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(isoTimestamp(c.time, c.offset), c.text);
}

// The offset follows the system's time zone, daylight saving included.
TEST(IsoTime, TheLocalOffsetIsTheTimeZones) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    const auto useZone = [](const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    };
    useZone("MSK-3");
    EXPECT_EQ(localUtcOffset(kStart), 3h);
    useZone("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(localUtcOffset(kStart), -5h);              // December: standard time
    EXPECT_EQ(localUtcOffset(kStart - 24 * 150h), -4h);  // July: daylight saving time
    useZone("IST-5:30");
    EXPECT_EQ(localUtcOffset(kStart), 5h + 30min);
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

class Recording : public ::testing::Test {
protected:
    test::ScratchDir dir{"k54-recording"};
    std::filesystem::path file = dir.path() / "trend.csv";
    UtcOffsetAt moscow = [](Time) { return std::chrono::seconds{3h}; };
};

TEST_F(Recording, WritesOneFlushedRowPerPollAndOneForAFailedPoll) {
    CsvRecorder recorder(file, moscow);
    const std::vector<MeasurementPoll> polls{
        shown(kStart, "  123.456", 123.456),
        shown(kStart + 500ms, "  -12.300", -12.3),
        unanswered(kStart + 1s),
        shown(kStart + 7s, "   50,0", 50.0, "мА"),
    };
    const std::vector<std::string> rows{
        "2026-12-10T17:29:25.512+03:00,123.456,Ом",
        "2026-12-10T17:29:26.012+03:00,-12.300,Ом",
        "2026-12-10T17:29:26.512+03:00,Прибор не отвечает,",
        "2026-12-10T17:29:32.512+03:00,\"50,0\",мА",
    };
    EXPECT_EQ(linesOf(file), std::vector<std::string>{std::string(kCsvHeader)});
    for (std::size_t i = 0; i < polls.size(); ++i) {
        ASSERT_TRUE(recorder.record(polls[i]));
        // On disk as soon as it is recorded, with the recorder still open.
        const auto lines = linesOf(file);
        ASSERT_EQ(lines.size(), i + 2);
        EXPECT_EQ(lines.back(), rows[i]);
    }
    EXPECT_EQ(recorder.rows(), polls.size());
}

TEST_F(Recording, AFileThatCannotBeWrittenIsRefused) {
    EXPECT_THROW(CsvRecorder(dir.path() / "missing" / "trend.csv", moscow), std::runtime_error);
    EXPECT_THROW(CsvRecorder("/dev/full", moscow), std::runtime_error);
    EXPECT_EQ(csvField("a\"b"), "\"a\"\"b\"");
}

TEST_F(Recording, ARowThatCannotBeWrittenEndsTheRecordingAndSaysSo) {
    Trend trend(kTrendCapacity, moscow);
    ASSERT_TRUE(trend.startRecording(file));
    trend.measurementPolled(shown(kStart, "    1.000", 1.0));
    // The file may grow no further, as on a full disk: the next row cannot be written.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(std::filesystem::file_size(file));
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    trend.measurementPolled(shown(kStart + 500ms, "    2.000", 2.0));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(trend.recording());
    EXPECT_EQ(trend.recordingError(), kRecordingFailed);
    EXPECT_EQ(linesOf(file).size(), 2u);   // the header and the row written before
    EXPECT_EQ(trend.buffer().size(), 2u);  // the trend itself goes on
}

TEST_F(Recording, TheTrendRecordsEveryPollUntilStoppedAndKeepsValuesAcrossIt) {
    Trend trend(kTrendCapacity, moscow);
    int changes = 0;
    trend.onChange([&changes] { ++changes; });
    trend.measurementSwitched(true);
    EXPECT_TRUE(trend.measuring());
    trend.measurementPolled(shown(kStart, "    1.000", 1.0));  // before the recording: not in the file
    ASSERT_TRUE(trend.startRecording(file));
    const int polls = 10;
    for (int i = 1; i <= polls; ++i) trend.measurementPolled(shown(kStart + i * 500ms, "    2.000", 2.0));
    trend.measurementPolled(unanswered(kStart + 6s));
    trend.measurementSwitched(false);
    EXPECT_EQ(trend.recordedRows(), polls + 1u);
    trend.stopRecording();
    EXPECT_FALSE(trend.recording());
    trend.measurementPolled(shown(kStart + 9s, "    3.000", 3.0));  // after the recording

    const auto lines = linesOf(file);
    ASSERT_EQ(lines.size(), 1u + polls + 1u);
    EXPECT_EQ(lines.at(1), "2026-12-10T17:29:26.012+03:00,2.000,Ом");
    EXPECT_EQ(lines.back(), "2026-12-10T17:29:31.512+03:00,Прибор не отвечает,");
    EXPECT_FALSE(trend.measuring());
    // The buffer has the answered polls only; the one after the failure starts a new line.
    ASSERT_EQ(trend.buffer().size(), polls + 2u);
    EXPECT_TRUE(trend.buffer().back().afterGap);
    EXPECT_EQ(trend.lastShown()->text, "    3.000");
    EXPECT_EQ(changes, 1 + 1 + 1 + polls + 1 + 1 + 1 + 1);  // on, poll, start, polls, failure, off, stop, poll

    EXPECT_FALSE(trend.startRecording("/dev/full"));
    // It names the file and the system's reason.
    EXPECT_TRUE(trend.recordingError().starts_with(std::string(kRecordingCannotStart) + ": /dev/full ("))
        << trend.recordingError();
    EXPECT_GT(trend.recordingError().size(), std::string(kRecordingCannotStart).size() + 14);
    EXPECT_FALSE(trend.recording());
}

}  // namespace
}  // namespace k54
