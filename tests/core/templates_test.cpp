// The case templates shipped with the program (File > New from Template): each opens without a
// notice, names its whole setup and passes without the dwell warning, so a new user starts from a
// sound case.

#include "core/dew_file.h"
#include "core/model.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

using namespace kvh::core;

namespace {

class Template : public testing::TestWithParam<const char*> {};

TEST_P(Template, OpensCleanlyAndPasses) {
    const std::string path = std::string(KVH_TEMPLATES_DIR) + "/" + GetParam() + ".dew";
    std::vector<std::string> notices;
    auto opened = openDewFile(path, Case{}, &notices);
    ASSERT_TRUE(std::holds_alternative<Case>(opened)) << std::get<DewError>(opened).reason;
    EXPECT_TRUE(notices.empty()) << notices.front();
    const Case& c = std::get<Case>(opened);
    ASSERT_TRUE(c.setup.complete());
    const RunOutcome run = runModel(c);
    ASSERT_TRUE(std::holds_alternative<RunResult>(run)) << describeError(std::get<RunError>(run));
    const Evaluation evaluation = evaluate(std::get<RunResult>(run), c.setup);
    EXPECT_TRUE(evaluation.pass) << evaluation.summary;
    EXPECT_EQ(evaluation.summary.find("Tracer will reach"), std::string::npos)
        << evaluation.summary;
}

INSTANTIATE_TEST_SUITE_P(Shipped, Template,
                         testing::Values("solder-reflow", "powder-coat-cure", "anneal",
                                         "furnace-braze", "liquid-quench"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
