#pragma once

#include "workflow/QueueItem.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

// The window's queue on disk, so that a run that was closed, killed or crashed can be continued:
// "$XDG_STATE_HOME/Zorvik/queue.json" (~/.local/state when unset), replaced atomically on every
// change. Nothing in it is trusted: a file that is too large, malformed, or names an unknown
// preset, a relative or odd path, a destination that is its source or another item's, or a
// destination without its preset's extension, is refused as a whole and set aside.
class RecoveryFile {
public:
    static constexpr qint64 MaxBytes = 1024 * 1024;
    static constexpr qsizetype MaxItems = 1000;
    static constexpr qsizetype MaxPathLength = 4096;

    // The extension of a preset (with its dot) by name, or nothing for one the program lacks.
    using PresetExtension = std::function<std::optional<QString>(const QString &name)>;

    explicit RecoveryFile(const QString &path = defaultPath());

    static QString defaultPath();
    QString path() const { return m_path; }

    // Writes the items; with nothing left to do (no unfinished item) the file is removed. False
    // with the reason when it could not be written.
    bool save(const QueueItems &items, QString *error = nullptr) const;

    struct Loaded {
        QueueItems items;
        // Set when the file was refused; it then lies at setAsideTo.
        QString problem;
        QString setAsideTo;
    };
    // Reads the queue a previous run left; a refused file is renamed so that it is reported once.
    Loaded load(const PresetExtension &presets = knownPresets()) const;

    // The items, or why the text is refused.
    static std::variant<QueueItems, QString> parse(const QByteArray &text, const PresetExtension &presets);
    static QByteArray serialise(const QueueItems &items);
    static PresetExtension knownPresets();

private:
    QString m_path;
};
