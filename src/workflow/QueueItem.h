#pragma once

#include "workflow/ConversionOptions.h"
#include "workflow/Target.h"

#include <QList>
#include <QString>

#include <optional>

// One conversion of the window's queue: its source, the preset chosen when it was added, its
// destination and how far it is.
struct QueueItem {
    enum class State { Waiting, Converting, Done, Failed, Cancelled, Skipped };

    QString source;
    QString preset;
    QString destination;
    Target target; // a size or quality the conversion aims at, beyond its preset
    State state = State::Waiting;
    int percent = 0;
    QString reason; // why it failed or was skipped
    ConversionOptions options; // on top of the preset's own
    // Given by the list, so that a running item is found after the list was reordered.
    quint64 id = 0;

    // Done, failed and skipped items never run again; cancelled ones may, as waiting ones do.
    bool finished() const { return state == State::Done || state == State::Failed || state == State::Skipped; }

    // "waiting", "converting", ...: the names the recovery file stores.
    static QString stateName(State state);
    static std::optional<State> stateNamed(QStringView name);
    // What the queue panel shows: "Waiting", "Converting 42 %", "Failed: reason", ...
    QString stateText() const;
    // The preset and the options chosen beside it: "MP4 H.264 720p (sound deu · 0:10–0:20)".
    QString presetText() const;

    bool operator==(const QueueItem &) const = default;
};

using QueueItems = QList<QueueItem>;
