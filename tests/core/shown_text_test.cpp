// Names and fields shown in messages: control characters and stray bytes escaped, the rest as is.

#include "core/dew_file.h"
#include "core/shown_text.h"
#include "named_row.h"

#include <gtest/gtest.h>

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

struct EscapeCase : NamedRow {
    std::string text;
    std::string shown;
};

class Escape : public testing::TestWithParam<EscapeCase> {};

TEST_P(Escape, ShowsControlsAndStrayBytes) {
    const std::string shown = kvh::core::escapeControls(GetParam().text);
    EXPECT_EQ(shown, GetParam().shown);
    EXPECT_EQ(kvh::core::escapeControls(shown), shown) << "escaping twice changes nothing";
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Texts, Escape,
    testing::Values(EscapeCase{"PlainNameStays", "/home/ann/bake 2.dew", "/home/ann/bake 2.dew"},
                    EscapeCase{"UnicodeStays", "D\u00fcsseldorf \u00b0C \u20ac",
                               "D\u00fcsseldorf \u00b0C \u20ac"},
                    EscapeCase{"BackslashStays", "a\\nb", "a\\nb"},
                    EscapeCase{"NewlineAndTab", "a\nb\tc\rd", "a\\nb\\tc\\rd"},
                    EscapeCase{"NulDoesNotCutTheText", "4\0OO"s, "4\\x00OO"},
                    EscapeCase{"TerminalEscape", "\x1b[2Jx.dew", "\\x1B[2Jx.dew"},
                    EscapeCase{"Delete", "a\x7f", "a\\x7F"},
                    EscapeCase{"C1ControlInUtf8", "a\xc2\x81z", "a\\x81z"},
                    EscapeCase{"ByteThatIsNotUtf8", "caf\xe9.dew", "caf\\xE9.dew"},
                    EscapeCase{"TruncatedSequence", "ab\xe2\x82", "ab\\xE2\\x82"},
                    EscapeCase{"OverlongSlash", "\xc0\xaf", "\\xC0\\xAF"}),
    RowName{});

// Bytes the Windows character set leaves unused, and a NUL, stay visible in Open's notices.
TEST(OpenNotices, ShowUnusedBytesAndNulEscaped) {
    const auto parsed = kvh::core::parseDew("[Data]\r\nS,20,0\r\nR,4\x81,10\r\nR,5\0O,10\r\n"s);
    ASSERT_TRUE(std::holds_alternative<kvh::core::DewParse>(parsed));
    const auto& notices = std::get<kvh::core::DewParse>(parsed).notices;
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], "Line 3: \"4\\x81\" is read as 4");
    EXPECT_EQ(notices[1], "Line 4: \"5\\x00O\" is read as 5");
}

} // namespace
