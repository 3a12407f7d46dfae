#include "mainwindow.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace WindowDriver;

class DropTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { window = new MainWindow; }
    void cleanup() { delete window; }

    void dragEnter_data();
    void dragEnter();
    void drops_data();
    void drops();
    void dropWithoutUrlsChangesNothing();
    void markupInNamesShowsLiterally_data();
    void markupInNamesShowsLiterally();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    void writeFile(const QString &name, const QByteArray &contents);

    QTemporaryDir dir;
    QHash<QString, QByteArray> contents;
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

void DropTest::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QString::fromUtf8("带 空格 的目录")));
    writeFile("a.bin", "first file");
    writeFile("b.bin", "second file");
    writeFile(spacedName, QString::fromUtf8("中文内容\n").toUtf8());
}

void DropTest::dragEnter_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<bool>("taken");

    QTest::newRow("one file") << QList<QUrl>{QUrl::fromLocalFile("/tmp/x")} << true;
    QTest::newRow("several files") << QList<QUrl>{QUrl::fromLocalFile("/a"), QUrl::fromLocalFile("/b")} << true;
    // What the URL names is looked at only on the drop.
    QTest::newRow("web link") << QList<QUrl>{QUrl("https://example.com/a.bin")} << true;
    QTest::newRow("no urls") << QList<QUrl>() << false;
}

void DropTest::dragEnter()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(bool, taken);

    QMimeData data;
    if (urls.isEmpty())
        data.setText("/tmp/x");
    else
        data.setUrls(urls);
    QCOMPARE(WindowDriver::dragEnter(window, data), taken);
}

void DropTest::drops_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QList<QUrl>>("dropped");
    QTest::addColumn<QString>("expected");

    const QUrl a = QUrl::fromLocalFile(path("a.bin"));
    const QUrl b = QUrl::fromLocalFile(path("b.bin"));
    const QUrl web("https://example.com/b.bin");

    QTest::newRow("one file") << QString() << QList<QUrl>{a} << path("a.bin");
    QTest::newRow("several files take the first") << QString() << QList<QUrl>{a, b} << path("a.bin");
    QTest::newRow("later file replaces earlier") << path("a.bin") << QList<QUrl>{b} << path("b.bin");
    QTest::newRow("web link keeps the earlier file") << path("a.bin") << QList<QUrl>{web} << path("a.bin");
    QTest::newRow("only the first url counts") << path("a.bin") << QList<QUrl>{web, b} << path("a.bin");
    QTest::newRow("spaces and chinese") << QString() << QList<QUrl>{QUrl::fromLocalFile(path(spacedName))}
                                        << path(spacedName);
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

    // What a label in automatic format shows of its text.
    QString shown = labelText(window);
    if (Qt::mightBeRichText(shown)) {
        QTextDocument rendered;
        rendered.setHtml(shown);
        shown = rendered.toPlainText();
    }
    QCOMPARE(shown, path(name));
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of(name.toUtf8()));
}

QTEST_MAIN(DropTest)
#include "drop_test.moc"
