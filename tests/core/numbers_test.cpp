#include "core/numbers.h"
#include "named_row.h"

#include <gtest/gtest.h>

#include <charconv>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using namespace kvh::core;
using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

struct ValueCase : NamedRow {
    const char* text;
    double expected;
};

class NumericValue : public testing::TestWithParam<ValueCase> {};

TEST_P(NumericValue, ReadsTheLeadingNumber) {
    EXPECT_EQ(numericValue(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cells, NumericValue,
    testing::Values(ValueCase{"UnitAfterTheNumber", "12.5 min", 12.5},
                    ValueCase{"Letters", "abc", 0}, ValueCase{"Empty", "", 0},
                    ValueCase{"SpacesBetweenDigits", "1 000", 1000}, ValueCase{"Minus", "-5", -5},
                    ValueCase{"Plus", "+7", 7}, ValueCase{"MinusThenSpace", "- 5", -5},
                    ValueCase{"TabAndLineFeedBetweenDigits", "\t1\n2", 12},
                    ValueCase{"Exponent", "1e3", 1000},
                    ValueCase{"SignedExponentThenLetter", " +3.5e-1x", 0.35},
                    ValueCase{"SecondPoint", "1.2.3", 1.2}, ValueCase{"LeadingPoint", ".5", 0.5},
                    ValueCase{"TrailingPoint", "5.", 5},
                    ValueCase{"ExponentWithoutDigits", "1e", 1},
                    ValueCase{"ExponentSignWithoutDigits", "1e+", 1},
                    ValueCase{"DigitsThenLetters", "12abc", 12},
                    ValueCase{"DegreeSignFirst",
                              "\xc2\xb0"
                              "5",
                              0},
                    ValueCase{"CommaEndsTheNumber", "1,5", 1}, ValueCase{"PointAlone", ".", 0},
                    ValueCase{"MinusAlone", "-", 0}, ValueCase{"UnderflowToZero", "1e-400", 0},
                    ValueCase{"UnderflowCapitalE", "1E-400", 0}, ValueCase{"OneTenth", "0.1", 0.1},
                    ValueCase{"CapitalExponent", "2E2", 200}),
    RowName{});

TEST(NumericValueOverflow, HugeExponentsAreInfinite) {
    EXPECT_EQ(numericValue("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(numericValue("-1e400"), -std::numeric_limits<double>::infinity());
}

struct RangeCase : NamedRow {
    std::string text;
    double expected;
};

class NumericValueRange : public testing::TestWithParam<RangeCase> {};

TEST_P(NumericValueRange, ReadsTheValueWithItsSign) {
    const double value = numericValue(GetParam().text);
    const std::string& text = GetParam().text;
    const std::string input =
        text.size() <= 40 ? text : text.substr(0, 20) + "..." + text.substr(text.size() - 20);
    EXPECT_EQ(value, GetParam().expected) << input;
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().expected)) << input;
}

const std::string k330Zeros(330, '0');
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, NumericValueRange,
    testing::Values(RangeCase{"TinyPlainDecimal", "0." + k330Zeros + "1", 0.0},
                    RangeCase{"TinyNegativePlainDecimal", "-0." + k330Zeros + "1", -0.0},
                    RangeCase{"HugePlainNumber", "1" + k330Zeros + ".5", kInf},
                    RangeCase{"HugeDigitsTinyExponent", "1" + k330Zeros + "e-700", 0.0},
                    RangeCase{"TinyDigitsHugeExponent", "0." + k330Zeros + "1e700", kInf},
                    RangeCase{"ExponentBeyondAnyInteger", "5e-99999999999999999999999", 0.0},
                    RangeCase{"PositiveExponentBeyondAnyInteger", "-5e+99999999999999999999",
                              -kInf},
                    RangeCase{"TinyDigitsBackInRange", "0." + k330Zeros + "25e331", 2.5}),
    RowName{});

// Whole numbers of up to 15 digits are summed directly; longer ones go through from_chars.
INSTANTIATE_TEST_SUITE_P(
    WholeNumbers, NumericValueRange,
    testing::Values(RangeCase{"NegativeZero", "-0", -0.0}, RangeCase{"Zero", "0", 0.0},
                    RangeCase{"LeadingZeros", "007", 7.0},
                    RangeCase{"FifteenDigits", "999999999999999", 999999999999999.0},
                    RangeCase{"NegativeFourteenDigits", "-99999999999999", -99999999999999.0},
                    RangeCase{"SixteenDigits", "9007199254740993", 9007199254740992.0},
                    RangeCase{"TwentyDigits", "12345678901234567890", 12345678901234567890.0},
                    RangeCase{"MinusInTheMiddle", "12-3", 12.0},
                    RangeCase{"TwoMinusSigns", "--5", 0.0}),
    RowName{});

/// Half-even rounding written the plain way, with the maths library's floor.
double plainRoundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff > 0.5)
        return lower + 1.0;
    if (diff < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

TEST(RoundHalfEven, MatchesThePlainDefinitionBitForBit) {
    // Ties both ways, sums that land just off a tie, and the edges of the doubles.
    std::vector<double> values{0.0,
                               -0.0,
                               0.5,
                               -0.5,
                               1.5,
                               2.5,
                               -1.5,
                               -2.5,
                               0.36 + 0.2,
                               2.4999,
                               2.5001,
                               1e15 + 0.5,
                               0x1p52,
                               -0x1p52,
                               0x1p52 - 0.5,
                               -(0x1p52 - 0.5),
                               0x1p52 - 1.5,
                               0x1p53 + 2,
                               1e300,
                               -1e300,
                               std::nextafter(0.5, 0.0),
                               std::nextafter(0.5, 1.0),
                               std::nextafter(-0.5, 0.0),
                               5e-324,
                               -5e-324,
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()};
    std::mt19937_64 rng(20261206);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(std::uniform_real_distribution<double>(-1e6, 1e6)(rng));
        values.push_back(std::round(std::uniform_real_distribution<double>(-1e6, 1e6)(rng)) + 0.5);
        values.push_back(std::bit_cast<double>(rng())); // any exponent, NaN included
    }
    for (const double v : values) {
        const double got = roundHalfEven(v), want = plainRoundHalfEven(v);
        if (std::isnan(want))
            EXPECT_TRUE(std::isnan(got)) << v;
        else
            EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want)) << v;
    }
}

