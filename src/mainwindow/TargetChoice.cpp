#include "mainwindow/TargetChoice.h"

#include "workflow/TargetPlanner.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>

namespace {

const char *const SizeHelp = "A size for the whole file, as 25 MB, 700MB, 1.4G or 900k (Alt+F)";
const char *const QualityHelp = "A score the picture must reach, as SSIM 0.985, SSIM 19 dB or PSNR 42 dB (Alt+U)";

} // namespace

TargetChoice::TargetChoice(QWidget *parent)
    : QWidget(parent)
{
    m_size = new QLineEdit(this);
    m_quality = new QLineEdit(this);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("targetMessage"));
    m_message->setWordWrap(true);
    // A line kept for it: what follows keeps its place as presets come and go.
    m_message->setMinimumHeight(m_message->fontMetrics().lineSpacing());
    m_size->setPlaceholderText(QStringLiteral("e.g. 25 MB"));
    m_quality->setPlaceholderText(QStringLiteral("e.g. SSIM 0.985"));
    m_size->setObjectName(QStringLiteral("fitInto"));
    m_quality->setObjectName(QStringLiteral("quality"));
    m_size->setAccessibleName(QStringLiteral("Fit into"));
    m_quality->setAccessibleName(QStringLiteral("Quality"));
    auto *sizeLabel = new QLabel(QStringLiteral("&Fit into:"), this);
    auto *qualityLabel = new QLabel(QStringLiteral("Q&uality:"), this);
    sizeLabel->setBuddy(m_size);
    qualityLabel->setBuddy(m_quality);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->addWidget(sizeLabel, 0, 0);
    grid->addWidget(m_size, 0, 1);
    grid->addWidget(qualityLabel, 0, 2);
    grid->addWidget(m_quality, 0, 3);
    grid->addWidget(m_message, 1, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    setTabOrder(m_size, m_quality);
    for (QLineEdit *field : {m_size, m_quality})
        connect(field, &QLineEdit::textChanged, this, &TargetChoice::update);
    update();
}

void TargetChoice::setPreset(const QString &preset)
{
    Target any;
    any.kind = Target::Kind::Size;
    const std::optional<QString> refusal = TargetPlanner::refusal(preset, any);
    m_refusal = refusal ? QStringLiteral("Only presets that encode with x264, x265, VP9 or SVT-AV1 aim at a target.") : QString();
    m_refusalDetail = refusal ? QStringLiteral("Fit into and Quality need a preset that encodes with x264, x265, VP9 or "
                                               "SVT-AV1 (today's presets, or your own); \"%1\" does not.")
                                    .arg(preset)
                              : QString();
    update();
}

std::variant<Target, QString> TargetChoice::parseScore(const QString &text)
{
    if (text.contains(QLatin1Char(':')))
        return Target::parseQuality(text);
    static const QRegularExpression form(QStringLiteral("^(ssim|psnr)?\\s*([0-9]+(?:\\.[0-9]+)?)\\s*(db)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text.trimmed());
    const QString name = match.captured(1).toLower();
    const bool decibels = !match.captured(3).isEmpty();
    const double score = match.captured(2).toDouble();
    // A bare number is an SSIM when below 1; above, it could be either measure in dB.
    QString measure;
    if (match.hasMatch() && name == QLatin1String("psnr"))
        measure = QStringLiteral("psnr");
    else if (match.hasMatch() && decibels)
        measure = QStringLiteral("ssim-db");
    else if (match.hasMatch() && (!name.isEmpty() || score < 1))
        measure = QStringLiteral("ssim");
    if (measure.isEmpty())
        return QStringLiteral("\"%1\" is not a score; give it as SSIM 0.985, SSIM 19 dB or PSNR 42 dB").arg(text.trimmed());
    const std::variant<Target, QString> parsed = Target::parseQuality(measure + QLatin1Char(':') + match.captured(2));
    if (std::holds_alternative<QString>(parsed))
        return QStringLiteral("%1 cannot be reached; an SSIM lies between 0 and 1, a PSNR between 10 and 100 dB")
            .arg(text.trimmed());
    return parsed;
}

void TargetChoice::update()
{
    const bool allowed = m_refusal.isEmpty();
    m_size->setEnabled(allowed);
    m_quality->setEnabled(allowed);
    const QString size = m_size->text().trimmed();
    const QString quality = m_quality->text().trimmed();
    Target target;
    QString problem;
    QLineEdit *atFault = nullptr;
    if (allowed && !size.isEmpty() && !quality.isEmpty()) {
        problem = QStringLiteral("Give a size or a quality, not both.");
        atFault = m_quality;
    } else if (allowed && !size.isEmpty()) {
        const std::variant<Target, QString> parsed = Target::parseSize(size);
        if (const QString *reason = std::get_if<QString>(&parsed)) {
            problem = *reason + QLatin1Char('.');
            atFault = m_size;
        } else {
            target = std::get<Target>(parsed);
        }
    } else if (allowed && !quality.isEmpty()) {
        const std::variant<Target, QString> parsed = parseScore(quality);
        if (const QString *reason = std::get_if<QString>(&parsed)) {
            problem = *reason + QLatin1Char('.');
            atFault = m_quality;
        } else {
            target = std::get<Target>(parsed);
        }
    }
    m_problem = problem;
    m_atFault = atFault;
    // What is wrong, or why the fields are off, is said where a screen reader reads the field.
    m_message->setText(allowed ? problem : m_refusal);
    // A mistake stands out; a preset that takes no target is no mistake.
    if (m_message->property("problem").toBool() != !problem.isEmpty()) {
        m_message->setProperty("problem", !problem.isEmpty());
        m_message->style()->unpolish(m_message);
        m_message->style()->polish(m_message);
    }
    m_size->setAccessibleDescription(atFault == m_size ? problem : allowed ? QLatin1String(SizeHelp) : m_refusalDetail);
    m_quality->setAccessibleDescription(atFault == m_quality ? problem : allowed ? QLatin1String(QualityHelp) : m_refusalDetail);
    m_size->setToolTip(allowed ? QLatin1String(SizeHelp) : m_refusalDetail);
    m_quality->setToolTip(allowed ? QLatin1String(QualityHelp) : m_refusalDetail);
    if (target == m_target)
        return;
    m_target = target;
    emit targetChanged();
}

void TargetChoice::focusProblem()
{
    if (!m_atFault)
        return;
    m_atFault->setFocus(Qt::OtherFocusReason);
    m_atFault->selectAll();
}
