#include "app/JsonReport.h"

#include "workflow/FileNameBytes.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>

#include <cmath>

namespace {

// Seconds from milliseconds, to a tenth.
double tenths(qint64 ms)
{
    return std::round(double(ms) / 100.0) / 10.0;
}

} // namespace

JsonReport::JsonReport(const CommandLinePlan &plan, std::FILE *out, std::FILE *messages)
    : m_plan(plan), m_out(out), m_messages(messages), m_host(QSysInfo::machineHostName())
{
}

void JsonReport::write(QJsonObject event)
{
    // Lines from many machines gathered in one file still say where each came from.
    event.insert(QLatin1String("host"), m_host);
    const QByteArray line = QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), m_out);
    std::fflush(m_out);
}

void JsonReport::writeItem(qsizetype item, QJsonObject event)
{
    // The source's place in the whole list, which a shard is a part of.
    event.insert(QLatin1String("index"), m_plan.indices.value(item, item));
    write(event);
}

void JsonReport::say(const QString &text)
{
    std::fprintf(m_messages, "vidomar: %s\n", FileNameBytes::encode(text).constData());
    std::fflush(m_messages);
}

void JsonReport::putName(QJsonObject &event, const QString &key, const QString &name)
{
    event.insert(key, FileNameBytes::shown(name));
    if (!FileNameBytes::isText(name))
        event.insert(key + QLatin1String("_bytes"), FileNameBytes::escaped(name));
}

void JsonReport::started(qsizetype item)
{
    const ConversionItem &i = m_plan.items.at(item);
    m_percent.insert(item, 0);
    QJsonObject event{{"event", "start"}, {"preset", m_plan.preset}};
    putName(event, QStringLiteral("source"), i.source);
    putName(event, QStringLiteral("destination"), i.destination);
    writeItem(item, event);
}

void JsonReport::progressed(qsizetype item, int percent, qint64 elapsedMs, std::optional<qint64> leftMs)
{
    int &last = m_percent[item];
    if (percent == last)
        return;
    last = percent;
    QJsonObject event{{"event", "progress"},
                      {"percent", percent},
                      {"elapsed", tenths(elapsedMs)},
                      {"left", leftMs ? QJsonValue(tenths(*leftMs)) : QJsonValue(QJsonValue::Null)}};
    putName(event, QStringLiteral("source"), m_plan.items.at(item).source);
    writeItem(item, event);
}

void JsonReport::done(qsizetype item, qint64 elapsedMs, qint64 bytes, const QString &warning)
{
    const ConversionItem &i = m_plan.items.at(item);
    QJsonObject event{{"event", "done"}, {"seconds", double(elapsedMs) / 1000.0}, {"bytes", bytes}};
    putName(event, QStringLiteral("source"), i.source);
    putName(event, QStringLiteral("destination"), i.destination);
    if (!warning.isEmpty()) {
        event.insert(QLatin1String("warning"), warning);
        say(i.source + QLatin1String(": ") + warning);
    }
    writeItem(item, event);
}

void JsonReport::failed(qsizetype item, const QString &reason)
{
    const ConversionItem &i = m_plan.items.at(item);
    say(i.source + QLatin1String(": ") + reason);
    QJsonObject event{{"event", "failed"}, {"reason", FileNameBytes::shown(reason)}};
    putName(event, QStringLiteral("source"), i.source);
    writeItem(item, event);
}

void JsonReport::skipped(qsizetype item)
{
    const ConversionItem &i = m_plan.items.at(item);
    QJsonObject event{{"event", "skipped"}};
    putName(event, QStringLiteral("source"), i.source);
    putName(event, QStringLiteral("destination"), i.destination);
    writeItem(item, event);
}

void JsonReport::cancelled(qsizetype item)
{
    QJsonObject event{{"event", "cancelled"}};
    putName(event, QStringLiteral("source"), m_plan.items.at(item).source);
    writeItem(item, event);
}

void JsonReport::planned(qsizetype item, const QString &setting, const QString &note)
{
    QJsonObject event{{"event", "target"}, {"setting", setting}, {"note", note}};
    putName(event, QStringLiteral("source"), m_plan.items.at(item).source);
    write(event);
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
