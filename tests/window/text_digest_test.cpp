#include "mainwindow.h"
#include "resultdocument.h"
#include "testfile.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

// WCAG's contrast ratio of two colours, from 1 to 21.
double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &colour) {
        const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return std::max(la, lb) / std::min(la, lb);
}

} // namespace

class TextDigestTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { window = new MainWindow; }
    void cleanup() { delete window; }

    void resultDocumentIsExact();
    void digestOfTypedText_data();
    void digestOfTypedText();
    void digestIsShownCentredBoldViolet();
    void readableOnEveryPalette_data();
    void readableOnEveryPalette();

private:
    QTextEdit *input() { return window->findChild<QTextEdit *>("inputTextEdit"); }
    QTextEdit *result() { return window->findChild<QTextEdit *>("resultTextEdit"); }
    void pressTextButton() { QTest::mouseClick(window->findChild<QPushButton *>("calcBtn"), Qt::LeftButton); }

    MainWindow *window = nullptr;
};

void TextDigestTest::resultDocumentIsExact()
{
    const QString expected = QString::fromUtf8(
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
        "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\n"
        "p, li { white-space: pre-wrap; }\n"
        "</style></head><body style=\" font-family:'SimSun'; font-size:9pt; font-weight:400; font-style:normal;\">\n"
        "<p align=\"center\" style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; "
        "-qt-block-indent:0; text-indent:0px;\"><span style=\" font-size:16pt; font-weight:600; color:#5500ff;\">"
        "d41d8cd98f00b204e9800998ecf8427e</span></p></body></html>");
    QCOMPARE(resultDocument("d41d8cd98f00b204e9800998ecf8427e"), expected);
}

void TextDigestTest::digestOfTypedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("rfc a") << "a" << QByteArray("a");
    QTest::newRow("rfc abc") << "abc" << QByteArray("abc");
    QTest::newRow("rfc message digest") << "message digest" << QByteArray("message digest");
    QTest::newRow("rfc alphabet") << "abcdefghijklmnopqrstuvwxyz" << QByteArray("abcdefghijklmnopqrstuvwxyz");
    QTest::newRow("lines joined by one line feed") << "first\nsecond\n\nfourth"
                                                   << QByteArray("first\nsecond\n\nfourth");
    QTest::newRow("no-break space is a space") << QString("a%1b").arg(QChar(0x00a0)) << QByteArray("a b");
    QTest::newRow("latin-1 letters are one byte") << QString::fromUtf8("Grüße, ÿ")
                                                  << QByteArray("Gr\xfc\xdf" "e, \xff");
    QTest::newRow("chinese is utf-8") << QString::fromUtf8("练手小工具")
                                      << QByteArray("\xe7\xbb\x83\xe6\x89\x8b\xe5\xb0\x8f\xe5\xb7\xa5\xe5\x85\xb7");
    QTest::newRow("same-length chinese differs") << QString::fromUtf8("小工")
                                                 << QByteArray("\xe5\xb0\x8f\xe5\xb7\xa5");
    QTest::newRow("emoji is utf-8") << QString::fromUtf8("\xf0\x9f\x98\x80") << QByteArray("\xf0\x9f\x98\x80");
    QTest::newRow("latin-1 beside chinese is utf-8 too") << QString::fromUtf8("é中")
                                                         << QByteArray("\xc3\xa9\xe4\xb8\xad");
}

void TextDigestTest::digestOfTypedText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    input()->setPlainText(text);
    const QString typed = input()->toPlainText();
    const QString expected = md5Of(bytes);

    pressTextButton();
    QCOMPARE(result()->toPlainText(), expected);
    QVERIFY(!result()->document()->isEmpty());
    QCOMPARE(input()->toPlainText(), typed);

    pressTextButton();
    QCOMPARE(result()->toPlainText(), expected);
}

void TextDigestTest::digestIsShownCentredBoldViolet()
{
    input()->setPlainText("abc");
    pressTextButton();

    const QTextBlock block = result()->document()->firstBlock();
    QCOMPARE(result()->document()->blockCount(), 1);
    QCOMPARE(block.text(), QString("900150983cd24fb0d6963f7d28e17f72"));
    QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat format = cursor.charFormat();
    QCOMPARE(format.fontPointSize(), 16.0);
    QVERIFY(format.fontWeight() > QFont::Normal);
    QCOMPARE(format.foreground().color(), QColor("#5500ff"));
}

