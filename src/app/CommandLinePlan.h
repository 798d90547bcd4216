#pragma once

#include "workflow/FolderScan.h"
#include "workflow/ConversionOptions.h"
#include "workflow/Target.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

// What the parser may ask of the file system; tests answer from a table.
struct FileProbe {
    // Anything by that name, a dangling link included.
    std::function<bool(const QString &path)> exists;
    std::function<bool(const QString &path)> isFolder;
    std::function<bool(const QString &a, const QString &b)> sameFile;
    // Folders and lists of sources.
    std::function<FolderScanResult(const QString &folder, bool followLinks, const QStringList &excluded)> scanFolder;
    std::function<std::optional<QByteArray>(const QString &file)> readList; // "-": standard input
    // Which file a path names (engine/SameFile); when not given, its clean absolute path.
    std::function<QByteArray(const QString &path)> identity;

    static FileProbe system();
};

struct ConversionItem {
    QString source;
    QString destination;

    bool operator==(const ConversionItem &) const = default;
};

// What the command line asks for, checked and with every destination named.
struct CommandLinePlan {
    enum class Action { Help, Version, ListPresets, Convert, Watch, Probe };

    Action action = Action::Convert;
    bool verbose = false;
    bool json = false;
    bool noOverwrite = false;
    int jobs = 1; // 0: one per processor
    QString preset;
    QString outputFolder; // created before the first conversion when missing
    QList<ConversionItem> items;

    // Folders, lists, shards and the watch folder.
    bool recursive = false;
    bool followLinks = false;
    QString filesFrom; // "-": standard input
    bool nullSeparated = false;
    int shard = 0;
    int shards = 1;
    QList<qsizetype> indices; // each item's place in the whole list; empty: its own
    FolderScanResult passedOver; // what the folders held besides the sources
    QString watchFolder;
    bool finishOnStop = false; // a stop signal lets the conversions at hand finish
    int settleMs = 5000;       // how long a watched file must stay unchanged

    ConversionOptions options; // the flags given; the preset's own defaults lie under them
    QString probeSource;       // --probe
    // From samples of each source: the estimate alone, writing nothing; and what each conversion
    // aims at beyond its preset.
    bool estimate = false;
    Target target;
};

// Bad usage: nothing runs, the message is said and the exit status is 2.
struct UsageError {
    QString message;
    bool showUsage = true; // a syntax error gets the usage text too
};

using ParsedCommandLine = std::variant<CommandLinePlan, UsageError>;

// Reads the program's arguments (the first is the program). A pure function of the arguments and
// the probe's answers.
ParsedCommandLine parseCommandLine(const QStringList &arguments, const FileProbe &probe);

// The usage text, for --help and after a syntax error.
QString commandLineUsage();
