#include "core/numbers.h"

#include <gtest/gtest.h>

#include <charconv>

#include <cmath>
#include <limits>

using namespace kvh::core;

namespace {

struct ValueCase {
    const char* text;
    double expected;
};

class NumericValue : public testing::TestWithParam<ValueCase> {};

TEST_P(NumericValue, ReadsTheLeadingNumber) {
    EXPECT_EQ(numericValue(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cells, NumericValue,
    testing::Values(ValueCase{"12.5 min", 12.5}, ValueCase{"abc", 0}, ValueCase{"", 0},
                    ValueCase{"1 000", 1000}, ValueCase{"-5", -5}, ValueCase{"+7", 7},
                    ValueCase{"- 5", -5}, ValueCase{"\t1\n2", 12}, ValueCase{"1e3", 1000},
                    ValueCase{" +3.5e-1x", 0.35}, ValueCase{"1.2.3", 1.2}, ValueCase{".5", 0.5},
                    ValueCase{"5.", 5}, ValueCase{"1e", 1}, ValueCase{"1e+", 1},
                    ValueCase{"12abc", 12}, ValueCase{"\xc2\xb0" "5", 0}, ValueCase{"1,5", 1},
                    ValueCase{".", 0}, ValueCase{"-", 0}, ValueCase{"1e-400", 0}, ValueCase{"1E-400", 0},
                    ValueCase{"0.1", 0.1}, ValueCase{"2E2", 200}));

TEST(NumericValueOverflow, HugeExponentsAreInfinite) {
    EXPECT_EQ(numericValue("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(numericValue("-1e400"), -std::numeric_limits<double>::infinity());
}

struct RangeCase {
    const char* name;
    std::string text;
    double expected;
};
void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class NumericValueRange : public testing::TestWithParam<RangeCase> {};

TEST_P(NumericValueRange, TinyReadsAsZeroHugeAsInfinity) {
    const double value = numericValue(GetParam().text);
    EXPECT_EQ(value, GetParam().expected);
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().expected));
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
                    RangeCase{"PositiveExponentBeyondAnyInteger", "-5e+99999999999999999999", -kInf},
                    RangeCase{"TinyDigitsBackInRange", "0." + k330Zeros + "25e331", 2.5}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundCase {
    double value;
    double expected;
};

class RoundHalfEven : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, TiesGoToEven) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Ties, RoundHalfEven,
                         testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                         RoundCase{3.5, 4}, RoundCase{-0.5, 0},
                                         RoundCase{-1.5, -2}, RoundCase{-2.5, -2},
                                         RoundCase{0.36 + 0.2, 1}, RoundCase{2.4999, 2},
                                         RoundCase{2.5001, 3}, RoundCase{1e15 + 0.5, 1e15}));

struct FormatCase {
    double value;
    Pattern pattern;
    const char* expected;
};

class FormatPattern : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatPattern, RoundsTheExactValueHalfAwayFromZero) {
    EXPECT_EQ(formatPattern(GetParam().value, GetParam().pattern), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatPattern,
    testing::Values(FormatCase{123.46f, Pattern::OneDec, "123.5"},
                    FormatCase{0.111f, Pattern::OneDec, "0.1"},
                    FormatCase{-1.25, Pattern::TwoDec, "-1.25"},
                    FormatCase{-0.001, Pattern::TwoDec, "0.00"},
                    FormatCase{-0.04, Pattern::OneDec, "0.0"},
                    FormatCase{0.125, Pattern::TwoDec, "0.13"},   // an exact tie
                    FormatCase{2.675, Pattern::TwoDec, "2.67"},   // just below the tie
                    FormatCase{0.5, Pattern::Whole, "1"}, FormatCase{2.5, Pattern::Whole, "3"},
                    FormatCase{-2.5, Pattern::Whole, "-3"},
                    FormatCase{12345.67, Pattern::OneDec, "12345.7"},
                    FormatCase{302, Pattern::Whole, "302"},
                    FormatCase{99.95, Pattern::OneDec, "100.0"},
                    FormatCase{9.9996, Pattern::ThreeDec, "10.000"},
                    FormatCase{0.0005, Pattern::ThreeDec, "0.001"},
                    FormatCase{37.77777777777778, Pattern::TwoDec, "37.78"},
                    FormatCase{1e20, Pattern::Whole, "100000000000000000000"},
                    FormatCase{0.254f, Pattern::TwoDec, "0.25"},
                    FormatCase{141.3f, Pattern::Whole, "141"}));

struct PlainCase {
    double value;
    const char* expected;
};

class PlainNumberText : public testing::TestWithParam<PlainCase> {};

TEST_P(PlainNumberText, WritesFifteenSignificantDigits) {
    EXPECT_EQ(plainNumberText(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, PlainNumberText,
    testing::Values(PlainCase{100.5, "100.5"}, PlainCase{0, "0"}, PlainCase{-0.0, "0"},
                    PlainCase{12, "12"}, PlainCase{-5.25, "-5.25"}, PlainCase{0.1, "0.1"},
                    PlainCase{1.0 / 3, "0.333333333333333"}, PlainCase{1e15, "1E+15"},
                    PlainCase{123456789012345, "123456789012345"},
                    PlainCase{0.0001, "0.0001"}, PlainCase{0.00001, "1E-05"},
                    PlainCase{1234567890123456789.0, "1.23456789012346E+18"},
                    PlainCase{1e300, "1E+300"}));

TEST(RoundTripText, ReadsBackToTheSameSingle) {
    for (const float v : {0.1f, 123.456f, -40.0f, 1e20f, 3.4028235e38f, 1.17549435e-38f, 0.0f}) {
        const std::string text = roundTripText(v);
        float back = -1;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, v) << text;
    }
}

struct StrictCase {
    const char* text;
    std::optional<float> expected;
};

class ParseStrictSingle : public testing::TestWithParam<StrictCase> {};

TEST_P(ParseStrictSingle, AcceptsOnlyAWholeNumber) {
    EXPECT_EQ(parseStrictSingle(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ParseStrictSingle,
    testing::Values(StrictCase{"100", 100.0f}, StrictCase{" 20 ", 20.0f},
                    StrictCase{"-5.5", -5.5f}, StrictCase{"1e3", 1000.0f}, StrictCase{"1E-50", 0.0f},
                    StrictCase{"0.1", 0.1f}, StrictCase{"", std::nullopt},
                    StrictCase{"abc", std::nullopt}, StrictCase{"12abc", std::nullopt},
                    StrictCase{"1e39", std::nullopt}, StrictCase{"-1e39", std::nullopt},
                    StrictCase{".", std::nullopt}, StrictCase{"1e", std::nullopt},
                    StrictCase{"1 0", std::nullopt}));

} // namespace