void TextDigestTest::readableOnEveryPalette_data()
{
    QTest::addColumn<QList<QPalette>>("palettes");
    QTest::addColumn<bool>("keepsBase");
    QTest::addColumn<bool>("beforeWindow");

    const auto theme = [](const QColor &base) {
        QPalette palette(base);
        palette.setColor(QPalette::Base, base);
        return palette;
    };
    const QPalette light = theme(QColor("#fdf6e3"));
    const QPalette dark = theme(QColor("#232629"));
    QTest::newRow("light") << QList<QPalette>{light} << true << false;
    QTest::newRow("dark") << QList<QPalette>{dark} << false << false;
    QTest::newRow("dark, then light again") << QList<QPalette>{dark, light} << true << false;
    // 3.4:1 against the violet.
    QTest::newRow("mid grey") << QList<QPalette>{theme(QColor("#b0b0b0"))} << false << false;
    QTest::newRow("dark before the window opens") << QList<QPalette>{dark} << false << true;
    // The second theme changes only colours that the result box then sets
    // itself, so only the box's parent hears of it.
    QPalette darkBoxes = light;
    darkBoxes.setColor(QPalette::Base, dark.color(QPalette::Base));
    darkBoxes.setColor(QPalette::Text, dark.color(QPalette::Text));
    QTest::newRow("dark text boxes, then light ones") << QList<QPalette>{darkBoxes, light} << true << false;
    // Dark themes ship a light placeholder, which would be lost on white.
    // Qt 5 derives the placeholder from the text colour set on the box
    // unless the theme set one of its own.
    QPalette darkPlaceholder = dark;
    darkPlaceholder.setColor(QPalette::PlaceholderText, QColor("#a0a0a0"));
    QTest::newRow("dark with a light placeholder") << QList<QPalette>{darkPlaceholder} << false << false;
}

// The desktop's theme may change while the window is open. Each palette is
// a whole theme, its text colours made to match its background.
void TextDigestTest::readableOnEveryPalette()
{
    QFETCH(QList<QPalette>, palettes);
    QFETCH(bool, keepsBase);
    QFETCH(bool, beforeWindow);

    const QPalette original = QApplication::palette();
    if (beforeWindow)
        delete window;
    for (const QPalette &palette : palettes) {
        QApplication::setPalette(palette);
        // Qt 6 hands the new palette to the widgets in posted events.
        QCoreApplication::processEvents();
    }
    if (beforeWindow)
        window = new MainWindow;
    const QImage placeholder = result()->viewport()->grab().toImage();
    input()->setPlainText("abc");
    pressTextButton();
    const QImage digest = result()->viewport()->grab().toImage();
    // The hint is see-through: only the window shows what it stands on, and
    // beside the drop frame what the frame would show if left alone.
    const QWidget *label = window->findChild<QWidget *>("label_2");
    const QImage hint = window->grab(QRect(label->mapTo(window, QPoint()), label->size() + QSize(10, 0))).toImage();
    QApplication::setPalette(original);
    QCoreApplication::processEvents();

    const struct {
        QImage shown;
        QColor colour;
        QColor unchanged;
    } texts[] = {{digest, QColor("#5500ff"), palettes.last().color(QPalette::Base)},
                 {hint, QColor("#626262"), hint.pixelColor(hint.width() - 3, hint.height() / 2)}};
    for (const auto &text : texts) {
        // Right of the text, inside the frame.
        const QColor background = text.shown.pixelColor(text.shown.width() - 18, text.shown.height() / 2);
        if (keepsBase)
            QCOMPARE(background, text.unchanged);
        bool drawn = false;
        for (int y = 0; y < text.shown.height() && !drawn; ++y) {
            for (int x = 0; x < text.shown.width() && !drawn; ++x)
                drawn = text.shown.pixelColor(x, y) == text.colour;
        }
        QVERIFY2(drawn, qPrintable(text.colour.name()));
        QVERIFY2(contrastRatio(text.colour, background) >= 4.5, qPrintable(background.name()));
    }
    // The placeholder is grey, yet clearly there.
    double strongest = 1;
    for (int y = 0; y < placeholder.height(); ++y) {
        for (int x = 0; x < placeholder.width(); ++x)
            strongest = std::max(strongest, contrastRatio(placeholder.pixelColor(x, y), placeholder.pixelColor(1, 1)));
    }
    QVERIFY2(strongest >= 3, qPrintable(QString::number(strongest)));
}

QTEST_MAIN(TextDigestTest)
#include "text_digest_test.moc"
