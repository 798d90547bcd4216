#include "workflow/ConversionRun.h"

ConversionRun::ConversionRun(QObject *parent)
    : QObject(parent), m_job(&m_timer1), m_conversion(m_job)
{
    // Off until the job starts its poll.
    m_timer1.setInterval(0);
    connect(&m_job, &AVC::DataOutput, &m_conversion, &Conversion::onDataOutput);
    connect(&m_job, &AVC::ErrorEvent, &m_conversion, &Conversion::onErrorEvent);
    connect(&m_job, &AVC::Complete, &m_conversion, &Conversion::onComplete);
    connect(&m_job, &AVC::Failed, &m_conversion, &Conversion::onFailed);
    connect(&m_job, &AVC::Cancelled, &m_conversion, &Conversion::onCancelled);

    connect(&m_conversion, &Conversion::progressed, this, [this](int percent) {
        if (!m_conversion.cancelling())
            emit progressed(percent);
    });
    connect(&m_conversion, &Conversion::finished, this, [this] { emit ended(Outcome::Done); });
    connect(&m_conversion, &Conversion::failed, this, [this] { emit ended(Outcome::Failed); });
    connect(&m_conversion, &Conversion::sourceMissing, this, [this] {
        m_sourceMissing = true;
        emit ended(Outcome::Failed);
    });
    connect(&m_conversion, &Conversion::cancelled, this, [this] { emit ended(Outcome::Cancelled); });
}

bool ConversionRun::start(const QString &preset, const QString &source, const QString &destination,
                          const ConversionOptions &options, const std::optional<QStringList> &arguments)
{
    m_sourceMissing = false;
    m_conversion.setArguments(arguments);
    return m_conversion.start(preset, source, destination, options);
}

void ConversionRun::cancel()
{
    m_conversion.cancel();
}
