#pragma once
// SIGTERM, SIGHUP and SIGINT (`kill` without a number, the session or terminal ends, Ctrl+C)
// as a Qt signal. The handler only writes the signal's number into a pipe, which is all a
// handler may safely do; the event loop reads it and the program does the rest.

#include <QObject>

QT_BEGIN_NAMESPACE
class QSocketNotifier;
QT_END_NAMESPACE

namespace kvh::ui {

/// One at a time: it owns the handlers of both signals while it lives.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    /// Ends the program as `sig` would have if nobody had caught it.
    [[noreturn]] static void endBy(int sig);

signals:
    void arrived(int sig);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace kvh::ui
