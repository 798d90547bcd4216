#include "app/CommandLineMode.h"

#include "app/BatchConverter.h"
#include "app/CommandLinePlan.h"
#include "app/HumanReport.h"
#include "app/JsonReport.h"
#include "app/PresetListing.h"
#include "app/StopSignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace CommandLineMode {

namespace {

constexpr int ExitUsage = 2;

int convert(const CommandLinePlan &plan)
{
    if (!plan.outputFolder.isEmpty() && !QDir().mkpath(plan.outputFolder)) {
        std::fprintf(stderr, "vidomar: cannot create the folder %s\n", qPrintable(plan.outputFolder));
        return BatchConverter::ExitFailed;
    }
    std::unique_ptr<BatchReport> report;
    if (plan.json)
        report = std::make_unique<JsonReport>(plan, stdout, stderr);
    else
        report = std::make_unique<HumanReport>(plan, stderr, stdout, ::isatty(STDERR_FILENO) == 1);

    BatchConverter converter(plan, *report);
    int exitCode = 0;
    QObject::connect(&converter, &BatchConverter::finished, [&exitCode](int code) {
        exitCode = code;
        QCoreApplication::exit(code);
    });
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &converter, &BatchConverter::interrupt);
    QObject::connect(&stopSignals, &StopSignals::suspendRequested, &converter, [&converter] {
        converter.pause();
        StopSignals::stopSelf();
    });
    QObject::connect(&stopSignals, &StopSignals::continued, &converter, &BatchConverter::resume);

    converter.start();
    QCoreApplication::exec();
    return exitCode;
}

} // namespace

bool wanted(const QStringList &arguments)
{
    // Long options belong to the command-line mode (an unknown one gets the usage), and so do its
    // own short ones; other single-dash arguments are left to the window's toolkit.
    static const QStringList shortOptions{"-h", "-n", "-o", "-d", "-j"};
    static const QRegularExpression jobs(QStringLiteral("^-j[0-9]+$"));
    return std::any_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()), arguments.end(), [](const QString &arg) {
        return arg.startsWith(QLatin1String("--")) || shortOptions.contains(arg) || jobs.match(arg).hasMatch();
    });
}

int run(const QStringList &arguments)
{
    const ParsedCommandLine parsed = parseCommandLine(arguments, FileProbe::system());
    if (const UsageError *error = std::get_if<UsageError>(&parsed)) {
        std::fprintf(stderr, "vidomar: %s\n%s", qPrintable(error->message),
                     error->showUsage ? qPrintable(commandLineUsage()) : "");
        return ExitUsage;
    }
    const CommandLinePlan &plan = std::get<CommandLinePlan>(parsed);
    switch (plan.action) {
    case CommandLinePlan::Action::Help:
        std::fputs(qPrintable(commandLineUsage()), stdout);
        return 0;
    case CommandLinePlan::Action::Version:
        std::printf("Zorvik Vidomar %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    case CommandLinePlan::Action::ListPresets:
        listPresets(stdout, plan.verbose, plan.json);
        return 0;
    case CommandLinePlan::Action::Convert:
        break;
    }
    return convert(plan);
}

} // namespace CommandLineMode
