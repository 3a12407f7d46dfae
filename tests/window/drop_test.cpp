#include "mainwindow.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace WindowDriver;

class DropTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { window = new MainWindow; }
    void cleanup() { delete window; }

    void dragAndDrop_data();
    void dragAndDrop();
    void drops_data();
    void drops();
    void dropWithoutUrlsChangesNothing();
    void markupInNamesShowsLiterally_data();
    void markupInNamesShowsLiterally();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    QByteArray nativePath(const QByteArray &name) const { return QFile::encodeName(dir.path()) + '/' + name; }
    void writeFile(const QString &name, const QByteArray &contents);
    void writeNativeFile(const QByteArray &name, const QString &shownName, const QByteArray &bytes);

    QTemporaryDir dir;
    QHash<QString, QByteArray> contents;
    QList<QByteArray> nativeNames;
    MainWindow *window = nullptr;
};

namespace {

const QString spacedName = QString::fromUtf8("带 空格 的目录/文件 名 中文.txt");

} // namespace

void DropTest::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    contents.insert(path(name), bytes);
}

// A name in bytes that are not UTF-8, as archives from other systems leave them.
void DropTest::writeNativeFile(const QByteArray &name, const QString &shownName, const QByteArray &bytes)
{
    QVERIFY(writeNamedFile(nativePath(name), bytes));
    contents.insert(path(shownName), bytes);
    nativeNames.append(name);
}

void DropTest::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QString::fromUtf8("带 空格 的目录")));
    writeFile("a.bin", "first file");
    writeFile("b.bin", "second file");
    writeFile(spacedName, QString::fromUtf8("中文内容\n").toUtf8());
    writeNativeFile("\xC4\xE3\xBA\xC3.txt", "\\xC4\\xE3\\xBA\\xC3.txt", "gbk name");
    writeNativeFile("caf\xE9 \xE4\xB8\xAD.txt", QString::fromUtf8("caf\\xE9 中.txt"), "latin-1 beside utf-8");
}

// The toolkit cannot remove names that are not UTF-8.
void DropTest::cleanupTestCase()
{
    for (const QByteArray &name : nativeNames)
        ::unlink(nativePath(name).constData());
}

void DropTest::dragAndDrop_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<bool>("shiftHeld");
    QTest::addColumn<bool>("onlyMoveOffered");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("reportedAction");

    const QList<QUrl> file{QUrl::fromLocalFile(path("a.bin"))};
    QTest::newRow("one file") << file << false << false << true << int(Qt::CopyAction);
    QTest::newRow("several files") << QList<QUrl>{QUrl::fromLocalFile("/a"), QUrl::fromLocalFile("/b")} << false
                                   << false << true << int(Qt::CopyAction);
    // What the URL names is looked at only on the drop.
    QTest::newRow("web link") << QList<QUrl>{QUrl("https://example.com/a.bin")} << false << false << true
                              << int(Qt::IgnoreAction);
    QTest::newRow("no urls") << QList<QUrl>() << false << false << false << int(Qt::IgnoreAction);
    // Some sources delete the original after a move.
    QTest::newRow("shift proposes a move") << file << true << false << true << int(Qt::CopyAction);
    QTest::newRow("source offers only a move") << file << false << true << false << int(Qt::IgnoreAction);
}

void DropTest::dragAndDrop()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(bool, shiftHeld);
    QFETCH(bool, onlyMoveOffered);
    QFETCH(bool, taken);
    QFETCH(int, reportedAction);

    QMimeData data;
    if (urls.isEmpty())
        data.setText("/tmp/x");
    else
        data.setUrls(urls);
    const Qt::DropActions actions = onlyMoveOffered ? Qt::MoveAction : offeredActions;
    const Qt::KeyboardModifiers modifiers = shiftHeld ? Qt::ShiftModifier : Qt::NoModifier;
    QCOMPARE(WindowDriver::dragEnter(window, data, actions, modifiers), taken);
    // The toolkit delivers no drop for a drag the window refused.
    if (taken)
        QCOMPARE(int(WindowDriver::drop(window, data, actions, modifiers)), reportedAction);
}

