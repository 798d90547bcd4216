// A window that drags the files named on its command line, as a file manager does: a press on it
// starts the drag (through Qt's own drag and drop, the XDND protocol), and it ends when the drop
// has been answered.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QList<QUrl> urls)
        : m_urls(std::move(urls))
    {
        setWindowTitle(QStringLiteral("drag source"));
        setFixedSize(120, 80);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        data->setUrls(m_urls);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction);
        std::fprintf(stderr, "drag_source: %s\n", action == Qt::CopyAction ? "dropped" : "not taken");
        // The target may still be reading what was dropped.
        QTimer::singleShot(3000, [action] { QApplication::exit(action == Qt::CopyAction ? 0 : 1); });
    }

private:
    QList<QUrl> m_urls;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (const QString &path : QApplication::arguments().mid(1))
        urls << QUrl::fromLocalFile(path);
    DragSource source(urls);
    // In the screen's lower right corner, clear of the window it drags onto.
    const QRect screen = QApplication::primaryScreen()->geometry();
    source.move(screen.right() - source.width(), screen.bottom() - source.height());
    source.show();
    return app.exec();
}
