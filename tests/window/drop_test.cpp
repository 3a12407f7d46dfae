#include "mainwindow.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace WindowDriver;

namespace {

const QString spacedName = QString::fromUtf8("带 空格 的目录/文件 名 中文.txt");
// Three folders of 108 characters each.
const QString longFolders = (QString::fromUtf8("一个很长的目录名") + QString(100, QChar('d')) + '/').repeated(3);

} // namespace

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
#ifdef Q_OS_WIN
    // Another machine's file, on a share: the Wine that runs these tests
    // shares the temporary folder as \\md5tool-test\temp.
    QString sharePath(const QString &name) const
    {
        return "//md5tool-test/temp/" + QDir(dir.path()).dirName() + '/' + name;
    }
#endif
    // Past the 260 characters at which Windows used to stop.
    QString longPath() const { return path(longFolders + "x.bin"); }
    QByteArray nativePath(const QByteArray &name) const { return QFile::encodeName(dir.path()) + '/' + name; }
    void writeFile(const QString &name, const QByteArray &contents);
    void writeNativeFile(const QByteArray &name, const QString &shownName, const QByteArray &bytes);

    QTemporaryDir dir;
    QHash<QString, QByteArray> contents;
    QList<QByteArray> nativeNames;
    MainWindow *window = nullptr;
};

void DropTest::writeFile(const QString &name, const QByteArray &bytes)
{
    QVERIFY(writeNamedFile(nativeName(path(name)), bytes));
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
#ifdef Q_OS_WIN
    contents.insert(sharePath("b.bin"), contents.value(path("b.bin")));
    // Names that the usual normalisation would take for one another.
    writeFile("name.", "with a dot");
    writeFile("name", "without");
    writeFile("name ", "with a space");
    contents.insert(sharePath("name "), contents.value(path("name ")));
#endif
    writeFile(spacedName, QString::fromUtf8("中文内容\n").toUtf8());
    QVERIFY(QDir(dir.path()).mkpath(longFolders));
    writeFile(longFolders + "x.bin", "far down");
    writeFile(QString::fromUtf8("结尾是中"), "ends in a multi-byte character");
    writeFile(QString::fromUtf8("笑\U0001F600\U00020000.txt"), "emoji and cjk extension b");
    // Names are text on Windows.
#ifndef Q_OS_WIN
    writeNativeFile("\xC4\xE3\xBA\xC3.txt", "\\xC4\\xE3\\xBA\\xC3.txt", "gbk name");
    writeNativeFile("caf\xE9 \xE4\xB8\xAD.txt", QString::fromUtf8("caf\\xE9 中.txt"), "latin-1 beside utf-8");
    writeNativeFile("bom\xC4\xEF\xBB\xBFx.txt", QString::fromUtf8("bom\\xC4\uFEFFx.txt"), "byte-order mark");
    writeNativeFile("\xC0\xAF.txt", "\\xC0\\xAF.txt", "overlong slash");
    writeNativeFile("\xED\xA0\x80.txt", "\\xED\\xA0\\x80.txt", "surrogate");
#endif
}

// The toolkit cannot remove names that are not UTF-8.
void DropTest::cleanupTestCase()
{
    for (const QByteArray &name : nativeNames)
        std::remove(nativePath(name).constData());
}

void DropTest::dragAndDrop_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<bool>("shiftHeld");
    QTest::addColumn<bool>("onlyMoveOffered");
    QTest::addColumn<int>("takenAs");
    QTest::addColumn<int>("reportedAction");

    const QList<QUrl> file{QUrl::fromLocalFile(path("a.bin"))};
    const int copy = Qt::CopyAction;
    const int refused = Qt::IgnoreAction;
    QTest::newRow("one file") << file << false << false << copy << copy;
    QTest::newRow("several files") << QList<QUrl>{QUrl::fromLocalFile(path("a.bin")), QUrl::fromLocalFile(path("b.bin"))} << false
                                   << false << copy << copy;
    // What the URL names is looked at only on the drop.
    QTest::newRow("web link") << QList<QUrl>{QUrl("https://example.com/a.bin")} << false << false << copy
                              << refused;
    QTest::newRow("no urls") << QList<QUrl>() << false << false << refused << refused;
    // Some sources delete the original after a move.
    QTest::newRow("shift proposes a move") << file << true << false << copy << copy;
    QTest::newRow("source offers only a move") << file << false << true << refused << refused;
}

