#include "core/cp1252.h"

#include <gtest/gtest.h>

using namespace kvh::core;

namespace {

TEST(Cp1252, EveryDefinedByteSurvivesTheRoundTrip) {
    std::string bytes;
    for (int b = 0x20; b <= 0xFF; ++b)
        bytes += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(bytes)), bytes);
    EXPECT_EQ(cp1252ToUtf8("\xb0\x80"), "\u00b0\u20ac");
    EXPECT_EQ(utf8ToCp1252("\u2192x\xff"), "?x?"); // not in the set, then a broken sequence
}

} // namespace
