#include "app/CommandLinePlan.h"

#include "workflow/DestinationName.h"
#include "workflow/FileNameBytes.h"
#include "workflow/Presets.h"
#include "workflow/TargetPlanner.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <array>
#include <optional>
#include <sys/stat.h>

namespace {

enum class Option { Help, Version, ListPresets, Verbose, Json, NoOverwrite, Preset, Output, OutputFolder, Jobs,
                    Estimate, TargetSize, TargetQuality };

struct OptionInfo {
    Option option;
    char shortName; // 0: long only
    const char *longName;
    bool takesValue;
};

constexpr std::array<OptionInfo, 13> Options{{
    {Option::Help, 'h', "help", false},
    {Option::Version, 0, "version", false},
    {Option::ListPresets, 0, "list-presets", false},
    {Option::Verbose, 0, "verbose", false},
    {Option::Json, 0, "json", false},
    {Option::NoOverwrite, 'n', "no-overwrite", false},
    {Option::Preset, 0, "preset", true},
    {Option::Output, 'o', "output", true},
    {Option::OutputFolder, 'd', "output-dir", true},
    {Option::Jobs, 'j', "jobs", true},
    // Samples: the estimate and the targets.
    {Option::Estimate, 0, "estimate", false},
    {Option::TargetSize, 0, "target-size", true},
    {Option::TargetQuality, 0, "target-quality", true},
}};

// The same path however it was spelled, for comparing names that need not exist yet.
QString pathKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A name as it would be typed into a shell, for the hints in messages.
QString typed(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:@%+,=-]+$"));
    if (plain.match(name).hasMatch())
        return name;
    QString quoted = name;
    return QLatin1Char('\'') + quoted.replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\'');
}

class Parser {
public:
    Parser(const QStringList &arguments, const FileProbe &probe)
        : m_arguments(arguments), m_probe(probe)
    {
    }

    ParsedCommandLine parse();

private:
    // Each returns a usage error, or nothing when all is well.
    std::optional<UsageError> readOptions();
    std::optional<UsageError> take(const OptionInfo &info, std::optional<QString> attached, qsizetype &i);
    std::optional<UsageError> nameDestinations();
    std::optional<UsageError> takeSampleOption(const OptionInfo &info, const QString &value);
    std::optional<UsageError> checkDestinationsApart() const;

    QString derived(const QString &source, const QString &extension) const;

    const QStringList &m_arguments;
    const FileProbe &m_probe;
    CommandLinePlan m_plan;
    QStringList m_sources;
    std::optional<QString> m_output;
    std::optional<QString> m_outputFolder;
    bool m_done = false; // --help or --version: the rest is not read
};

QString optionName(const OptionInfo &info)
{
    return QLatin1String("--") + QLatin1String(info.longName);
}

ParsedCommandLine Parser::parse()
{
    if (std::optional<UsageError> error = readOptions())
        return *error;
    if (m_done || m_plan.action == CommandLinePlan::Action::ListPresets)
        return m_plan;
    if (m_plan.preset.isNull())
        return UsageError{QStringLiteral("no preset given")};
    if (!Presets::find(m_plan.preset))
        return UsageError{QLatin1String("Not Supported: Error: ") + m_plan.preset
                              + QLatin1String(" is not defined. See vidomar --list-presets."),
                          false};
    if (m_sources.isEmpty())
        return UsageError{QStringLiteral("no source file given")};
    if (const std::optional<QString> refusal = TargetPlanner::refusal(m_plan.preset, m_plan.target))
        return UsageError{*refusal, false};
    if (std::optional<UsageError> error = nameDestinations())
        return *error;
    if (std::optional<UsageError> error = checkDestinationsApart())
        return *error;
    return m_plan;
}

std::optional<UsageError> Parser::readOptions()
{
    bool optionsEnded = false;
    for (qsizetype i = 1; i < m_arguments.size() && !m_done; ++i) {
        const QString &arg = m_arguments.at(i);
        if (optionsEnded || arg.size() < 2 || !arg.startsWith(QLatin1Char('-'))) {
            m_sources << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            const qsizetype equals = arg.indexOf(QLatin1Char('='));
            const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
            const auto info = std::find_if(Options.begin(), Options.end(),
                                           [&](const OptionInfo &o) { return name == QLatin1String(o.longName); });
            if (info == Options.end())
                return UsageError{QStringLiteral("unknown option ") + arg.left(equals < 0 ? arg.size() : equals)};
            const std::optional<QString> attached = equals < 0 ? std::nullopt : std::optional(arg.mid(equals + 1));
            if (std::optional<UsageError> error = take(*info, attached, i))
                return error;
        } else {
            // Short options may be bundled ("-nj2"); one that takes a value ends the bundle.
            for (qsizetype k = 1; k < arg.size(); ++k) {
                const QChar c = arg.at(k);
                const auto info = std::find_if(Options.begin(), Options.end(),
                                               [&](const OptionInfo &o) { return o.shortName && c == QLatin1Char(o.shortName); });
                if (info == Options.end())
                    return UsageError{QStringLiteral("unknown option -") + c};
                const bool rest = info->takesValue && k + 1 < arg.size();
                if (std::optional<UsageError> error = take(*info, rest ? std::optional(arg.mid(k + 1)) : std::nullopt, i))
                    return error;
                if (info->takesValue || m_done)
                    break;
            }
        }
    }
    return std::nullopt;
}

