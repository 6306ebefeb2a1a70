#pragma once
// Rows of the data-driven tables read as words: in `ctest -N`, in the test names and in a
// failure's "GetParam() = ..." line.

#include <gtest/gtest.h>

#include <cctype>
#include <concepts>
#include <ostream>
#include <string>

namespace kvh::test {

/// The base of every table row: its name, a few words (CamelCase or spaced) that say what the
/// row checks.
struct NamedRow {
    const char* name;
};

/// Prints a row as its name; found by argument-dependent lookup through the NamedRow base.
template <typename Row>
requires std::derived_from<Row, NamedRow>
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

/// The test name of a row for INSTANTIATE_TEST_SUITE_P: its name, with anything GoogleTest does
/// not take in a name written as '_'.
struct RowName {
    template <typename Row> std::string operator()(const testing::TestParamInfo<Row>& info) const {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    }
};

} // namespace kvh::test
