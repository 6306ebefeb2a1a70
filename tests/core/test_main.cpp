// The core tests run in the locale of their environment, as the desktop program does (Qt
// adopts the user's locale at start-up): ctest runs them once in "C" and once in a
// comma-decimal locale, so no result may depend on it.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <string>

namespace {

TEST(Locale, IsTheOneTheRunAskedFor) {
    // ctest names the decimal point it expects, so a machine without the comma locale fails
    // loudly instead of quietly testing "C" twice.
    const char* expected = std::getenv("KVH_EXPECT_DECIMAL_POINT");
    if (!expected)
        GTEST_SKIP() << "no locale requested";
    EXPECT_EQ(std::string(std::localeconv()->decimal_point), expected);
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::runtime_error&) {
        // an unknown locale name: the C++ streams stay classic, the check above tells
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
