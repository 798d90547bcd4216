#include "workflow/QueueItem.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<QueueItem::State, const char *>, 6> Names{{
    {QueueItem::State::Waiting, "waiting"},
    {QueueItem::State::Converting, "converting"},
    {QueueItem::State::Done, "done"},
    {QueueItem::State::Failed, "failed"},
    {QueueItem::State::Cancelled, "cancelled"},
    {QueueItem::State::Skipped, "skipped"},
}};

} // namespace

QString QueueItem::stateName(State state)
{
    for (const auto &[s, name] : Names) {
        if (s == state)
            return QLatin1String(name);
    }
    return QString();
}

std::optional<QueueItem::State> QueueItem::stateNamed(QStringView name)
{
    for (const auto &[s, n] : Names) {
        if (name == QLatin1String(n))
            return s;
    }
    return std::nullopt;
}

QString QueueItem::presetText() const
{
    const QString options = this->options.summary();
    return options.isEmpty() ? preset : preset + QStringLiteral(" (") + options + QLatin1Char(')');
}

QString QueueItem::stateText() const
{
    switch (state) {
    case State::Waiting:
        return QStringLiteral("Waiting");
    case State::Converting:
        return QStringLiteral("Converting %1 %").arg(percent);
    case State::Done:
        return QStringLiteral("Done");
    case State::Failed:
        return reason.isEmpty() ? QStringLiteral("Failed") : QStringLiteral("Failed: ") + reason;
    case State::Cancelled:
        return QStringLiteral("Cancelled");
    case State::Skipped:
        return reason.isEmpty() ? QStringLiteral("Skipped") : QStringLiteral("Skipped: ") + reason;
    }
    return QString();
}
