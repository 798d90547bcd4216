#include "mainwindow/OptionsPanel.h"

#include "mainwindow/ChoiceList.h"
#include "workflow/AsideWork.h"
#include "workflow/ToolProcess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// The queue's look: the form's field beds and borders, light text, and its orange as the focus
// ring (two pixels, on every control). Every text stands at 4.5:1 or more against its bed.
constexpr const char *PanelStyle = R"(
QComboBox, QLineEdit { background: #1e2025; border: 1px solid #3a3e46; border-radius: 3px; padding: 2px 7px; }
QComboBox { color: #eceef1; combobox-popup: 0; }
QComboBox:focus, QLineEdit:focus { border: 2px solid #ff8000; padding: 1px 6px; }
QComboBox:disabled { color: #8a8f99; }
QComboBox:disabled, QLineEdit:disabled { background: #18191d; }
QComboBox QAbstractItemView { background: #1e2025; color: #eceef1; selection-background-color: #ff8000; selection-color: #000000; }
QCheckBox { color: #eceef1; border: 2px solid transparent; border-radius: 3px; padding: 1px 4px; }
QCheckBox:focus { border-color: #ff8000; }
QCheckBox::indicator { width: 12px; height: 12px; border: 1px solid #8a8f99; background: #0d0e10; border-radius: 2px; }
QCheckBox::indicator:checked { background: #ff8000; border-color: #ff8000; }
QLabel { color: #b8bcc4; }
QLabel#optionsMessage { color: #ff9d87; }
)";

// A field's label with its access key, named to screen readers through the buddy.
QLabel *labelFor(QWidget *field, const QString &text, const QString &name, const QString &description)
{
    auto *label = new QLabel(text, field->parentWidget());
    label->setBuddy(field);
    field->setAccessibleName(name);
    field->setAccessibleDescription(description);
    field->setToolTip(description);
    return label;
}

QSize shownSize(const SourceInfo::Stream &picture)
{
    return picture.rotation % 180 != 0 ? QSize(picture.height, picture.width) : QSize(picture.width, picture.height);
}

} // namespace

void OptionsPanel::build()
{
    setObjectName(QStringLiteral("optionsPanel"));
    setAccessibleName(QStringLiteral("Options"));
    setStyleSheet(QLatin1String(PanelStyle));
    m_sound = new QComboBox(this);
    m_subtitles = new QComboBox(this);
    m_burn = new QComboBox(this);
    m_start = new QLineEdit(this);
    m_end = new QLineEdit(this);
    m_crop = new QComboBox(this);
    // Read with their choice, and again when it changes.
    for (QComboBox *box : {m_sound, m_subtitles, m_burn, m_crop})
        keepChoiceReadable(*box);
    m_rectangle = new QLineEdit(this);
    m_found = new QLabel(this);
    m_metadataBox = new QCheckBox(QStringLiteral("Keep c&hapters, title and tags"), this);
    m_dateBox = new QCheckBox(QStringLiteral("Keep the file's &date"), this);
    m_status = new QLabel(this);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("optionsMessage"));
    const std::pair<QWidget *, const char *> names[] = {
        {m_sound, "sound"}, {m_subtitles, "subtitles"}, {m_burn, "burn"}, {m_start, "start"}, {m_end, "end"},
        {m_crop, "crop"}, {m_rectangle, "rectangle"}, {m_metadataBox, "keepMetadata"}, {m_dateBox, "keepDate"}};
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));
    for (QLabel *text : {m_status, m_message, m_found}) {
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::NoTextInteraction);
    }
    for (QComboBox *box : {m_sound, m_subtitles, m_burn, m_crop}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
    }
    m_crop->addItem(QStringLiteral("The preset's choice"), QString());
    m_crop->addItem(QStringLiteral("None"), QStringLiteral("none"));
    m_crop->addItem(QStringLiteral("Automatic"), QStringLiteral("auto"));
    m_crop->addItem(QStringLiteral("Custom"), QStringLiteral("custom"));
    m_start->setPlaceholderText(QStringLiteral("the beginning"));
    m_end->setPlaceholderText(QStringLiteral("the end"));
    m_rectangle->setPlaceholderText(QStringLiteral("W:H:X:Y"));
    // The fields' text comes from the palette: a style sheet's colour would draw the hints at
    // half of it, too faint on the dark bed.
    for (QLineEdit *edit : {m_start, m_end, m_rectangle}) {
        QPalette palette = edit->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Text, group == QPalette::Disabled ? QColor(0x8a, 0x8f, 0x99) : QColor(0xec, 0xee, 0xf1));
            palette.setColor(group, QPalette::PlaceholderText, QColor(0x9a, 0xa0, 0xaa));
        }
        edit->setPalette(palette);
    }
    m_metadataBox->setChecked(true);
    m_dateBox->setChecked(true);
    m_metadataBox->setAccessibleDescription(QStringLiteral("Keep the source's chapters, title, tags and track names (Alt+H)"));
    m_dateBox->setAccessibleDescription(QStringLiteral("Give the new file the source's modification date (Alt+D)"));

    const QString time = QStringLiteral("as [[h:]m:]s[.ms], for example 90, 1:30 or 1:02:03.5");
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    const auto field = [grid](QWidget *widget, QLabel *label, int row, int column, int span = 1) {
        grid->addWidget(label, row, column);
        grid->addWidget(widget, row, column + 1, 1, span);
    };
    field(m_sound, labelFor(m_sound, QStringLiteral("Sound trac&k:"), QStringLiteral("Sound track"),
                            QStringLiteral("Which sound tracks go into the file (Alt+K)")), 0, 0, 3);
    field(m_subtitles, labelFor(m_subtitles, QStringLiteral("Su&btitles:"), QStringLiteral("Subtitles"),
                                QStringLiteral("Which subtitle tracks go into the file (Alt+B)")), 1, 0);
    field(m_burn, labelFor(m_burn, QStringLiteral("Burn &in:"), QStringLiteral("Burn in subtitles"),
                           QStringLiteral("A subtitle track drawn into the picture (Alt+I)")), 1, 2);
    field(m_start, labelFor(m_start, QStringLiteral("Start &from:"), QStringLiteral("Start"),
                            QStringLiteral("Where the part begins (Alt+F), ") + time + QStringLiteral("; empty: the beginning")), 2, 0);
    field(m_end, labelFor(m_end, QStringLiteral("&End:"), QStringLiteral("End"),
                          QStringLiteral("Where the part ends (Alt+E), ") + time + QStringLiteral("; empty: the end")), 2, 2);
    field(m_crop, labelFor(m_crop, QStringLiteral("Crop &margins:"), QStringLiteral("Crop"),
                           QStringLiteral("Which part of the picture is kept (Alt+M)")), 3, 0);
    field(m_rectangle, labelFor(m_rectangle, QStringLiteral("Rectan&gle:"), QStringLiteral("Crop rectangle"),
                                QStringLiteral("The picture kept, as width:height:x:y in pixels (Alt+G)")), 3, 2);
    grid->addWidget(m_found, 4, 1, 1, 3);
    grid->addWidget(m_metadataBox, 5, 0, 1, 2);
    grid->addWidget(m_dateBox, 5, 2, 1, 2);
    grid->addWidget(m_status, 6, 0, 1, 4);
    grid->addWidget(m_message, 7, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(8, 1);

    QWidget *order[] = {m_sound, m_subtitles, m_burn, m_start, m_end, m_crop, m_rectangle, m_metadataBox, m_dateBox};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (QComboBox *box : {m_sound, m_subtitles, m_burn})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_filling)
                userChanged();
        });
    connect(m_crop, &QComboBox::currentIndexChanged, this, [this] {
        if (m_crop->currentData().toString() == QLatin1String("custom") && m_rectangle->text().isEmpty())
            m_rectangle->setText(m_cropFirst);
        showCrop();
        if (m_crop->currentData().toString() == QLatin1String("auto"))
            findCrop();
        if (!m_filling)
            userChanged();
    });
    for (QLineEdit *field : {m_start, m_end, m_rectangle})
        connect(field, &QLineEdit::textEdited, this, &OptionsPanel::userChanged);
    connect(m_end, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!text.isEmpty())
            m_lengthMs.reset();
    });
    for (QCheckBox *box : {m_metadataBox, m_dateBox})
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!m_filling)
                userChanged();
        });
}

