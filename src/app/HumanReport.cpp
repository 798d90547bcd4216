#include "app/HumanReport.h"

#include "workflow/ClockText.h"
#include "workflow/FileNameBytes.h"
#include "workflow/PathText.h"


HumanReport::HumanReport(const CommandLinePlan &plan, std::FILE *messages, std::FILE *results, bool terminal)
    : m_plan(plan), m_messages(messages), m_results(results)
{
    if (terminal)
        m_board.emplace(messages);
}

QString HumanReport::progressText(int percent, qint64 elapsedMs, std::optional<qint64> leftMs)
{
    return QStringLiteral("%1% elapsed %2, %3")
        .arg(percent, 3)
        .arg(clockText(elapsedMs))
        .arg(leftMs ? QStringLiteral("about %1 left").arg(clockText(*leftMs)) : QStringLiteral("time left unknown"));
}

void HumanReport::say(const QString &text)
{
    const QString line = QLatin1String("vidomar: ") + text;
    if (m_board) {
        m_board->print(line);
        return;
    }
    std::fprintf(m_messages, "%s\n", FileNameBytes::encode(line).constData());
    std::fflush(m_messages);
}

void HumanReport::started(qsizetype item)
{
    const ConversionItem &i = m_plan.items.at(item);
    say(QStringLiteral("converting %1 to %2 (%3)").arg(PathText::shown(i.source), PathText::shown(i.destination), m_plan.preset));
    if (m_board)
        m_board->setLine(item, progressText(0, 0, std::nullopt) + QLatin1String("  ") + i.source);
}

void HumanReport::progressed(qsizetype item, int percent, qint64 elapsedMs, std::optional<qint64> leftMs)
{
    const QString text = progressText(percent, elapsedMs, leftMs);
    if (m_board) {
        m_board->setLine(item, text + QLatin1String("  ") + m_plan.items.at(item).source);
        return;
    }
    int &decile = m_decile[item];
    if (percent / 10 > decile) {
        decile = percent / 10;
        say(m_plan.items.at(item).source + QLatin1String(": ") + text);
    }
}

void HumanReport::ended(qsizetype item, const QString &text)
{
    m_decile.remove(item);
    if (m_board)
        m_board->removeLine(item);
    say(text);
}

void HumanReport::done(qsizetype item, qint64, qint64, const QString &warning)
{
    const QString destination = FileNameBytes::absolute(m_plan.items.at(item).destination);
    ended(item, QLatin1String("finished ") + destination);
    if (!warning.isEmpty())
        say(m_plan.items.at(item).source + QLatin1String(": ") + warning);
    if (m_board)
        m_board->hide();
    std::fprintf(m_results, "%s\n", FileNameBytes::encode(destination).constData());
    std::fflush(m_results);
    if (m_board)
        m_board->show();
}

void HumanReport::failed(qsizetype item, const QString &reason)
{
    ended(item, m_plan.items.at(item).source + QLatin1String(": ") + reason);
}

void HumanReport::skipped(qsizetype item)
{
    const ConversionItem &i = m_plan.items.at(item);
    say(QStringLiteral("skipped %1: %2 exists").arg(i.source, i.destination));
}

void HumanReport::cancelled(qsizetype item)
{
    ended(item, m_plan.items.at(item).source + QLatin1String(": conversion cancelled"));
}

void HumanReport::planned(qsizetype item, const QString &, const QString &note)
{
    say(m_plan.items.at(item).source + QLatin1String(": ") + note);
}

void HumanReport::note(const QString &text)
{
    say(text);
}
