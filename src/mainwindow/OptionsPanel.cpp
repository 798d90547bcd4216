#include "mainwindow/OptionsPanel.h"

#include "workflow/AsideWork.h"
#include "mainwindow/TrackChoices.h"
#include "workflow/LanguageCodes.h"
#include "workflow/ToolProcess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScopedValueRollback>

namespace {

using Tracks = ConversionOptions::Tracks;
using List = TrackChoices::List;


QString tracksText(const QComboBox *box)
{
    return box->currentData().toString();
}

Tracks tracksOf(const QComboBox *box, const QString &option)
{
    ConversionOptions parsed;
    const QString text = tracksText(box);
    if (!text.isEmpty())
        parsed.set(option, text);
    return option == QLatin1String("audio") ? parsed.audio : option == QLatin1String("subtitles") ? parsed.subtitles : parsed.burn;
}

List listOf(const QString &option)
{
    return option == QLatin1String("audio") ? List::Sound : option == QLatin1String("subtitles") ? List::Subtitles : List::Burn;
}

// The first few files that could not be read, with their reasons; a count of the others.
QString unreadableText(const QStringList &reasons)
{
    constexpr qsizetype Shown = 3;
    QString text = reasons.mid(0, Shown).join(QLatin1Char('\n'));
    if (reasons.size() > Shown)
        text += QStringLiteral("\n…and %1 more files cannot be read.").arg(reasons.size() - Shown);
    return text;
}

} // namespace

OptionsPanel::OptionsPanel(QWidget *parent)
    : QWidget(parent), m_reader(&SourceInfo::read), m_finder(&CropDetect::find), m_aside(new AsideWork(this))
{
    build();
    fillTrackLists();
    showCrop();
}

OptionsPanel::~OptionsPanel()
{
    *m_stop = true;
}

void OptionsPanel::setTools(Reader reader, CropFinder finder)
{
    m_reader = std::move(reader);
    m_finder = std::move(finder);
}

bool OptionsPanel::reading() const
{
    return m_reading;
}

QString OptionsPanel::problem() const
{
    return m_problem;
}

void OptionsPanel::focusProblem()
{
    if (m_wrong)
        m_wrong->setFocus(Qt::OtherFocusReason);
}

void OptionsPanel::setSources(const QStringList &sources)
{
    // The same files again (the queue changed around them): what was read still holds.
    if (sources == m_paths && !sources.isEmpty())
        return;
    const int generation = ++m_generation;
    *m_stop = true;
    m_stop = std::make_shared<std::atomic<bool>>(false);
    m_paths = sources;
    m_cropMeasuring = false;
    m_sources.clear();
    m_cropMeasured = false;
    m_cropText.clear();
    m_reading = !sources.isEmpty();
    m_status->setText(sources.isEmpty() ? QStringLiteral("No source chosen: the options apply to the files added next.")
                      : sources.size() == 1 ? QStringLiteral("Reading the source…")
                                            : QStringLiteral("Reading the %1 sources…").arg(sources.size()));
    fillTrackLists();
    showCrop();
    check();
    if (sources.isEmpty())
        return;
    m_aside->run<QList<SourceInfo>>(
        [reader = m_reader, sources, stop = m_stop] {
            const ToolProcess::StopWhen stopping(stop.get());
            QList<SourceInfo> read;
            for (const QString &path : sources)
                read << reader(path);
            return read;
        },
        [this, generation](QList<SourceInfo> read) {
            if (generation != m_generation)
                return;
            m_reading = false;
            QStringList unreadable;
            for (const SourceInfo &info : std::as_const(read)) {
                if (info.ok())
                    m_sources << info;
                else
                    unreadable << info.error;
            }
            m_status->setText(unreadable.isEmpty()
                                  ? (m_sources.size() == 1 ? QStringLiteral("The options apply to %1.").arg(QFileInfo(m_sources.first().path).fileName())
                                                           : QStringLiteral("The options apply to all %1 files.").arg(m_sources.size()))
                                  : unreadableText(unreadable));
            fillTrackLists();
            check();
            emit sourcesRead();
            if (m_crop->currentData().toString() == QLatin1String("auto"))
                findCrop();
        });
}