void OptionsPanel::showCrop()
{
    const QString mode = m_crop->currentData().toString();
    m_rectangle->setEnabled(mode == QLatin1String("custom"));
    QString found;
    if (mode == QLatin1String("auto") || m_cropMeasured) {
        if (m_paths.isEmpty())
            found = QStringLiteral("Measured on each file when it runs");
        else if (m_cropMeasured)
            found = m_cropText;
        else
            found = QStringLiteral("Measuring the black bars…");
    }
    m_found->setText(found);
    m_found->setVisible(!found.isEmpty());
    m_crop->setAccessibleDescription(QStringLiteral("Which part of the picture is kept (Alt+M)")
                                     + (found.isEmpty() ? QString() : QStringLiteral(". ") + found));
}

void OptionsPanel::findCrop()
{
    if (m_cropMeasured || m_cropMeasuring || m_reading || m_sources.isEmpty())
        return;
    m_cropMeasuring = true;
    const int generation = m_generation;
    m_aside->run<QStringList>(
        [finder = m_finder, sources = m_sources, stop = m_stop] {
            const ToolProcess::StopWhen stopping(stop.get());
            QStringList found;
            for (const SourceInfo &info : sources) {
                const CropDetect::Found crop = finder(info);
                found << (crop.crop ? CropDetect::text(*crop.crop) : crop.note.isEmpty() ? QStringLiteral("no black bars") : crop.note);
            }
            return found;
        },
        [this, generation](QStringList found) {
            if (generation != m_generation)
                return;
            m_cropMeasuring = false;
            m_cropMeasured = true;
            m_cropFirst = found.value(0).contains(QLatin1Char(':')) ? found.value(0) : QString();
            QStringList lines;
            for (qsizetype i = 0; i < found.size(); ++i)
                lines << (found.size() == 1 ? QStringLiteral("Found: ") + found.at(i)
                                            : QFileInfo(m_sources.at(i).path).fileName() + QStringLiteral(": ") + found.at(i));
            m_cropText = lines.join(QLatin1Char('\n'));
            showCrop();
            emit cropFound();
        });
}

