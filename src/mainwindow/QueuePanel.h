#pragma once

#include <QWidget>

class QListView;
class QueueModel;
class QPushButton;
class QSpinBox;
class WindowQueue;

// The queue below the form, in the window's dark look: each item's source, preset, destination
// and state, with remove, move up and down, clear finished, and how many conversions run at once.
// Every control is named for screen readers and reached by the keyboard (Delete removes, Alt+Up
// and Alt+Down move the chosen item).
class QueuePanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(QueuePanel)

public:
    QueuePanel(WindowQueue &queue, QWidget *parent = nullptr);

    QListView *itemList() const { return m_items; }
    // A control of another part (the watch folder's) and a line of text beside it, in a row below
    // the panel's own buttons.
    void addControl(QWidget *control, QWidget *line);
    QueueModel *model() const { return m_model; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void removeChosen();
    void moveChosen(int by);
    void updateButtons();
    int chosenRow() const;

    WindowQueue &m_queue;
    QueueModel *m_model = nullptr;
    QListView *m_items = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
    QPushButton *m_clear = nullptr;
    QSpinBox *m_atOnce = nullptr;
    class QVBoxLayout *m_layout = nullptr;
};
