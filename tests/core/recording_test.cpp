#include "core/recording.h"

#include "named_row.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kvh::core;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string dataPath(const std::string& name) {
    return std::string(KVH_RECORDINGS_DIR) + "/" + name;
}

/// One file of the corpus and what the reader must find in it.
struct CorpusRow : kvh::test::NamedRow {
    const char* file;
    DateOrder order; ///< the order given as an option
    const char* encoding;
    char separator;
    char decimalMark;
    TimeForm form;
    std::vector<const char*> names;
    std::vector<TempUnit> units;
    std::vector<double> minutes;
    std::vector<double> first; ///< each column's first value (NaN: missing)
    std::vector<double> last;  ///< each column's last value
    size_t skipped;
};

using enum TempUnit;
constexpr auto C = Celsius;
constexpr auto F = Fahrenheit;

const CorpusRow kCorpus[] = {
    {"comma elapsed seconds",
     "comma-seconds.csv",
     DateOrder::Unknown,
     "UTF-8",
     ',',
     '.',
     TimeForm::Seconds,
     {"Process (°C)", "Logger (°C)"},
     {C, C},
     {0, 0.5, 1, 1.5, 2},
     {25, 24.8},
     {85, 26.4},
     0},
    {"semicolon decimal comma after titles",
     "semicolon-decimal-comma.csv",
     DateOrder::Unknown,
     "UTF-8",
     ';',
     ',',
     TimeForm::Minutes,
     {"T1 [°C]", "T2 [°C]"},
     {C, C},
     {0, 1, 2, 3},
     {150.5, 20.1},
     {153.5, 21.9},
     0},
    {"tab elapsed hours in Fahrenheit",
     "tab-hours-fahrenheit.txt",
     DateOrder::Unknown,
     "UTF-8",
     '\t',
     '.',
     TimeForm::Hours,
     {"Oven °F", "Pack °F"},
     {F, F},
     {0, 30, 60},
     {77, 75.2},
     {302, 78.8},
     0},
    {"runs of blanks take the case unit",
     "blanks-minutes.txt",
     DateOrder::Unknown,
     "UTF-8",
     ' ',
     '.',
     TimeForm::Minutes,
     {"T1", "T2"},
     {F, F},
     {0, 5, 10, 15},
     {20, 20},
     {100, 25},
     0},
    {"clock passes midnight",
     "clock-midnight.csv",
     DateOrder::Unknown,
     "UTF-8",
     ',',
     '.',
     TimeForm::Clock,
     {"Temp(C)"},
     {C},
     {0, 1, 2, 3.5},
     {100},
     {103.5},
     0},
    {"ISO date with T and BOM",
     "iso-datetime.csv",
     DateOrder::Unknown,
     "UTF-8 with BOM",
     ',',
     '.',
     TimeForm::DateTime,
     {"TC1 degC", "TC2 degC"},
     {C, C},
     {0, 0.5, 1, 2},
     {20, 19.5},
     {28, 20.5},
     0},
    {"dotted date and clock in two fields",
     "dotted-date-separate-clock.csv",
     DateOrder::Unknown,
     "UTF-8",
     ';',
     ',',
     TimeForm::DateTime,
     {"Temperatur °C"},
     {C},
     {0, 1, 2},
     {21.5},
     {23.5},
     0},
    {"slash month first with PM settled by the data",
     "slash-month-first-ampm.csv",
     DateOrder::Unknown,
     "UTF-8",
     ',',
     '.',
     TimeForm::DateTime,
     {"Temp (F)"},
     {F},
     {0, 1, 2, 3},
     {200},
     {230},
     0},
    {"ambiguous slash date with day first given",
     "slash-ambiguous.csv",
     DateOrder::DayMonth,
     "UTF-8",
     ',',
     '.',
     TimeForm::DateTime,
     {"Oven (C)"},
     {C},
     {0, 1, 2},
     {100},
     {120},
     0},
    {"UTF-16 unicode text",
     "utf16-unicode-text.txt",
     DateOrder::Unknown,
     "UTF-16LE",
     '\t',
     ',',
     TimeForm::Minutes,
     {"Process (°C)", "Internal (°C)"},
     {C, C},
     {0, 1, 2},
     {20.5, 20},
     {30.5, 20.3},
     0},
    {"CP1252 degree sign",
     "cp1252-degree.csv",
     DateOrder::Unknown,
     "CP1252",
     ';',
     ',',
     TimeForm::Seconds,
     {"Ofen (°C)"},
     {C},
     {0, 1, 2},
     {100},
     {120},
     0},
    {"quoted fields markers and a gap",
     "quoted-markers-gap.csv",
     DateOrder::Unknown,
     "UTF-8",
     ',',
     '.',
     TimeForm::Minutes,
     {"Oven", "Logger"},
     {F, F},
     {0, 1, 2, 2.5, 20, 21},
     {100, 20},
     {111, 31},
     0},
    {"units on a line of their own",
     "units-line.csv",
     DateOrder::Unknown,
     "UTF-8",
     ',',
     '.',
     TimeForm::Seconds,
     {"Oven (°C)", "Logger (°C)"},
     {C, C},
     {0, 1, 2},
     {20, 20},
     {40, 21},
     0},
    {"running number before the time",
     "counter-column.csv",
     DateOrder::Unknown,
     "UTF-8",
     ',',
     '.',
     TimeForm::DateTime,
     {"T1 (°C)"},
     {C},
     {0, 1, 2},
     {50},
     {52},
     0},
    {"bad and backward lines skipped",
     "skipped-lines.csv",
     DateOrder::Unknown,
     "UTF-8",
     ',',
     '.',
     TimeForm::Minutes,
     {"Oven (C)"},
     {C},
     {0, 1, 2, 3},
     {100},
     {104},
     4},
    {"blanks with date and clock",
     "blanks-date-clock.txt",
     DateOrder::Unknown,
     "UTF-8",
     ' ',
     '.',
     TimeForm::DateTime,
     {"T1(C)", "T2(C)"},
     {C, C},
     {0, 1.0 / 3, 2.0 / 3, 1},
     {30, 29},
     {33, 29.3},
     0},
};

