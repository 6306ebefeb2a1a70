#pragma once
// The program's command line: `kvhitemp [FILE.dew]`, `--help` and `--version`.

#include <QString>
#include <QStringList>

#include <optional>

namespace kvh::app {

/// What the command line asks for. Help, version and mistakes end the program before a window
/// exists: `exitCode` is set and `message` goes to standard output (`toStdout`) or error.
struct CommandLine {
    QString file; ///< the case to open at start, or empty
    std::optional<int> exitCode;
    QString message;
    bool toStdout = true;

    /// Reads the arguments, the program's name first, as QCoreApplication::arguments() gives
    /// them (Qt's own options already taken out). The application name and version are read
    /// from QCoreApplication.
    static CommandLine parse(const QStringList& arguments);
};

} // namespace kvh::app
