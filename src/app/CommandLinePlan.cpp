#include "app/CommandLinePlan.h"

#include "app/SourceList.h"
#include "app/OptionFlags.h"
#include "engine/SameFile.h"
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
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Option { Help, Version, ListPresets, Verbose, Json, NoOverwrite, Preset, Output, OutputFolder, Jobs,
                    Recursive, FollowLinks, FilesFrom, Null, Shard, Watch, OnStop, Settle,
                    Estimate, TargetSize, TargetQuality };

struct OptionInfo {
    Option option;
    char shortName; // 0: long only
    const char *longName;
    bool takesValue;
};

constexpr std::array<OptionInfo, 21> Options{{
    {Option::Help, 'h', "help", false},
    {Option::Version, 0, "version", false},
    {Option::ListPresets, 0, "list-presets", false},
    {Option::Verbose, 'v', "verbose", false},
    {Option::Json, 0, "json", false},
    {Option::NoOverwrite, 'n', "no-overwrite", false},
    {Option::Preset, 0, "preset", true},
    {Option::Output, 'o', "output", true},
    {Option::OutputFolder, 'd', "output-dir", true},
    {Option::Jobs, 'j', "jobs", true},
    // Folders, lists, shards and the watch folder.
    {Option::Recursive, 'r', "recursive", false},
    {Option::FollowLinks, 0, "follow-links", false},
    {Option::FilesFrom, 0, "files-from", true},
    {Option::Null, 0, "null", false},
    {Option::Shard, 0, "shard", true},
    {Option::Watch, 0, "watch", true},
    {Option::OnStop, 0, "on-stop", true},
    {Option::Settle, 0, "settle", true},
    // Samples: the estimate and the targets.
    {Option::Estimate, 0, "estimate", false},
    {Option::TargetSize, 0, "target-size", true},
    {Option::TargetQuality, 0, "target-quality", true},
}};

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
    std::optional<UsageError> takeOptionFlag(const QString &name, std::optional<QString> attached, qsizetype &i);
    std::optional<UsageError> nameDestinations();
    std::optional<UsageError> planMany();
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
    if (m_done || m_plan.action == CommandLinePlan::Action::ListPresets || m_plan.action == CommandLinePlan::Action::Probe)
        return m_plan;
    if (m_plan.preset.isNull())
        return UsageError{QStringLiteral("no preset given")};
    if (!Presets::find(m_plan.preset))
        return UsageError{QLatin1String("Not Supported: Error: ") + m_plan.preset
                              + QLatin1String(" is not defined. See vidomar --list-presets."),
                          false};
    if (std::optional<UsageError> error = planMany())
        return *error;
    if (const std::optional<QString> refusal = TargetPlanner::refusal(m_plan.preset, m_plan.target))
        return UsageError{*refusal, false};
    if (m_plan.estimate && m_plan.action == CommandLinePlan::Action::Watch)
        return UsageError{QStringLiteral("--estimate converts nothing; it does not go with --watch")};
    if (m_plan.action == CommandLinePlan::Action::Watch || SourceList::wanted(m_plan))
        return m_plan;
    if (m_sources.isEmpty())
        return UsageError{QStringLiteral("no source file given")};
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
            if (OptionFlags::knows(name)) {
                if (std::optional<UsageError> error = takeOptionFlag(name, equals < 0 ? std::nullopt : std::optional(arg.mid(equals + 1)), i))
                    return error;
                continue;
            }
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
    case Option::Recursive:
        m_plan.recursive = true;
        break;
    case Option::FollowLinks:
        m_plan.followLinks = true;
        break;
    case Option::Null:
        m_plan.nullSeparated = true;
        break;
    case Option::FilesFrom:
    case Option::Watch:
        if (value.isEmpty())
            return UsageError{optionName(info) + QLatin1String(" needs a name")};
        (info.option == Option::FilesFrom ? m_plan.filesFrom : m_plan.watchFolder) = value;
        break;
    case Option::Shard:
        if (!SourceList::readShard(value, m_plan.shard, m_plan.shards))
            return UsageError{QStringLiteral("--shard needs I/N, 0 <= I < N (0/3, 1/3, 2/3); got \"%1\"").arg(value)};
        break;
    case Option::OnStop:
        if (value != QLatin1String("finish") && value != QLatin1String("cancel"))
            return UsageError{QStringLiteral("--on-stop is finish or cancel; got \"%1\"").arg(value)};
        m_plan.finishOnStop = value == QLatin1String("finish");
        break;
    case Option::Settle: {
        bool ok = false;
        const double seconds = value.toDouble(&ok);
        if (!ok || seconds < 0 || seconds > 86400)
            return UsageError{QStringLiteral("--settle needs seconds; got \"%1\"").arg(value)};
        m_plan.settleMs = int(seconds * 1000);
        break;
    }
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

