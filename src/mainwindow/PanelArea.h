#pragma once

#include <QList>
#include <QWidget>

class QScrollArea;
class QTabWidget;

// The one area under the form for what the form has no room for: a row of tabs (a page tab list
// for screen readers, Ctrl+Tab and the tabs' access keys) over one page at a time. Each page
// scrolls inside when the area is smaller than the page needs, so that the window fits a small
// screen.
class PanelArea : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(PanelArea)

public:
    // The height the area asks for, and the least it is given on a small screen.
    static constexpr int PreferredHeight = 250;
    static constexpr int LeastHeight = 100;

    explicit PanelArea(QWidget *parent = nullptr);

    // Adds a page under its tab ("&Queue"), after those there; the area owns it from then on.
    void addPage(QWidget *page, const QString &title);
    void showPage(QWidget *page);
    // A hidden page's tab is gone, and so are its access keys; another page is shown in its place.
    void setPageVisible(QWidget *page, bool visible);
    bool isPageVisible(QWidget *page) const;
    QWidget *currentPage() const;
    QTabWidget *tabs() const { return m_tabs; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Page {
        QScrollArea *scroll = nullptr; // holds the page; in the tabs while shown
        QString title;
        bool shown = true;
    };
    qsizetype pageIndex(const QWidget *page) const;

    QTabWidget *m_tabs = nullptr;
    QList<Page> m_pages; // in the order the pages were added
};