void DropTest::dragAndDrop()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(bool, shiftHeld);
    QFETCH(bool, onlyMoveOffered);
    QFETCH(int, takenAs);
    QFETCH(int, reportedAction);

    QMimeData data;
    if (urls.isEmpty())
        data.setText("/tmp/x");
    else
        data.setUrls(urls);
    const Qt::DropActions actions = onlyMoveOffered ? Qt::MoveAction : offeredActions;
    const Qt::KeyboardModifiers modifiers = shiftHeld ? Qt::ShiftModifier : Qt::NoModifier;
    QCOMPARE(int(WindowDriver::dragEnter(window, data, actions, modifiers)), takenAs);
    // The toolkit delivers no drop for a drag the window refused.
    if (takenAs != Qt::IgnoreAction)
        QCOMPARE(int(WindowDriver::drop(window, data, actions, modifiers)), reportedAction);
}

void DropTest::drops_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QList<QUrl>>("dropped");
    // What PCManFM-Qt puts in its own list beside text/uri-list; null where
    // the source offers no such list.
    QTest::addColumn<QByteArray>("exactList");
    QTest::addColumn<QString>("expected");

    const QUrl a = QUrl::fromLocalFile(path("a.bin"));
    const QUrl b = QUrl::fromLocalFile(path("b.bin"));
    const QUrl web("https://example.com/b.bin");
    const QByteArray none;
    const auto onHost = [](QUrl url, const QString &host) {
        url.setHost(host);
        return url;
    };
    const auto native = [this](const QByteArray &name) { return QList<QUrl>{fileUrl(nativePath(name))}; };

    QTest::newRow("one file") << QString() << QList<QUrl>{a} << none << path("a.bin");
    QTest::newRow("several files take the first") << QString() << QList<QUrl>{a, b} << none << path("a.bin");
    QTest::newRow("later file replaces earlier") << path("a.bin") << QList<QUrl>{b} << none << path("b.bin");
    QTest::newRow("web link keeps the earlier file") << path("a.bin") << QList<QUrl>{web} << none << path("a.bin");
    QTest::newRow("only the first url counts") << path("a.bin") << QList<QUrl>{web, b} << none << path("a.bin");
    QTest::newRow("spaces and chinese") << QString() << QList<QUrl>{QUrl::fromLocalFile(path(spacedName))}
                                        << none << path(spacedName);
    QTest::newRow("path longer than 260 characters") << QString() << QList<QUrl>{QUrl::fromLocalFile(longPath())}
                                                     << none << longPath();
    QTest::newRow("localhost") << QString() << QList<QUrl>{onHost(a, "localhost")} << none << path("a.bin");
#ifdef Q_OS_WIN
    QTest::newRow("file on a share") << QString() << QList<QUrl>{QUrl("file:" + sharePath("b.bin"))} << none
                                     << sharePath("b.bin");
    QTest::newRow("trailing dot") << QString() << QList<QUrl>{QUrl::fromLocalFile(path("name."))} << none
                                  << path("name.");
    QTest::newRow("trailing space on a share") << QString() << QList<QUrl>{QUrl("file:" + sharePath("name "))}
                                               << none << sharePath("name ");
    // Each would split a name into folders or step out of one.
    QTest::newRow("encoded backslash keeps the earlier file")
        << path("b.bin") << QList<QUrl>{QUrl::fromEncoded(fileUrl(nativePath("")).toEncoded() + "x%5Ca.bin")}
        << none << path("b.bin");
    QTest::newRow("dot-dot keeps the earlier file")
        << path("b.bin") << QList<QUrl>{QUrl::fromEncoded(fileUrl(nativePath("")).toEncoded() + "x/../a.bin")}
        << none << path("b.bin");
    QTest::newRow("dot keeps the earlier file")
        << path("b.bin") << QList<QUrl>{QUrl::fromEncoded(fileUrl(nativePath("")).toEncoded() + "./a.bin")}
        << none << path("b.bin");