struct FormatCase : NamedRow {
    double value;
    Pattern pattern;
    const char* expected;
};

class FormatPattern : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatPattern, RoundsTheExactValueHalfAwayFromZero) {
    EXPECT_EQ(formatPattern(GetParam().value, GetParam().pattern), GetParam().expected)
        << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatPattern,
    testing::Values(FormatCase{"SingleOneDecimal", 123.46f, Pattern::OneDec, "123.5"},
                    FormatCase{"SingleSmall", 0.111f, Pattern::OneDec, "0.1"},
                    FormatCase{"NegativeTwoDecimals", -1.25, Pattern::TwoDec, "-1.25"},
                    FormatCase{"NegativeRoundsToZero", -0.001, Pattern::TwoDec, "0.00"},
                    FormatCase{"NegativeOneDecimalToZero", -0.04, Pattern::OneDec, "0.0"},
                    FormatCase{"ExactTieUp", 0.125, Pattern::TwoDec, "0.13"}, // an exact tie
                    FormatCase{"JustBelowTheTie", 2.675, Pattern::TwoDec,
                               "2.67"}, // just below the tie
                    FormatCase{"WholeHalfUp", 0.5, Pattern::Whole, "1"},
                    FormatCase{"WholeTwoAndAHalfUp", 2.5, Pattern::Whole, "3"},
                    FormatCase{"WholeNegativeHalfAway", -2.5, Pattern::Whole, "-3"},
                    FormatCase{"FiveDigitsOneDecimal", 12345.67, Pattern::OneDec, "12345.7"},
                    FormatCase{"WholeNumber", 302, Pattern::Whole, "302"},
                    FormatCase{"CarryIntoHundreds", 99.95, Pattern::OneDec, "100.0"},
                    FormatCase{"CarryIntoTens", 9.9996, Pattern::ThreeDec, "10.000"},
                    FormatCase{"ThreeDecimalsTie", 0.0005, Pattern::ThreeDec, "0.001"},
                    FormatCase{"ManyDigits", 37.77777777777778, Pattern::TwoDec, "37.78"},
                    FormatCase{"HugeWhole", 1e20, Pattern::Whole, "100000000000000000000"},
                    FormatCase{"SingleTwoDecimals", 0.254f, Pattern::TwoDec, "0.25"},
                    FormatCase{"SingleWhole", 141.3f, Pattern::Whole, "141"}),
    RowName{});

