#pragma once

#include "app/CommandLinePlan.h"

#include <QStringList>

#include <optional>

// A batch of many sources: folders taken apart (-r), a list read (--files-from), a shard of the
// whole (--shard I/N). The whole list is gathered first, then every destination named and every
// clash decided over it (a later source in the list gets "<name> (2)<extension>"), and only then
// is this shard's part taken, so that every machine names every file alike.
namespace SourceList {

// Whether the plan's options ask for such a batch rather than the plain form.
bool wanted(const CommandLinePlan &plan);

// Fills the plan's items from the sources on the command line; a usage error when it cannot.
std::optional<UsageError> plan(CommandLinePlan &plan, const QStringList &sources, const FileProbe &probe);

// "I/N" with 0 <= I < N; false when it is not that.
bool readShard(const QString &text, int &shard, int &shards);

} // namespace SourceList