void DropTest::drops_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QList<QUrl>>("dropped");
    QTest::addColumn<QString>("expected");

    const QUrl a = QUrl::fromLocalFile(path("a.bin"));
    const QUrl b = QUrl::fromLocalFile(path("b.bin"));
    const QUrl web("https://example.com/b.bin");
    const auto onHost = [](QUrl url, const QString &host) {
        url.setHost(host);
        return url;
    };

    QTest::newRow("one file") << QString() << QList<QUrl>{a} << path("a.bin");
    QTest::newRow("several files take the first") << QString() << QList<QUrl>{a, b} << path("a.bin");
    QTest::newRow("later file replaces earlier") << path("a.bin") << QList<QUrl>{b} << path("b.bin");
    QTest::newRow("web link keeps the earlier file") << path("a.bin") << QList<QUrl>{web} << path("a.bin");
    QTest::newRow("only the first url counts") << path("a.bin") << QList<QUrl>{web, b} << path("a.bin");
    QTest::newRow("spaces and chinese") << QString() << QList<QUrl>{QUrl::fromLocalFile(path(spacedName))}
                                        << path(spacedName);
    QTest::newRow("gbk name") << QString() << QList<QUrl>{fileUrl(nativePath("\xC4\xE3\xBA\xC3.txt"))}
                              << path("\\xC4\\xE3\\xBA\\xC3.txt");
    QTest::newRow("latin-1 beside utf-8") << QString()
                                          << QList<QUrl>{fileUrl(nativePath("caf\xE9 \xE4\xB8\xAD.txt"))}
                                          << path(QString::fromUtf8("caf\\xE9 中.txt"));
    QTest::newRow("localhost") << QString() << QList<QUrl>{onHost(a, "localhost")} << path("a.bin");
    QTest::newRow("this machine's name") << QString() << QList<QUrl>{onHost(b, QSysInfo::machineHostName())}
                                         << path("b.bin");
    QTest::newRow("another machine keeps the earlier file") << path("a.bin") << QList<QUrl>{onHost(b, "fileserver")}
                                                            << path("a.bin");
    // The system would stop reading the name at the zero byte: a.bin.
    QTest::newRow("zero byte keeps the earlier file")
        << path("b.bin") << QList<QUrl>{fileUrl(nativePath(QByteArray("a.bin\0.txt", 10)))} << path("b.bin");
}

void DropTest::drops()
{
    QFETCH(QString, earlier);
    QFETCH(QList<QUrl>, dropped);
    QFETCH(QString, expected);

    if (!earlier.isEmpty())
        dropFile(window, earlier);
    dropUrls(window, dropped);

    QCOMPARE(labelText(window), expected);
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of(contents.value(expected)));
}

void DropTest::dropWithoutUrlsChangesNothing()
{
    dropFile(window, path("a.bin"));
    // Straight to the handler: the toolkit would not deliver a drop whose
    // drag the window refused.
    QMimeData text;
    text.setText(QUrl::fromLocalFile(path("b.bin")).toString());
    QDropEvent event(QPointF(window->rect().center()), offeredActions, &text, Qt::LeftButton, Qt::NoModifier);
    QVERIFY(QMetaObject::invokeMethod(window, "dropEvent", Qt::DirectConnection, Q_ARG(QDropEvent *, &event)));

    QCOMPARE(labelText(window), path("a.bin"));
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of(contents.value(path("a.bin"))));
}

void DropTest::markupInNamesShowsLiterally_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("tags") << QString::fromUtf8("<b>粗体.txt");
    QTest::newRow("image tag") << "<img src=a.png>";
    QTest::newRow("entity and double space") << "a&lt;b  c.txt";
}

void DropTest::markupInNamesShowsLiterally()
{
    QFETCH(QString, name);
    writeFile(name, name.toUtf8());

    dropFile(window, path(name));

    QCOMPARE(shownText(labelText(window)), path(name));
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of(name.toUtf8()));
}

QTEST_MAIN(DropTest)
#include "drop_test.moc"
