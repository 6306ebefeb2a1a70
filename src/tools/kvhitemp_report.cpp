// kvhitemp-report: the model and the report of a saved case, without a window.

#include "report_cli.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = kvh::tools::reportMain(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
