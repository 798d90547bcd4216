#include "update/UpdateWindow.h"

#include "common/MessageBoxes.h"
#include "update/ShellOpen.h"
#include "update/WebAddresses.h"

UpdateWindow::UpdateWindow(QObject *parent)
    : QObject(parent), m_server(new WebNavigator(this))
{
    connect(m_server, &WebNavigator::NavigateComplete, this, &UpdateWindow::ZorvikServer_NavigateComplete);
}

void UpdateWindow::ZorvikServer_NavigateComplete(const QUrl &URL)
{
    // The endpoint answers by where it leads the browser: an address ending in "yes" or "no".
    const QString address = URL.toString();
    if (address.endsWith(QLatin1String("yes"), Qt::CaseSensitive))
        UpdateMe(true);
    else if (address.endsWith(QLatin1String("no"), Qt::CaseSensitive))
        UpdateMe(false);
}

void UpdateWindow::UpdateMe(bool available)
{
    if (available) {
        const int answer = MessageBoxes::show(QStringLiteral("A new Update is Available. Do you want to download it Now?"),
                                              4, QStringLiteral("Update Available !"));
        if (answer == MessageBoxes::Yes)
            ShellOpen(WebAddresses::productPage());
    } else if (m_reportUpToDate) {
        MessageBoxes::show(QStringLiteral("Your software is currently upto date. Please check again later."),
                           MessageBoxes::OkOnly, QStringLiteral("You have the Latest Version !"));
    }
    m_reportUpToDate = false;
    emit answered(available);
}

void runUpdateQuery(UpdateWindow *&window, QObject *owner)
{
    if (!window)
        window = new UpdateWindow(owner);
    window->ZorvikServer()->Navigate(WebAddresses::updateQuery());
}
