#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QByteArray>
#include <QMainWindow>
#include <QString>

#include <string>

class MainWindowForm;
class QDragEnterEvent;
class QDropEvent;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

private slots:
    void on_calcBtn_clicked();
    void on_calcBtn1_clicked();
    // Listed as slots as well as overriding the event handlers.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showDigest(const std::string &digest);

    // The dropped file as shown, and as the bytes that open it.
    QString filePath;
    QByteArray nativeFilePath;
    MainWindowForm *ui;
};

#endif