class RecordingCorpus : public testing::TestWithParam<CorpusRow> {};

void expectSame(double expected, double actual) {
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual));
    else
        EXPECT_NEAR(actual, expected, 1e-9);
}

TEST_P(RecordingCorpus, FindsLayoutColumnsAndSamples) {
    const CorpusRow& row = GetParam();
    RecordingOptions options;
    options.dateOrder = row.order;
    options.caseUnit = Fahrenheit;
    const RecordingOutcome outcome = readRecordingFile(dataPath(row.file), options);
    ASSERT_TRUE(std::holds_alternative<Recording>(outcome))
        << std::get<RecordingError>(outcome).reason;
    const Recording& r = std::get<Recording>(outcome);
    EXPECT_EQ(r.encoding, row.encoding);
    EXPECT_EQ(r.separator, row.separator);
    EXPECT_EQ(r.decimalMark, row.decimalMark);
    EXPECT_EQ(r.timeForm, row.form);
    ASSERT_EQ(r.columns.size(), row.names.size());
    ASSERT_EQ(r.samples(), row.minutes.size());
    for (size_t i = 0; i < row.minutes.size(); ++i)
        EXPECT_NEAR(r.minutes[i], row.minutes[i], 1e-9) << "sample " << i;
    for (size_t k = 0; k < row.names.size(); ++k) {
        EXPECT_EQ(r.columns[k].name, row.names[k]);
        EXPECT_EQ(r.columns[k].unit, row.units[k]) << row.names[k];
        expectSame(row.first[k], r.columns[k].values.front());
        expectSame(row.last[k], r.columns[k].values.back());
    }
    EXPECT_EQ(r.skipped.size(), row.skipped);
}

INSTANTIATE_TEST_SUITE_P(Corpus, RecordingCorpus, testing::ValuesIn(kCorpus), kvh::test::RowName{});