void OptionsPanel::fillTrackLists()
{
    const struct {
        QComboBox *box;
        const char *option;
    } lists[] = {{m_sound, "audio"}, {m_subtitles, "subtitles"}, {m_burn, "burn"}};
    const QScopedValueRollback filling(m_filling, true);
    for (const auto &list : lists) {
        const Tracks chosen = tracksOf(list.box, QLatin1String(list.option));
        list.box->clear();
        for (const TrackChoices::Choice &choice : TrackChoices::choices(listOf(QLatin1String(list.option)), m_sources))
            list.box->addItem(choice.text, choice.tracks.text());
        chooseTracks(list.box, chosen);
    }
}

void OptionsPanel::chooseTracks(QComboBox *box, const Tracks &tracks)
{
    int index = box->findData(tracks.text());
    for (int i = 0; index < 0 && tracks.kind == Tracks::Kind::Language && i < box->count(); ++i) {
        ConversionOptions item;
        if (!item.set(QStringLiteral("audio"), box->itemData(i).toString()) && item.audio.kind == Tracks::Kind::Language
            && LanguageCodes::matches(tracks.language, item.audio.language)) {
            // The same language under another code: kept as it was given.
            box->setItemData(i, tracks.text());
            index = i;
        }
    }
    if (index < 0) {
        const List list = box == m_sound ? List::Sound : box == m_subtitles ? List::Subtitles : List::Burn;
        box->addItem(TrackChoices::textFor(tracks, list), tracks.text());
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

ConversionOptions OptionsPanel::options() const
{
    ConversionOptions options;
    options.audio = tracksOf(m_sound, QStringLiteral("audio"));
    options.subtitles = tracksOf(m_subtitles, QStringLiteral("subtitles"));
    options.burn = tracksOf(m_burn, QStringLiteral("burn"));
    options.startMs = ConversionOptions::parseTime(m_start->text());
    options.endMs = ConversionOptions::parseTime(m_end->text());
    if (m_end->text().trimmed().isEmpty())
        options.lengthMs = m_lengthMs;
    const QString crop = m_crop->currentData().toString();
    if (crop == QLatin1String("custom"))
        options.set(QStringLiteral("crop"), m_rectangle->text());
    else if (!crop.isEmpty())
        options.set(QStringLiteral("crop"), crop);
    options.metadata = m_metadataBox->isChecked() ? (m_metadata == true ? m_metadata : std::nullopt) : std::optional(false);
    options.keepDate = m_dateBox->isChecked() ? (m_keepDate == true ? m_keepDate : std::nullopt) : std::optional(false);
    return options;
}

void OptionsPanel::setOptions(const ConversionOptions &options)
{
    const QScopedValueRollback filling(m_filling, true);
    chooseTracks(m_sound, options.audio);
    chooseTracks(m_subtitles, options.subtitles);
    chooseTracks(m_burn, options.burn);
    m_start->setText(options.startMs ? ConversionOptions::timeText(*options.startMs) : QString());
    m_end->setText(options.endMs ? ConversionOptions::timeText(*options.endMs) : QString());
    m_lengthMs = options.lengthMs;
    m_end->setPlaceholderText(m_lengthMs ? QStringLiteral("%1 long").arg(ConversionOptions::timeText(*m_lengthMs))
                                         : QStringLiteral("the end"));
    const bool rectangle = options.crop.mode == ConversionOptions::Crop::Mode::Rectangle;
    m_crop->setCurrentIndex(std::max(0, m_crop->findData(rectangle ? QStringLiteral("custom") : options.crop.text())));
    if (rectangle)
        m_rectangle->setText(options.crop.text());
    m_metadata = options.metadata;
    m_keepDate = options.keepDate;
    m_metadataBox->setChecked(options.keepsMetadata());
    m_dateBox->setChecked(options.keepsDate());
    showCrop();
    check();
}

void OptionsPanel::userChanged()
{
    check();
    emit optionsChanged();
}

void OptionsPanel::setStart(qint64 ms)
{
    m_start->setText(ConversionOptions::timeText(ms));
    userChanged();
}

void OptionsPanel::setEnd(qint64 ms)
{
    m_end->setText(ConversionOptions::timeText(ms));
    m_lengthMs.reset();
    userChanged();
}

void OptionsPanel::paintEvent(QPaintEvent *)
{
    // The form's lower band continues below it, as under the queue.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(24, 25, 29));
    painter.setPen(QColor(58, 62, 70));
    painter.drawLine(0, 0, width(), 0);
}
