#include "mainwindow/FormControls.h"

#include "common/StepGuard.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "mainwindow/FormatBox.h"
#include "mainwindow/StoredForm.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

namespace {

// The text controls sit on dark beds in the artwork.
constexpr const char *TextControlStyle = R"(
QLineEdit {
    background: #0d0e10; color: #eceef1; border: 1px solid #3a3e46; border-radius: 3px;
    padding: 0 5px; selection-background-color: #ff8000; selection-color: #000000;
}
QLineEdit:focus { border-color: #ff8000; }
)";

QPalette darkPalette(QPalette palette)
{
    const QColor base(13, 14, 16), face(30, 32, 37), text(236, 238, 241);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Window, face);
        palette.setColor(group, QPalette::Button, face);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Highlight, QColor(255, 128, 0));
        palette.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    return palette;
}

// Where each of the form's buttons is kept.
struct ButtonPlace {
    const char *name;
    TavloClick *FormControls::*member;
};
constexpr ButtonPlace ButtonPlaces[] = {
    {"cmdSource", &FormControls::cmdSource}, {"cmdDest", &FormControls::cmdDest},
    {"cmdConvert", &FormControls::cmdConvert}, {"cmdPause", &FormControls::cmdPause},
    {"cmdLogo", &FormControls::cmdLogo}, {"cmdMin", &FormControls::cmdMin},
    {"cmdClose", &FormControls::cmdClose},
};

} // namespace

FormControls::FormControls(QWidget &window, const StoredForm &form)
{
    QList<QPair<int, QWidget *>> tabOrder;
    for (const StoredControl &stored : form.controls) {
        QWidget *widget = nullptr;
        if (stored.kind == QLatin1String("TavloClick")) {
            auto *button = new TavloClick(&window);
            for (const ButtonPlace &place : ButtonPlaces) {
                if (stored.name == QLatin1String(place.name))
                    this->*place.member = button;
            }
            widget = button;
        } else if (stored.kind == QLatin1String("TavloProBar")) {
            widget = proBar = new TavloProBar(&window);
        } else if (stored.kind == QLatin1String("TextBox")) {
            widget = (stored.name == QLatin1String("txtSource") ? txtSource : txtDest) = new QLineEdit(&window);
        } else if (stored.kind == QLatin1String("ComboBox")) {
            widget = cboFormat = new FormatBox(&window);
            cboFormat->setMaxVisibleItems(27);
        }
        if (!widget)
            continue;
        widget->setObjectName(stored.name);
        widget->setGeometry(stored.geometry);
        if (auto *button = qobject_cast<TavloClick *>(widget))
            StepGuard("ReadProperties").run([&] { button->ReadProperties(stored.properties); });
        else if (auto *bar = qobject_cast<TavloProBar *>(widget))
            StepGuard("ReadProperties").run([&] { bar->ReadProperties(stored.properties); });
        else if (stored.font)
            widget->setFont(*stored.font);
        tabOrder.append({stored.tabIndex, widget});
    }
    Q_ASSERT(txtSource && txtDest && cboFormat && proBar && cmdSource && cmdDest && cmdConvert && cmdPause && cmdMin
             && cmdClose && cmdLogo);
    txtSource->setStyleSheet(QLatin1String(TextControlStyle));
    txtDest->setStyleSheet(QLatin1String(TextControlStyle));
    cboFormat->setPalette(darkPalette(cboFormat->palette()));
    // The list opens as wide as its longest name, which may be wider than the box.
    QAbstractItemView *list = cboFormat->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width()
                          + 2 * list->frameWidth());
    std::sort(tabOrder.begin(), tabOrder.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder.at(i - 1).second, tabOrder.at(i).second);
    // Shown only while something converts.
    cmdPause->hide();
}
