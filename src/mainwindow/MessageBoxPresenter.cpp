#include "mainwindow/MessageBoxPresenter.h"

#include "common/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace MessageBoxPresenter {

namespace {

// The Yes/No questions on show, innermost last.
QList<QMessageBox *> &openQuestions()
{
    static QList<QMessageBox *> boxes;
    return boxes;
}

} // namespace

int present(const QString &text, int style, const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (style & 0xF0) {
    case MessageBoxes::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageBoxes::Question: box.setIcon(QMessageBox::Question); break;
    case MessageBoxes::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MessageBoxes::Information: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    if ((style & 0x0F) == MessageBoxes::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(style & MessageBoxes::DefaultButton2 ? QMessageBox::No : QMessageBox::Yes);
        openQuestions().append(&box);
        const int answer = box.exec();
        openQuestions().removeOne(&box);
        return answer == QMessageBox::Yes ? MessageBoxes::Yes : MessageBoxes::No;
    }
    if ((style & 0x0F) == MessageBoxes::ReplaceKeepAsk) {
        QAbstractButton *replace = box.addButton(QStringLiteral("&Replace all"), QMessageBox::AcceptRole);
        QAbstractButton *keep = box.addButton(QStringLiteral("&Keep all"), QMessageBox::RejectRole);
        box.addButton(QStringLiteral("&Ask for each"), QMessageBox::ActionRole);
        box.setDefaultButton(qobject_cast<QPushButton *>(keep));
        box.exec();
        return box.clickedButton() == replace ? MessageBoxes::Yes
            : box.clickedButton() == keep     ? MessageBoxes::No
                                              : MessageBoxes::Cancel;
    }
    if ((style & 0x0F) == MessageBoxes::FolderOrBeside) {
        QAbstractButton *into = box.addButton(QStringLiteral("&Into a folder…"), QMessageBox::AcceptRole);
        QAbstractButton *beside = box.addButton(QStringLiteral("&Beside the sources"), QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(qobject_cast<QPushButton *>(into));
        box.exec();
        return box.clickedButton() == into ? MessageBoxes::Yes : box.clickedButton() == beside ? MessageBoxes::No : MessageBoxes::Cancel;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageBoxes::Ok;
}

void dismissQuestions()
{
    const QList<QMessageBox *> boxes = openQuestions();
    for (QMessageBox *box : boxes) {
        if (QAbstractButton *no = box->button(QMessageBox::No))
            no->click();
    }
}

} // namespace MessageBoxPresenter
