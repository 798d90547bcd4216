#pragma once

#include <QWidget>

class QComboBox;
class QListWidget;
class QPushButton;
class WindowQueue;

// The queue below the form, in the window's dark look: each item's source, preset, destination
// and state, with remove, move up and down, clear finished, and how many conversions run at once.
// Every control is named for screen readers and reached by the keyboard (Delete removes, Alt+Up
// and Alt+Down move the chosen item).
class QueuePanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(QueuePanel)

public:
    static constexpr int PanelHeight = 170;

    QueuePanel(WindowQueue &queue, QWidget *parent = nullptr);

    QListWidget *itemList() const { return m_items; }

    // Redraws the rows from the queue.
    void refresh();

    // "a.avi → a.mp4 · iPOD Video (320x240) MPEG4 · Converting 42 %"
    static QString rowText(const QString &source, const QString &destination, const QString &preset, const QString &state);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void removeChosen();
    void moveChosen(int by);
    void updateButtons();

    WindowQueue &m_queue;
    QListWidget *m_items = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
    QPushButton *m_clear = nullptr;
    QComboBox *m_atOnce = nullptr;
};
