#include "extendedname.h"
#include "systemerror.h"

#include <QTest>

#include <windows.h>

// What the Windows side builds, compared with fixed texts: Wine opens names
// that Windows would not, and a text compared with itself hides its faults.
class WindowsNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void extendedNames_data();
    void extendedNames();
    void systemMessages_data();
    void systemMessages();
};

void WindowsNamesTest::extendedNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    const QString deep = QString("folder/").repeated(40) + "x.bin";
    QTest::newRow("drive") << "C:/d/x.bin" << "\\\\?\\C:\\d\\x.bin";
    QTest::newRow("trailing dot") << "C:/d/name." << "\\\\?\\C:\\d\\name.";
    QTest::newRow("past 260 characters") << "C:/" + deep << "\\\\?\\C:\\" + QString(deep).replace('/', '\\');
    QTest::newRow("share, trailing spaces") << "//host/share/dir /x " << "\\\\?\\UNC\\host\\share\\dir \\x ";
    // Devices keep their names in every folder, whatever follows a dot.
    QTest::newRow("console in a folder") << "C:/d/CON" << "";
    QTest::newRow("null device with an extension") << "C:/d/nul.txt" << "";
    QTest::newRow("serial port, space before a dot") << "//host/share/COM1 .log" << "";
    QTest::newRow("printer port, superscript") << QString::fromUtf8("C:/LPT\u00B9") << "";
    QTest::newRow("longer than a device's name") << "C:/d/CONSOLE" << "\\\\?\\C:\\d\\CONSOLE";
    QTest::newRow("two-digit port") << "C:/d/COM10" << "\\\\?\\C:\\d\\COM10";
    QTest::newRow("device namespace") << "//./PhysicalDrive0/x" << "";
    QTest::newRow("system namespace") << "//?/C:/x" << "";
    QTest::newRow("relative") << "d/x.bin" << "";
}

void WindowsNamesTest::extendedNames()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdWString(extendedName(path)), name);
}

void WindowsNamesTest::systemMessages_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("windowsText");
    QTest::addColumn<QString>("wineText");

    QTest::newRow("file not found") << int(ERROR_FILE_NOT_FOUND) << "The system cannot find the file specified."
                                    << "File not found.";
    QTest::newRow("sharing violation")
        << int(ERROR_SHARING_VIOLATION)
        << "The process cannot access the file because it is being used by another process."
        << "Sharing violation.";
    QTest::newRow("no message") << 0x2fffffff << "Windows error 805306367" << "Windows error 805306367";
}

// In English, as Wine runs these tests; each without the line end that
// Windows ends its messages with.
void WindowsNamesTest::systemMessages()
{
    QFETCH(int, error);
    QFETCH(QString, windowsText);
    QFETCH(QString, wineText);
    const QString text = systemErrorText(error);
    QVERIFY2(text == windowsText || text == wineText, qPrintable(text));
}

QTEST_APPLESS_MAIN(WindowsNamesTest)
#include "windows_names_test.moc"
