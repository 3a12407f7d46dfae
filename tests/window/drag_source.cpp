// Plays the file manager in the real window test: a small window that starts
// a drag of one file URL when pressed, offering a copy, or a copy and a move
// with the move preferred. It tells the test where it is and how
// the drag goes on standard output, one line per step, and stays until its
// standard input closes, since the window fetches the dropped data from it
// after the drag:
//   ready <x> <y>   shown, with the global centre of the window
//   dragging        pressed, the drag has started
//   accepted        the window under the pointer takes the drop
//   finished <n>    the drag is over, with the drop action's value

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QSocketNotifier>
#include <QUrl>
#include <QWidget>

#include <cstdio>

#include <unistd.h>

namespace {

void tell(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class DragSource : public QWidget
{
public:
    DragSource(const QUrl &url, bool preferMove) : url(url), preferMove(preferMove) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (toldReady)
            return;
        toldReady = true;
        const QPoint centre = mapToGlobal(rect().center());
        tell("ready " + QByteArray::number(centre.x()) + ' ' + QByteArray::number(centre.y()));
    }

    void mousePressEvent(QMouseEvent *) override
    {
        auto *data = new QMimeData;
        data->setUrls({url});
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            if (action != Qt::IgnoreAction)
                tell("accepted");
        });
        tell("dragging");
        const Qt::DropAction action = preferMove ? drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction)
                                                 : drag->exec(Qt::CopyAction);
        tell("finished " + QByteArray::number(int(action)));
    }

private:
    const QUrl url;
    const bool preferMove;
    bool toldReady = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The URL comes percent-encoded, so that names in any bytes pass as they are.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3 || (arguments.size() == 3 && arguments.at(2) != "move")) {
        std::fputs("usage: drag_source <file url> [move]\n", stderr);
        return 2;
    }
    DragSource source(QUrl::fromEncoded(arguments.at(1).toLatin1()), arguments.size() == 3);
    source.setGeometry(20, 20, 100, 100);
    source.show();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, &QApplication::quit);
    return app.exec();
}
