#include "mainwindow/WindowAccess.h"

#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "mainwindow/Form1.h"
#include "mainwindow/PanelArea.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

namespace {

struct Named {
    QWidget *widget;
    const char *name;
    const char *toolTip;
};

// The field's label: the artwork paints it, so the label itself draws nothing and lets the
// pointer through; it lies over the painted words just above the field, gives the field its
// access key and tells screen readers what labels the field.
void labelField(QWidget *field, const QString &text)
{
    auto *label = new QLabel(text, field->parentWidget());
    label->setBuddy(field);
    const QRect place = field->geometry();
    label->setGeometry(place.x(), place.y() - place.height() * 5 / 6, place.width() / 4, place.height() * 2 / 3);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::transparent);
    label->setPalette(palette);
    label->lower();
}

} // namespace

void setUpWindowAccess(Form1 &form)
{
    const Named named[] = {
        {form.txtSource(), "Source video", "Source video (Alt+S): type a path and press Return, or browse"},
        {form.cmdSource(), "Browse for the source video", "Browse for the source video"},
        {form.cboFormat(), "Convert to", "Convert to (Alt+T): the device or format"},
        {form.txtDest(), "Save as", "Save as (Alt+A): Return converts"},
        {form.cmdDest(), "Choose where to save", "Choose where to save"},
        {form.cmdPause(), "Pause", "Pause the conversion (Alt+P or Pause)"},
        {form.cmdMin(), "Minimise", "Minimise"},
        {form.cmdClose(), "Close", "Close"},
        {form.cmdLogo(), "Zorvik home page", "Zorvik home page"},
        {form.ProBar(), "Conversion progress", nullptr},
    };
    for (const Named &control : named) {
        control.widget->setAccessibleName(QString::fromLatin1(control.name));
        if (control.toolTip)
            control.widget->setToolTip(QString::fromLatin1(control.toolTip));
    }
    // The bar and the logo are looked at and clicked, never typed into.
    form.ProBar()->setFocusPolicy(Qt::NoFocus);
    form.cmdLogo()->setFocusPolicy(Qt::NoFocus);

    labelField(form.txtSource(), QStringLiteral("&Source video"));
    labelField(form.cboFormat(), QStringLiteral("Convert &to"));
    labelField(form.txtDest(), QStringLiteral("Save &as"));
    auto *convert = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_C), &form);
    QObject::connect(convert, &QShortcut::activated, &form, &Form1::cmdConvert_Click);
    // Return in the destination field converts, as the last step of filling the form.
    QObject::connect(form.txtDest(), &QLineEdit::returnPressed, &form, &Form1::cmdConvert_Click);
    orderTabs(form);
    form.txtSource()->setFocus(Qt::OtherFocusReason);
}

void orderTabs(Form1 &form)
{
    // As the window is read: the title strip's buttons, the form's rows left to right (Pause
    // stands between the Browse buttons), Convert, then the panel area's tabs and shown page.
    QList<QWidget *> order{form.cmdMin(), form.cmdClose(), form.txtSource(), form.cmdSource(), form.cboFormat(),
                           form.cmdPause(), form.txtDest(), form.cmdDest(), form.cmdConvert()};
    QWidget *panels = form.panelArea();
    for (QWidget *next = form.nextInFocusChain(); next != &form; next = next->nextInFocusChain()) {
        if (panels->isAncestorOf(next) && next->focusPolicy() & Qt::TabFocus)
            order << next;
    }
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}
