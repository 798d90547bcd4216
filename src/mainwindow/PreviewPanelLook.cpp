#include "mainwindow/PreviewPanel.h"

#include "mainwindow/TargetChoice.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The other panels' look: the form's field beds and borders, light text, and its orange as a
// two-pixel focus ring on every control. Every text stands at 4.5:1 or more against its bed.
constexpr const char *PanelStyle = R"(
QPushButton, QLineEdit { background: #1e2025; color: #eceef1; border: 1px solid #3a3e46; border-radius: 3px; padding: 2px 7px; }
QPushButton:focus, QLineEdit:focus { border: 2px solid #ff8000; padding: 1px 6px; }
QPushButton:checked { background: #3a3e46; }
QPushButton:disabled { color: #8a8f99; }
QLineEdit:disabled { background: #18191d; }
QSlider { border: 2px solid transparent; border-radius: 3px; }
QSlider:focus { border-color: #ff8000; }
QSlider::groove:horizontal { height: 4px; background: #3a3e46; border-radius: 2px; margin: 0 6px; }
QSlider::sub-page:horizontal { background: #ff8000; border-radius: 2px; margin-left: 6px; }
QSlider::handle:horizontal { width: 12px; margin: -5px -6px; background: #eceef1; border-radius: 6px; }
QSlider::handle:horizontal:disabled { background: #5a5e66; }
QLabel { color: #b8bcc4; }
QLabel[picture="true"] { background: #0d0e10; border: 1px solid #3a3e46; color: #eceef1; padding: 4px; }
QLabel#targetMessage[problem="true"] { color: #ff9d87; }
)";

// Hints from the palette: a style sheet's colour would draw them at half of it, too faint.
void lightHints(QLineEdit *edit)
{
    QPalette palette = edit->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, group == QPalette::Disabled ? QColor(0x8a, 0x8f, 0x99) : QColor(0xec, 0xee, 0xf1));
        palette.setColor(group, QPalette::PlaceholderText, QColor(0x9a, 0xa0, 0xaa));
    }
    edit->setPalette(palette);
}

QPushButton *button(QWidget *parent, const QString &text, const QString &name, const QString &description)
{
    auto *b = new QPushButton(text, parent);
    b->setAccessibleName(name);
    b->setAccessibleDescription(description);
    b->setToolTip(description);
    return b;
}

} // namespace

void PreviewPanel::build()
{
    setObjectName(QStringLiteral("previewPanel"));
    setAccessibleName(QStringLiteral("Preview"));
    setStyleSheet(QLatin1String(PanelStyle));

    m_sourcePicture = new QLabel(this);
    m_resultPicture = new QLabel(this);
    for (QLabel *picture : {m_sourcePicture, m_resultPicture}) {
        picture->setProperty("picture", true);
        picture->setAlignment(Qt::AlignCenter);
        picture->setWordWrap(true);
        picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        picture->setMinimumSize(128, 72);
        picture->installEventFilter(this);
    }
    m_sourcePicture->setObjectName(QStringLiteral("sourcePicture"));
    m_resultPicture->setObjectName(QStringLiteral("resultPicture"));
    m_sourcePicture->setAccessibleName(QStringLiteral("Source"));
    m_resultPicture->setAccessibleName(QStringLiteral("After the preset"));

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(10);
    m_slider->setAccessibleName(QStringLiteral("Position"));
    m_slider->setFocusPolicy(Qt::StrongFocus);
    m_slider->setObjectName(QStringLiteral("position"));
    auto *sliderLabel = new QLabel(QStringLiteral("Positio&n:"), this);
    sliderLabel->setBuddy(m_slider);
    m_time = new QLabel(this);
    m_time->setMinimumWidth(m_time->fontMetrics().horizontalAdvance(QStringLiteral("0:00:00.00 of 0:00:00")));
    m_start = button(this, QStringLiteral("Start &here"), QStringLiteral("Start here"),
                     QStringLiteral("The conversion starts at the time shown (Alt+H)"));
    m_end = button(this, QStringLiteral("&End here"), QStringLiteral("End here"),
                   QStringLiteral("The conversion ends at the time shown (Alt+E)"));
    m_sideBySideButton = button(this, QStringLiteral("Side by si&de"), QStringLiteral("Side by side"),
                                QStringLiteral("Both pictures side by side, or one at a time in the full width (Alt+D)"));
    m_sideBySideButton->setCheckable(true);
    m_sideBySideButton->setChecked(m_sideBySide);
    m_switch = button(this, QStringLiteral("S&witch"), QStringLiteral("Switch pictures"),
                      QStringLiteral("The source and the result in turn, in the same place (Alt+W, or Space on the position)"));
    m_start->setObjectName(QStringLiteral("startHere"));
    m_end->setObjectName(QStringLiteral("endHere"));
    m_sideBySideButton->setObjectName(QStringLiteral("sideBySide"));
    m_switch->setObjectName(QStringLiteral("switchPictures"));
    m_targetChoice = new TargetChoice(this);
    lightHints(m_targetChoice->sizeField());
    lightHints(m_targetChoice->qualityField());
    m_estimate = new QLabel(this);
    m_estimate->setObjectName(QStringLiteral("estimate"));
    m_estimate->setWordWrap(true);
    // Room for two lines: the pictures keep their place while the estimate runs and ends.
    m_estimate->setMinimumHeight(2 * m_estimate->fontMetrics().lineSpacing());
    m_estimate->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_estimate->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);

    auto *pictures = new QHBoxLayout;
    pictures->setSpacing(8);
    pictures->addWidget(m_sourcePicture, 1);
    pictures->addWidget(m_resultPicture, 1);
    auto *positionRow = new QHBoxLayout;
    positionRow->addWidget(sliderLabel);
    positionRow->addWidget(m_slider, 1);
    positionRow->addWidget(m_time);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_start, m_end})
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton *b : {m_sideBySideButton, m_switch})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->setSpacing(3);
    layout->addWidget(m_note);
    layout->addLayout(pictures, 1);
    layout->addLayout(positionRow);
    layout->addLayout(buttons);
    layout->addWidget(m_targetChoice);
    layout->addWidget(m_estimate);

    QWidget *order[] = {m_slider, m_start, m_end, m_sideBySideButton, m_switch,
                        m_targetChoice->sizeField(), m_targetChoice->qualityField()};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    // The time when the button went down: an access key clicks a moment later, by which time a
    // quick hand may have moved the position on.
    connect(m_start, &QPushButton::pressed, this, [this] { m_pressedAt[0] = position(); });
    // At the last second the part ends where the file does, not a fraction before.
    connect(m_end, &QPushButton::pressed, this, [this] {
        const bool last = m_slider->value() == m_slider->maximum() && m_info && m_info->duration;
        m_pressedAt[1] = last ? qint64(std::ceil(*m_info->duration * 1000)) : position();
    });
    connect(m_start, &QPushButton::clicked, this, [this] { emit startChosen(m_pressedAt[0]); });
    connect(m_end, &QPushButton::clicked, this, [this] { emit endChosen(m_pressedAt[1]); });
    connect(m_switch, &QPushButton::clicked, this, &PreviewPanel::switchPictures);
    connect(m_sideBySideButton, &QPushButton::toggled, this, [this](bool checked) {
        m_sideBySide = checked;
        showPictures();
    });
    // One key flips between the pictures while the time is chosen.
    auto *space = new QShortcut(QKeySequence(Qt::Key_Space), m_slider, nullptr, nullptr, Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, &PreviewPanel::switchPictures);
}

void PreviewPanel::switchPictures()
{
    if (m_sideBySide) {
        m_sideBySide = false;
        m_resultAlone = true;
    } else {
        m_resultAlone = !m_resultAlone;
    }
    const QSignalBlocker blocker(m_sideBySideButton);
    m_sideBySideButton->setChecked(m_sideBySide);
    showPictures();
}

void PreviewPanel::showPictures()
{
    m_sourcePicture->setVisible(m_sideBySide || !m_resultAlone);
    m_resultPicture->setVisible(m_sideBySide || m_resultAlone);
    scalePicture(m_sourcePicture, m_sourceImage);
    scalePicture(m_resultPicture, m_resultImage);
}

void PreviewPanel::scalePicture(QLabel *label, const QImage &image)
{
    if (image.isNull()) {
        // A text set meanwhile (why there is none) has taken the picture's place already.
        if (!label->pixmap().isNull())
            label->clear();
        return;
    }
    const QSize room = label->contentsRect().size();
    label->setPixmap(QPixmap::fromImage(image.scaled(room.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PreviewPanel::showPositionText()
{
    const QString text = QStringLiteral("%1 of %2").arg(timeText(position()), timeText(m_info && m_info->duration ? qint64(*m_info->duration * 1000) : 0));
    m_time->setText(m_slider->isEnabled() ? text : QString());
    // No time to choose, none to offer as the start or the end.
    m_start->setEnabled(m_slider->isEnabled());
    m_end->setEnabled(m_slider->isEnabled());
    // The slider's value is the seconds; the description says them as a time.
    m_slider->setAccessibleDescription(m_slider->isEnabled() ? text : QStringLiteral("No source to choose a time in"));
}

bool PreviewPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && (watched == m_sourcePicture || watched == m_resultPicture))
        scalePicture(static_cast<QLabel *>(watched), watched == m_sourcePicture ? m_sourceImage : m_resultImage);
    return QWidget::eventFilter(watched, event);
}

void PreviewPanel::paintEvent(QPaintEvent *)
{
    // The form's lower band continues below it, as under the other panels.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(24, 25, 29));
    painter.setPen(QColor(58, 62, 70));
    painter.drawLine(0, 0, width(), 0);
}
