#include "mainwindow.h"
#include "mainwindowform.h"

#include <QFormLayout>
#include <QFrame>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTranslator>

#include <utility>

namespace {

const char emptyDocument[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
    "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\n"
    "p, li { white-space: pre-wrap; }\n"
    "</style></head><body style=\" font-family:'SimSun'; font-size:9pt; font-weight:400; font-style:normal;\">\n"
    "<p style=\"-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; "
    "-qt-block-indent:0; text-indent:0px;\"><br /></p></body></html>";

// Every text the form takes through translation lookup.
const char *const formTexts[] = {
    "Tessarin - Quillmere id: velbrand 练手小工具",
    "MD5值是：",
    emptyDocument,
    "计算的值是...",
    "字符串\nMD5一下",
    "文件\nMD5一下",
    "要加密的文件请拖动到下面的方框中：",
    " 请拖入文件..",
    "要加密的字符串请在这里输入：",
};

struct Lookup {
    QByteArray context;
    QString source;
    bool hasDisambiguation;
    int n;
};

class RecordingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        lookups.append({context, QString::fromUtf8(sourceText), disambiguation != nullptr, n});
        return QString();
    }
    bool isEmpty() const override { return false; }

    mutable QVector<Lookup> lookups;
};

} // namespace

class FormTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { window = new MainWindow; }
    void cleanup() { delete window; }

    void widgetTree_data();
    void widgetTree();
    void settings_data();
    void settings();
    void creationOrder();
    void layout();
    void metaObject();
    void textsGoThroughLookup();
    void namedWindowKeepsItsName();

private:
    QObject *object(const QString &name)
    {
        return name == QLatin1String("MainWindow") ? window : window->findChild<QObject *>(name);
    }

    MainWindow *window = nullptr;
};

void FormTest::widgetTree_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");

    const QRect none;
    QTest::newRow("centralWidget") << "QWidget" << "MainWindow" << none;
    QTest::newRow("groupBox") << "QGroupBox" << "centralWidget" << QRect(10, 340, 641, 111);
    QTest::newRow("resultTextEdit") << "QTextEdit" << "groupBox" << QRect(20, 20, 601, 81);
    QTest::newRow("calcBtn") << "QPushButton" << "centralWidget" << QRect(560, 60, 93, 61);
    QTest::newRow("calcBtn1") << "QPushButton" << "centralWidget" << QRect(560, 210, 91, 61);
    QTest::newRow("groupBox_3") << "QGroupBox" << "centralWidget" << QRect(10, 170, 511, 151);
    QTest::newRow("label") << "QLabel" << "groupBox_3" << QRect(10, 110, 491, 31);
    QTest::newRow("frame") << "QFrame" << "groupBox_3" << QRect(10, 30, 491, 81);
    QTest::newRow("label_2") << "QLabel" << "frame" << QRect(0, 0, 491, 20);
    QTest::newRow("groupBox_2") << "QGroupBox" << "centralWidget" << QRect(10, 10, 511, 151);
    QTest::newRow("formLayout") << "QFormLayout" << "groupBox_2" << none;
    QTest::newRow("inputTextEdit") << "QTextEdit" << "groupBox_2" << none;
    QTest::newRow("mainToolBar") << "QToolBar" << "MainWindow" << none;
    QTest::newRow("statusBar") << "QStatusBar" << "MainWindow" << none;
}

void FormTest::widgetTree()
{
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QRect, geometry);

    const QObject *found = object(QTest::currentDataTag());
    QVERIFY(found);
    QCOMPARE(QString(found->metaObject()->className()), className);
    QVERIFY(found->parent());
    QCOMPARE(found->parent()->objectName(), parentName);
    if (geometry.isValid())
        QCOMPARE(qobject_cast<const QWidget *>(found)->geometry(), geometry);
}

void FormTest::settings_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    const auto row = [](const char *object, const char *property, const QVariant &expected) {
        QTest::addRow("%s.%s", object, property) << object << QByteArray(property) << expected;
    };
    // Enums and flags are compared as integers.
    row("MainWindow", "objectName", "MainWindow");
    row("MainWindow", "size", QSize(666, 490));
    row("MainWindow", "minimumSize", QSize(666, 490));
    row("MainWindow", "maximumSize", QSize(666, 490));
    row("MainWindow", "iconSize", QSize(50, 50));
    row("MainWindow", "documentMode", false);
    row("MainWindow", "acceptDrops", true);
    row("groupBox", "flat", false);
    row("groupBox", "checkable", false);
    row("resultTextEdit", "readOnly", true);
    row("resultTextEdit", "textInteractionFlags",
        int(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse));
    row("label", "textInteractionFlags", int(Qt::LinksAccessibleByMouse | Qt::TextSelectableByMouse));
    row("label", "wordWrap", false);
    row("frame", "frameShape", int(QFrame::StyledPanel));
    row("frame", "frameShadow", int(QFrame::Plain));
    row("label_2", "textFormat", int(Qt::AutoText));
    row("label_2", "textInteractionFlags", int(Qt::NoTextInteraction));
    row("label_2", "styleSheet", "color:#626262");
    row("groupBox_2", "maximumSize", QSize(16777215, 629));
    row("groupBox_2", "alignment", int(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter));
    row("inputTextEdit", "acceptDrops", false);
    row("formLayout", "spacing", 6);
    row("statusBar", "sizeGripEnabled", false);

    row("MainWindow", "windowTitle", "Tessarin - Quillmere id: velbrand 练手小工具");
    row("groupBox", "title", "MD5值是：");
    row("resultTextEdit", "documentTitle", "");
    row("resultTextEdit", "placeholderText", "计算的值是...");
    row("resultTextEdit", "plainText", "");
    row("calcBtn", "text", "字符串\nMD5一下");
    row("calcBtn1", "text", "文件\nMD5一下");
    row("groupBox_3", "title", "要加密的文件请拖动到下面的方框中：");
    row("label", "text", "");
    row("label_2", "text", " 请拖入文件..");
    row("groupBox_2", "title", "要加密的字符串请在这里输入：");
}

