#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace kvh::app {

namespace {

const QString kDescription = QStringLiteral(
    "Predicts whether a temperature data logger survives a process inside its thermal barrier.");
const QString kFileArgument = QStringLiteral("FILE.dew");
const QString kFileHelp = QStringLiteral(
    "A case to open at start. A file whose name begins with \"-\" comes after \"--\": "
    "kvhitemp -- -x.dew");
const QString kTooManyFiles = QStringLiteral("Only one file can be opened at start.");
/// The exit status of wrong arguments, as kvhitemp-report uses it.
constexpr int kExitUsage = 64;

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-dash.dew" is a mistaken file name, not the options -d -a -s -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(kDescription);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(kFileArgument, kFileHelp,
                                 QLatin1Char('[') + kFileArgument + QLatin1Char(']'));
    CommandLine result;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.exitCode = 0;
        result.message = parser.helpText();
    } else if (parser.isSet(version)) {
        result.exitCode = 0;
        result.message = QCoreApplication::applicationName() + QLatin1Char(' ') +
                         QCoreApplication::applicationVersion() + QLatin1Char('\n');
    } else if (!parsed || parser.positionalArguments().size() > 1) {
        result.exitCode = kExitUsage;
        result.toStdout = false;
        result.message =
            (parsed ? kTooManyFiles : parser.errorText()) + QLatin1Char('\n') + parser.helpText();
    } else if (!parser.positionalArguments().isEmpty()) {
        result.file = parser.positionalArguments().constFirst();
    }
    return result;
}

} // namespace kvh::app
