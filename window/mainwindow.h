#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "droppedfile.h"

#include <QMainWindow>
#include <QString>

#include <string>

class MainWindowForm;
class QDragEnterEvent;
class QDropEvent;
class QTimer;

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
    // Shows the dropped file as it is now known, once its name is found.
    void showDroppedFile();

    // The dropped file as shown, and as dropped, with the bytes that open it.
    QString filePath;
    DroppedFile droppedFile;
    MainWindowForm *ui;
    // Looks now and then whether the name a drop lost has been found.
    QTimer *nameSearchWatch;
};

#endif
