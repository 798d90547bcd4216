#include "app/JsonReport.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// Seconds from milliseconds, to a tenth.
double tenths(qint64 ms)
{
    return std::round(double(ms) / 100.0) / 10.0;
}

} // namespace

JsonReport::JsonReport(const CommandLinePlan &plan, std::FILE *out, std::FILE *messages)
    : m_plan(plan), m_out(out), m_messages(messages)
{
}

void JsonReport::write(const QJsonObject &event)
{
    const QByteArray line = QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), m_out);
    std::fflush(m_out);
}

void JsonReport::say(const QString &text)
{
    std::fprintf(m_messages, "vidomar: %s\n", qPrintable(text));
    std::fflush(m_messages);
}

void JsonReport::started(qsizetype item)
{
    const ConversionItem &i = m_plan.items.at(item);
    m_percent.insert(item, 0);
    write({{"event", "start"}, {"source", i.source}, {"destination", i.destination}, {"preset", m_plan.preset}});
}

void JsonReport::progressed(qsizetype item, int percent, qint64 elapsedMs, std::optional<qint64> leftMs)
{
    int &last = m_percent[item];
    if (percent == last)
        return;
    last = percent;
    write({{"event", "progress"},
           {"source", m_plan.items.at(item).source},
           {"percent", percent},
           {"elapsed", tenths(elapsedMs)},
           {"left", leftMs ? QJsonValue(tenths(*leftMs)) : QJsonValue(QJsonValue::Null)}});
}

void JsonReport::done(qsizetype item, qint64 elapsedMs, qint64 bytes)
{
    const ConversionItem &i = m_plan.items.at(item);
    write({{"event", "done"},
           {"source", i.source},
           {"destination", i.destination},
           {"seconds", double(elapsedMs) / 1000.0},
           {"bytes", bytes}});
}

void JsonReport::failed(qsizetype item, const QString &reason)
{
    const ConversionItem &i = m_plan.items.at(item);
    say(i.source + QLatin1String(": ") + reason);
    write({{"event", "failed"}, {"source", i.source}, {"reason", reason}});
}

void JsonReport::skipped(qsizetype item)
{
    const ConversionItem &i = m_plan.items.at(item);
    write({{"event", "skipped"}, {"source", i.source}, {"destination", i.destination}});
}

void JsonReport::cancelled(qsizetype item)
{
    write({{"event", "cancelled"}, {"source", m_plan.items.at(item).source}});
}

void JsonReport::note(const QString &text)
{
    say(text);
}

void JsonReport::paused()
{
    write({{"event", "paused"}});
}

void JsonReport::resumed()
{
    write({{"event", "resumed"}});
}