void OptionsPanel::check()
{
    QStringList problems;
    QLineEdit *wrong = nullptr;
    const auto time = [&](QLineEdit *field, const QString &name) -> std::optional<qint64> {
        const QString text = field->text().trimmed();
        if (text.isEmpty())
            return std::nullopt;
        const std::optional<qint64> ms = ConversionOptions::parseTime(text);
        if (!ms) {
            problems << QStringLiteral("%1: \"%2\" is not a time; write [[h:]m:]s[.ms], for example 90, 1:30 or 1:02:03.5")
                            .arg(name, text.left(40));
            wrong = wrong ? wrong : field;
        }
        return ms;
    };
    const std::optional<qint64> start = time(m_start, QStringLiteral("Start"));
    const std::optional<qint64> end = time(m_end, QStringLiteral("End"));
    if (start && end && *end <= *start) {
        wrong = wrong ? wrong : m_end;
        problems << QStringLiteral("The end (%1) must come after the start (%2).")
                        .arg(ConversionOptions::timeText(*end), ConversionOptions::timeText(*start));
    }
    for (const SourceInfo &info : std::as_const(m_sources)) {
        if (start && info.duration && *start >= qint64(*info.duration * 1000)) {
            wrong = wrong ? wrong : m_start;
            problems << QStringLiteral("The start (%1) lies past the end of %2 (%3).")
                            .arg(ConversionOptions::timeText(*start), QFileInfo(info.path).fileName(),
                                 ConversionOptions::timeText(qint64(*info.duration * 1000)));
        }
    }
    if (m_crop->currentData().toString() == QLatin1String("custom")) {
        ConversionOptions parsed;
        if (parsed.set(QStringLiteral("crop"), m_rectangle->text())) {
            problems << QStringLiteral("The rectangle takes width:height:x:y in pixels, at least 2:2, for example 1920:800:0:140.");
            wrong = wrong ? wrong : m_rectangle;
        } else {
            // A rectangle outside a picture is the rectangle's fault.
            const qsizetype before = problems.size();
            const QRect kept(parsed.crop.x, parsed.crop.y, parsed.crop.width, parsed.crop.height);
            for (const SourceInfo &info : std::as_const(m_sources)) {
                const std::optional<SourceInfo::Stream> picture = info.picture();
                if (picture && !QRect(QPoint(0, 0), shownSize(*picture)).contains(kept))
                    problems << QStringLiteral("The rectangle reaches outside the picture of %1 (%2x%3).")
                                    .arg(QFileInfo(info.path).fileName())
                                    .arg(shownSize(*picture).width())
                                    .arg(shownSize(*picture).height());
            }
            if (problems.size() > before)
                wrong = wrong ? wrong : m_rectangle;
        }
    }
    m_problem = problems.join(QLatin1Char('\n'));
    m_wrong = wrong;
    // A screen reader says what is wrong when the field at fault takes the focus.
    for (QLineEdit *field : {m_start, m_end, m_rectangle}) {
        const QString usual = field->toolTip();
        field->setAccessibleDescription(field == wrong ? m_problem + QLatin1Char(' ') + usual : usual);
    }
    m_message->setText(m_problem);
    m_message->setVisible(!m_problem.isEmpty());
}