struct PlainCase : NamedRow {
    double value;
    const char* expected;
};

class PlainNumberText : public testing::TestWithParam<PlainCase> {};

TEST_P(PlainNumberText, WritesFifteenSignificantDigits) {
    EXPECT_EQ(plainNumberText(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, PlainNumberText,
    testing::Values(PlainCase{"Fraction", 100.5, "100.5"}, PlainCase{"Zero", 0, "0"},
                    PlainCase{"NegativeZero", -0.0, "0"}, PlainCase{"Integer", 12, "12"},
                    PlainCase{"NegativeFraction", -5.25, "-5.25"},
                    PlainCase{"OneTenth", 0.1, "0.1"},
                    PlainCase{"OneThird", 1.0 / 3, "0.333333333333333"},
                    PlainCase{"OneE15IsExponent", 1e15, "1E+15"},
                    PlainCase{"FifteenDigits", 123456789012345, "123456789012345"},
                    PlainCase{"SmallFraction", 0.0001, "0.0001"},
                    PlainCase{"SmallerIsExponent", 0.00001, "1E-05"},
                    PlainCase{"RoundsToFifteenDigits", 1234567890123456789.0,
                              "1.23456789012346E+18"},
                    PlainCase{"Huge", 1e300, "1E+300"}),
    RowName{});

TEST(RoundTripText, ReadsBackToTheSameSingle) {
    for (const float v : {0.1f, 123.456f, -40.0f, 1e20f, 3.4028235e38f, 1.17549435e-38f, 0.0f}) {
        const std::string text = roundTripText(v);
        float back = -1;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, v) << text;
    }
}

struct StrictCase : NamedRow {
    const char* text;
    std::optional<float> expected;
};

class ParseStrictSingle : public testing::TestWithParam<StrictCase> {};

TEST_P(ParseStrictSingle, AcceptsOnlyAWholeNumber) {
    EXPECT_EQ(parseStrictSingle(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Inputs, ParseStrictSingle,
                         testing::Values(StrictCase{"Integer", "100", 100.0f},
                                         StrictCase{"SurroundingSpaces", " 20 ", 20.0f},
                                         StrictCase{"NegativeFraction", "-5.5", -5.5f},
                                         StrictCase{"Exponent", "1e3", 1000.0f},
                                         StrictCase{"UnderflowToZero", "1E-50", 0.0f},
                                         StrictCase{"OneTenth", "0.1", 0.1f},
                                         StrictCase{"Empty", "", std::nullopt},
                                         StrictCase{"Letters", "abc", std::nullopt},
                                         StrictCase{"TrailingLetters", "12abc", std::nullopt},
                                         StrictCase{"OverflowsSingle", "1e39", std::nullopt},
                                         StrictCase{"NegativeOverflow", "-1e39", std::nullopt},
                                         StrictCase{"PointAlone", ".", std::nullopt},
                                         StrictCase{"ExponentWithoutDigits", "1e", std::nullopt},
                                         StrictCase{"SpaceInside", "1 0", std::nullopt}),
                         RowName{});

} // namespace