TEST(Recording, MarkersAreMissingNeverZero) {
    const auto r = std::get<Recording>(readRecordingFile(dataPath("quoted-markers-gap.csv")));
    const auto& oven = r.columns[0].values;
    EXPECT_TRUE(std::isnan(oven[1]) && std::isnan(oven[2]));
    EXPECT_TRUE(std::isnan(r.columns[1].values[2]) && std::isnan(r.columns[1].values[3]));
    EXPECT_EQ(r.columns[0].missing, 2u);
    EXPECT_EQ(r.titleLines, std::vector<std::string>{"\"Logger 7 export\""});
}

TEST(Recording, UnsettledSlashDatesAskForTheOrder) {
    const auto outcome = readRecordingFile(dataPath("slash-ambiguous.csv"));
    ASSERT_TRUE(std::holds_alternative<RecordingError>(outcome));
    EXPECT_TRUE(std::get<RecordingError>(outcome).needsDateOrder);
    RecordingOptions monthFirst;
    monthFirst.dateOrder = DateOrder::MonthDay;
    const auto r =
        std::get<Recording>(readRecordingFile(dataPath("slash-ambiguous.csv"), monthFirst));
    EXPECT_EQ(r.dateOrder, DateOrder::MonthDay);
}

TEST(Recording, OptionsOverrideTheGuesses) {
    RecordingOptions options;
    options.unit = Fahrenheit;
    options.timeColumn = 1; // the first temperature column as time
    const auto r = std::get<Recording>(readRecordingFile(dataPath("comma-seconds.csv"), options));
    EXPECT_EQ(r.timeColumn, 1);
    ASSERT_EQ(r.columns.size(), 2u);
    EXPECT_EQ(r.columns[0].field, 0);
    EXPECT_EQ(r.columns[1].unitSource, UnitSource::Option);
    EXPECT_EQ(r.columns[1].unit, Fahrenheit);
}

TEST(Recording, SkippedLinesAreNamedWithTheirReason) {
    const auto r = std::get<Recording>(readRecordingFile(dataPath("skipped-lines.csv")));
    ASSERT_EQ(r.skipped.size(), 4u);
    EXPECT_EQ(r.skipped[0].line, 4u);
    EXPECT_EQ(r.skipped[0].reason, "the time \"garbage line here\" cannot be read as a time");
    EXPECT_EQ(r.skipped[1].reason, "the time \"1.5\" goes back");
    EXPECT_EQ(r.skipped[2].reason, "the time \"2\" repeats the time before");
    EXPECT_EQ(r.skipped[3].line, 9u);
}

struct BadRow : kvh::test::NamedRow {
    std::string bytes;
    const char* reasonStart;
};

const BadRow kBad[] = {
    {"empty file", "", "No columns"},
    {"one column only", "1\n2\n3\n", "No columns"},
    {"only text", "Time,Temp\nabc,def\n", "No columns"},
    {"no temperature column", "Time,Note\n0,hot\n1,hotter\n", "No columns"},
    {"span beyond the model", "min,T\n0,1\n2000000,2\n", "The recording spans 2000000 minutes"},
    {"huge number is not a time", "min,T\n1e400,1\n2e400,2\n", "No columns"},
};

class RecordingBadInput : public testing::TestWithParam<BadRow> {};

TEST_P(RecordingBadInput, GivesAClearMessage) {
    const auto outcome = readRecording(GetParam().bytes);
    ASSERT_TRUE(std::holds_alternative<RecordingError>(outcome));
    EXPECT_EQ(std::get<RecordingError>(outcome).reason.rfind(GetParam().reasonStart, 0), 0u)
        << std::get<RecordingError>(outcome).reason;
}

INSTANTIATE_TEST_SUITE_P(Bad, RecordingBadInput, testing::ValuesIn(kBad), kvh::test::RowName{});

TEST(Recording, TitleLinesBeyondTwentyAreRefused) {
    std::string bytes;
    for (int i = 0; i < 25; ++i)
        bytes += "Title line\n";
    bytes += "min,T\n0,1\n1,2\n";
    const auto outcome = readRecording(bytes);
    ASSERT_TRUE(std::holds_alternative<RecordingError>(outcome));
    EXPECT_EQ(std::get<RecordingError>(outcome).reason.rfind("No samples were found", 0), 0u);
}