std::optional<UsageError> Parser::take(const OptionInfo &info, std::optional<QString> attached, qsizetype &i)
{
    if (!info.takesValue && attached)
        return UsageError{optionName(info) + QLatin1String(" takes no value")};
    if (info.takesValue && !attached) {
        if (++i >= m_arguments.size())
            return UsageError{optionName(info) + QLatin1String(" needs a value")};
        attached = m_arguments.at(i);
    }
    const QString value = attached.value_or(QString());
    switch (info.option) {
    case Option::Help:
        m_plan.action = CommandLinePlan::Action::Help;
        m_done = true;
        break;
    case Option::Version:
        m_plan.action = CommandLinePlan::Action::Version;
        m_done = true;
        break;
    case Option::ListPresets:
        m_plan.action = CommandLinePlan::Action::ListPresets;
        break;
    case Option::Verbose:
        m_plan.verbose = true;
        break;
    case Option::Json:
        m_plan.json = true;
        break;
    case Option::NoOverwrite:
        m_plan.noOverwrite = true;
        break;
    case Option::Preset:
        m_plan.preset = value.isNull() ? QStringLiteral("") : value;
        break;
    case Option::Output:
    case Option::OutputFolder:
        if (value.isEmpty())
            return UsageError{optionName(info) + QLatin1String(" needs a name")};
        (info.option == Option::Output ? m_output : m_outputFolder) = value;
        break;
    case Option::Estimate:
    case Option::TargetSize:
    case Option::TargetQuality:
        return takeSampleOption(info, value);
    case Option::Jobs: {
        bool ok = false;
        const int jobs = value.toInt(&ok);
        if (!ok || jobs < 0)
            return UsageError{QStringLiteral("--jobs needs a whole number, 0 for one per processor; got \"%1\"").arg(value)};
        m_plan.jobs = jobs;
        break;
    }
    }
    return std::nullopt;
}

std::optional<UsageError> Parser::takeSampleOption(const OptionInfo &info, const QString &value)
{
    if (info.option == Option::Estimate) {
        m_plan.estimate = true;
        return std::nullopt;
    }
    const auto parsed = info.option == Option::TargetSize ? Target::parseSize(value) : Target::parseQuality(value);
    if (const QString *problem = std::get_if<QString>(&parsed))
        return UsageError{optionName(info) + QLatin1String(": ") + *problem, false};
    const Target target = std::get<Target>(parsed);
    if (m_plan.target.kind != Target::Kind::None && m_plan.target.kind != target.kind)
        return UsageError{QStringLiteral("a conversion aims at a size or at a quality; give --target-size or --target-quality")};
    m_plan.target = target;
    return std::nullopt;
}

// The source's name with the preset's extension, beside the source or in the output folder; a
// name that would be the source itself gets " (converted)".
QString Parser::derived(const QString &source, const QString &extension) const
{
    QString name = withExtension(source, extension);
    if (m_outputFolder)
        name = QDir(*m_outputFolder).filePath(QFileInfo(name).fileName());
    return m_probe.sameFile(source, name) ? convertedName(name, extension) : name;
}

std::optional<UsageError> Parser::nameDestinations()
{
    const QString extension = FormatExtension(m_plan.preset);
    if (m_output && m_outputFolder)
        return UsageError{QStringLiteral("-o names one destination and -d a folder for them all; give one of them")};
    if (m_output) {
        if (m_sources.size() != 1)
            return UsageError{QStringLiteral("-o names the destination of one source; for several sources use -d FOLDER")};
        if (m_probe.isFolder(*m_output))
            return UsageError{QStringLiteral("%1 is a folder; to write into it use -d %2").arg(*m_output, typed(*m_output)), false};
        m_plan.items = {{m_sources.first(), *m_output}};
        return std::nullopt;
    }
    if (m_outputFolder) {
        if (m_probe.exists(*m_outputFolder) && !m_probe.isFolder(*m_outputFolder))
            return UsageError{QStringLiteral("%1 is not a folder").arg(*m_outputFolder), false};
        m_plan.outputFolder = *m_outputFolder;
    } else if (m_sources.size() == 2) {
        // The older form "SOURCE DEST": taken only where it cannot cost a file.
        const QString &second = m_sources.at(1);
        const bool hasExtension = second.endsWith(extension, Qt::CaseInsensitive);
        if (m_probe.exists(second) && hasExtension)
            return UsageError{QStringLiteral("%1 exists and is not taken as the destination by position: to replace it use "
                                             "-o %2; to convert both files use -d FOLDER")
                                  .arg(second, typed(second)),
                              false};
        if (!m_probe.exists(second) && !hasExtension)
            return UsageError{QStringLiteral("%1 is not found; to write the conversion there use -o %2").arg(second, typed(second)),
                              false};
        if (hasExtension) {
            m_plan.items = {{m_sources.first(), second}};
            return std::nullopt;
        }
    }
    for (const QString &source : std::as_const(m_sources))
        m_plan.items.append({source, derived(source, extension)});
    return std::nullopt;
}