void FormTest::settings()
{
    QFETCH(QString, objectName);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);

    const QObject *found = object(objectName);
    QVERIFY(found);
    const QVariant actual = found->property(property.constData());
    QVERIFY2(actual.isValid(), property.constData());
    if (expected.userType() == QMetaType::Int)
        QCOMPARE(actual.toInt(), expected.toInt());
    else
        QCOMPARE(actual, expected);
}

void FormTest::creationOrder()
{
    const QStringList widgetsInOrder = {
        "centralWidget", "groupBox", "resultTextEdit", "calcBtn", "calcBtn1",
        "groupBox_3", "label", "frame", "label_2", "groupBox_2", "inputTextEdit",
        "mainToolBar", "statusBar",
    };
    // The focus chain links a window's widgets in the order they were made.
    QStringList seen;
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (widgetsInOrder.contains(w->objectName()) && !seen.contains(w->objectName()))
            seen << w->objectName();
    }
    QCOMPARE(seen, widgetsInOrder);
}

void FormTest::layout()
{
    auto *formLayout = window->findChild<QFormLayout *>("formLayout");
    QVERIFY(formLayout);
    QCOMPARE(formLayout->contentsMargins(), QMargins(11, 11, 11, 11));
    QCOMPARE(formLayout->rowCount(), 1);
    QCOMPARE(formLayout->itemAt(0, QFormLayout::SpanningRole)->widget(),
             window->findChild<QWidget *>("inputTextEdit"));
    QCOMPARE(window->centralWidget(), window->findChild<QWidget *>("centralWidget"));
    QCOMPARE(window->toolBarArea(window->findChild<QToolBar *>("mainToolBar")), Qt::TopToolBarArea);
    QVERIFY(window->findChild<QToolBar *>("mainToolBar")->actions().isEmpty());
    QCOMPARE(window->statusBar(), window->findChild<QStatusBar *>("statusBar"));
}

void FormTest::metaObject()
{
    const QMetaObject &meta = MainWindow::staticMetaObject;
    QCOMPARE(meta.className(), "MainWindow");
    QCOMPARE(meta.superClass(), &QMainWindow::staticMetaObject);
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
    QCOMPARE(meta.classInfoCount(), meta.classInfoOffset());

    const struct {
        const char *signature;
        QByteArray parameterName;
    } expectedSlots[] = {
        {"on_calcBtn_clicked()", {}},
        {"on_calcBtn1_clicked()", {}},
        {"dragEnterEvent(QDragEnterEvent*)", "event"},
        {"dropEvent(QDropEvent*)", "event"},
    };
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 4);
    for (int i = 0; i < 4; ++i) {
        const QMetaMethod method = meta.method(meta.methodOffset() + i);
        QCOMPARE(method.methodSignature(), QByteArray(expectedSlots[i].signature));
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
        QCOMPARE(method.returnType(), int(QMetaType::Void));
        const QList<QByteArray> names = method.parameterNames();
        QCOMPARE(names.isEmpty() ? QByteArray() : names.first(), expectedSlots[i].parameterName);
    }
}

void FormTest::textsGoThroughLookup()
{
    RecordingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    {
        MainWindow translated;
        translated.findChild<QPushButton *>("calcBtn")->click();
    }
    QCoreApplication::removeTranslator(&translator);

    QStringList formLookups;
    for (const Lookup &lookup : std::as_const(translator.lookups)) {
        const QString fixedTexts[] = {"color:#626262", "错误"};
        for (const QString &fixed : fixedTexts)
            QVERIFY2(lookup.source != fixed, qPrintable(fixed));
        QVERIFY(!lookup.source.contains("#5500ff"));
        if (lookup.context != "MainWindow")
            continue;
        QVERIFY(!lookup.hasDisambiguation);
        QCOMPARE(lookup.n, -1);
        formLookups << lookup.source;
    }
    QStringList expected;
    for (const char *text : formTexts)
        expected << QString::fromUtf8(text);
    formLookups.sort();
    expected.sort();
    QCOMPARE(formLookups, expected);
}

void FormTest::namedWindowKeepsItsName()
{
    QMainWindow named;
    named.setObjectName("custom");
    MainWindowForm form;
    form.setupUi(&named);
    QCOMPARE(named.objectName(), QString("custom"));
}

QTEST_MAIN(FormTest)
#include "form_test.moc"