// The conversion's options and --probe (OptionFlags).
std::optional<UsageError> Parser::takeOptionFlag(const QString &name, std::optional<QString> attached, qsizetype &i)
{
    const QString flag = QLatin1String("--") + name;
    if (!OptionFlags::takesValue(name) && attached)
        return UsageError{flag + QLatin1String(" takes no value")};
    if (OptionFlags::takesValue(name) && !attached) {
        if (++i >= m_arguments.size())
            return UsageError{flag + QLatin1String(" needs a value")};
        attached = m_arguments.at(i);
    }
    if (name == QLatin1String("probe")) {
        if (attached->isEmpty())
            return UsageError{QStringLiteral("--probe needs a source")};
        m_plan.action = CommandLinePlan::Action::Probe;
        m_plan.probeSource = *attached;
        return std::nullopt;
    }
    if (std::optional<QString> error = OptionFlags::take(name, attached.value_or(QString()), m_plan.options))
        return UsageError{*error};
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
    return destinationFor(source, extension, m_outputFolder.value_or(QString()), m_probe.sameFile);
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

// The watch folder, and batches of folders, lists and shards (SourceList).
std::optional<UsageError> Parser::planMany()
{
    if (m_plan.watchFolder.isEmpty() && !SourceList::wanted(m_plan))
        return std::nullopt;
    if (m_output)
        return UsageError{QStringLiteral("-o names the destination of one source; for many use -d FOLDER")};
    if (m_outputFolder) {
        if (m_probe.exists(*m_outputFolder) && !m_probe.isFolder(*m_outputFolder))
            return UsageError{QStringLiteral("%1 is not a folder").arg(*m_outputFolder), false};
        m_plan.outputFolder = *m_outputFolder;
    }
    if (m_plan.watchFolder.isEmpty())
        return SourceList::plan(m_plan, m_sources, m_probe);
    if (!m_sources.isEmpty() || !m_plan.filesFrom.isEmpty() || m_plan.shards > 1)
        return UsageError{QStringLiteral("--watch takes its sources from the folder alone")};
    if (!m_outputFolder)
        return UsageError{QStringLiteral("--watch needs -d FOLDER for the conversions")};
    if (pathKey(*m_outputFolder) == pathKey(m_plan.watchFolder) || m_probe.sameFile(*m_outputFolder, m_plan.watchFolder))
        return UsageError{QStringLiteral("the watched folder cannot be the output folder too"), false};
    m_plan.action = CommandLinePlan::Action::Watch;
    return std::nullopt;
}

std::optional<UsageError> Parser::checkDestinationsApart() const
{
    // By the files the names reach: a destination that is a link to another source is that source.
    const auto keyOf = [this](const QString &path) {
        return m_probe.identity ? m_probe.identity(path) : pathKey(path).toUtf8();
    };
    QHash<QByteArray, qsizetype> sources;
    for (qsizetype i = 0; i < m_plan.items.size(); ++i)
        sources.insert(keyOf(m_plan.items.at(i).source), i);
    QHash<QByteArray, qsizetype> destinations;
    for (qsizetype i = 0; i < m_plan.items.size(); ++i) {
        const ConversionItem &item = m_plan.items.at(i);
        const QByteArray key = keyOf(item.destination);
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
        [](const QString &a, const QString &b) { return isSameFile(FileNameBytes::encode(a), FileNameBytes::encode(b)); },
        [](const QString &folder, bool followLinks, const QStringList &excluded) {
            FolderScan::Options options;
            options.followLinks = followLinks;
            options.excluded = excluded;
            return FolderScan::scan(folder, options);
        },
        [](const QString &file) -> std::optional<QByteArray> {
            const bool standardInput = file == QLatin1String("-");
            const int fd = standardInput ? STDIN_FILENO : ::open(FileNameBytes::encode(file).constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                return std::nullopt;
            QByteArray list;
            char buffer[65536];
            ssize_t got = 0;
            while ((got = ::read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
                list.append(buffer, std::max<ssize_t>(got, 0));
            if (!standardInput)
                ::close(fd);
            if (got < 0)
                return std::nullopt;
            return list;
        },
        [](const QString &path) { return fileIdentity(FileNameBytes::encode(path)); },
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
        "       vidomar --preset NAME [OPTIONS] [-d FOLDER] [-r] SOURCE...\n"
        "       vidomar --preset NAME [OPTIONS] --files-from LIST [--shard I/N] [-d FOLDER]\n"
        "       vidomar --preset NAME [OPTIONS] --watch IN -d OUT\n"
        "       vidomar [SOURCE]   opens the window, with SOURCE chosen when given\n"
        "Converts each SOURCE with the preset NAME (see --list-presets).\n"
        "  -o, --output FILE      the destination of the one SOURCE; its extension picks the container\n"
        "  -d, --output-dir DIR   write every conversion into DIR (created when missing)\n"
        "  -n, --no-overwrite     leave an existing destination as it is and report it as skipped\n"
        "  -j, --jobs N           convert up to N sources at once (default 1; 0: one per processor)\n"
        "      --json             progress and results as JSON lines on stdout\n"
        "  -v, --verbose          with --list-presets: each preset's extension and encoder options;\n"
        "                         with -r: each file left out, and why\n"
        "  -r, --recursive        a SOURCE folder gives the media files below it (hidden ones left out),\n"
        "                         their tree mirrored under -d DIR, or each result beside its source\n"
        "      --follow-links     follow links that lead out of a folder too\n"
        "      --files-from LIST  the sources named in LIST, one a line (- : standard input)\n"
        "      --null             the names in LIST end with NUL instead\n"
        "      --shard I/N        convert only part I (0 to N-1) of N of the sorted sources\n"
        "      --watch IN         convert each media file that settles below IN, until stopped\n"
        "      --settle SECONDS   with --watch: how long a file must stay unchanged (default 5)\n"
        "      --on-stop WHAT     with --watch: finish or cancel (default) the conversions at hand\n"
        "      --estimate         print the size, time and quality each conversion would give, from a few\n"
        "                         short samples; convert nothing\n"
        "      --target-size SIZE aim at a file of SIZE (25M, 700MB, 1.4G, 900k; powers of 1000)\n"
        "      --target-quality M:SCORE  aim at a picture quality: ssim:0.985, ssim-db:19 or psnr:42\n"
        "%1"
        "Without -o or -d a conversion goes beside its source with the preset's extension in place of\n"
        "the last one, as \"<name> (converted)<extension>\" where that would be the source itself. A\n"
        "second of two arguments that has the preset's extension and does not exist is the\n"
        "destination. Messages and progress go to stderr; stdout names each file written. Exit status:\n"
        "0 when every conversion succeeded or was skipped, 1 when one failed for good, 2 on bad usage,\n"
        "75 when every failure may mend on a retry (the encoder killed, the disk full, the destination\n"
        "folder gone, a source still being written), 128 + the signal after Ctrl-C (130), SIGTERM or\n"
        "SIGHUP, which cancel every running conversion; --watch ends with 0 once stopped.\n")
        .arg(OptionFlags::usage());
}