std::optional<UsageError> Parser::checkDestinationsApart() const
{
    QHash<QString, qsizetype> sources;
    for (qsizetype i = 0; i < m_plan.items.size(); ++i)
        sources.insert(pathKey(m_plan.items.at(i).source), i);
    QHash<QString, qsizetype> destinations;
    for (qsizetype i = 0; i < m_plan.items.size(); ++i) {
        const ConversionItem &item = m_plan.items.at(i);
        const QString key = pathKey(item.destination);
        if (const auto other = destinations.constFind(key); other != destinations.constEnd())
            return UsageError{QStringLiteral("%1 and %2 would both be converted to %3; nothing was converted")
                                  .arg(m_plan.items.at(*other).source, item.source, item.destination),
                              false};
        destinations.insert(key, i);
        // Its own source is the job's to refuse; another's would be read while it is replaced.
        if (const auto other = sources.constFind(key); other != sources.constEnd() && *other != i)
            return UsageError{QStringLiteral("%1 would be converted to %2, which is also a source; nothing was converted")
                                  .arg(item.source, item.destination),
                              false};
    }
    return std::nullopt;
}

} // namespace

FileProbe FileProbe::system()
{
    // By the names' bytes, which Qt's own file classes would not keep.
    const auto status = [](const QString &path, struct stat &info, bool followLink) {
        const QByteArray name = FileNameBytes::encode(path);
        return (followLink ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) == 0;
    };
    return {
        [status](const QString &path) {
            struct stat info {};
            return status(path, info, false);
        },
        [status](const QString &path) {
            struct stat info {};
            return status(path, info, true) && S_ISDIR(info.st_mode);
        },
        [status](const QString &a, const QString &b) {
            struct stat sa {};
            struct stat sb {};
            if (status(a, sa, true) && status(b, sb, true))
                return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
            return pathKey(a) == pathKey(b);
        },
    };
}

ParsedCommandLine parseCommandLine(const QStringList &arguments, const FileProbe &probe)
{
    return Parser(arguments, probe).parse();
}

QString commandLineUsage()
{
    return QStringLiteral(
        "Usage: vidomar [--list-presets [--verbose] [--json] | --help | --version]\n"
        "       vidomar --preset NAME [OPTIONS] SOURCE [DEST]\n"
        "       vidomar --preset NAME [OPTIONS] -o DEST SOURCE\n"
        "       vidomar --preset NAME [OPTIONS] [-d FOLDER] SOURCE...\n"
        "       vidomar [SOURCE]   opens the window, with SOURCE chosen when given\n"
        "Converts each SOURCE with the preset NAME (see --list-presets).\n"
        "  -o, --output FILE      the destination of the one SOURCE; its extension picks the container\n"
        "  -d, --output-dir DIR   write every conversion into DIR (created when missing)\n"
        "  -n, --no-overwrite     leave an existing destination as it is and report it as skipped\n"
        "  -j, --jobs N           convert up to N sources at once (default 1; 0: one per processor)\n"
        "      --json             progress and results as JSON lines on stdout\n"
        "      --verbose          with --list-presets: each preset's extension and encoder options\n"
        "      --estimate         print the size, time and quality each conversion would give, from a few\n"
        "                         short samples; convert nothing\n"
        "      --target-size SIZE aim at a file of SIZE (25M, 700MB, 1.4G, 900k; powers of 1000)\n"
        "      --target-quality M:SCORE  aim at a picture quality: ssim:0.985, ssim-db:19 or psnr:42\n"
        "Without -o or -d a conversion goes beside its source with the preset's extension in place of\n"
        "the last one, as \"<name> (converted)<extension>\" where that would be the source itself. A\n"
        "second of two arguments that has the preset's extension and does not exist is the\n"
        "destination. Messages and progress go to stderr; stdout names each file written. Exit status:\n"
        "0 when every conversion succeeded or was skipped, 1 when one failed, 2 on bad usage, 128 + the\n"
        "signal after Ctrl-C (130), SIGTERM or SIGHUP, which cancel every running conversion.\n");
}
