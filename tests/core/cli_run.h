#pragma once
// kvhitemp-report run inside the test's own process, as its main runs it, and the check of one
// row of its contract: the exit code and what each stream holds.

#include "report_cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kvh::test {

/// How a run ended and what it printed.
struct CliRun {
    int code = 0;
    std::string out;
    std::string err;
};

inline CliRun runCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = tools::reportMain(args, out, err);
    return {code, out.str(), err.str()};
}

/// Runs `args` and checks the exit code, a part of standard error ("": nothing there at all),
/// nothing on standard output after a failure and `outPart` in it otherwise.
inline void expectCli(const std::vector<std::string>& args, int code, const std::string& errPart,
                      const std::string& outPart = "") {
    const CliRun r = runCli(args);
    const std::string input = testing::PrintToString(args);
    EXPECT_EQ(r.code, code) << input << ": " << r.err;
    if (errPart.empty()) {
        EXPECT_EQ(r.err, "") << input;
    } else {
        EXPECT_NE(r.err.find(errPart), std::string::npos) << input << ": " << r.err;
    }
    if (code != 0) {
        EXPECT_EQ(r.out, "") << input;
    }
    EXPECT_NE(r.out.find(outPart), std::string::npos) << input << ": " << r.out;
}

} // namespace kvh::test
