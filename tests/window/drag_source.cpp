// Plays the file manager in the real window test: a small window that starts
// a drag of one file when pressed, offering a copy, or a copy and a move
// with the move preferred. Each format=url argument puts that URL into that
// MIME format, so that the drag carries what a given file manager sends. It
// tells the test where it is and how the drag goes on standard output, one
// line per step, and stays until its standard input closes, since the
// window fetches the dropped data from it after the drag:
//   ready <x> <y>   shown, with the global centre of the window
//   dragging        pressed, the drag has started
//   accepted        the window under the pointer takes the drop
//   finished <n>    the drag is over, with the drop action's value

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QSocketNotifier>
#include <QPair>
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

// Each MIME format with the URL it carries.
using Formats = QList<QPair<QString, QByteArray>>;

class DragSource : public QWidget
{
public:
    DragSource(const Formats &formats, bool preferMove) : formats(formats), preferMove(preferMove) {}

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
        for (const auto &format : formats)
            data->setData(format.first, format.second + "\r\n");
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
    const Formats formats;
    const bool preferMove;
    bool toldReady = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The URLs come percent-encoded, so that names in any bytes pass as they are.
    Formats formats;
    bool preferMove = false;
    for (const QString &argument : QApplication::arguments().mid(1)) {
        const int equals = argument.indexOf('=');
        if (argument == "move")
            preferMove = true;
        else if (equals > 0)
            formats.append({argument.left(equals), argument.mid(equals + 1).toLatin1()});
    }
    if (formats.isEmpty()) {
        std::fputs("usage: drag_source <format>=<file url>... [move]\n", stderr);
        return 2;
    }
    DragSource source(formats, preferMove);
    source.setGeometry(20, 20, 100, 100);
    source.show();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, &QApplication::quit);
    return app.exec();
}