TEST(Recording, ATimeBeyondDoublePrecisionIsASkippedLine) {
    const auto r = std::get<Recording>(readRecording("h,T\n1e307,1\n0,2\n1,3\n"));
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, "the time \"1e307\" is out of range");
    EXPECT_EQ(r.minutes, (std::vector<double>{0, 60}));
}

class RecordingFile : public kvh::test::TempDir {};

TEST_F(RecordingFile, AFolderOrMissingFileIsRefused) {
    EXPECT_TRUE(std::holds_alternative<RecordingError>(readRecordingFile(m_dir.string())));
    EXPECT_TRUE(std::holds_alternative<RecordingError>(readRecordingFile(path("none.csv"))));
}

// ---- Resampling ---------------------------------------------------------------------------

struct ResampleRow : kvh::test::NamedRow {
    std::vector<double> minutes;
    std::vector<double> values;
    std::vector<double> expected;
    size_t gaps;
};

const ResampleRow kResample[] = {
    {"whole minutes kept", {0, 1, 2}, {10, 20, 30}, {10, 20, 30}, 0},
    {"half minutes interpolated", {0, 0.5, 1.5, 2.5}, {0, 5, 15, 25}, {0, 10, 20}, 0},
    {"irregular intervals", {0, 0.25, 2.75}, {0, 1, 11}, {0, 4, 8}, 0},
    {"missing samples are left out", {0, 1, 2, 3}, {0, kNaN, kNaN, 30}, {0, 10, 20, 30}, 0},
    {"leading missing stays missing", {0, 1, 2}, {kNaN, 10, 20}, {kNaN, 10, 20}, 0},
    {"long gap interpolated and named",
     {0, 12},
     {0, 120},
     {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120},
     1},
    {"ten minutes is no gap", {0, 10}, {0, 10}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0},
    {"last sample off the grid", {0, 1.5}, {0, 15}, {0, 10}, 0},
};

class Resample : public testing::TestWithParam<ResampleRow> {};

TEST_P(Resample, FollowsStraightLinesBetweenSamples) {
    const ResampleRow& row = GetParam();
    const std::vector<double> out = resampleToMinutes(row.minutes, row.values);
    ASSERT_EQ(out.size(), row.expected.size());
    for (size_t m = 0; m < out.size(); ++m)
        expectSame(row.expected[m], out[m]);
    EXPECT_EQ(findGaps(row.minutes, row.values).size(), row.gaps);
    for (size_t m = 0; m < out.size(); ++m)
        expectSame(out[m], sampleAt(row.minutes, row.values, static_cast<double>(m)));
}

INSTANTIATE_TEST_SUITE_P(Grid, Resample, testing::ValuesIn(kResample), kvh::test::RowName{});

TEST(Recording, ResamplingConvertsToTheAskedUnit) {
    const auto r = std::get<Recording>(readRecordingFile(dataPath("tab-hours-fahrenheit.txt")));
    const std::vector<double> c = resampleToMinutes(r, 0, Celsius);
    ASSERT_EQ(c.size(), 61u);
    EXPECT_NEAR(c[0], 25.0, 1e-12);
    EXPECT_NEAR(c[30], 100.0, 1e-12);
    EXPECT_NEAR(c[60], 150.0, 1e-12);
}

TEST(Recording, DescriptionNamesLayoutColumnsGapsAndSkips) {
    const auto r = std::get<Recording>(readRecordingFile(dataPath("quoted-markers-gap.csv")));
    const std::vector<std::string> lines = describeRecording(r);
    const std::vector<std::string> expected = {
        "Encoding: UTF-8",
        "Separator: comma",
        "Decimal mark: point",
        "Time: field 1 \"Time (min)\", elapsed minutes",
        "Column 1 \"Oven\": \xC2\xB0"
        "C (the case's unit: the header names none), 2 missing",
        "Column 1: a gap of 17.5 minutes from minute 2.5 to 20 is interpolated across",
        "Column 2 \"Logger\": \xC2\xB0"
        "C (the case's unit: the header names none), 2 missing",
        "Column 2: a gap of 19 minutes from minute 1 to 20 is interpolated across",
        "Samples: 6, from minute 0 to 21, typical interval 1 minutes",
    };
    EXPECT_EQ(lines, expected);
}

} // namespace
