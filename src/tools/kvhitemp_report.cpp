// kvhitemp-report: the model and the report of a saved case, without a window.

#include "descriptor_output.h"
#include "report_cli.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <new>
#include <unistd.h>

namespace {

/// A closed standard output is held open on /dev/null, so no file the program opens takes
/// its number and receives the report; the output still fails as closed.
void holdClosedOutput() {
    if (::fcntl(STDOUT_FILENO, F_GETFD) != -1)
        return;
    const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (fd >= 0 && fd != STDOUT_FILENO) {
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace kvh::tools;
    // Past a file size limit (ulimit -f) a write fails with EFBIG, told as any failed output,
    // instead of the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    DescriptorOutput buffer(STDOUT_FILENO);
    holdClosedOutput();
    std::ostream out(&buffer);
    int code = kExitOk;
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        code = reportMain(args, out, std::cerr);
        out.flush();
    } catch (const std::bad_alloc&) {
        buffer.discard();
        std::cerr << "kvhitemp-report: not enough memory\n";
        return kExitNoMemory;
    }
    if (buffer.error() != 0) {
        std::cerr << "kvhitemp-report: the output cannot be written: "
                  << std::strerror(buffer.error()) << '\n';
        return kExitOutputFailed;
    }
    return code;
}