#else
    QTest::newRow("gbk name") << QString() << QList<QUrl>{fileUrl(nativePath("\xC4\xE3\xBA\xC3.txt"))}
                              << none << path("\\xC4\\xE3\\xBA\\xC3.txt");
    QTest::newRow("latin-1 beside utf-8") << QString()
                                          << QList<QUrl>{fileUrl(nativePath("caf\xE9 \xE4\xB8\xAD.txt"))}
                                          << none << path(QString::fromUtf8("caf\\xE9 中.txt"));
    QTest::newRow("this machine's name") << QString() << QList<QUrl>{onHost(b, QSysInfo::machineHostName())}
                                         << none << path("b.bin");
    QTest::newRow("another machine keeps the earlier file") << path("a.bin") << QList<QUrl>{onHost(b, "fileserver")}
                                                            << none << path("a.bin");
    QTest::newRow("byte-order mark after a stray byte") << QString() << native("bom\xC4\xEF\xBB\xBFx.txt")
                                                        << none << path(QString::fromUtf8("bom\\xC4\uFEFFx.txt"));
    QTest::newRow("overlong two-byte form") << QString() << native("\xC0\xAF.txt") << none << path("\\xC0\\xAF.txt");
    QTest::newRow("surrogate") << QString() << native("\xED\xA0\x80.txt") << none << path("\\xED\\xA0\\x80.txt");
#endif
    QTest::newRow("ends in a multi-byte character")
        << QString() << QList<QUrl>{QUrl::fromLocalFile(path(QString::fromUtf8("结尾是中")))}
        << none << path(QString::fromUtf8("结尾是中"));
    const QString fourBytes = QString::fromUtf8("笑\U0001F600\U00020000.txt");
    QTest::newRow("four-byte characters") << QString() << QList<QUrl>{QUrl::fromLocalFile(path(fourBytes))}
                                          << none << path(fourBytes);
    // Each would open another file than the one named: the system stops
    // reading a name at a zero byte, a decoded slash splits it, and a
    // relative path is taken from wherever the program runs.
    QTest::newRow("zero byte keeps the earlier file") << path("b.bin") << native(QByteArray("a.bin\0.txt", 10))
                                                      << none << path("b.bin");
    QTest::newRow("encoded slash keeps the earlier file")
        << path("b.bin") << QList<QUrl>{QUrl::fromEncoded(fileUrl(nativePath("")).toEncoded() + "%2Fa.bin")}
        << none << path("b.bin");
    QTest::newRow("relative path keeps the earlier file") << path("b.bin") << QList<QUrl>{QUrl("file:a.bin")}
                                                          << none << path("b.bin");
    // PCManFM-Qt's list is read first; here the two lists name different
    // files, to tell which one was taken.
    QTest::newRow("comment before the file in pcmanfm-qt's list")
        << QString() << QList<QUrl>{b} << "# a comment\r\n" + a.toEncoded() + "\r\n" << path("a.bin");
    QTest::newRow("pcmanfm-qt's list of only a comment") << QString() << QList<QUrl>{b} << QByteArray("# a comment\r\n")
                                                         << path("b.bin");
    // text/uri-list is offered, so the drag is taken, but it lists nothing.
    QTest::newRow("empty url list keeps the earlier file") << path("a.bin") << QList<QUrl>() << none << path("a.bin");
}

void DropTest::drops()
{
    QFETCH(QString, earlier);
    QFETCH(QList<QUrl>, dropped);
    QFETCH(QByteArray, exactList);
    QFETCH(QString, expected);

    if (!earlier.isEmpty())
        dropFile(window, earlier);
    QMimeData data;
    data.setUrls(dropped);
    if (!exactList.isNull())
        data.setData("libfm/files", exactList);
    if (dragEnter(window, data) == Qt::CopyAction)
        drop(window, data);

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

    // Windows allows no < or > in a name.
#ifndef Q_OS_WIN
    QTest::newRow("tags") << QString::fromUtf8("<b>粗体.txt");
    QTest::newRow("image tag") << "<img src=a.png>";
#endif
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
