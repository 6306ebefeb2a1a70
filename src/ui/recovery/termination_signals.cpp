#include "ui/recovery/termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#include <utility>

namespace kvh::ui {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
/// The pipe's two ends: the handler writes into [1], the event loop reads [0].
int g_pipe[2] = {-1, -1};

void writeSignalNumber(int sig) {
    const int saved = errno;
    const char number = static_cast<char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &number, 1);
    errno = saved;
}

void handleWith(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default: the program ends as before
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    handleWith(writeSignalNumber);
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier)
        return;
    handleWith(SIG_DFL);
    delete m_notifier;
    for (int& fd : g_pipe)
        ::close(std::exchange(fd, -1));
}

void TerminationSignals::readPipe() {
    char number = 0;
    while (::read(g_pipe[0], &number, 1) == 1)
        emit arrived(number);
}

void TerminationSignals::endBy(int sig) {
    ::signal(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);
}

} // namespace kvh::ui
