#include "mainwindow/MessageBoxPresenter.h"

#include "common/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace MessageBoxPresenter {

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
    if ((style & 0x0F) == 4) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageBoxes::Yes : MessageBoxes::No;
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
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageBoxes::Ok;
}

} // namespace MessageBoxPresenter
